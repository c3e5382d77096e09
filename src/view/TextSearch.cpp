#include "TextSearch.h"

#include <array>
#include <cctype>
#include <cstring>

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

bool HasAnyOf(std::string_view text, std::string_view bytes) {
    for (const char byte : bytes) {
        if (std::memchr(text.data(), byte, text.size())) return true;
    }
    return false;
}

void UpperCase(std::string& text) {
    for (char& byte : text)
        byte = UpperTable[static_cast<unsigned char>(byte)];
}

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

namespace {

// The first occurrence that `find` reports from an offset on, skipping those next to a word
// character when `wholeWord` is set; occurrences may overlap.
template <typename Find>
int FirstOccurrence(std::string_view text, std::size_t needleSize, bool wholeWord, Find find) {
    for (std::size_t from = 0;;) {
        const std::size_t at = find(from);
        if (at == std::string_view::npos) return -1;
        if (!wholeWord || IsWholeWordAt(text, at, needleSize)) return static_cast<int>(at);
        from = at + 1;
    }
}

// Like std::string_view::find, comparing the upper case of the text's bytes with a needle
// that is upper case already. Upper-casing keeps a byte's class, so word boundaries stay.
std::size_t FindFolded(std::string_view text, std::string_view upperNeedle, std::size_t from) {
    const std::size_t size = upperNeedle.size();
    if (size == 0) return from <= text.size() ? from : std::string_view::npos;
    for (std::size_t at = from; at + size <= text.size(); ++at) {
        if (UpperCaseByte(text[at]) != upperNeedle[0]) continue;
        std::size_t k = 1;
        while (k < size && UpperCaseByte(text[at + k]) == upperNeedle[k])
            ++k;
        if (k == size) return at;
    }
    return std::string_view::npos;
}

} // namespace

int FindInLine(std::string_view text, std::string_view needle, bool wholeWord) {
    return FirstOccurrence(text, needle.size(), wholeWord,
                           [&](std::size_t from) { return text.find(needle, from); });
}

int CTextSearch::MatchInLine(int line, int from, std::string_view needle, unsigned flags) {
    if (line < 0 || line >= m_lineCount) return -1;
    const std::string_view text = m_line(line);
    from = std::max(from, 0);
    if (static_cast<int>(text.size()) - from <= 0) return -1;
    const std::string_view searched = text.substr(std::size_t(from));
    // Most lines hold no byte that can start a match: they are passed over at memchr speed.
    if (!needle.empty() && !HasAnyOf(searched, m_firstBytes)) return -1;
    if (flags & FindMatchCase) return FindInLine(searched, needle, flags & FindWholeWord);
    return FirstOccurrence(searched, needle.size(), flags & FindWholeWord,
                           [&](std::size_t at) { return FindFolded(searched, needle, at); });
}

bool CTextSearch::SearchDown(std::string_view needle, TextPosition from, TextPosition end,
                             unsigned flags, TextPosition& found) {
    for (TextPosition q = from; q.line <= end.line; q = {q.line + 1, 0}) {
        const int k = MatchInLine(q.line, q.ch, needle, flags);
        if (k < 0) continue;
        const TextPosition match{q.line, q.ch + k};
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
    std::string needle(text);
    m_firstBytes.clear();
    if (!(flags & FindMatchCase)) UpperCase(needle);
    if (!needle.empty()) {
        for (int byte = 0; byte < 256; ++byte) {
            const char value = static_cast<char>(byte);
            const bool starts =
                (flags & FindMatchCase) ? value == needle[0] : UpperCaseByte(value) == needle[0];
            if (starts) m_firstBytes += value;
        }
    }
    TextPosition q = start < begin ? begin : start;

    if (!(flags & FindDirectionUp)) {
        if (SearchDown(needle, q, end, flags, found)) return true;
        return wrap && SearchDown(needle, begin, end, flags, found);
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
        const int k = MatchInLine(q.line, q.ch, needle, flags);
        if (k >= 0) {
            found = {q.line, q.ch + k};
            return true;
        }
        q = {q.line - 1, 0};
    }
}
