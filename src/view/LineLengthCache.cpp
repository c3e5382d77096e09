#include "LineLengthCache.h"

#include <algorithm>

void CLineLengthCache::Create(int lineCount) {
    m_lengths.Create(lineCount);
    m_blockWidest.assign(std::size_t((m_lengths.Length() + BlockLines - 1) / BlockLines), -1);
}

void CLineLengthCache::Free() {
    m_lengths.Free();
    std::vector<std::int32_t>().swap(m_blockWidest);
}

std::int32_t CLineLengthCache::LengthOf(int line, const Measure& measure) {
    if (line < 0 || line >= m_lengths.Length()) return 0;
    std::int32_t length = m_lengths.Get(line);
    if (length < 0) {
        length = measure(line);
        m_lengths.Set(line, length);
    }
    return length;
}

void CLineLengthCache::MarkStale(int line) {
    m_lengths.MarkStale(line);
    if (line >= 0 && line / BlockLines < static_cast<int>(m_blockWidest.size()))
        m_blockWidest[std::size_t(line / BlockLines)] = -1;
}

void CLineLengthCache::MarkBlocksStaleFrom(int line) {
    const std::size_t first = std::size_t(std::max(line, 0) / BlockLines);
    for (std::size_t block = first; block < m_blockWidest.size(); ++block)
        m_blockWidest[block] = -1;
}

void CLineLengthCache::Resize(int lineCount, int firstChanged) {
    m_lengths.Resize(lineCount, firstChanged);
    MarkBlocksStaleFrom(firstChanged);
    m_blockWidest.resize(std::size_t((m_lengths.Length() + BlockLines - 1) / BlockLines), -1);
}

std::int32_t CLineLengthCache::Widest(const Measure& measure) {
    std::int32_t widest = 0;
    for (std::size_t block = 0; block < m_blockWidest.size(); ++block) {
        if (m_blockWidest[block] < 0) {
            const int first = static_cast<int>(block) * BlockLines;
            const int end = std::min(first + BlockLines, m_lengths.Length());
            std::int32_t blockWidest = 0;
            for (int line = first; line < end; ++line)
                blockWidest = std::max(blockWidest, LengthOf(line, measure));
            m_blockWidest[block] = blockWidest;
        }
        widest = std::max(widest, m_blockWidest[block]);
    }
    return widest;
}
