#include "FileErrors.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// strerror_r is the GNU version on glibc (returns the text) and the XSI one elsewhere
// (fills the buffer); both are thread-safe, unlike strerror.
[[maybe_unused]] const char* TextOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* TextOf(int, const char* buffer) {
    return buffer;
}

} // namespace

std::string ErrnoText(int error) {
    char buffer[256] = "";
    return TextOf(::strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string FileTypeError(mode_t mode) {
    if (S_ISREG(mode)) return {};
    return S_ISDIR(mode) ? ErrnoText(EISDIR) : kNotRegularFileText;
}
