#include "LineLoader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr std::size_t kMinimumBlock = 1 << 20;
// Room past the expected size for one more read, so that the read that finds the end of
// the file does not need a larger block.
constexpr std::size_t kReadRoom = 1 << 16;

} // namespace

LineLoader::LineLoader(LineStore& store, std::string_view lineEnd, std::size_t sizeHint,
                       LineLimits limits)
    : m_store(store), m_lineEnd(lineEnd), m_limits(limits) {
    m_blockSize = std::max(kMinimumBlock, sizeHint + kReadRoom);
    m_store.StartFile(std::make_unique_for_overwrite<char[]>(m_blockSize), lineEnd);
    StartLine(0);
}

void LineLoader::ReserveLinesLikeSoFar() {
    if (m_fill == 0 || m_blockSize <= m_fill) return;
    const double estimate = 2.0 * double(m_blockSize) * double(m_lines) / double(m_fill);
    try {
        m_store.ReserveLines(std::size_t(std::min(estimate, double(m_limits.lines))));
    } catch (const std::bad_alloc&) {
    }
}

char* LineLoader::ReadSpace(std::size_t size) {
    if (m_fill + size > m_blockSize) {
        // The file grew while it was read: a larger block takes what came so far. The lines
        // keep their offsets, so they follow the bytes.
        const std::size_t blockSize = std::max(2 * m_blockSize, m_fill + size);
        auto block = std::make_unique_for_overwrite<char[]>(blockSize);
        std::memcpy(block.get(), m_store.Block(), m_fill);
        m_store.MoveBlock(std::move(block));
        m_blockSize = blockSize;
    }
    return m_store.Block() + m_fill;
}

bool LineLoader::StartLine(std::size_t offset) {
    if (++m_lines > m_limits.lines) {
        m_refusal = Refusal::TooManyLines;
        return false;
    }
    m_store.AddFileLine(offset);
    m_lineStart = offset;
    return true;
}

bool LineLoader::Consume(std::size_t size) {
    const char* block = m_store.Block();
    m_fill += size;
    const char first = m_lineEnd[0];
    const bool twoBytes = m_lineEnd.size() == 2;
    while (m_scan < m_fill) {
        const void* hit = std::memchr(block + m_scan, first, m_fill - m_scan);
        if (!hit) {
            m_scan = m_fill;
            break;
        }
        const std::size_t i = std::size_t(static_cast<const char*>(hit) - block);
        if (twoBytes) {
            if (i + 1 >= m_fill) { // the second byte is still to come
                m_scan = i;
                break;
            }
            if (block[i + 1] != m_lineEnd[1]) {
                m_scan = i + 1;
                continue;
            }
        }
        if (!FitsLine(i)) return false;
        m_scan = i + m_lineEnd.size();
        if (!StartLine(m_scan)) return false;
    }
    // A line end's first byte at the very end may still turn out to be the line's own.
    return FitsLine(m_scan);
}

bool LineLoader::Finish() {
    if (!FitsLine(m_fill)) return false;
    m_store.FinishFile(m_fill);
    return true;
}

bool LineLoader::FitsLine(std::size_t end) {
    if (end - m_lineStart <= m_limits.lineLength) return true;
    m_refusal = Refusal::LineTooLong;
    return false;
}
