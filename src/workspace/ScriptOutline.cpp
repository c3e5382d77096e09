#include "ScriptOutline.h"

#include "buffer/TextBuffer.h"
#include "script/ScriptChars.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

// Longer headers and DEFNAME lines are cut here: the outline shows a label, not a line.
constexpr std::size_t kMaxCopied = 256;
// An outline holds the first this many header and DEFNAME lines: a world save has tens of
// millions of sections, which no tree is browsed for, and copying them all after every
// pause in typing would hold up the window and take more memory than the text.
constexpr std::size_t kMaxOutlineLines = 200000;

std::string_view TrimBlanks(std::string_view text) {
    text = SkipScriptBlanks(text);
    while (!text.empty() &&
           (IsScriptBlank(text.back()) || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view upperPrefix) {
    if (text.size() < upperPrefix.size()) return false;
    for (std::size_t i = 0; i < upperPrefix.size(); ++i)
        if (UpperAscii(text[i]) != upperPrefix[i]) return false;
    return true;
}

// The first byte of a line that is not a blank, or 0 when there is none.
char FirstNonBlank(std::string_view line) {
    const std::string_view rest = SkipScriptBlanks(line);
    return rest.empty() ? 0 : rest.front();
}

// The value of a "DEFNAME=value" or "DEFNAME value" line, or nothing. DEFNAME2 and other
// longer keys do not count.
std::string_view DefnameValue(std::string_view line) {
    constexpr std::string_view key = "DEFNAME";
    if (!StartsWithNoCase(line, key)) return {};
    std::string_view rest = line.substr(key.size());
    if (rest.empty() || (rest.front() != '=' && !IsScriptBlank(rest.front()))) return {};
    rest = TrimBlanks(rest);
    if (!rest.empty() && rest.front() == '=') rest = TrimBlanks(rest.substr(1));
    // The name ends at a blank or a comment.
    std::size_t end = 0;
    while (end < rest.size() && !IsScriptBlank(rest[end]) && rest.substr(end, 2) != "//")
        ++end;
    return rest.substr(0, end);
}

OutlineRoot RootOf(std::string_view header) {
    const std::string_view word(
        header.data(),
        std::size_t(std::find_if(header.begin(), header.end(), IsScriptBlank) - header.begin()));
    struct Kind {
        std::string_view word;
        OutlineRoot root;
    };
    static constexpr std::array<Kind, 4> kinds{{{"ITEMDEF", OutlineRoot::Items},
                                                {"CHARDEF", OutlineRoot::Chars},
                                                {"FUNCTION", OutlineRoot::Functions},
                                                {"TYPEDEF", OutlineRoot::Types}}};
    for (const Kind& kind : kinds)
        if (word.size() == kind.word.size() && StartsWithNoCase(word, kind.word)) return kind.root;
    return OutlineRoot::Misc;
}

} // namespace

OutlineLines OutlineLines::From(const CTextBuffer& buffer) {
    OutlineLines lines;
    // The first pass finds the lines and the room their copies take, the second copies them
    // into a block made once: growing the block line by line cost more than the search.
    std::uint64_t total = 0;
    for (int i = 0, n = buffer.LineCount(); i < n && lines.Count() < kMaxOutlineLines; ++i) {
        const std::string_view text = buffer.Line(i);
        // A header, or a line that may be a DEFNAME key.
        const char first = FirstNonBlank(text);
        if (first != '[' && first != 'D' && first != 'd') continue;
        const std::size_t length = std::min(text.size(), kMaxCopied);
        // Offsets are 32-bit; a copy that would pass them ends the outline there.
        if (total + length > std::numeric_limits<std::uint32_t>::max()) break;
        lines.m_entries.push_back({i, std::uint32_t(total), std::uint32_t(length)});
        lines.m_headers += first == '[';
        total += length;
    }
    lines.m_bytes.resize(std::size_t(total));
    for (const Entry& entry : lines.m_entries)
        std::memcpy(lines.m_bytes.data() + entry.start, buffer.Line(entry.line).data(),
                    entry.length);
    return lines;
}

ScriptOutline BuildOutline(OutlineLines lines) {
    ScriptOutline outline{std::move(lines), {}};
    const OutlineLines& copied = outline.lines;
    const char* base = copied.Bytes().data();
    const auto piece = [base](std::string_view text) {
        return OutlineText{std::uint32_t(text.data() - base), std::uint32_t(text.size())};
    };
    std::vector<OutlineSection>& sections = outline.sections;
    sections.reserve(copied.HeaderCount());
    bool needDefname = false;
    for (std::size_t i = 0; i < copied.Count(); ++i) {
        const std::string_view text = TrimBlanks(copied.TextAt(i));
        if (text.empty()) continue;
        if (text.front() == '[') {
            std::string_view header = text.substr(1);
            header = TrimBlanks(header.substr(0, header.find(']')));
            needDefname = false;
            if (header.empty() || (header.size() == 3 && StartsWithNoCase(header, "EOF"))) continue;
            sections.push_back({copied.LineAt(i), RootOf(header), piece(header), {}});
            needDefname = true;
        } else if (needDefname) {
            const std::string_view value = DefnameValue(text);
            if (value.empty()) continue;
            sections.back().defname = piece(value);
            needDefname = false;
        }
    }
    return outline;
}
