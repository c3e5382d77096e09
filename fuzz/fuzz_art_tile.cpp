// Decodes any bytes as a static art entry.
#include "clientfiles/ArtTile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ArtTile tile{};
    DecodeArtTile(data, size, tile);
    return 0;
}
