#include "ArtSource.h"

#include "ClientFolder.h"
#include "ReadOnlyFile.h"

#include <algorithm>
#include <cstdio>

namespace {

// The most that is read of an entry whose index length cannot be trusted; the decoder finds
// the entry's end within it.
constexpr std::uint64_t kMaxEntryRead = 256 * 1024;
constexpr int kFirstStaticIndex = 0x4000;

// ARTIDX.MUL with ART.MUL, which stays open for the source's life and is read one entry at
// a time.
class CMulArtSource : public CArtSource {
public:
    explicit CMulArtSource(CArtIndex index)
        : m_index(std::move(index)), m_ids(m_index.StaticIds()) {}

    bool OpenArt(const std::string& path) {
        std::string error;
        return !path.empty() && m_art.Open(path, error);
    }

    const std::vector<std::uint16_t>& StaticIds() const override { return m_ids; }

    // The entry's extent is its index length when that lies inside the file; otherwise the
    // entry is read up to 256 KiB or the end of the file, and the decoder finds its end.
    bool DrawTile(int id, ArtTile& tile) const override {
        const std::uint64_t offset = m_index.Offset(id);
        if (offset == CArtIndex::NoArt || offset >= m_art.Size()) return false;
        const std::uint64_t length = m_index.Length(id);
        const std::uint64_t left = m_art.Size() - offset;
        std::vector<std::uint8_t> entry(
            std::size_t(length > 0 && length <= left ? length : std::min(left, kMaxEntryRead)));
        const long n = m_art.ReadAt(offset, entry.data(), entry.size());
        return n > 0 && DecodeArtTile(entry.data(), std::size_t(n), tile);
    }

private:
    CArtIndex m_index;
    std::vector<std::uint16_t> m_ids;
    ReadOnlyFile m_art;
};

// artLegacyMUL.uop: the same entries, found by the hash of their names.
class CUopArtSource : public CArtSource {
public:
    explicit CUopArtSource(CUopFile uop) : m_uop(std::move(uop)) {
        for (int id = 0; id < CArtIndex::StaticCount; ++id)
            if (m_uop.Contains(UopNameHash(UopArtName(id)))) m_ids.push_back(std::uint16_t(id));
    }

    const std::vector<std::uint16_t>& StaticIds() const override { return m_ids; }

    // The container holds more than static art (landscape, and statics past the index's
    // range in newer clients): ids outside 0..16383 name none of the listed entries.
    bool DrawTile(int id, ArtTile& tile) const override {
        if (id < 0 || id >= CArtIndex::StaticCount) return false;
        std::vector<std::uint8_t> entry;
        return m_uop.Read(UopNameHash(UopArtName(id)), entry) &&
               DecodeArtTile(entry.data(), entry.size(), tile);
    }

private:
    CUopFile m_uop;
    std::vector<std::uint16_t> m_ids;
};

} // namespace

ArtOpening OpenClientArt(const std::string& folder) {
    ArtOpening opening;
    const std::string indexPath = FindClientFile(folder, "ARTIDX.MUL");
    const std::string artPath = FindClientFile(folder, "ART.MUL");
    if (indexPath.empty() && artPath.empty()) {
        CUopFile uop;
        const std::string uopPath = FindClientFile(folder, "artLegacyMUL.uop");
        if (!uopPath.empty() && uop.Open(uopPath))
            opening.source = std::make_unique<CUopArtSource>(std::move(uop));
        else
            opening.failure = ArtOpening::Failure::Index;
        return opening;
    }
    CArtIndex index;
    if (indexPath.empty() || !index.Load(indexPath)) {
        opening.failure = ArtOpening::Failure::Index;
        return opening;
    }
    auto source = std::make_unique<CMulArtSource>(std::move(index));
    if (source->OpenArt(artPath))
        opening.source = std::move(source);
    else
        opening.failure = ArtOpening::Failure::Art;
    return opening;
}

std::string UopArtName(int id) {
    char name[48];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga",
                  unsigned(kFirstStaticIndex + id));
    return name;
}
