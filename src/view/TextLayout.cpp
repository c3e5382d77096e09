#include "TextLayout.h"

#include <algorithm>

namespace {

int CellsOf(char byte, int column, int tabSize) {
    return byte == '\t' ? tabSize - column % tabSize : 1;
}

} // namespace

int AdvanceColumn(std::string_view text, int column, int tabSize) {
    for (char byte : text)
        column += CellsOf(byte, column, tabSize);
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
