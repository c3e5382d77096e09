#pragma once

#include <algorithm>
#include <array>
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
// The same one byte at a time, through a table of what each byte is.
inline LineMasks MasksOf(const char* text, int, int base, int n) {
    enum : unsigned char { Word = 1, Slash = 2, At = 4 };
    static constexpr std::array<unsigned char, 256> kinds = [] {
        std::array<unsigned char, 256> table{};
        for (int b = 0; b < 256; ++b) {
            const bool letter = (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
            const bool word = letter || (b >= '0' && b <= '9') || b == '_';
            table[std::size_t(b)] =
                (word ? Word : 0) | (b == '/' ? Slash : 0) | (b == '@' ? At : 0);
        }
        return table;
    }();
    LineMasks masks{0, 0, 0};
    for (int k = 0; k < n; ++k) {
        const unsigned kind = kinds[static_cast<unsigned char>(text[base + k])];
        masks.word |= std::uint64_t(kind & Word) << k;
        masks.slash |= std::uint64_t((kind & Slash) >> 1) << k;
        masks.at |= std::uint64_t((kind & At) >> 2) << k;
    }
    return masks;
}
#endif
