#pragma once

#include "buffer/TextPosition.h"

#include <functional>
#include <string_view>

class CTextMatcher;

// Search flags of the text view and the search dialogs.
enum SearchFlags : unsigned {
    FindMatchCase = 0x01,   // compare bytes exactly; otherwise both texts are upper-cased
    FindWholeWord = 0x02,   // only matches that are not part of a longer word
    FindDirectionUp = 0x10, // towards the start of the text
};

// The offset of the first occurrence of `needle` in `text`, or -1. With `wholeWord` an
// occurrence next to a word character (letter, digit, underscore) is skipped and the search
// goes on one byte further, so occurrences may overlap. The byte before offset 0 and after
// the end count as no word character.
int FindInLine(std::string_view text, std::string_view needle, bool wholeWord);

// The Windows-1252 upper case of a byte (ASCII and the accented letters of the code page).
char UpperCaseByte(char byte);

// Whether a byte belongs to a word: an ASCII letter, digit or underscore. Bytes from 0x80
// up are no word characters, as for the caret's word moves.
bool IsWordByte(char byte);

// Whether the `length` bytes at `at` in `text` stand as a whole word: no word character
// right before or after them. The text's own ends count as no word character.
bool IsWholeWordAt(std::string_view text, std::size_t at, std::size_t length);

// Line-by-line search over a text that it reads through `line`; needs no window. A match
// never crosses a line end.
class CTextSearch {
public:
    using LineReader = std::function<std::string_view(int line)>;

    CTextSearch(int lineCount, LineReader line) : m_lineCount(lineCount), m_line(std::move(line)) {}

    // Searches from `start` inside the block [begin, end). Downwards the block limits the
    // matches and `wrap` searches the whole block once more from `begin`; upwards the lines
    // run from the start line to line 0 and, with `wrap`, from the last line on, each line
    // looked through left to right from the start character (0 on every other line).
    bool FindInRange(std::string_view text, TextPosition start, TextPosition begin,
                     TextPosition end, unsigned flags, bool wrap, TextPosition& found);

private:
    // Where the first match in `line` at or after `from` starts, or -1.
    int MatchInLine(int line, int from, const CTextMatcher& matcher, unsigned flags);
    bool SearchDown(const CTextMatcher& matcher, TextPosition from, TextPosition end,
                    unsigned flags, TextPosition& found);

    int m_lineCount;
    LineReader m_line;
};
