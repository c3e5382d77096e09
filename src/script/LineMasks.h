#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// What the SphereScript scan looks for in a window of up to 64 bytes of a line, as bit
// masks: bit k stands for byte k of the window. Word bytes are ASCII letters, digits and
// underscores.
struct LineMasks {
    std::uint64_t word;
    std::uint64_t slash;
    std::uint64_t at;
};

constexpr int kMaskWindow = 64;

// The lowest `n` bits, for n from 0 to 64.
constexpr std::uint64_t LowBits(int n) {
    return n >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << n) - 1;
}

#if defined(__SSE2__)
namespace line_masks {

template <typename T> std::uint64_t Load(const char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Where the bytes of `v` lie in [first, first + count), as 0xFF bytes.
inline __m128i InRange(__m128i v, char first, char count) {
    const __m128i offset = _mm_sub_epi8(v, _mm_set1_epi8(first));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(char(count - 1))), offset);
}

// The masks of the 16 bytes of `v`, in their low 16 bits.
inline LineMasks MasksOf16(__m128i v) {
    // Upper and lower case letters meet once bit 0x20 is set.
    const __m128i letter = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 26);
    const __m128i word = _mm_or_si128(_mm_or_si128(letter, InRange(v, '0', 10)),
                                      _mm_cmpeq_epi8(v, _mm_set1_epi8('_')));
    const auto bits = [](__m128i set) { return std::uint64_t(unsigned(_mm_movemask_epi8(set))); };
    return {bits(word), bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('/'))),
            bits(_mm_cmpeq_epi8(v, _mm_set1_epi8('@')))};
}

// The masks of a line of 1 to 15 bytes, read as its first and its last `half` bytes, `half`
// the largest power of two up to its length; the masks of the bytes both halves hold agree.
inline LineMasks MasksOfShortLine(const char* text, int length) {
    std::uint64_t first, last;
    int half;
    if (length >= 8) {
        first = Load<std::uint64_t>(text);
        last = Load<std::uint64_t>(text + length - 8);
        half = 8;
    } else if (length >= 4) {
        first = Load<std::uint32_t>(text) | Load<std::uint32_t>(text + length - 4) << 32;
        last = 0;
        half = 4;
    } else if (length >= 2) {
        first = Load<std::uint16_t>(text) | Load<std::uint16_t>(text + length - 2) << 16;
        last = 0;
        half = 2;
    } else {
        first = static_cast<unsigned char>(text[0]);
        last = 0;
        half = 1;
    }
    const __m128i v = _mm_set_epi64x(static_cast<long long>(last), static_cast<long long>(first));
    const LineMasks m = MasksOf16(v);
    const auto place = [&](std::uint64_t bits) {
        return (bits & LowBits(half)) | ((bits >> half) & LowBits(half)) << (length - half);
    };
    return {place(m.word), place(m.slash), place(m.at)};
}

} // namespace line_masks

// The masks of the `n` bytes (1 to 64) from `base` on in a line of `length` bytes; no byte
// outside the line is read. Sixteen bytes are looked at in one step.
inline LineMasks MasksOf(const char* text, int length, int base, int n) {
    using namespace line_masks;
    if (length < 16) return MasksOfShortLine(text, length);
    LineMasks masks{0, 0, 0};
    for (int block = 0; block < n; block += 16) {
        // The line's last block is read as its last 16 bytes, of which the first `counted`
        // belong to the block before.
        const int start = std::min(base + block, length - 16);
        const int counted = base + block - start;
        const LineMasks m =
            MasksOf16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start)));
        masks.word |= (m.word >> counted) << block;
        masks.slash |= (m.slash >> counted) << block;
        masks.at |= (m.at >> counted) << block;
    }
    return masks;
}
#else
namespace line_masks {

constexpr std::uint64_t kOnes = 0x0101010101010101u;

// The eight bytes at `p`, the first the lowest.
inline std::uint64_t Load8(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x);
    return x;
}

// The high bit of each byte of `bytes` (all below 0x80) set where it lies in [first, last];
// no sum carries into the next byte.
constexpr std::uint64_t InRange(std::uint64_t bytes, unsigned first, unsigned last) {
    return (bytes + kOnes * (0x80 - first)) & ~(bytes + kOnes * (0x7F - last)) & kOnes * 0x80;
}

// The high bits of the eight bytes as the low eight bits.
constexpr std::uint64_t Gather(std::uint64_t highBits) {
    return ((highBits >> 7) * 0x0102040810204080u) >> 56;
}

// The masks of the eight bytes of `x`, byte 0 the lowest; zero bytes are none of them.
constexpr LineMasks MasksOf8(std::uint64_t x) {
    const std::uint64_t ascii = ~x & kOnes * 0x80;
    const std::uint64_t low = x & kOnes * 0x7F;
    const std::uint64_t word =
        InRange(low | kOnes * 0x20, 'a', 'z') | InRange(low, '0', '9') | InRange(low, '_', '_');
    return {Gather(word & ascii), Gather(InRange(low, '/', '/') & ascii),
            Gather(InRange(low, '@', '@') & ascii)};
}

} // namespace line_masks

// The same eight bytes at a time, in plain 64-bit arithmetic.
inline LineMasks MasksOf(const char* text, int length, int base, int n) {
    using namespace line_masks;
    LineMasks masks{0, 0, 0};
    for (int group = 0; group < n; group += 8) {
        // The line's last group is read as its last 8 bytes, less those of the group before;
        // a line shorter than that one byte at a time.
        const int start = base + group;
        std::uint64_t x = 0;
        if (start + 8 <= length) {
            x = Load8(text + start);
        } else if (length >= 8) {
            x = Load8(text + length - 8) >> (8 * (start + 8 - length));
        } else {
            for (int i = start; i < length; ++i)
                x |= std::uint64_t(static_cast<unsigned char>(text[i])) << (8 * (i - start));
        }
        const LineMasks m = MasksOf8(x);
        masks.word |= m.word << group;
        masks.slash |= m.slash << group;
        masks.at |= m.at << group;
    }
    return masks;
}
#endif
