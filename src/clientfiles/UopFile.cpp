#include "UopFile.h"

#include "LittleEndian.h"
#include "ReadOnlyFile.h"
#include "fileio/FileErrors.h"

#include <cerrno>
#include <unordered_set>

#include <zlib.h>

namespace {

constexpr std::uint32_t kMagic = 0x0050594D; // "MYP\0"
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kTableHeaderSize = 12; // entry count, offset of the next table
constexpr std::size_t kEntrySize = 34;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kZlib = 1;
// No entry of a client file inflates to more; a larger claim is a lie that would only cost
// memory. Deflate, too, cannot give more than 1032 bytes per byte (258 for every two bits).
constexpr std::uint32_t kMaxInflated = 64u << 20;
constexpr std::uint64_t kMaxDeflateRatio = 1032;

std::uint32_t Rotate(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    a -= c, a ^= Rotate(c, 4), c += b;
    b -= a, b ^= Rotate(a, 6), a += c;
    c -= b, c ^= Rotate(b, 8), b += a;
    a -= c, a ^= Rotate(c, 16), c += b;
    b -= a, b ^= Rotate(a, 19), a += c;
    c -= b, c ^= Rotate(b, 4), b += a;
}

void Final(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
    c ^= b, c -= Rotate(b, 14);
    a ^= c, a -= Rotate(c, 11);
    b ^= a, b -= Rotate(a, 25);
    c ^= b, c -= Rotate(b, 16);
    a ^= c, a -= Rotate(c, 4);
    b ^= a, b -= Rotate(a, 14);
    c ^= b, c -= Rotate(b, 24);
}

// Up to four bytes as one little-endian word, missing bytes 0.
std::uint32_t Word(const std::uint8_t* p, std::size_t n) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < n && i < 4; ++i)
        word |= std::uint32_t(p[i]) << (8 * i);
    return word;
}

} // namespace

void HashLittle2(const void* key, std::size_t length, std::uint32_t* pc, std::uint32_t* pb) {
    const auto* k = static_cast<const std::uint8_t*>(key);
    std::uint32_t a = 0xDEADBEEF + std::uint32_t(length) + *pc;
    std::uint32_t b = a;
    std::uint32_t c = a + *pb;
    for (; length > 12; length -= 12, k += 12) {
        a += Word(k, 4), b += Word(k + 4, 4), c += Word(k + 8, 4);
        Mix(a, b, c);
    }
    // The last 1..12 bytes, zero-padded; no bytes left at all skips the final mixing.
    if (length > 0) {
        a += Word(k, length);
        if (length > 4) b += Word(k + 4, length - 4);
        if (length > 8) c += Word(k + 8, length - 8);
        Final(a, b, c);
    }
    *pc = c;
    *pb = b;
}

std::uint64_t UopNameHash(std::string_view name) {
    std::string lower(name);
    for (char& ch : lower)
        if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
    std::uint32_t c = 0, b = 0;
    HashLittle2(lower.data(), lower.size(), &c, &b);
    return (std::uint64_t(c) << 32) | b;
}

// Tables may lie anywhere in the file. The chain ends at an offset of 0, at a table seen
// before (a loop), or at a table that does not fit in the file; all the tables read
// together may not hold more bytes than the file, so that overlapping tables cannot make
// the work grow beyond its size. Entries whose data would pass the end of the file, or
// whose flag is unknown, are left out.
bool CUopFile::Open(const std::string& path) {
    m_entries.clear();
    m_error.clear();
    m_path = path;
    ReadOnlyFile file;
    if (!file.Open(path, m_error)) return false;
    m_fileSize = file.Size();

    std::uint8_t header[kHeaderSize];
    if (file.ReadAt(0, header, sizeof header) != long(sizeof header) || ReadU32(header) != kMagic) {
        m_error = "Not a UOP file";
        return false;
    }
    const std::uint32_t version = ReadU32(header + 4);
    if (version != 4 && version != 5) {
        m_error = "Unknown UOP version " + std::to_string(version);
        return false;
    }

    std::unordered_set<std::uint64_t> seen;
    std::uint64_t budget = m_fileSize;
    std::vector<std::uint8_t> table;
    for (std::uint64_t at = ReadU64(header + 12); at != 0 && seen.insert(at).second;) {
        std::uint8_t head[kTableHeaderSize];
        if (at > m_fileSize || m_fileSize - at < kTableHeaderSize ||
            file.ReadAt(at, head, sizeof head) != long(sizeof head))
            break;
        const std::uint64_t bytes = kTableHeaderSize + std::uint64_t(ReadU32(head)) * kEntrySize;
        if (bytes > m_fileSize - at || bytes > budget) break;
        budget -= bytes;
        table.resize(std::size_t(bytes - kTableHeaderSize));
        if (file.ReadAt(at + kTableHeaderSize, table.data(), table.size()) != long(table.size()))
            break;
        for (std::size_t e = 0; e < table.size(); e += kEntrySize) {
            const std::uint8_t* p = &table[e];
            const std::uint64_t offset = ReadU64(p);
            const std::uint64_t data = offset + ReadU32(p + 8);
            const Entry entry{data, ReadU32(p + 12), ReadU32(p + 16), ReadU16(p + 32)};
            if (offset == 0 || offset > m_fileSize || data > m_fileSize ||
                entry.compressedLength > m_fileSize - data ||
                (entry.flag != kStored && entry.flag != kZlib))
                continue;
            m_entries.emplace(ReadU64(p + 20), entry);
        }
        at = ReadU64(head + 4);
    }
    return true;
}

bool CUopFile::Read(std::uint64_t hash, std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    const auto found = m_entries.find(hash);
    if (found == m_entries.end()) {
        m_error = "No such entry";
        return false;
    }
    const Entry& entry = found->second;
    ReadOnlyFile file;
    if (!file.Open(m_path, m_error)) return false;
    std::vector<std::uint8_t> stored(entry.compressedLength);
    const long n = file.ReadAt(entry.offset, stored.data(), stored.size());
    if (n != long(stored.size())) {
        m_error = n < 0 ? ErrnoText(errno) : "The file ends inside the entry";
        return false;
    }
    if (entry.flag == kStored) {
        bytes = std::move(stored);
        return true;
    }
    if (entry.decompressedLength > kMaxInflated ||
        entry.decompressedLength > kMaxDeflateRatio * entry.compressedLength) {
        m_error = "The entry claims an inflated size too large to be true";
        return false;
    }
    // The inflated bytes must fill exactly the length the table gives.
    bytes.resize(entry.decompressedLength);
    uLongf size = bytes.size();
    if (::uncompress(bytes.data(), &size, stored.data(), uLong(stored.size())) != Z_OK ||
        size != bytes.size()) {
        m_error = "The entry does not inflate to its length";
        bytes.clear();
        return false;
    }
    return true;
}
