// Opens a client folder whose ARTIDX.MUL and ART.MUL come from the input, and draws every
// listed id. Input: a 16-bit little-endian length n, n bytes of index records from static
// id 0 on (the landscape half before them is no art), then the bytes of ART.MUL.
#include "clientfiles/ArtSource.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kLandscapeBytes = 0x4000 * 12;

// Replaces the bytes of `path` from `at` on; the bytes before it stay as they are.
void WriteFrom(const std::string& path, off_t at, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || ::ftruncate(fd, at) != 0 || ::pwrite(fd, data, size, at) != ssize_t(size) ||
        ::close(fd) != 0)
        std::abort();
}

char g_folder[] = "/dev/shm/fuzz_art_index.XXXXXX";

// Removes the folder when the run ends (libFuzzer ends a timed run with exit).
void RemoveFolder() {
    for (const char* name : {"/ARTIDX.MUL", "/art.mul"})
        ::unlink((std::string(g_folder) + name).c_str());
    ::rmdir(g_folder);
}

// A folder of its own for this process, whose index starts with the landscape half.
std::string MakeFolder() {
    if (!::mkdtemp(g_folder) || std::atexit(RemoveFolder) != 0) std::abort();
    const std::vector<std::uint8_t> landscape(kLandscapeBytes, 0xFF);
    WriteFrom(std::string(g_folder) + "/ARTIDX.MUL", 0, landscape.data(), landscape.size());
    return g_folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = MakeFolder();
    if (size < 2) return 0;
    const std::size_t indexSize = std::min<std::size_t>(size - 2, data[0] | (data[1] << 8));
    WriteFrom(folder + "/ARTIDX.MUL", kLandscapeBytes, data + 2, indexSize);
    WriteFrom(folder + "/art.mul", 0, data + 2 + indexSize, size - 2 - indexSize);

    const ArtOpening art = OpenClientArt(folder);
    if (!art.source) std::abort(); // both files are there
    ArtTile tile{};
    for (std::size_t i = 0; i < art.source->StaticIds().size() && i < 64; ++i)
        art.source->DrawTile(art.source->StaticIds()[i], tile);
    return 0;
}
