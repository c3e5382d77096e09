#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The lines of a text and their flags.
//
// A file is read into one block of bytes, and each of its lines costs one 32-bit slot: its
// offset in the block (relative to a segment of 2^segmentBits bytes, so that any file size
// works). Its length is where the next line starts less the line end between them. Only a
// line that is edited, inserted or flagged gets a record of its own (an "own line"), which
// remembers where it stood in the block, so that the line before it still knows its length.
// The block itself never moves and is freed only with the text.
//
// Calls take line numbers inside the text (0 <= line < Count()); the caller checks them.
class LineStore {
public:
    // A line with a record of its own. `owned`: the bytes are a heap allocation of
    // `capacity` bytes; otherwise they are still the file's own (and `capacity` is the length
    // they had there).
    struct OwnLine {
        char* text;
        std::int32_t length;
        std::int32_t capacity;
        std::uint64_t fileOffset; // where the line began in the block; kNotFromFile if not
        std::uint32_t flags;
        bool owned;
    };
    static constexpr std::uint64_t kNotFromFile = ~std::uint64_t(0);
    static constexpr int kDefaultSegmentBits = 31;

    explicit LineStore(int segmentBits = kDefaultSegmentBits);
    ~LineStore();
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;
    void Swap(LineStore& other) noexcept;

    int Count() const { return static_cast<int>(m_slots.size()) - 1; }
    // The line's bytes and length, from one look at its slot.
    std::string_view Line(int line) const {
        const std::uint32_t slot = m_slots[std::size_t(line)];
        if (IsOwn(slot)) {
            const OwnLine& own = m_own[slot & kIndexMask];
            return {own.text, std::size_t(own.length)};
        }
        const std::uint64_t start = FileOffset(line);
        return {m_file.get() + start, std::size_t(NextFileOffset(line) - start - m_fileLineEnd)};
    }
    // Line(line) of each line of [first, end) in order, for passes over many lines: a read
    // line's start is known from the line before it.
    template <typename Fn> void ForEachLine(int first, int end, Fn&& fn) const {
        std::uint64_t start = kNotFromFile;
        for (int line = first; line < end; ++line) {
            const std::uint32_t slot = m_slots[std::size_t(line)];
            if (IsOwn(slot)) {
                const OwnLine& own = m_own[slot & kIndexMask];
                fn(std::string_view(own.text, std::size_t(own.length)));
                start = kNotFromFile;
                continue;
            }
            if (start == kNotFromFile) start = FileOffset(line);
            const std::uint32_t next = m_slots[std::size_t(line) + 1];
            const std::uint64_t nextStart =
                IsOwn(next) ? m_own[next & kIndexMask].fileOffset : FileOffset(line + 1);
            fn(std::string_view(m_file.get() + start,
                                std::size_t(nextStart - start - m_fileLineEnd)));
            start = nextStart; // an own line after it starts again from its own record
        }
    }
    const char* Text(int line) const { return Line(line).data(); }
    std::int32_t Length(int line) const { return std::int32_t(Line(line).size()); }
    std::uint32_t Flags(int line) const {
        const std::uint32_t slot = m_slots[std::size_t(line)];
        return IsOwn(slot) ? m_own[slot & kIndexMask].flags : 0;
    }
    // Lines whose flags are not 0.
    int FlaggedLines() const { return m_flaggedLines; }

    // The line's own record, made when it has none. Its text stays the same; only running
    // out of memory (std::bad_alloc, before anything changed) makes it fail.
    OwnLine& Own(int line);
    void SetFlags(int line, std::uint32_t flags);

    // A new own line holding `bytes`, with room for `extraCapacity` more; std::bad_alloc
    // when memory runs out.
    static OwnLine MakeLine(std::string_view bytes, std::size_t extraCapacity = 0);
    static void FreeLine(OwnLine& line) noexcept;
    // Room for `newLength` bytes in the line; bytes still in the file's block are copied
    // out first when they would not fit. std::bad_alloc leaves the line as it was.
    static void ReserveInLine(OwnLine& line, std::int32_t newLength);

    // Lines come and go in two steps: Prepare allocates everything the change needs (and
    // may throw std::bad_alloc with the text unchanged); the change itself cannot fail.
    void PrepareInsert(int at, std::size_t count);
    // Puts `lines` (made by MakeLine) before line `at`; the store frees them from now on.
    void Insert(int at, std::vector<OwnLine>& lines) noexcept;
    void PrepareErase(int from, int to);
    // Removes the lines [from, to).
    void Erase(int from, int to) noexcept;
    // No lines at all: Count() is 0 until lines are inserted.
    void Clear() noexcept;

    // Read lines that still lie one after the other in the file's block, from `line` up to
    // the returned line (exclusive): `bytes` gets their bytes with the file's line ends
    // between them, and after the last one too unless it is the text's last line. Returns
    // `line` when the line is not such a read line.
    int FileRun(int line, std::string_view& bytes) const;
    // The line end the file's lines were split at; empty before a file is read.
    std::string_view FileLineEnd() const { return m_fileLineEndBytes; }

    // Filled by the file reader: the block, the line end, the start of each line and where
    // each segment after the first begins. `AddLine` takes absolute offsets, in order.
    void StartFile(std::unique_ptr<char[]> block, std::string_view lineEnd);
    void ReserveLines(std::size_t lines) { m_slots.reserve(lines + 1); }
    void AddFileLine(std::uint64_t offset);
    void FinishFile(std::uint64_t size);
    // Replaces the block (the reader grows it while the file grows): same bytes, more room.
    void MoveBlock(std::unique_ptr<char[]> block) { m_file = std::move(block); }
    char* Block() { return m_file.get(); }

private:
    static constexpr std::uint32_t kOwnTag = 0x80000000u;
    static constexpr std::uint32_t kIndexMask = ~kOwnTag;
    static bool IsOwn(std::uint32_t slot) { return slot & kOwnTag; }

    int SegmentOf(int slot) const;
    std::uint64_t FileOffset(int slot) const {
        const std::uint64_t relative = m_slots[std::size_t(slot)];
        return m_segmentStarts.empty()
                   ? relative
                   : (std::uint64_t(SegmentOf(slot)) << m_segmentBits) + relative;
    }
    // Where the line after a read line began in the block, whatever holds it now.
    std::uint64_t NextFileOffset(int line) const {
        const std::uint32_t next = m_slots[std::size_t(line) + 1];
        return IsOwn(next) ? m_own[next & kIndexMask].fileOffset : FileOffset(line + 1);
    }
    void ReserveOwn(std::size_t count);
    std::uint32_t AddOwn(const OwnLine& line) noexcept;
    void ReleaseOwn(std::uint32_t slot) noexcept;
    void FreeAll() noexcept;

    const int m_segmentBits;
    // One slot a line and one more behind the last line: the end of the file's bytes plus a
    // line end, so that the last read line's length is known the same way as the others'.
    std::vector<std::uint32_t> m_slots;
    std::vector<OwnLine> m_own;
    std::vector<std::uint32_t> m_freeOwn; // records of m_own not in use
    std::vector<int> m_segmentStarts;     // the first slot of segment 1, 2, ...
    std::unique_ptr<char[]> m_file;
    std::string_view m_fileLineEndBytes;
    std::uint32_t m_fileLineEnd = 0;
    int m_flaggedLines = 0;
};
