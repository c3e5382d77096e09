#include "HueFile.h"

#include "LittleEndian.h"
#include "ReadOnlyFile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t kBlockHeaderSize = 4;
constexpr std::size_t kEntrySize = 88;
constexpr std::size_t kNameOffset = 68;
constexpr std::size_t kNameSize = 20;
constexpr int kHuesPerBlock = 8;

} // namespace

bool CHueFile::Load(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    const bool read = ReadFileStart(path, BlockSize * MaxBlocks, bytes, error);
    Assign(bytes.data(), bytes.size());
    m_error = error;
    return read;
}

void CHueFile::Assign(const std::uint8_t* bytes, std::size_t size) {
    const int count = int(std::min<std::size_t>(size / BlockSize, MaxBlocks)) * kHuesPerBlock;
    m_colours.assign(std::size_t(count) * ColoursPerHue, 0);
    m_names.assign(std::size_t(count), std::string());
    for (int hue = 0; hue < count; ++hue) {
        const std::uint8_t* entry = bytes + std::size_t(hue / kHuesPerBlock) * BlockSize +
                                    kBlockHeaderSize +
                                    std::size_t(hue % kHuesPerBlock) * kEntrySize;
        for (int j = 0; j < ColoursPerHue; ++j)
            m_colours[std::size_t(hue) * ColoursPerHue + std::size_t(j)] = ReadU16(entry + 2 * j);
        // A name fills all 20 bytes when it has no zero byte; what follows a zero is junk.
        const char* name = reinterpret_cast<const char*>(entry + kNameOffset);
        m_names[std::size_t(hue)].assign(name, ::strnlen(name, kNameSize));
    }
    m_error.clear();
}

std::uint16_t CHueFile::Colour(int hue, int j) const {
    if (hue < 0 || hue >= Count() || j < 0 || j >= ColoursPerHue) return 0;
    return m_colours[std::size_t(hue) * ColoursPerHue + std::size_t(j)];
}

std::string CHueFile::Name(int hue) const {
    return hue >= 0 && hue < Count() ? m_names[std::size_t(hue)] : std::string();
}
