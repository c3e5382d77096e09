#pragma once

#include <cstdint>

// Little-endian fields of the client files, read byte by byte so that neither the host's
// byte order nor the alignment of the field matters. The caller checks the bounds.
inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(ReadU16(p)) | (std::uint32_t(ReadU16(p + 2)) << 16);
}

inline std::uint64_t ReadU64(const std::uint8_t* p) {
    return std::uint64_t(ReadU32(p)) | (std::uint64_t(ReadU32(p + 4)) << 32);
}
