#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Bob Jenkins' hashlittle2 (lookup3) of `length` bytes with the seeds *pc and *pb; the
// results replace them.
void HashLittle2(const void* key, std::size_t length, std::uint32_t* pc, std::uint32_t* pb);
// The name hash of a UOP entry: hashlittle2 of the lower-case name with both seeds 0, as
// (c << 32) | b.
std::uint64_t UopNameHash(std::string_view name);

// A UOP container (magic "MYP\0"): its chain of tables read at Open, the entries looked up
// by name hash. Every offset and length is checked against the file; the file is opened
// for each read and never kept open.
class CUopFile {
public:
    bool Open(const std::string& path);
    bool Contains(std::uint64_t hash) const { return m_entries.count(hash) != 0; }
    // The entry's bytes, inflated when stored with zlib; false when there is no such entry
    // or its bytes cannot be read or inflated.
    bool Read(std::uint64_t hash, std::vector<std::uint8_t>& bytes) const;
    const std::string& Error() const { return m_error; }

    struct Entry {
        std::uint64_t offset; // of the data, past the entry's header
        std::uint32_t compressedLength;
        std::uint32_t decompressedLength;
        std::uint16_t flag; // 0 stored, 1 zlib
    };

private:
    std::string m_path;
    std::uint64_t m_fileSize = 0;
    std::unordered_map<std::uint64_t, Entry> m_entries;
    mutable std::string m_error;
};
