#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The file types of a search: ';'-separated name patterns such as "*.scp;*.ini", with '*'
// and '?' wildcards, compared without regard to ASCII case. Blank patterns are dropped; with
// none at all every name matches.
class FilePatterns {
public:
    static FilePatterns Parse(std::string_view text);
    bool Matches(std::string_view fileName) const;

private:
    std::vector<std::string> m_patterns; // lower case
};

// What a walk met besides the files it handed on.
struct WalkCounts {
    std::size_t files = 0;      // files handed on
    std::size_t unreadable = 0; // folders that could not be listed
};

// Hands every regular file below `folder` whose name matches `patterns` to `visit`, as a
// path that starts with `folder`; also a matching name whose target cannot be looked at (a
// link leading nowhere), so that reading it tells why. Each folder's entries come in byte
// order of their names, its files before its subfolders. Symbolic links are followed, but a
// folder already entered (same device and inode) is not entered again, so link loops end.
// Stops early once `stop` (may be null) turns true. Never throws on bad folders: they are
// counted as unreadable.
WalkCounts WalkFiles(const std::string& folder, const FilePatterns& patterns,
                     const std::function<void(const std::string& path)>& visit,
                     const std::atomic<bool>* stop = nullptr);

// Reads a whole regular file (non-blocking open, so a pipe never waits) into `bytes`, at
// most `limit` bytes; false with a reason in `error` when it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error,
                   std::size_t limit = std::size_t(1) << 30);
