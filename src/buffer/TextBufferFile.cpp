#include "TextBuffer.h"

#include "fileio/AtomicFileWriter.h"
#include "fileio/FileErrors.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadBlock = kLineEndSampleBytes;
constexpr std::size_t kBlockBytes = 1 << 20; // storage block for the bytes of read lines
constexpr const char* kNoMemoryText = "Not enough memory to hold the file";

} // namespace

// Reads a file into line records whose bytes stay in large blocks, in the order they
// came: the bytes of a line are the file's own bytes, so nothing is copied per line. A
// line end is every occurrence of the style's line-end string, found left to right; the
// line keeps every other byte, zero bytes and stray CR or LF bytes included.
class LineLoader {
public:
    using LineRecord = CTextBuffer::LineRecord;

    // `sizeHint` is the file's size when reading began: the first block takes it all, so
    // that a file that does not change while it is read is stored in one piece.
    LineLoader(std::string_view lineEnd, std::size_t sizeHint)
        : m_lineEnd(lineEnd), m_sizeHint(sizeHint) {}

    // Reserves line records for the whole file, judged by the lines of the first block,
    // twice over: moving millions of records while reading costs far more than address
    // space that is never touched (and so never becomes resident). Only a hint: without
    // the room the lines grow as they come.
    void ReserveLinesLike(std::size_t sampleLines, std::size_t sampleBytes) {
        if (sampleBytes == 0 || m_sizeHint <= sampleBytes) return;
        const double estimate =
            2.0 * double(m_sizeHint) * double(sampleLines + 1) / double(sampleBytes);
        try {
            m_lines.reserve(std::size_t(std::min(estimate, double(m_lines.max_size()))));
        } catch (const std::bad_alloc&) {
        }
    }
    std::size_t LineCount() const { return m_lines.size(); }

    // Room for the next read of up to `size` bytes, keeping the unfinished line together.
    char* ReadSpace(std::size_t size) {
        const std::size_t pending = m_fill - m_lineStart;
        if (m_block && m_fill + size <= m_blockSize) return m_block + m_fill;
        // A new block: it takes the unfinished line along, and grows with it, so that a
        // single huge line costs linear time.
        const std::size_t blockSize =
            std::max({kBlockBytes, 2 * pending + size, m_blocks.empty() ? m_sizeHint + size : 0});
        auto block = std::make_unique_for_overwrite<char[]>(blockSize);
        if (pending > 0) std::memcpy(block.get(), m_block + m_lineStart, pending);
        m_block = block.get();
        m_blockSize = blockSize;
        m_blocks.push_back(std::move(block));
        m_scan -= m_lineStart;
        m_lineStart = 0;
        m_fill = pending;
        return m_block + m_fill;
    }

    void Consume(std::size_t size) {
        m_fill += size;
        const char first = m_lineEnd[0];
        while (m_scan < m_fill) {
            const void* hit = std::memchr(m_block + m_scan, first, m_fill - m_scan);
            if (!hit) {
                m_scan = m_fill;
                return;
            }
            const std::size_t i = static_cast<const char*>(hit) - m_block;
            if (m_lineEnd.size() == 2) {
                if (i + 1 >= m_fill) { // the second byte is still to come
                    m_scan = i;
                    return;
                }
                if (m_block[i + 1] != m_lineEnd[1]) {
                    m_scan = i + 1;
                    continue;
                }
            }
            AddLine(i);
            m_lineStart = m_scan = i + m_lineEnd.size();
        }
    }

    // The bytes after the last line end form the last line, even when there are none.
    void Finish() {
        if (!m_block) ReadSpace(0);
        AddLine(m_fill);
    }

    // A line longer than a line's 32-bit length can hold makes the whole read fail.
    bool TooLong() const { return m_tooLong; }
    std::vector<LineRecord> TakeLines() { return std::move(m_lines); }
    std::vector<std::unique_ptr<char[]>> TakeBlocks() { return std::move(m_blocks); }

private:
    void AddLine(std::size_t end) {
        if (m_lines.size() == m_lines.capacity())
            m_lines.reserve(m_lines.size() + std::max<std::size_t>(4096, m_lines.size() / 2));
        if (end - m_lineStart > std::size_t(INT32_MAX)) {
            m_tooLong = true;
            return;
        }
        const auto length = std::int32_t(end - m_lineStart);
        m_lines.push_back({m_block + m_lineStart, length, length, 0, false});
    }

