#include "TextBuffer.h"

#include "LineLoader.h"
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
constexpr const char* kNoMemoryText = "Not enough memory to hold the file";
constexpr const char* kTooManyLinesText =
    "The file has more lines than a text can hold (2147483647)";
constexpr const char* kLineTooLongText =
    "The file has a line longer than a line can hold (2147483647 bytes)";

} // namespace

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

    LineStore lines;
    LineLoader loader(lines, LineEndBytes(style), sizeHint);
    std::memcpy(loader.ReadSpace(std::size_t(firstSize)), first, std::size_t(firstSize));
    bool fits = loader.Consume(std::size_t(firstSize));
    loader.ReserveLinesLikeSoFar();
    while (fits) {
        const long n = ReadFully(fd, loader.ReadSpace(kReadBlock), kReadBlock);
        if (n < 0) return Fail(ErrnoText(errno));
        if (n == 0) break;
        fits = loader.Consume(std::size_t(n));
    }
    if (fits) fits = loader.Finish();
    switch (loader.Refused()) {
    case LineLoader::Refusal::TooManyLines:
        return Fail(kTooManyLinesText);
    case LineLoader::Refusal::LineTooLong:
        return Fail(kLineTooLongText);
    case LineLoader::Refusal::None:
        break;
    }

    m_store.Swap(lines); // the old lines go with `lines`
    m_lineEndStyle = style;
    return true;
}

bool CTextBuffer::WriteToFile(const std::string& path, int style, bool clearModified) {
    if (style < -1 || style > StyleMAC) return Fail(ErrnoText(EINVAL));
    const std::string_view lineEnd = LineEndBytes(style == -1 ? m_lineEndStyle : style);

    AtomicFileWriter file;
    bool ok = file.Open(path, "CRE");
    const int count = LineCount();
    // Lines read from the file and untouched since go out as the runs of bytes they were
    // read as, when the line ends are those they were read with.
    const bool sameEnds = lineEnd == m_store.FileLineEnd();
    for (int i = 0; ok && i < count;) {
        std::string_view run;
        const int next = sameEnds ? m_store.FileRun(i, run) : i;
        if (next > i) {
            ok = file.Write(run);
            i = next;
        } else {
            ok = file.Write(Line(i)) && (i + 1 == count || file.Write(lineEnd));
            ++i;
        }
    }
    if (!ok || !file.Commit()) return Fail(file.Error());

    m_lastError.clear();
    if (clearModified) {
        MarkModified(false);
        m_savedUndoPos = m_undoPos;
    }
    return true;
}
