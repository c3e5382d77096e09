#pragma once

#include "FileDescriptor.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// True when the user may change the file: write permission, and at least one write bit set
// (so that a file marked read-only counts as such even for the superuser).
bool IsWritableFile(const std::string& path);

// Writes a file so that the old one survives any failure: the bytes go to a new temporary
// file in the target's own folder, which is flushed to disk and then renamed over the
// target in one step. A symbolic link is followed: the file it points to is replaced and
// the link stays. The new file keeps the permission bits (and, where allowed, the owner)
// of the file it replaces; a new file gets 0666 less the umask.
//
// A target with other names (hard links) keeps its identity, so that every name shows the
// new text: the complete temporary copy is flushed first, then the bytes are written into
// the target itself, and the copy is removed only once they are on disk.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter(); // removes the temporary file unless it was committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Fails, before anything is written, when the target may not be written or the
    // temporary file cannot be made. `prefix` starts the temporary file's name.
    bool Open(const std::string& path, const char* prefix);
    // After Open: the new file is readable and writable by its owner only (for a file that
    // holds a password); later saves keep that, as they keep any file's permission bits.
    void RestrictToOwner();
    // Buffered: bytes reach the file in large writes. Small pieces (a line, a line end)
    // are only copied into the buffer, so this stays cheap for millions of them.
    bool Write(std::string_view bytes) {
        if (bytes.size() <= kChunk - m_used && m_buffer) {
            std::memcpy(m_buffer.get() + m_used, bytes.data(), bytes.size());
            m_used += bytes.size();
            return true;
        }
        return WriteThrough(bytes);
    }
    // Flushes, syncs and renames the temporary file over the target.
    bool Commit();
    // Why the writer failed, as a short English text; empty while nothing has failed.
    const std::string& Error() const { return m_error; }

private:
    static constexpr std::size_t kChunk = 1 << 20;

    bool WriteThrough(std::string_view bytes);
    bool Flush();
    bool CopyIntoTarget();
    bool Fail(std::string reason);

    std::string m_target;
    std::string m_tempPath;
    FileDescriptor m_file;
    std::unique_ptr<char[]> m_buffer; // made by Open; absent until then and after a failure
    std::size_t m_used = 0;
    bool m_inPlace = false; // the target has other names: its own bytes are replaced
    bool m_ownerOnly = false;
    std::string m_error;
};
