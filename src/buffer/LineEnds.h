#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

// Bytes written between lines. A file keeps the style found when it was read.
enum LineEndStyle : int {
    StyleDOS = 0,  // CR LF
    StyleUNIX = 1, // LF CR
    StyleMAC = 2,  // LF alone
};

// How many bytes from the start of a file decide its style: the first block read.
constexpr std::size_t kLineEndSampleBytes = 32768;

// The bytes that end a line in `style`; any other style counts as DOS.
std::string_view LineEndBytes(int style);

// The style of a text, from its first block: CR LF before the first LF is DOS, LF CR is
// UNIX, a lone LF is MAC, and a block without LF is DOS.
int DetectLineEndStyle(const char* block, std::size_t size);

// The style a file holding `text` is read with: that of its first kLineEndSampleBytes.
inline int DetectLineEndStyle(std::string_view text) {
    return DetectLineEndStyle(text.data(), std::min(text.size(), kLineEndSampleBytes));
}
