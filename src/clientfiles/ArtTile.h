#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One cell of the Art Picker: 44 x 44 pixels, 0x00RRGGBB, row by row.
constexpr int ArtTileSize = 44;
using ArtTile = std::array<std::uint32_t, ArtTileSize * ArtTileSize>;

// Decodes the static art entry `entry` (`size` bytes: header, width, height, row table,
// run data) into `tile`, which the caller has filled with the background. Returns false,
// leaving the tile untouched, when the header is outside 1..65535 or the entry is too
// short to hold it, its size and its row table. Draws only what lies in columns 0..43 of
// rows 0..43; every read stays inside the entry: a run that would pass its end ends that
// row, a row whose start lies outside it stays background.
bool DecodeArtTile(const std::uint8_t* entry, std::size_t size, ArtTile& tile);
