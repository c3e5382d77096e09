#include "prefs/IniFile.h"

#include "fileio/AtomicFileWriter.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kErrorOpen = "Unable to open ini file.";
const char* const kErrorSection = "Unable to locate specified key.";
const char* const kErrorKey = "Unable to locate specified value.";

// The longest piece of a line taken at once; a longer line is read as several pieces,
// each handled as a line of its own.
constexpr std::size_t kMaxPiece = 2047;

// Reads the next piece into `piece`: the bytes up to the next line end, or the first
// kMaxPiece bytes when the line is longer; the rest of the line follows as the next
// pieces, and a line end right after a full piece gives an empty piece, which Load skips.
// A line end is LF or CR LF and never part of a piece: unlike fgets with a 2048-byte
// buffer, a CR whose LF falls just past the limit is still taken as a line end. A lone CR
// is an ordinary byte, and zero bytes are kept, since every piece carries its length.
// Returns false at end of file when nothing is left.
bool ReadPiece(std::FILE* file, std::string& piece) {
    piece.clear();
    int c = 0;
    while (piece.size() < kMaxPiece && (c = std::getc(file)) != EOF) {
        if (c == '\n') return true;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next == '\n') return true;
            if (next != EOF) std::ungetc(next, file);
        }
        piece.push_back(static_cast<char>(c));
    }
    return !piece.empty() || c != EOF;
}

bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// atoi without its undefined behaviour: out-of-range values are clamped to int.
int ParseInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsAtoiSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr std::int64_t limit = std::int64_t(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), limit);
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace

CIniFile::CIniFile() = default;

CIniFile::~CIniFile() = default;

void CIniFile::SetPath(const std::string& path) {
    m_path = path;
}

bool CIniFile::Load() {
    struct stat st {};
    if (::stat(m_path.c_str(), &st) != 0) return false;
    // O_NONBLOCK keeps a FIFO from blocking the open; only a regular file is read, so a
    // folder, FIFO or device fails like a file that cannot be opened.
    const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    std::FILE* file = nullptr;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) file = ::fdopen(fd, "rb");
    if (!file) {
        if (fd >= 0) ::close(fd);
        m_lastError = kErrorOpen;
        return false;
    }

    std::string section;
    std::string line;
    while (ReadPiece(file, line)) {
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::size_t first = line.find_first_not_of('[');
            const std::size_t last = line.find_last_not_of(']');
            section = first == std::string::npos || last == std::string::npos || last < first
                          ? std::string()
                          : line.substr(first, last - first + 1);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            SetValue(section, std::string(), line.substr(1), true);
        else
            SetValue(section, line.substr(0, eq), line.substr(eq + 1), true);
    }
    std::fclose(file);
    return true;
}

std::string CIniFile::Serialize() const {
    std::string out;
    for (const Section& section : m_sections) {
        if (section.keys.empty()) continue;
        // Sections are separated by one empty line and the file ends without a line end.
        if (!out.empty()) out += "\r\n\r\n";
        out += "[" + section.name + "]";
        for (std::size_t i = 0; i < section.keys.size(); ++i)
            out += "\r\n" + section.keys[i] + "=" + section.values[i];
    }
    return out;
}

bool CIniFile::Save(bool ownerOnly) {
    AtomicFileWriter file;
    const bool opened = file.Open(m_path, ".ini");
    if (opened && ownerOnly) file.RestrictToOwner();
    const bool ok = opened && file.Write(Serialize()) && file.Commit();
    m_saveError = file.Error();
    return ok;
}

std::string CIniFile::GetValue(const std::string& section, const std::string& key) {
    const int s = FindSection(section);
    if (s < 0) {
        m_lastError = kErrorSection;
        return {};
    }
    const int k = FindKey(s, key);
    if (k < 0) {
        m_lastError = kErrorKey;
        return {};
    }
    return m_sections[std::size_t(s)].values[std::size_t(k)];
}

int CIniFile::GetValueInt(const std::string& section, const std::string& key) {
    return ParseInt(GetValue(section, key));
}

bool CIniFile::SetValue(const std::string& section, const std::string& key,
                        const std::string& value, bool create) {
    int s = FindSection(section);
    if (s < 0) {
        if (!create) return false;
        m_sections.push_back(Section{section, {}, {}});
        s = int(m_sections.size()) - 1;
    }
    Section& record = m_sections[std::size_t(s)];
    int k = FindKey(s, key);
    if (k < 0) {
        if (!create) return false;
        record.keys.push_back(key);
        record.values.emplace_back();
        k = int(record.keys.size()) - 1;
    }
    record.values[std::size_t(k)] = value;
    return true;
}

bool CIniFile::SetValueInt(const std::string& section, const std::string& key, int value,
                           bool create) {
    return SetValue(section, key, std::to_string(value), create);
}

int CIniFile::FindSection(const std::string& name) const {
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        if (m_sections[i].name == name) return int(i);
    return -1;
}

int CIniFile::FindKey(int section, const std::string& name) const {
    if (section < 0 || std::size_t(section) >= m_sections.size()) return -1;
    const std::vector<std::string>& keys = m_sections[std::size_t(section)].keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == name) return int(i);
    return -1;
}
