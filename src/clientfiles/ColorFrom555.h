#pragma once

#include <cstdint>

// A colour of the client's data files (bits 10-14 red, 5-9 green, 0-4 blue, bit 15 not
// used) as 0x00RRGGBB: each 5-bit channel times 8, so the low three bits stay 0. Every
// word is a colour, 0 is black: there is no transparent value.
constexpr std::uint32_t ColorFrom555(std::uint16_t word) {
    const std::uint32_t red = ((word >> 10) & 31u) << 3;
    const std::uint32_t green = ((word >> 5) & 31u) << 3;
    const std::uint32_t blue = (word & 31u) << 3;
    return (red << 16) | (green << 8) | blue;
}
