// Opens any bytes as artLegacyMUL.uop, through a file in memory, and reads and draws the
// entries of static ids 0..7 (which the seeds hold).
#include "clientfiles/ArtSource.h"
#include "clientfiles/UopFile.h"

#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("fuzz_uop", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 || ::pwrite(fd, data, size, 0) != ssize_t(size))
        std::abort();

    CUopFile uop;
    if (!uop.Open(path)) return 0;
    std::vector<std::uint8_t> bytes;
    ArtTile tile{};
    for (int id = 0; id < 8; ++id)
        if (uop.Read(UopNameHash(UopArtName(id)), bytes))
            DecodeArtTile(bytes.data(), bytes.size(), tile);
    return 0;
}
