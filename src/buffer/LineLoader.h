#pragma once

#include "LineStore.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

// Cuts the bytes of a file, as they are read, into the lines of a LineStore. The bytes go
// into the store's one block, so nothing is copied per line. A line end is every occurrence
// of the line-end string, found left to right; a line keeps every other byte, zero bytes and
// stray CR or LF bytes included.
// What text positions can address: line numbers and line lengths are 32-bit.
struct LineLimits {
    std::uint64_t lines = INT32_MAX;
    std::uint64_t lineLength = INT32_MAX;
};

class LineLoader {
public:
    enum class Refusal { None, TooManyLines, LineTooLong };

    // `sizeHint` is the file's size when reading began: the block takes it all, so that a
    // file that does not change while it is read is never copied.
    LineLoader(LineStore& store, std::string_view lineEnd, std::size_t sizeHint,
               LineLimits limits = {});

    // Reserves line slots for the whole file, judged by the lines of what was read so far,
    // twice over: moving millions of slots while reading costs far more than address space
    // that is never touched (and so never becomes resident). Only a hint.
    void ReserveLinesLikeSoFar();

    // Room for the next read of up to `size` bytes.
    char* ReadSpace(std::size_t size);
    // Takes `size` bytes read into the room; false once the text is past the limits.
    bool Consume(std::size_t size);
    // The bytes after the last line end form the last line, even when there are none.
    // False when that line is past the limits.
    bool Finish();
    Refusal Refused() const { return m_refusal; }

private:
    bool StartLine(std::size_t offset);
    bool FitsLine(std::size_t end);

    LineStore& m_store;
    std::string_view m_lineEnd;
    LineLimits m_limits;
    std::size_t m_blockSize = 0;
    std::size_t m_fill = 0;      // bytes of the block in use
    std::size_t m_lineStart = 0; // where the unfinished line begins
    std::size_t m_scan = 0;      // where the search for the next line end goes on
    std::uint64_t m_lines = 0;
    Refusal m_refusal = Refusal::None;
};
