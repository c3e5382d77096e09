#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Where a name is defined: the file, the line (from 0) and the line's text.
struct DefinitionSite {
    std::string path;
    int line = 0;
    std::string text;
};

// Calls `found(name, line, lineText)` for every definition a script text holds, numbering
// lines as the text buffer does:
//  - a section header that names it: [ITEMDEF name], [CHARDEF name], [FUNCTION name],
//    [EVENTS name], [DIALOG name] (also [DIALOG name TEXT] and [DIALOG name BUTTON]),
//    [TYPEDEF name], [TEMPLATE name], [SPEECH name], [REGIONTYPE name], [SPAWN name],
//    [AREADEF name], [ROOMDEF name], [SKILLCLASS name], [MENU name], [BOOK name],
//    [NEWBIE name], [DEFNAME name] (kinds in any case);
//  - a DEFNAME=name or DEFNAME2=name line (also with blanks instead of '=') inside a section;
//  - every "name value" (or "name=value") entry inside a [DEFNAME ...] section.
// Comment lines ("//" first) define nothing, and nothing after an [EOF] line counts.
void ForEachDefinition(
    std::string_view text,
    const std::function<void(std::string_view name, int line, std::string_view lineText)>& found);

// The definitions of the scripts below one folder, kept fresh cheaply: Refresh walks the
// folder again and reads only files that are new or changed (size or modification time).
// Names compare without regard to ASCII case, as the server compares them. Not thread-safe:
// one thread refreshes and looks up at a time.
class CDefinitionIndex {
public:
    struct RefreshCounts {
        std::size_t files = 0;      // files indexed
        std::size_t read = 0;       // of those, read by this refresh
        std::size_t unreadable = 0; // files or folders that could not be read
    };

    // Indexes `folder` (the files matching `patterns`, e.g. "*.scp"); forgets files that are
    // gone. Stops early, leaving the index as far as it got, once `stop` turns true.
    RefreshCounts Refresh(const std::string& folder, std::string_view patterns,
                          const std::atomic<bool>* stop = nullptr);

    // The definitions of `name` in the indexed files, except those of `overridden` paths,
    // plus those found in `overrides` (path -> current text, e.g. open documents whose text
    // differs from the file on disk, inside or outside the folder). Sorted by path, then
    // line.
    std::vector<DefinitionSite>
    Lookup(std::string_view name,
           const std::map<std::string, std::string_view>& overrides = {}) const;

    std::size_t FileCount() const { return m_files.size(); }

    // The name table points into the file table, so a copy would point into the original.
    CDefinitionIndex() = default;
    CDefinitionIndex(const CDefinitionIndex&) = delete;
    CDefinitionIndex& operator=(const CDefinitionIndex&) = delete;
    CDefinitionIndex(CDefinitionIndex&&) = default;
    CDefinitionIndex& operator=(CDefinitionIndex&&) = default;

private:
    struct Site {
        std::string key; // the name in upper case
        int line = 0;
        std::string text;
    };
    struct FileEntry {
        std::int64_t size = -1;
        std::int64_t modified = 0; // nanoseconds
        std::vector<Site> sites;
    };
    using FileTable = std::map<std::string, FileEntry>;

    void Remember(FileTable::const_iterator file);
    void Forget(FileTable::const_iterator file);

    FileTable m_files; // by path
    std::unordered_map<std::string, std::vector<std::pair<const std::string*, std::size_t>>>
        m_byName; // upper-case name -> (path key in m_files, index into its sites)
};
