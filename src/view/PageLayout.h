#pragma once

#include <functional>
#include <vector>

// Where a printed page begins: a line, and the first of that line's printed rows on it.
struct PageStart {
    int line = 0;
    int row = 0;
    friend bool operator==(const PageStart&, const PageStart&) = default;
};

// The pages of a print job, in rows of one printer line each. A line is never split across
// pages: a line that does not fit below the lines before it starts the next page. Only a
// line taller than a whole page is split; it starts a page of its own and its remaining
// rows continue on the following pages, so that none of them is lost below the page.
class CPageLayout {
public:
    // Lays out `lineCount` lines of `rowsOf(line)` rows each (at least one) on pages of
    // `pageRows` rows. A page holds at least one row, however small it is.
    void Layout(int lineCount, int pageRows, const std::function<int(int line)>& rowsOf);
    void Clear() { m_starts.clear(); }

    bool Exists() const { return !m_starts.empty(); }
    int PageCount() const { return static_cast<int>(m_starts.size()); }
    // Page numbers count from 1. The end of the last page is (`lineCount`, 0).
    PageStart Start(int page) const;
    PageStart End(int page) const;

private:
    std::vector<PageStart> m_starts;
    int m_lineCount = 0;
};
