#include "PageLayout.h"

#include <algorithm>

void CPageLayout::Layout(int lineCount, int pageRows, const std::function<int(int)>& rowsOf) {
    m_lineCount = std::max(lineCount, 0);
    pageRows = std::max(pageRows, 1);
    m_starts.assign(1, PageStart{});
    int used = 0; // rows taken on the current page
    for (int line = 0; line < m_lineCount; ++line) {
        const int rows = std::max(rowsOf(line), 1);
        if (used > 0 && rows > pageRows - used) {
            m_starts.push_back({line, 0});
            used = 0;
        }
        // Only a line taller than a page gets here with more rows than the page holds.
        int first = 0;
        while (rows - first > pageRows) {
            first += pageRows;
            m_starts.push_back({line, first});
        }
        used += rows - first;
    }
}

PageStart CPageLayout::Start(int page) const {
    if (page < 1 || page > PageCount()) return {m_lineCount, 0};
    return m_starts[std::size_t(page - 1)];
}

PageStart CPageLayout::End(int page) const {
    return page >= 1 && page < PageCount() ? m_starts[std::size_t(page)]
                                           : PageStart{m_lineCount, 0};
}
