#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The first 393,216 bytes (32,768 records of 12) of ARTIDX.MUL. Records 0x4000..0x7FFF
// describe the static art: static id n is record 0x4000 + n. A shorter file is taken as it
// is; the records it lacks have no art.
class CArtIndex {
public:
    static constexpr std::size_t ReadBytes = 393216;
    static constexpr int StaticCount = 16384;
    static constexpr std::uint32_t NoArt = 0xFFFFFFFF;

    // Reads the file; false when it cannot be opened or read (`Error()` says why).
    bool Load(const std::string& path);
    // The same from bytes already read (at most ReadBytes of them count).
    void Assign(const std::uint8_t* bytes, std::size_t size);

    // NoArt for an id outside 0..16383 or a record the index does not hold.
    std::uint32_t Offset(int id) const;
    std::uint32_t Length(int id) const;
    // The static ids whose offset is not NoArt, ascending.
    std::vector<std::uint16_t> StaticIds() const;

    const std::string& Error() const { return m_error; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::string m_error;
};
