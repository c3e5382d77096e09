#pragma once

#include "LineCache.h"

#include <cstdint>
#include <functional>
#include <vector>

// Visual lengths of the lines, with the widest one kept per block of lines so that finding
// the widest line after a change touches only the blocks the change made stale.
class CLineLengthCache {
public:
    using Measure = std::function<std::int32_t(int line)>;

    bool Exists() const { return m_lengths.Exists(); }
    int Length() const { return m_lengths.Length(); }
    void Create(int lineCount);
    void Free();

    // The cached length, measured and stored when not computed yet.
    std::int32_t LengthOf(int line, const Measure& measure);
    void MarkStale(int line);
    void Resize(int lineCount, int firstChanged);
    // The largest length of all lines, 0 for none.
    std::int32_t Widest(const Measure& measure);

private:
    static constexpr int BlockLines = 4096;
    void MarkBlocksStaleFrom(int line);

    CLineCache<std::int32_t, -1> m_lengths;
    std::vector<std::int32_t> m_blockWidest; // -1: not computed
};
