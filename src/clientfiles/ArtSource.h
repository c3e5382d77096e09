#pragma once

#include "ArtIndex.h"
#include "ArtTile.h"
#include "UopFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Where the static art of a client comes from: the ARTIDX.MUL and ART.MUL pair of older
// clients, or artLegacyMUL.uop of clients since 2010. Both give the same entries.
class CArtSource {
public:
    virtual ~CArtSource() = default;
    // The static ids that have art, ascending.
    virtual const std::vector<std::uint16_t>& StaticIds() const = 0;
    // Draws static id `id` into `tile` (filled with the background by the caller); false
    // when the id has no art that decodes, leaving the tile as it was.
    virtual bool DrawTile(int id, ArtTile& tile) const = 0;
};

// What opening the art of a client folder gave: a source, or which file failed.
struct ArtOpening {
    std::unique_ptr<CArtSource> source;
    enum class Failure { None, Index, Art } failure = Failure::None;
};

// Opens the art of the client in `folder`: ARTIDX.MUL with ART.MUL when the folder holds
// either of them (an unreadable index fails as Index, then a missing or unreadable
// ART.MUL as Art); otherwise artLegacyMUL.uop when the folder holds it; otherwise Index.
// Names are found whatever their case.
ArtOpening OpenClientArt(const std::string& folder);

// The UOP name of static id `id`: "build/artlegacymul/%08u.tga" of index 0x4000 + id.
std::string UopArtName(int id);
