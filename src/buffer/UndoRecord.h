#pragma once

#include "TextPosition.h"

#include <cstdint>
#include <string>
#include <vector>

// The user action named with every buffer change; it labels the Undo and Redo menu items.
enum ActionCode : int {
    ActionUnknown = 0, // never recorded
    ActionPaste = 1,
    ActionDeleteSelection = 2,
    ActionCut = 3,
    ActionTyping = 4,
    ActionBackspace = 5,
    ActionIndent = 6,
    ActionDragAndDrop = 7,
    ActionReplace = 8,
    ActionDelete = 9,
    ActionAutoIndent = 10,
    ActionInsertScript = 11,
};

// One line of a multi-line text: `length` bytes from `offset` in the text.
struct LinePiece {
    std::int32_t offset;
    std::int32_t length;
};

// A text cut into lines. `pieces` is empty when the text is one line, so that typing
// and other single-line edits carry no allocation beyond the (inline) short string.
struct TextLines {
    std::string text;
    std::vector<LinePiece> pieces;

    int PieceCount() const { return pieces.empty() ? 1 : static_cast<int>(pieces.size()); }
    std::string_view Piece(int i) const {
        if (pieces.empty()) return text;
        return std::string_view(text).substr(pieces[i].offset, pieces[i].length);
    }
};

// Splits text into lines at CR or CR LF; a lone LF is an ordinary byte.
TextLines SplitAtLineBreaks(std::string_view text);

enum UndoFlag : std::uint32_t {
    UndoInsertion = 0x1, // clear: a deletion
    UndoGroupStart = 0x100,
};

// One recorded insertion or deletion. The text keeps its line structure, so undo and
// redo put back exactly the bytes they took away, whatever bytes the lines hold.
struct UndoRecord {
    std::uint32_t flags = 0;
    TextPosition start;
    TextPosition end; // after an insertion: behind the inserted text
    int action = ActionUnknown;
    TextLines text;

    bool IsInsertion() const { return flags & UndoInsertion; }
    bool StartsGroup() const { return flags & UndoGroupStart; }
};
