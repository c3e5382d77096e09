#pragma once

#include "fileio/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A regular file of the client opened for reading. A folder, FIFO or device fails to open
// like a missing file, and a FIFO does not block the open.
class ReadOnlyFile {
public:
    // False, with `error` saying why, when the file cannot be opened or is not regular.
    bool Open(const std::string& path, std::string& error);
    // The size the file had when it was opened.
    std::uint64_t Size() const { return m_size; }
    // Reads up to `size` bytes at `offset`, retrying short reads: the count read (less only
    // at the end of the file), or -1 on an error, with errno telling which.
    long ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t size) const;

private:
    FileDescriptor m_file;
    std::uint64_t m_size = 0;
};

// Reads the first min(size of the file, `limit`) bytes of `path` into `bytes`; false, with
// `error` saying why and `bytes` empty, when it cannot be opened or read.
bool ReadFileStart(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error);
