#include "FileWalk.h"

#include "fileio/FileDescriptor.h"
#include "fileio/FileErrors.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr std::size_t npos = std::string_view::npos;

char LowerAscii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? char(byte - 'A' + 'a') : byte;
}

// '*' matches any run of bytes, '?' any one byte. On a mismatch only the last '*' takes one
// byte more, which is enough for these patterns and keeps hostile names from costing more
// than name length times pattern length.
bool MatchesWildcards(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (star != npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool Stopped(const std::atomic<bool>* stop) {
    return stop && stop->load(std::memory_order_relaxed);
}

struct FolderEntry {
    std::string name;
    unsigned char type; // d_type: DT_UNKNOWN where the file system does not tell
};

// The entries of the folder open at `fd` other than "." and "..", in byte order of their
// names; false when it cannot be listed to the end.
bool ListFolder(int fd, std::vector<FolderEntry>& entries) {
    const int own = ::dup(fd); // closedir closes the descriptor it was given
    DIR* folder = own < 0 ? nullptr : ::fdopendir(own);
    if (!folder) {
        if (own >= 0) ::close(own);
        return false;
    }
    bool complete = true;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder);
        if (!entry) {
            complete = errno == 0;
            break;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") entries.push_back({std::string(name), entry->d_type});
    }
    ::closedir(folder);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return complete;
}

enum class EntryKind { Folder, File, Unknown, Other };

// What an entry leads to, links followed; the file system is asked only when the listing
// did not tell.
EntryKind KindOf(int folderFd, const FolderEntry& entry) {
    if (entry.type == DT_DIR) return EntryKind::Folder;
    if (entry.type == DT_REG) return EntryKind::File;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN) return EntryKind::Other;
    struct stat info {};
    if (::fstatat(folderFd, entry.name.c_str(), &info, 0) != 0) return EntryKind::Unknown;
    if (S_ISDIR(info.st_mode)) return EntryKind::Folder;
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

} // namespace

FilePatterns FilePatterns::Parse(std::string_view text) {
    FilePatterns patterns;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        std::string_view pattern = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t first = pattern.find_first_not_of(" \t");
        if (first == npos) continue;
        pattern = pattern.substr(first, pattern.find_last_not_of(" \t") + 1 - first);
        std::string lower(pattern);
        std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
        patterns.m_patterns.push_back(std::move(lower));
    }
    return patterns;
}

bool FilePatterns::Matches(std::string_view fileName) const {
    if (m_patterns.empty()) return true;
    return std::any_of(m_patterns.begin(), m_patterns.end(), [&](const std::string& pattern) {
        return MatchesWildcards(pattern, fileName);
    });
}

WalkCounts WalkFiles(const std::string& folder, const FilePatterns& patterns,
                     const std::function<void(const std::string& path)>& visit,
                     const std::atomic<bool>* stop) {
    WalkCounts counts;
    std::set<std::pair<dev_t, ino_t>> entered;
    std::vector<std::string> pending{folder}; // folders still to list, the next one last
    while (!pending.empty() && !Stopped(stop)) {
        const std::string path = std::move(pending.back());
        pending.pop_back();
        // O_NONBLOCK keeps a FIFO that took the folder's name from stalling the open.
        FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!fd.IsOpen() || ::fstat(fd.Get(), &info) != 0) {
            ++counts.unreadable;
            continue;
        }
        if (!entered.insert({info.st_dev, info.st_ino}).second) continue;
        std::vector<FolderEntry> entries;
        if (!ListFolder(fd.Get(), entries)) ++counts.unreadable; // what was listed is walked

        const std::string prefix = path.ends_with('/') ? path : path + '/';
        std::vector<std::string> subfolders;
        for (const FolderEntry& entry : entries) {
            if (Stopped(stop)) break;
            const EntryKind kind = KindOf(fd.Get(), entry);
            if (kind == EntryKind::Folder) {
                subfolders.push_back(prefix + entry.name);
            } else if ((kind == EntryKind::File || kind == EntryKind::Unknown) &&
                       patterns.Matches(entry.name)) {
                ++counts.files;
                visit(prefix + entry.name);
            }
        }
        pending.insert(pending.end(), std::make_move_iterator(subfolders.rbegin()),
                       std::make_move_iterator(subfolders.rend()));
    }
    return counts;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::size_t limit) {
    const auto fail = [&](std::string reason) {
        bytes.clear();
        error = std::move(reason);
        return false;
    };
    // Devices are never opened (opening some has effects); the open descriptor has the last
    // word, whatever the path names by then.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return fail(ErrnoText(errno));
    if (!S_ISREG(info.st_mode)) return fail(FileTypeError(info.st_mode));
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0) return fail(ErrnoText(errno));
    if (!S_ISREG(info.st_mode)) return fail(FileTypeError(info.st_mode));
    limit = std::min(limit, bytes.max_size() - 1);
    if (std::uintmax_t(info.st_size) > limit) return fail(ErrnoText(EFBIG));

    // Room for one byte more than the file held when asked: filling it tells that the file
    // grew meanwhile, and the room doubles, up to the limit.
    std::size_t room = std::size_t(info.st_size) + 1;
    std::size_t done = 0;
    for (;;) {
        // Growing the string within its capacity fills only the bytes it did not hold yet.
        if (bytes.size() < room) bytes.resize(room);
        const long n = ReadFully(file.Get(), bytes.data() + done, room - done);
        if (n < 0) return fail(ErrnoText(errno));
        done += std::size_t(n);
        if (done < room) break;
        if (done > limit) return fail(ErrnoText(EFBIG));
        room = std::min(2 * room, limit + 1);
    }
    bytes.resize(done);
    return true;
}
