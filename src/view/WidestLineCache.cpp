#include "WidestLineCache.h"

#include <algorithm>

void CWidestLineCache::Create(int lineCount) {
    m_blocks.clear();
    m_lineCount = std::max(lineCount, 0);
    AppendBlocks(0);
    m_exists = true;
}

void CWidestLineCache::Free() {
    std::vector<Block>().swap(m_blocks);
    m_lineCount = 0;
    m_exists = false;
}

void CWidestLineCache::AppendBlocks(int first) {
    for (int line = first; line < m_lineCount; line += BlockLines)
        m_blocks.push_back({std::min(BlockLines, m_lineCount - line), -1});
}

void CWidestLineCache::Replace(int line, int removed, int added) {
    if (line < 0 || removed < 1 || added < 0 || line > m_lineCount - removed) {
        Resize(m_lineCount - removed + added, line);
        return;
    }
    int start = 0;
    std::size_t host = 0;
    while (start + m_blocks[host].lines <= line)
        start += m_blocks[host++].lines;
    // The removed lines leave the blocks they were in; the added ones join the first.
    int at = line;
    for (std::size_t i = host; at < line + removed; ++i) {
        const int blockEnd = start + m_blocks[i].lines;
        m_blocks[i].lines -= std::min(blockEnd, line + removed) - at;
        m_blocks[i].widest = -1;
        start = at = blockEnd;
    }
    m_blocks[host].lines += added;
    m_blocks[host].widest = -1;
    m_lineCount += added - removed;
    if (removed > added || m_blocks[host].lines == 0)
        std::erase_if(m_blocks, [](const Block& block) { return block.lines == 0; });
}

void CWidestLineCache::Resize(int lineCount, int firstChanged) {
    int start = 0;
    std::size_t kept = 0;
    while (kept < m_blocks.size() && start + m_blocks[kept].lines <= firstChanged)
        start += m_blocks[kept++].lines;
    m_blocks.resize(kept);
    m_lineCount = std::max(lineCount, 0);
    if (start > m_lineCount) { // fewer lines than the kept blocks hold
        Create(m_lineCount);
        return;
    }
    AppendBlocks(start);
}

std::int32_t CWidestLineCache::Widest(const Measure& measure) {
    std::int32_t widest = 0;
    int start = 0;
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        if (m_blocks[i].widest < 0) {
            const int lines = m_blocks[i].lines;
            if (lines > 2 * BlockLines) { // grown by insertions: split into BlockLines pieces
                const int pieces = lines / BlockLines;
                m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(i) + 1, std::size_t(pieces - 1),
                                {BlockLines, -1});
                m_blocks[i].lines = BlockLines;
                m_blocks[i + std::size_t(pieces) - 1].lines = lines - (pieces - 1) * BlockLines;
            }
            m_blocks[i].widest = measure(start, start + m_blocks[i].lines);
        }
        widest = std::max(widest, m_blocks[i].widest);
        start += m_blocks[i].lines;
    }
    return widest;
}
