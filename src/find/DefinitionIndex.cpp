#include "DefinitionIndex.h"

#include "FileWalk.h"
#include "TextMatcher.h"
#include "buffer/LineEnds.h"
#include "script/ScriptChars.h"
#include "view/TextSearch.h"

#include <algorithm>
#include <array>
#include <set>
#include <sys/stat.h>
#include <tuple>

namespace {

// The section kinds whose header names a definition: [KIND name].
constexpr std::array<std::string_view, 17> kNamingKinds = {
    "ITEMDEF",    "CHARDEF", "FUNCTION",   "EVENTS", "DIALOG",  "TYPEDEF",
    "TEMPLATE",   "SPEECH",  "REGIONTYPE", "SPAWN",  "AREADEF", "ROOMDEF",
    "SKILLCLASS", "MENU",    "BOOK",       "NEWBIE", "DEFNAME"};

using ::UpperAscii;

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char byte) { return UpperAscii(byte); });
    return upper;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

// The word at the start of `text`: up to a blank, a byte of `stops` or a "//" comment.
std::string_view Word(std::string_view text, std::string_view stops) {
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        const char byte = text[end];
        if (IsScriptBlank(byte) || std::find(stops.begin(), stops.end(), byte) != stops.end() ||
            (byte == '/' && end + 1 < text.size() && text[end + 1] == '/'))
            break;
    }
    return text.substr(0, end);
}

// The value of a DEFNAME or DEFNAME2 key, with '=' or blanks between; empty on other lines.
std::string_view DefnameValue(std::string_view line) {
    // Most lines are passed over by their first bytes.
    if (line.size() < 8 || (line[0] != 'D' && line[0] != 'd') ||
        !EqualsNoCase(line.substr(0, 7), "DEFNAME"))
        return {};
    const std::string_view key = Word(line, "=");
    if (!EqualsNoCase(key, "DEFNAME") && !EqualsNoCase(key, "DEFNAME2")) return {};
    std::string_view rest = SkipScriptBlanks(line.substr(key.size()));
    if (rest.starts_with('=')) rest = SkipScriptBlanks(rest.substr(1));
    return Word(rest, "");
}

} // namespace

void ForEachDefinition(
    std::string_view text,
    const std::function<void(std::string_view name, int line, std::string_view lineText)>& found) {
    const std::string_view lineEnd = LineEndBytes(DetectLineEndStyle(text));
    bool inSection = false;  // lines before the first header belong to none
    bool inDefnames = false; // a [DEFNAME ...] section, whose entries are names
    for (std::size_t start = 0, line = 0;; ++line) {
        // A one-byte line end is searched for as a byte: a search for a string would
        // compare what it finds byte by byte in a library call at every line.
        const std::size_t lineEndAt =
            lineEnd.size() == 1 ? text.find(lineEnd[0], start) : text.find(lineEnd, start);
        const std::size_t end = std::min(lineEndAt, text.size());
        std::string_view lineText = text.substr(start, end - start);
        while (lineText.ends_with('\r'))
            lineText.remove_suffix(1);
        const std::string_view body = SkipScriptBlanks(lineText);
        std::string_view name;
        if (body.starts_with('[')) {
            const std::string_view header = SkipScriptBlanks(body.substr(1));
            const std::string_view kind = Word(header, "]");
            if (EqualsNoCase(kind, "EOF")) return; // the server reads no further
            inSection = true;
            inDefnames = EqualsNoCase(kind, "DEFNAME");
            if (std::any_of(kNamingKinds.begin(), kNamingKinds.end(),
                            [&](std::string_view k) { return EqualsNoCase(kind, k); }))
                name = Word(SkipScriptBlanks(header.substr(kind.size())), "]");
        } else if (inDefnames) {
            name = Word(body, "=");
        } else if (inSection) {
            name = DefnameValue(body);
        }
        if (!name.empty()) found(name, int(line), lineText);
        if (end == text.size()) return;
        start = end + lineEnd.size();
    }
}

void CDefinitionIndex::Remember(FileTable::const_iterator file) {
    for (std::size_t i = 0; i < file->second.sites.size(); ++i)
        m_byName[file->second.sites[i].key].emplace_back(&file->first, i);
}

void CDefinitionIndex::Forget(FileTable::const_iterator file) {
    for (const Site& site : file->second.sites) {
        const auto named = m_byName.find(site.key);
        if (named == m_byName.end()) continue;
        std::erase_if(named->second,
                      [&](const auto& place) { return place.first == &file->first; });
        if (named->second.empty()) m_byName.erase(named);
    }
}

CDefinitionIndex::RefreshCounts CDefinitionIndex::Refresh(const std::string& folder,
                                                          std::string_view patterns,
                                                          const std::atomic<bool>* stop) {
    RefreshCounts counts;
    std::set<const std::string*> seen;
    std::string bytes, error;
    const auto visit = [&](const std::string& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            ++counts.unreadable;
            return;
        }
        const std::int64_t modified =
            std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        auto file = m_files.find(path);
        if (file != m_files.end() && file->second.size == info.st_size &&
            file->second.modified == modified) {
            seen.insert(&file->first);
            return;
        }
        // Stat before reading: a change while reading shows at the next refresh.
        if (!ReadWholeFile(path, bytes, error)) {
            ++counts.unreadable;
            return;
        }
        ++counts.read;
        if (file == m_files.end())
            file = m_files.emplace(path, FileEntry{}).first;
        else
            Forget(file);
        FileEntry& entry = file->second;
        entry = {std::int64_t(info.st_size), modified, {}};
        ForEachDefinition(bytes, [&](std::string_view name, int line, std::string_view text) {
            entry.sites.push_back({UpperAscii(name), line, std::string(text)});
        });
        Remember(file);
        seen.insert(&file->first);
    };
    counts.unreadable += WalkFiles(folder, FilePatterns::Parse(patterns), visit, stop).unreadable;
    if (!(stop && *stop)) {
        for (auto file = m_files.begin(); file != m_files.end();) {
            if (seen.count(&file->first)) {
                ++file;
                continue;
            }
            Forget(file);
            file = m_files.erase(file);
        }
    }
    counts.files = m_files.size();
    return counts;
}

std::vector<DefinitionSite>
CDefinitionIndex::Lookup(std::string_view name,
                         const std::map<std::string, std::string_view>& overrides) const {
    std::vector<DefinitionSite> sites;
    if (const auto named = m_byName.find(UpperAscii(name)); named != m_byName.end()) {
        for (const auto& [path, index] : named->second) {
            if (overrides.count(*path)) continue;
            const Site& site = m_files.find(*path)->second.sites[index];
            sites.push_back({*path, site.line, site.text});
        }
    }
    // An open document is read only when it holds the name at all.
    const CTextMatcher mentions(name, FindWholeWord);
    for (const auto& [path, text] : overrides) {
        if (mentions.ForEachMatchingLine(text, [](const LineMatch&) { return false; }) == 0)
            continue;
        ForEachDefinition(text, [&](std::string_view defined, int line, std::string_view lineText) {
            if (EqualsNoCase(defined, name)) sites.push_back({path, line, std::string(lineText)});
        });
    }
    std::sort(sites.begin(), sites.end(), [](const DefinitionSite& a, const DefinitionSite& b) {
        return std::tie(a.path, a.line) < std::tie(b.path, b.line);
    });
    return sites;
}
