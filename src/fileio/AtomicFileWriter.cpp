#include "AtomicFileWriter.h"

#include "FileErrors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

// On failure errno says why.
bool WriteFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC; // a write that takes nothing: the device is full
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save must replace: the target of a symbolic link (followed through chains,
// relative links from the link's own folder), else the path itself. Empty on failure, with
// errno saying why (ELOOP for a loop).
std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(std::size_t(PATH_MAX) + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), PATH_MAX);
        if (n < 0) return {};
        if (n == 0) {
            errno = ENOENT;
            return {};
        }
        std::string next(target.data(), std::size_t(n));
        current = next[0] == '/' ? next : FolderOf(current) + "/" + next;
    }
    errno = ELOOP;
    return {};
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolderOf(const std::string& path) {
    FileDescriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) ::fsync(folder.Get());
}

} // namespace

long ReadFully(int fd, char* into, unsigned long size) {
    unsigned long done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, into + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<unsigned long>(n);
    }
    return static_cast<long>(done);
}

bool IsWritableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!m_tempPath.empty()) {
        m_file.Close();
        ::unlink(m_tempPath.c_str());
    }
}

bool AtomicFileWriter::Fail(std::string reason) {
    m_error = std::move(reason);
    m_buffer.reset();
    return false;
}

bool AtomicFileWriter::Open(const std::string& path, const char* prefix) {
    if (path.empty()) return Fail(ErrnoText(ENOENT));
    m_target = ResolveLinks(path);
    if (m_target.empty()) return Fail(ErrnoText(errno));
    if (m_target.back() == '/') return Fail(ErrnoText(EISDIR));
    struct stat info {};
    const bool exists = ::stat(m_target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return Fail(ErrnoText(errno));
    if (exists && !S_ISREG(info.st_mode)) return Fail(FileTypeError(info.st_mode));
    // A file without any write bit is read-only, for the superuser too.
    if (exists && !IsWritableFile(m_target)) return Fail(ErrnoText(EACCES));
    m_inPlace = exists && info.st_nlink > 1;

    std::string pattern = FolderOf(m_target) + "/" + prefix + "XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return Fail(ErrnoText(errno));
    m_file.Reset(fd);
    m_tempPath = pattern;
    if (exists) {
        ::fchmod(fd, info.st_mode & 07777);
        if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Only the superuser may give a file away; others keep their own ownership.
        }
    } else {
        ::fchmod(fd, NewFileMode());
    }
    m_buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    return true;
}

void AtomicFileWriter::RestrictToOwner() {
    m_ownerOnly = true;
    if (m_file.IsOpen()) ::fchmod(m_file.Get(), S_IRUSR | S_IWUSR);
}

bool AtomicFileWriter::WriteThrough(std::string_view bytes) {
    if (!m_buffer || !Flush()) return false;
    if (bytes.size() < kChunk) {
        std::memcpy(m_buffer.get(), bytes.data(), bytes.size());
        m_used = bytes.size();
        return true;
    }
    return WriteFully(m_file.Get(), bytes.data(), bytes.size()) || Fail(ErrnoText(errno));
}

bool AtomicFileWriter::Flush() {
    const bool ok = WriteFully(m_file.Get(), m_buffer.get(), m_used);
    m_used = 0;
    return ok || Fail(ErrnoText(errno));
}

bool AtomicFileWriter::Commit() {
    if (!m_buffer || !Flush()) return false; // an earlier step failed and said why
    if (::fsync(m_file.Get()) != 0) return Fail(ErrnoText(errno));
    if (m_inPlace) return CopyIntoTarget();
    if (!m_file.Close() || ::rename(m_tempPath.c_str(), m_target.c_str()) != 0)
        return Fail(ErrnoText(errno));
    m_tempPath.clear();
    SyncFolderOf(m_target); // makes the rename itself durable
    return true;
}

// Writes the complete temporary copy into the target's own bytes. Until that is on disk
// the target may be half old, half new, so on failure the copy is kept and named.
bool AtomicFileWriter::CopyIntoTarget() {
    FileDescriptor target(::open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    bool ok = target.IsOpen();
    off_t size = 0;
    while (ok) {
        const ssize_t n = ::pread(m_file.Get(), m_buffer.get(), kChunk, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteFully(target.Get(), m_buffer.get(), std::size_t(n));
        size += n;
    }
    if (ok && m_ownerOnly) ok = ::fchmod(target.Get(), S_IRUSR | S_IWUSR) == 0;
    ok = ok && ::ftruncate(target.Get(), size) == 0 && ::fsync(target.Get()) == 0 && target.Close();
    if (!ok) {
        const std::string reason = ErrnoText(errno);
        const std::string copy = m_tempPath;
        m_tempPath.clear(); // kept on disk
        return Fail(reason + ". The complete new text is in '" + copy + "'.");
    }
    m_file.Close();
    ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    return true;
}
