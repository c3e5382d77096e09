#pragma once

#include <string_view>

// Bytes as the server reads a script line: blanks are spaces and tabs, and keywords match
// in any case of their ASCII letters (other bytes are the script's own, never folded).
// Plain loops: every line of a script passes here, and a library search over a set of
// bytes would be a call per byte.

inline bool IsScriptBlank(char byte) {
    return byte == ' ' || byte == '\t';
}

inline std::string_view SkipScriptBlanks(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsScriptBlank(text[start]))
        ++start;
    return text.substr(start);
}

inline char UpperAscii(char byte) {
    return byte >= 'a' && byte <= 'z' ? char(byte - 'a' + 'A') : byte;
}
