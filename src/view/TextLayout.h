#pragma once

#include <string>
#include <string_view>

// Placement of a line's bytes in visual columns. A tab advances to the next multiple of the
// tab size; every other byte takes one column. All functions read only the given bytes.

// The column after `text` when it starts at `column`.
int AdvanceColumn(std::string_view text, int column, int tabSize);

// The visual column of character `ch` (0 for ch < 1, the line's visual length for ch past
// its end).
int VisualColumnOf(std::string_view line, int ch, int tabSize);

// The character at a visual column, snapping a column inside a tab to its nearer side.
int CharIndexAtColumn(std::string_view line, int column, int tabSize);

// The first character whose cell ends after `column`, or the line's length.
int CharIndexAtCell(std::string_view line, int column, int tabSize);

// The run's bytes with tabs expanded to spaces, the run starting at visual column
// `startColumn`; only the cells from `skipCells` on, at most `maxCells` of them. Written to
// `cells`, whose memory is reused from call to call.
void ExpandLineText(std::string_view run, int startColumn, int tabSize, int skipCells, int maxCells,
                    std::string& cells);
