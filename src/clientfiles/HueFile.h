#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// HUES.MUL: blocks of 708 bytes (a 4-byte header and 8 hues of 88 bytes: 32 colour words,
// two table words, a 20-byte name). At most 375 blocks (3,000 hues) are read; hue index h
// is entry h % 8 of block h / 8, shown and inserted as hue number h + 1.
class CHueFile {
public:
    static constexpr int MaxHues = 3000;
    static constexpr int ColoursPerHue = 32;
    static constexpr std::size_t BlockSize = 708;
    static constexpr int MaxBlocks = 375;

    // Reads the file; false when it cannot be opened or read (`Error()` says why).
    bool Load(const std::string& path);
    // The same from bytes already read.
    void Assign(const std::uint8_t* bytes, std::size_t size);

    // The hues the file holds (8 per whole block, at most MaxHues).
    int Count() const { return int(m_colours.size() / ColoursPerHue); }
    // Colour word `j` (0..31) of hue index `hue`; 0 for a hue the file does not hold.
    std::uint16_t Colour(int hue, int j) const;
    // The name's bytes up to the first zero byte, at most 20; empty for a missing hue.
    std::string Name(int hue) const;

    const std::string& Error() const { return m_error; }

private:
    std::vector<std::uint16_t> m_colours; // Count() hues x 32 words
    std::vector<std::string> m_names;
    std::string m_error;
};
