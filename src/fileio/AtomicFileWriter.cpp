#include "AtomicFileWriter.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

bool WriteFully(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
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
// relative links from the link's own folder), else the path itself. Empty for a loop.
std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(std::size_t(PATH_MAX) + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), PATH_MAX);
        if (n <= 0) return {};
        std::string next(target.data(), std::size_t(n));
        current = next[0] == '/' ? next : FolderOf(current) + "/" + next;
    }
    return {};
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
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

bool AtomicFileWriter::Open(const std::string& path, const char* prefix) {
    if (path.empty()) return false;
    m_target = ResolveLinks(path);
    if (m_target.empty() || m_target.back() == '/') return false;
    struct stat info {};
    const bool exists = ::stat(m_target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && (!S_ISREG(info.st_mode) || !IsWritableFile(m_target))) return false;

    std::string pattern = FolderOf(m_target) + "/" + prefix + "XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
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

bool AtomicFileWriter::WriteThrough(std::string_view bytes) {
    if (!m_buffer || !Flush()) return false;
    if (bytes.size() < kChunk) {
        std::memcpy(m_buffer.get(), bytes.data(), bytes.size());
        m_used = bytes.size();
        return true;
    }
    if (WriteFully(m_file.Get(), bytes.data(), bytes.size())) return true;
    m_buffer.reset();
    return false;
}

bool AtomicFileWriter::Flush() {
    const bool ok = WriteFully(m_file.Get(), m_buffer.get(), m_used);
    m_used = 0;
    if (!ok) m_buffer.reset();
    return ok;
}

bool AtomicFileWriter::Commit() {
    if (!m_buffer || !m_file.IsOpen() || !Flush()) return false;
    if (::fsync(m_file.Get()) != 0 || !m_file.Close()) return false;
    if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0) return false;
    m_tempPath.clear();
    // Make the rename itself durable.
    FileDescriptor folder(::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) ::fsync(folder.Get());
    return true;
}
