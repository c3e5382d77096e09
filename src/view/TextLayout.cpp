#include "TextLayout.h"

#include <algorithm>
#include <cstring>

namespace {

int CellsOf(char byte, int column, int tabSize) {
    return byte == '\t' ? tabSize - column % tabSize : 1;
}

} // namespace

// Bytes between tabs take one column each, so the line is crossed tab by tab.
int AdvanceColumn(std::string_view text, int column, int tabSize) {
    while (!text.empty()) {
        const void* tab = std::memchr(text.data(), '\t', text.size());
        if (!tab) return column + static_cast<int>(text.size());
        const auto before = std::size_t(static_cast<const char*>(tab) - text.data());
        column += static_cast<int>(before);
        column += CellsOf('\t', column, tabSize);
        text.remove_prefix(before + 1);
    }
    return column;
}

int VisualColumnOf(std::string_view line, int ch, int tabSize) {
    if (ch < 1) return 0;
    return AdvanceColumn(line.substr(0, std::size_t(ch)), 0, tabSize);
}

int CharIndexAtColumn(std::string_view line, int column, int tabSize) {
    if (column <= 0) return 0;
    int at = 0;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        at += CellsOf(line[std::size_t(i)], at, tabSize);
        if (at >= column) return column > at - tabSize / 2 ? i + 1 : i;
    }
    return static_cast<int>(line.size());
}

int CharIndexAtCell(std::string_view line, int column, int tabSize) {
    int at = 0;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        at += CellsOf(line[std::size_t(i)], at, tabSize);
        if (at > column) return i;
    }
    return static_cast<int>(line.size());
}

void ExpandLineText(std::string_view run, int startColumn, int tabSize, int skipCells, int maxCells,
                    std::string& cells) {
    cells.clear();
    if (maxCells <= 0) return;
    int column = startColumn;
    const int first = startColumn + std::max(skipCells, 0);
    const int end = first + maxCells;
    for (char byte : run) {
        if (column >= end) break;
        const int width = CellsOf(byte, column, tabSize);
        for (int cell = column; cell < column + width; ++cell) {
            if (cell >= first && cell < end) cells.push_back(byte == '\t' ? ' ' : byte);
        }
        column += width;
    }
}
