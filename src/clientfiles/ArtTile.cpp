#include "ArtTile.h"

#include "ColorFrom555.h"
#include "LittleEndian.h"

namespace {

constexpr std::size_t kHeaderSize = 8; // header, width, height

// Decodes the runs of row `y` starting at byte `at` of the entry, until the end run (0, 0),
// a run that would pass the end of the entry, or the column passing the tile: the column
// only grows, so no later run of the row could be drawn.
void DecodeRow(const std::uint8_t* entry, std::size_t size, std::size_t at, int y, ArtTile& tile) {
    std::size_t column = 0;
    while (column < std::size_t(ArtTileSize) && at + 4 <= size) {
        const std::size_t skip = ReadU16(entry + at);
        const std::size_t count = ReadU16(entry + at + 2);
        at += 4;
        if (skip == 0 && count == 0) return;
        if (count * 2 > size - at) return;
        column += skip;
        for (std::size_t i = 0; i < count && column < std::size_t(ArtTileSize); ++i, ++column)
            tile[std::size_t(y) * ArtTileSize + column] = ColorFrom555(ReadU16(entry + at + 2 * i));
        at += count * 2;
    }
}

} // namespace

bool DecodeArtTile(const std::uint8_t* entry, std::size_t size, ArtTile& tile) {
    if (size < kHeaderSize) return false;
    const std::uint32_t header = ReadU32(entry);
    if (header < 1 || header > 65535) return false;
    const std::size_t height = ReadU16(entry + 6);
    const std::size_t dataArea = kHeaderSize + 2 * height;
    if (dataArea > size) return false;
    // Rows past 43 would only be clipped; the width is never needed, since each row ends
    // with its end run and the tile clips the columns.
    for (std::size_t y = 0; y < height && y < std::size_t(ArtTileSize); ++y) {
        const std::size_t start = dataArea + 2 * std::size_t(ReadU16(entry + kHeaderSize + 2 * y));
        DecodeRow(entry, size, start, int(y), tile);
    }
    return true;
}
