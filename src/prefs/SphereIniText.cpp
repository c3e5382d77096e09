#include "SphereIniText.h"

#include <algorithm>
#include <functional>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kSection = "SPHERE";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 'a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::size_t SkipBlanks(std::string_view s, std::size_t from) {
    while (from < s.size() && IsBlank(s[from]))
        ++from;
    return from;
}

std::size_t TrimBlanksBefore(std::string_view s, std::size_t end, std::size_t floor) {
    while (end > floor && IsBlank(s[end - 1]))
        --end;
    return end;
}

// One line as the server reads it: bytes [start, end) of a buffer line, up to an LF.
struct Segment {
    int line = 0;
    int start = 0;
    int end = 0;
};

// Calls `visit` for every line of the text in order, until it returns false. The byte
// order mark is not part of the first line.
void ForEachLine(const CTextBuffer& text, const std::function<bool(const Segment&)>& visit) {
    for (int line = 0; line < text.LineCount(); ++line) {
        const std::string_view bytes = text.Line(line);
        std::size_t start = line == 0 && bytes.starts_with(kBom) ? kBom.size() : 0;
        for (;;) {
            const std::size_t lf = bytes.find('\n', start);
            const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
            if (!visit({line, int(start), int(end)})) return;
            if (lf == std::string_view::npos) break;
            start = lf + 1;
        }
    }
}

enum class LineKind { Empty, Comment, Header, Setting };

struct LineInfo {
    LineKind kind = LineKind::Empty;
    std::string_view name; // a header's section name or a setting's key
    SphereIniSpot value;   // a setting's value
    bool hasValue = false; // the setting has an '='
};

LineInfo Classify(const CTextBuffer& text, const Segment& segment) {
    const std::string_view line = text.Line(segment.line).substr(0, std::size_t(segment.end));
    LineInfo info;
    const std::size_t first = SkipBlanks(line, std::size_t(segment.start));
    if (first == line.size()) return info;
    const std::string_view rest = line.substr(first);
    if (rest.starts_with("//")) {
        info.kind = LineKind::Comment;
    } else if (rest.starts_with('[')) {
        info.kind = LineKind::Header;
        const std::size_t close = std::min(rest.find(']'), rest.size());
        const std::size_t nameStart = SkipBlanks(rest, 1);
        info.name = rest.substr(nameStart, TrimBlanksBefore(rest, close, nameStart) - nameStart);
    } else {
        info.kind = LineKind::Setting;
        const std::size_t equals = line.find('=', first);
        if (equals == std::string_view::npos) return info;
        info.name = line.substr(first, TrimBlanksBefore(line, equals, first) - first);
        const std::size_t start = SkipBlanks(line, equals + 1);
        // A comment starts at "//" that opens the value or follows a blank.
        std::size_t comment = line.find("//", start);
        while (comment != std::string_view::npos && comment > start && !IsBlank(line[comment - 1]))
            comment = line.find("//", comment + 2);
        const std::size_t end = TrimBlanksBefore(line, std::min(comment, line.size()), start);
        info.value = {segment.line, int(start), int(end)};
        info.hasValue = true;
    }
    return info;
}

struct ScanResult {
    std::optional<SphereIniSpot> value;
    std::optional<Segment> lastSetting; // or the header, of the first [SPHERE] section
    std::optional<Segment> firstHeader;
    Segment last;
};

ScanResult Scan(const CTextBuffer& text, std::string_view key) {
    ScanResult result;
    int sphereSections = 0;
    bool inSphere = false;
    ForEachLine(text, [&](const Segment& segment) {
        result.last = segment;
        const LineInfo info = Classify(text, segment);
        if (info.kind == LineKind::Header) {
            // A new section before [EOF] is read; one after it would not be.
            if (!result.firstHeader) result.firstHeader = segment;
            if (SameName(info.name, "EOF")) return false;
            inSphere = SameName(info.name, kSection);
            if (inSphere && ++sphereSections == 1) result.lastSetting = segment;
        } else if (inSphere && info.kind == LineKind::Setting) {
            if (sphereSections == 1) result.lastSetting = segment;
            if (info.hasValue && SameName(info.name, key)) result.value = info.value;
        }
        return true;
    });
    return result;
}

// Inserts `pieces` joined by line breaks at `at`: a leading empty piece starts a new line
// there, a trailing one ends the inserted lines before what followed.
bool InsertPieces(CTextBuffer& text, TextPosition at, const std::vector<std::string>& pieces) {
    TextLines lines;
    for (const std::string& piece : pieces) {
        lines.pieces.push_back({std::int32_t(lines.text.size()), std::int32_t(piece.size())});
        lines.text += piece;
    }
    TextPosition end;
    return text.InsertLinesAt(nullptr, at, std::move(lines), end, ActionUnknown, false);
}

bool AddLinesBefore(CTextBuffer& text, const Segment& segment, std::vector<std::string> lines) {
    lines.emplace_back();
    return InsertPieces(text, {segment.line, segment.start}, lines);
}

bool AddLinesAfter(CTextBuffer& text, const Segment& segment, std::vector<std::string> lines) {
    // After a stray LF inside the buffer line, the new lines go before the rest of it.
    if (segment.end < text.LineLength(segment.line))
        return AddLinesBefore(text, {segment.line, segment.end + 1, segment.end + 1},
                              std::move(lines));
    lines.insert(lines.begin(), std::string());
    return InsertPieces(text, {segment.line, segment.end}, lines);
}

} // namespace

std::optional<SphereIniSpot> FindSphereIniValue(const CTextBuffer& text, std::string_view key) {
    return Scan(text, key).value;
}

bool SetSphereIniValue(CTextBuffer& text, std::string_view key, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return false;
    const ScanResult scan = Scan(text, key);
    if (scan.value) {
        const SphereIniSpot& spot = *scan.value;
        TextPosition end;
        return text.RawDelete(nullptr, {spot.line, spot.start}, {spot.line, spot.end}) &&
               text.InsertLinesAt(nullptr, {spot.line, spot.start}, {std::string(value), {}}, end,
                                  ActionUnknown, false);
    }
    const std::string setting = std::string(key) + '=' + std::string(value);
    if (scan.lastSetting) return AddLinesAfter(text, *scan.lastSetting, {setting});
    // A blank line keeps the new section apart from the header that follows it.
    if (scan.firstHeader) return AddLinesBefore(text, *scan.firstHeader, {"[SPHERE]", setting, ""});
    // At the end; a final line end stays final.
    if (text.LineCount() > 0 && scan.last.start == scan.last.end)
        return AddLinesBefore(text, scan.last, {"[SPHERE]", setting});
    return text.LineCount() > 0 && AddLinesAfter(text, scan.last, {"[SPHERE]", setting});
}

bool HasUtf8Bom(const CTextBuffer& text) {
    return text.LineCount() > 0 && text.Line(0).starts_with(kBom);
}

bool WriteSphereIniValues(const std::string& path,
                          const std::vector<std::pair<std::string, std::string>>& changes,
                          std::string& error) {
    if (changes.empty()) return true;
    CTextBuffer text;
    if (!text.ReadFromFile(path)) {
        error = text.LastError();
        return false;
    }
    // A write-protected file is tried all the same: the save says why it fails.
    text.SetReadOnly(false);
    for (const auto& [key, value] : changes) {
        if (!SetSphereIniValue(text, key, value)) {
            error = "The value of " + key + " could not be put into the file";
            return false;
        }
    }
    if (!text.WriteToFile(path)) {
        error = text.LastError();
        return false;
    }
    return true;
}
