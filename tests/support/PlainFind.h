#pragma once

#include "view/TextSearch.h"

#include <string_view>

// The Find dialog's matching in one line, compared at every offset: the plain model that the
// skip searches must agree with. The line is searched from `from` on, and whole words are
// judged within that rest, whose first byte has nothing before it. Returns the offset in
// `line`, or -1.
inline int PlainFindInLine(std::string_view line, std::string_view needle, unsigned flags,
                           int from = 0) {
    const auto same = [flags](char a, char b) {
        return (flags & FindMatchCase) ? a == b : UpperCaseByte(a) == UpperCaseByte(b);
    };
    const std::size_t n = needle.size();
    for (std::size_t at = std::size_t(from); n > 0 && at + n <= line.size(); ++at) {
        std::size_t k = 0;
        while (k < n && same(line[at + k], needle[k]))
            ++k;
        if (k < n) continue;
        const bool wordBefore = at > std::size_t(from) && IsWordByte(line[at - 1]);
        const bool wordAfter = at + n < line.size() && IsWordByte(line[at + n]);
        if (!(flags & FindWholeWord) || (!wordBefore && !wordAfter)) return int(at);
    }
    return -1;
}
