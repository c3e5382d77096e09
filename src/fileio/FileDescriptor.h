#pragma once

#include <unistd.h>

// Owns a POSIX file descriptor and closes it when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    void Reset(int fd) {
        Close();
        m_fd = fd;
    }
    // Closes now and tells whether the close itself succeeded (it can report a failed
    // write-back).
    bool Close() {
        const bool ok = m_fd < 0 || ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

// Reads up to `size` bytes, retrying short reads; the count read (less only at the end of
// the file), or -1 on an error.
long ReadFully(int fd, char* into, unsigned long size);
