#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One line of a text that holds a match: the line's number (from 0), its bytes without the
// line end, and where in it the first match starts.
struct LineMatch {
    int line = 0;
    std::string_view text;
    int column = 0;
    int length = 0;
};

// The matching of the Find dialog applied to whole texts: bytes compared exactly with
// FindMatchCase, else by their Windows-1252 upper case; with FindWholeWord only occurrences
// not next to a word character (ASCII letter, digit, underscore). Fast on large texts:
// candidates are found by memchr over the needle's least frequent byte, and line ends are
// counted only on the way to a match.
class CTextMatcher {
public:
    // `flags` are the SearchFlags FindMatchCase and FindWholeWord. An empty needle, or one
    // holding CR or LF, matches nothing.
    CTextMatcher(std::string_view needle, unsigned flags);

    // The first match in one line at or after `from`, or -1.
    int FindInLine(std::string_view line, int from = 0) const;

    // Calls `found` for every line of `text` that holds a match, in order, with the first
    // match of that line. Lines are cut exactly as the text buffer cuts a file it reads
    // (the line-end style found at the first line end, then every occurrence of that line
    // end), so the numbers are those the editor shows (counting from 0). Returns the number
    // of matching lines; stops early when `found` returns false.
    int ForEachMatchingLine(std::string_view text,
                            const std::function<bool(const LineMatch&)>& found) const;

    std::size_t NeedleLength() const { return m_needle.size(); }

private:
    class Candidates;
    // The first match in `text` at or after `from`, whole words judged within `text`, or
    // npos. `candidates` belong to `text` and go on from one call to the next.
    std::size_t Find(std::string_view text, std::size_t from, Candidates& candidates) const;
    // The same in time linear in the text whatever it holds, for texts where the skip
    // search would compare far more bytes than it passes over.
    std::size_t FindLinear(std::string_view text, std::size_t from) const;

    std::string m_needle; // upper case unless matching case; empty when it can never match
    unsigned m_flags;
    std::array<char, 256> m_fold{};    // what each byte compares as
    std::size_t m_rareAt = 0;          // the needle's least frequent byte in script text
    std::string m_rareBytes;           // the bytes that compare as that one
    std::vector<std::size_t> m_border; // longest proper border of each needle prefix
};