    std::string_view m_lineEnd;
    std::size_t m_sizeHint;
    std::vector<LineRecord> m_lines;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_block = nullptr;
    std::size_t m_blockSize = 0;
    std::size_t m_fill = 0;      // bytes of the block in use
    std::size_t m_lineStart = 0; // where the unfinished line begins
    std::size_t m_scan = 0;      // where the search for the next line end goes on
    bool m_tooLong = false;
};

bool CTextBuffer::Fail(std::string reason) {
    m_lastError = std::move(reason);
    return false;
}

bool CTextBuffer::ReadFromFile(const std::string& path, int style) {
    if (style < -1 || style > StyleMAC) return Fail(ErrnoText(EINVAL));
    // Only a regular file is opened: a FIFO would block until a writer came, and a device
    // may never end. The open descriptor has the last word, whatever the path names by
    // then; O_NONBLOCK keeps a FIFO put there meanwhile from blocking the open.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return Fail(ErrnoText(errno));
    if (!S_ISREG(info.st_mode)) return Fail(FileTypeError(info.st_mode));
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0) return Fail(ErrnoText(errno));
    if (!S_ISREG(info.st_mode)) return Fail(FileTypeError(info.st_mode));
    ::posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    try {
        if (!LoadFile(file.Get(), std::size_t(info.st_size), style)) return false;
    } catch (const std::bad_alloc&) {
        return Fail(kNoMemoryText); // what was read is freed with the loader
    }
    m_readOnly = !IsWritableFile(path);
    m_modified = false;
    ResetUndoState();
    m_lastError.clear();
    BroadcastChange(nullptr, nullptr, HintReset, -1);
    return true;
}

// Reads the whole file into new lines and only then puts them in place of the old ones,
// so that a failure at any point leaves the text as it was.
bool CTextBuffer::LoadFile(int fd, std::size_t sizeHint, int style) {
    char first[kReadBlock];
    const long firstSize = ReadFully(fd, first, sizeof first);
    if (firstSize < 0) return Fail(ErrnoText(errno));
    if (style == -1) style = DetectLineEndStyle(first, std::size_t(firstSize));

    LineLoader loader(LineEndBytes(style), sizeHint);
    std::memcpy(loader.ReadSpace(std::size_t(firstSize)), first, std::size_t(firstSize));
    loader.Consume(std::size_t(firstSize));
    loader.ReserveLinesLike(loader.LineCount(), std::size_t(firstSize));
    for (;;) {
        const long n = ReadFully(fd, loader.ReadSpace(kReadBlock), kReadBlock);
        if (n < 0) return Fail(ErrnoText(errno));
        if (n == 0) break;
        loader.Consume(std::size_t(n));
    }
    loader.Finish();
    if (loader.TooLong()) return Fail(ErrnoText(EFBIG));

    FreeAllLines();
    m_lines = loader.TakeLines();
    m_fileBlocks = loader.TakeBlocks();
    m_lineEndStyle = style;
    return true;
}

bool CTextBuffer::WriteToFile(const std::string& path, int style, bool clearModified) {
    if (style < -1 || style > StyleMAC) return Fail(ErrnoText(EINVAL));
    const std::string_view lineEnd = LineEndBytes(style == -1 ? m_lineEndStyle : style);

    AtomicFileWriter file;
    bool ok = file.Open(path, "CRE");
    const int count = LineCount();
    for (int i = 0; ok && i < count; ++i)
        ok = file.Write(Line(i)) && (i + 1 == count || file.Write(lineEnd));
    if (!ok || !file.Commit()) return Fail(file.Error());

    m_lastError.clear();
    if (clearModified) {
        MarkModified(false);
        m_savedUndoPos = m_undoPos;
    }
    return true;
}
