#include "ArtIndex.h"

#include "LittleEndian.h"
#include "ReadOnlyFile.h"

#include <algorithm>

namespace {

constexpr std::size_t kRecordSize = 12;
constexpr int kFirstStaticRecord = 0x4000;

// The field at byte `field` of static id `id`'s record. Only whole records count: a record
// cut short by the end of the file has no art.
std::uint32_t RecordField(const std::vector<std::uint8_t>& bytes, int id, std::size_t field) {
    if (id < 0 || id >= CArtIndex::StaticCount) return CArtIndex::NoArt;
    const std::size_t at = std::size_t(kFirstStaticRecord + id) * kRecordSize;
    return at + kRecordSize <= bytes.size() ? ReadU32(&bytes[at + field]) : CArtIndex::NoArt;
}

} // namespace

bool CArtIndex::Load(const std::string& path) {
    m_error.clear();
    return ReadFileStart(path, ReadBytes, m_bytes, m_error);
}

void CArtIndex::Assign(const std::uint8_t* bytes, std::size_t size) {
    m_bytes.assign(bytes, bytes + std::min(size, ReadBytes));
    m_error.clear();
}

std::uint32_t CArtIndex::Offset(int id) const {
    return RecordField(m_bytes, id, 0);
}

std::uint32_t CArtIndex::Length(int id) const {
    return RecordField(m_bytes, id, 4);
}

std::vector<std::uint16_t> CArtIndex::StaticIds() const {
    std::vector<std::uint16_t> ids;
    for (int id = 0; id < StaticCount; ++id)
        if (Offset(id) != NoArt) ids.push_back(std::uint16_t(id));
    return ids;
}
