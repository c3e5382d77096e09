#pragma once

#include "buffer/TextBuffer.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings of a sphere.ini file's [SPHERE] section, read and changed in place in a
// text buffer, so that every byte around a changed value stays as it was.
//
// The file is read as the server reads it: a line ends at LF (a CR before it, or a stray
// LF inside a buffer line, is handled too); section names and keys match in any case;
// reading stops at [EOF]. A setting is "key=value" with blanks allowed around both; the
// value ends before a trailing comment (blanks followed by "//"), so that "http://..."
// stays whole, and its own surrounding blanks are not part of it. Lines starting with
// "//" are comments. When a key is set more than once, the last one counts, as it does
// for the server.

// Where a value lies: bytes [start, end) of buffer line `line`.
struct SphereIniSpot {
    int line = 0;
    int start = 0;
    int end = 0;
};

// The value of `key` in the [SPHERE] sections before [EOF], or nothing when missing.
std::optional<SphereIniSpot> FindSphereIniValue(const CTextBuffer& text, std::string_view key);

// Puts `value` (one line of bytes) in place of the value of `key`. A missing key is added
// as "key=value" after the last setting of the first [SPHERE] section (comments that end the
// section introduce the next one, so they stay before it). Without a [SPHERE] section, one is made
// before the first section header (the server never reads past [EOF]), or at the end of a file that
// has none. False when the buffer refuses the edit or `value` holds a line break.
bool SetSphereIniValue(CTextBuffer& text, std::string_view key, std::string_view value);

// True when the file starts with the UTF-8 byte order mark.
bool HasUtf8Bom(const CTextBuffer& text);

// Writes each (key, value) of `changes` into the file at `path` as it is on disk now,
// through the buffer's atomic save. Nothing is written when `changes` is empty. On
// failure `error` says why and the file is unchanged.
bool WriteSphereIniValues(const std::string& path,
                          const std::vector<std::pair<std::string, std::string>>& changes,
                          std::string& error);
