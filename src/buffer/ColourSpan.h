#pragma once

#include <cstdint>

// Colour roles of the text views. Indices above ColourPropertyKeyword draw in pure red.
enum ColourIndex : std::int32_t {
    ColourEmptyArea = 0,
    ColourBackground = 1,
    ColourNormalText = 2,
    ColourSelectionMargin = 3,
    ColourSelectionBackground = 4,
    ColourSelectionText = 5,
    ColourFlowKeyword = 6,
    ColourComment = 7,
    ColourTriggerMark = 8,
    ColourPropertyKeyword = 9,
};

// A run of one colour: from `start` to the next span's start, the last one to the line's
// end. Characters before the first span are normal text.
struct ColourSpan {
    std::int32_t start;
    std::int32_t colour;
};

// The 32-bit word a colouring pass hands from one line to the next; 0 for line 0.
using LineCookie = std::uint32_t;
constexpr LineCookie CookieNotComputed = 0xFFFFFFFFu;
