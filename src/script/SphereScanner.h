#pragma once

#include "buffer/ColourSpan.h"

#include <span>
#include <string_view>

// Bit set in the returned cookie when a line holds a `//` comment.
constexpr LineCookie SphereCommentCookieBit = 1;

// Colours one line of SphereScript in a single pass. No allocation, no state between calls;
// only the bytes in [text, text + length) are read, and every byte >= 0x80 ends a word.
//
// Marks `//` comments (to the line's end), `@` trigger marks (not in column 0) and the two
// keyword lists. Only the first keyword of a line may take the flow colour. Spans are
// appended at spans[*count], which grows; a span that would start before the last one in
// the array is dropped, so starts never decrease. A line of n bytes adds at most 2n spans:
// the array must have room for *count + 2 * length spans.
//
// With `spans` null (then `count` may be null too) only the cookie is computed; it is the
// same as with an array. The result is `cookie`, with SphereCommentCookieBit set when the
// line holds a comment; the incoming cookie never affects the colours.
LineCookie ScanSphereLine(const char* text, int length, LineCookie cookie, ColourSpan* spans,
                          int* count);

// Which keyword list a word is in; the lists share no word.
enum class SphereWordKind { None, Flow, Property };

// Matches a whole word against both lists, ignoring ASCII case only.
SphereWordKind ClassifySphereWord(const char* word, int length);

inline bool IsSphereFlowWord(const char* word, int length) {
    return ClassifySphereWord(word, length) == SphereWordKind::Flow;
}
inline bool IsSpherePropertyWord(const char* word, int length) {
    return ClassifySphereWord(word, length) == SphereWordKind::Property;
}

// The keyword lists in lower case, in no particular order.
std::span<const std::string_view> SphereFlowWords();
std::span<const std::string_view> SpherePropertyWords();
