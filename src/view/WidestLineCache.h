#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The widest visual length of a view's lines, kept per block of consecutive lines (about
// BlockLines each) instead of per line, so that after a change only the blocks it touched
// are measured again. Blocks follow the text: a block that gains lines grows, one that loses
// all of its lines goes, and a grown block is split when it is measured.
class CWidestLineCache {
public:
    // The widest visual length among the lines from `first` up to, not including, `end`.
    using Measure = std::function<std::int32_t(int first, int end)>;
    static constexpr int BlockLines = 4096;

    bool Exists() const { return m_exists; }
    int Length() const { return m_lineCount; }
    void Create(int lineCount);
    void Free();

    void MarkStale(int line) {
        if (line >= 0 && line < m_lineCount) Replace(line, 1, 1);
    }
    // Lines from `line` on, `removed` of them, became `added` lines; the blocks they were in
    // are measured again, the others keep their widths.
    void Replace(int line, int removed, int added);
    // The text has `lineCount` lines and every line from `firstChanged` on is measured again.
    void Resize(int lineCount, int firstChanged);
    // The largest visual length of all lines, 0 for none.
    std::int32_t Widest(const Measure& measure);

private:
    struct Block {
        int lines;
        std::int32_t widest; // -1: not measured
    };
    // Stale blocks of BlockLines lines from line `first` to the end.
    void AppendBlocks(int first);

    std::vector<Block> m_blocks;
    int m_lineCount = 0;
    bool m_exists = false;
};
