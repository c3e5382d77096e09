#pragma once

#include <compare>

// A place in the text: zero-based line and character (byte) index; a tab counts as one
// character. Positions order by line, then character.
struct TextPosition {
    int line = 0;
    int ch = 0;

    friend constexpr bool operator==(TextPosition, TextPosition) = default;
    friend constexpr auto operator<=>(TextPosition, TextPosition) = default;
};
