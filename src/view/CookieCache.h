#pragma once

#include "buffer/ColourSpan.h"

#include <algorithm>
#include <vector>

// The colouring cookies of a view's lines, at a small fraction of a word a line. Cookies
// are computed from the top down, so the computed lines are always a prefix of the text;
// of that prefix the cache keeps a checkpoint every Spacing lines and the cookies of one
// window of consecutive lines (the lines last computed or painted). Any other line's
// cookie is computed again from the nearest kept cookie above it, at most Spacing - 1
// lines away.
class CCookieCache {
public:
    static constexpr int Spacing = 64;        // lines from one checkpoint to the next
    static constexpr int WindowLines = 65536; // at most, once a window grows that long

    bool Exists() const { return m_exists; }
    int Length() const { return m_lineCount; }

    void Create(int lineCount);
    void Free();

    // The cookie at the end of `line` (0 outside the table): kept, or computed from the
    // nearest kept cookie above with `compute(cookieBefore, first, end)`, which gives the
    // cookie of line `end - 1`. The lines it computes become known, and the last WindowLines
    // of them go into the window.
    template <typename Compute> LineCookie CookieOf(int line, Compute&& compute);
    // A cookie computed by its caller for a line whose previous line is known: a painted or
    // printed line.
    void Store(int line, LineCookie cookie);

    void MarkStaleFrom(int line);
    // Gives the table `lineCount` lines, keeping the cookies before `firstChanged`.
    void Resize(int lineCount, int firstChanged);

private:
    bool IsCheckpointLine(int line) const { return (line + 1) % Spacing == 0; }
    int WindowEnd() const { return m_windowFirst + static_cast<int>(m_window.size()); }
    // The nearest line at or above `line` whose cookie is kept, -1 for the top.
    int NearestKept(int line, LineCookie& cookie) const;

    std::vector<LineCookie>
        m_checkpoints; // [k]: the cookie at the end of line k * Spacing + Spacing - 1
    std::vector<LineCookie> m_window; // the cookies of lines m_windowFirst, m_windowFirst + 1, ...
    int m_windowFirst = 0;
    int m_computedBelow = 0; // lines before this have known cookies
    int m_lineCount = 0;
    bool m_exists = false;
};

template <typename Compute> LineCookie CCookieCache::CookieOf(int line, Compute&& compute) {
    if (line < 0 || line >= m_lineCount) return 0;
    if (line >= m_windowFirst && line < WindowEnd())
        return m_window[std::size_t(line - m_windowFirst)];
    LineCookie cookie = 0;
    int at = NearestKept(std::min(line, m_computedBelow - 1), cookie) + 1;
    // Lines above the window's part of the walk keep only their checkpoints, and are
    // computed in runs from one checkpoint line to the next, in one call each.
    const int keepFrom = std::max(at, line - WindowLines + 1);
    const int known = m_computedBelow;
    while (at < keepFrom) {
        const int end = std::min(keepFrom, (at / Spacing + 1) * Spacing);
        cookie = compute(cookie, at, end);
        if (IsCheckpointLine(end - 1) && end - 1 >= known) m_checkpoints.push_back(cookie);
        at = end;
    }
    m_computedBelow = std::max(known, keepFrom);
    for (; at <= line; ++at) {
        cookie = compute(cookie, at, at + 1);
        Store(at, cookie);
    }
    return cookie;
}
