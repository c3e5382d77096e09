#include "TextSearch.h"

#include "find/TextMatcher.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr std::array<char, 256> MakeUpperTable() {
    std::array<char, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        int upper = byte;
        if (byte >= 'a' && byte <= 'z')
            upper = byte - 0x20;
        else if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) // à..þ except ÷
            upper = byte - 0x20;
        else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) // š œ ž
            upper = byte - 0x10;
        else if (byte == 0xFF) // ÿ
            upper = 0x9F;
        table[std::size_t(byte)] = static_cast<char>(upper);
    }
    return table;
}

constexpr std::array<char, 256> UpperTable = MakeUpperTable();

} // namespace

char UpperCaseByte(char byte) {
    return UpperTable[static_cast<unsigned char>(byte)];
}

bool IsWordByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x80 && (std::isalnum(value) || value == '_');
}

bool IsWholeWordAt(std::string_view text, std::size_t at, std::size_t length) {
    const std::size_t after = at + length;
    return !(at > 0 && IsWordByte(text[at - 1])) &&
           !(after < text.size() && IsWordByte(text[after]));
}

int FindInLine(std::string_view text, std::string_view needle, bool wholeWord) {
    // Occurrences may overlap: the search goes on one byte after one next to a word byte.
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(needle, from);
        if (at == std::string_view::npos) return -1;
        if (!wholeWord || IsWholeWordAt(text, at, needle.size())) return static_cast<int>(at);
        from = at + 1;
    }
}

int CTextSearch::MatchInLine(int line, int from, const CTextMatcher& matcher, unsigned flags) {
    if (line < 0 || line >= m_lineCount) return -1;
    const std::string_view text = m_line(line);
    from = std::max(from, 0);
    if (static_cast<int>(text.size()) - from <= 0) return -1;
    if (matcher.NeedleLength() > 0) return matcher.FindInLine(text, from);
    // The matcher matches no empty needle; here one matches where the line allows.
    const int k = ::FindInLine(text.substr(std::size_t(from)), {}, flags & FindWholeWord);
    return k < 0 ? -1 : from + k;
}

bool CTextSearch::SearchDown(const CTextMatcher& matcher, TextPosition from, TextPosition end,
                             unsigned flags, TextPosition& found) {
    for (TextPosition q = from; q.line <= end.line; q = {q.line + 1, 0}) {
        const int ch = MatchInLine(q.line, q.ch, matcher, flags);
        if (ch < 0) continue;
        const TextPosition match{q.line, ch};
        if (match.line != end.line || match.ch < end.ch) {
            found = match;
            return true;
        }
        return false;
    }
    return false;
}

bool CTextSearch::FindInRange(std::string_view text, TextPosition start, TextPosition begin,
                              TextPosition end, unsigned flags, bool wrap, TextPosition& found) {
    // Matches never cross a line end, so a search text holding a line break (typed into the
    // dialog as LF or CR LF) is never found, not even a stray LF byte inside a line.
    if (begin == end || m_lineCount <= 0 || text.find_first_of("\r\n") != std::string_view::npos)
        return false;
    // Lines are passed over at memchr speed for the needle's rarest byte.
    const CTextMatcher matcher(text, flags & (FindMatchCase | FindWholeWord));
    TextPosition q = start < begin ? begin : start;

    if (!(flags & FindDirectionUp)) {
        if (SearchDown(matcher, q, end, flags, found)) return true;
        return wrap && SearchDown(matcher, begin, end, flags, found);
    }
    // Upwards the block's ends are not consulted: lines from the start line to the first,
    // then once from the last line, each searched from its start character on.
    if (q.line >= m_lineCount) q = {m_lineCount - 1, 0};
    for (;;) {
        if (q.line < 0) {
            if (!wrap) return false;
            wrap = false;
            q = {m_lineCount - 1, 0};
        }
        const int ch = MatchInLine(q.line, q.ch, matcher, flags);
        if (ch >= 0) {
            found = {q.line, ch};
            return true;
        }
        q = {q.line - 1, 0};
    }
}
