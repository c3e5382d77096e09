#include "ReadOnlyFile.h"

#include "fileio/FileErrors.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadOnlyFile::Open(const std::string& path, std::string& error) {
    m_file.Reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!m_file.IsOpen() || ::fstat(m_file.Get(), &info) != 0) {
        error = ErrnoText(errno);
        m_file.Close();
        return false;
    }
    error = FileTypeError(info.st_mode);
    if (!error.empty()) {
        m_file.Close();
        return false;
    }
    m_size = std::uint64_t(info.st_size);
    return true;
}

long ReadOnlyFile::ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_file.Get(), into + done, size - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += std::size_t(n);
    }
    return long(done);
}

bool ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error) {
    bytes.clear();
    ReadOnlyFile file;
    if (!file.Open(path, error)) return false;
    bytes.resize(std::size_t(std::min<std::uint64_t>(file.Size(), limit)));
    const long n = file.ReadAt(0, bytes.data(), bytes.size());
    if (n < 0) {
        error = ErrnoText(errno);
        bytes.clear();
        return false;
    }
    bytes.resize(std::size_t(n)); // the file may have shrunk since it was opened
    return true;
}
