#include "ClientFolder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

// Of several names that differ only in case (none of them exact), the one that sorts
// first wins, so that the choice does not hang on the order of the folder's entries.
std::string FindClientFile(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.empty()) return {};
    const std::filesystem::path exact = std::filesystem::path(folder) / name;
    if (IsRegularFile(exact)) return exact.string();

    std::error_code error;
    std::string best;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (EqualIgnoringCase(candidate, name) && (best.empty() || candidate < best) &&
            IsRegularFile(it->path()))
            best = candidate;
    }
    return best.empty() ? std::string() : (std::filesystem::path(folder) / best).string();
}
