#include "LineEnds.h"

#include <cstring>

std::string_view LineEndBytes(int style) {
    switch (style) {
    case StyleUNIX:
        return "\n\r";
    case StyleMAC:
        return "\n";
    default:
        return "\r\n";
    }
}

int DetectLineEndStyle(const char* block, std::size_t size) {
    const void* found = std::memchr(block, '\n', size);
    if (!found) return StyleDOS;
    const std::size_t i = static_cast<const char*>(found) - block;
    if (i > 0 && block[i - 1] == '\r') return StyleDOS;
    if (i + 1 < size && block[i + 1] == '\r') return StyleUNIX;
    return StyleMAC;
}
