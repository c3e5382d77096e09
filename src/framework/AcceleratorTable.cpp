#include "AcceleratorTable.h"

#include "CommandIds.h"

#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifier Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifier Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifier Alt = Qt::AltModifier;

constexpr QKeyCombination Key(Qt::Key key) { return QKeyCombination(key); }
constexpr QKeyCombination Key(Qt::KeyboardModifiers mods, Qt::Key key) {
    return QKeyCombination(mods, key);
}
constexpr Qt::Key Digit(int n) { return Qt::Key(Qt::Key_0 + n); }

// Table 22901: the keys of the text view and, for the edit view, its editing commands.
constexpr Accelerator TextViewKeys[] = {
    {Key(Qt::Key_Left), ID_EDIT_CHAR_LEFT},
    {Key(Shift, Qt::Key_Left), ID_EDIT_EXT_CHAR_LEFT},
    {Key(Qt::Key_Right), ID_EDIT_CHAR_RIGHT},
    {Key(Shift, Qt::Key_Right), ID_EDIT_EXT_CHAR_RIGHT},
    {Key(Ctrl, Qt::Key_Left), ID_EDIT_WORD_LEFT},
    {Key(Ctrl | Shift, Qt::Key_Left), ID_EDIT_EXT_WORD_LEFT},
    {Key(Ctrl, Qt::Key_Right), ID_EDIT_WORD_RIGHT},
    {Key(Ctrl | Shift, Qt::Key_Right), ID_EDIT_EXT_WORD_RIGHT},
    {Key(Qt::Key_Up), ID_EDIT_LINE_UP},
    {Key(Shift, Qt::Key_Up), ID_EDIT_EXT_LINE_UP},
    {Key(Qt::Key_Down), ID_EDIT_LINE_DOWN},
    {Key(Shift, Qt::Key_Down), ID_EDIT_EXT_LINE_DOWN},
    {Key(Ctrl, Qt::Key_Up), ID_EDIT_SCROLL_UP},
    {Key(Ctrl, Qt::Key_Down), ID_EDIT_SCROLL_DOWN},
    {Key(Qt::Key_PageUp), ID_EDIT_PAGE_UP},
    {Key(Shift, Qt::Key_PageUp), ID_EDIT_EXT_PAGE_UP},
    {Key(Qt::Key_PageDown), ID_EDIT_PAGE_DOWN},
    {Key(Shift, Qt::Key_PageDown), ID_EDIT_EXT_PAGE_DOWN},
    {Key(Qt::Key_End), ID_EDIT_LINE_END},
    {Key(Shift, Qt::Key_End), ID_EDIT_EXT_LINE_END},
    {Key(Qt::Key_Home), ID_EDIT_HOME},
    {Key(Shift, Qt::Key_Home), ID_EDIT_EXT_HOME},
    {Key(Ctrl, Qt::Key_Home), ID_EDIT_TEXT_BEGIN},
    {Key(Ctrl | Shift, Qt::Key_Home), ID_EDIT_EXT_TEXT_BEGIN},
    {Key(Ctrl, Qt::Key_End), ID_EDIT_TEXT_END},
    {Key(Ctrl | Shift, Qt::Key_End), ID_EDIT_EXT_TEXT_END},
    {Key(Ctrl, Qt::Key_C), ID_EDIT_COPY},
    {Key(Ctrl, Qt::Key_Insert), ID_EDIT_COPY},
    {Key(Ctrl, Qt::Key_A), ID_EDIT_SELECT_ALL},
    {Key(Ctrl, Digit(0)), ID_EDIT_TOGGLE_BOOKMARK0 + 0},
    {Key(Ctrl, Digit(1)), ID_EDIT_TOGGLE_BOOKMARK0 + 1},
    {Key(Ctrl, Digit(2)), ID_EDIT_TOGGLE_BOOKMARK0 + 2},
    {Key(Ctrl, Digit(3)), ID_EDIT_TOGGLE_BOOKMARK0 + 3},
    {Key(Ctrl, Digit(4)), ID_EDIT_TOGGLE_BOOKMARK0 + 4},
    {Key(Ctrl, Digit(5)), ID_EDIT_TOGGLE_BOOKMARK0 + 5},
    {Key(Ctrl, Digit(6)), ID_EDIT_TOGGLE_BOOKMARK0 + 6},
    {Key(Ctrl, Digit(7)), ID_EDIT_TOGGLE_BOOKMARK0 + 7},
    {Key(Ctrl, Digit(8)), ID_EDIT_TOGGLE_BOOKMARK0 + 8},
    {Key(Ctrl, Digit(9)), ID_EDIT_TOGGLE_BOOKMARK0 + 9},
    {Key(Alt, Digit(0)), ID_EDIT_GO_BOOKMARK0 + 0},
    {Key(Alt, Digit(1)), ID_EDIT_GO_BOOKMARK0 + 1},
    {Key(Alt, Digit(2)), ID_EDIT_GO_BOOKMARK0 + 2},
    {Key(Alt, Digit(3)), ID_EDIT_GO_BOOKMARK0 + 3},
    {Key(Alt, Digit(4)), ID_EDIT_GO_BOOKMARK0 + 4},
    {Key(Alt, Digit(5)), ID_EDIT_GO_BOOKMARK0 + 5},
    {Key(Alt, Digit(6)), ID_EDIT_GO_BOOKMARK0 + 6},
    {Key(Alt, Digit(7)), ID_EDIT_GO_BOOKMARK0 + 7},
    {Key(Alt, Digit(8)), ID_EDIT_GO_BOOKMARK0 + 8},
    {Key(Alt, Digit(9)), ID_EDIT_GO_BOOKMARK0 + 9},
    {Key(Ctrl, Qt::Key_F2), ID_EDIT_TOGGLE_BOOKMARK},
    {Key(Qt::Key_F2), ID_EDIT_NEXT_BOOKMARK},
    {Key(Shift, Qt::Key_F2), ID_EDIT_PREV_BOOKMARK},
    {Key(Ctrl | Shift, Qt::Key_F2), ID_EDIT_CLEAR_BOOKMARKS},
    {Key(Ctrl, Qt::Key_F), ID_EDIT_FIND},
    {Key(Qt::Key_F3), ID_EDIT_REPEAT},
    {Key(Shift, Qt::Key_F3), ID_EDIT_FIND_PREVIOUS},
    {Key(Qt::Key_Delete), ID_EDIT_DELETE},
    {Key(Qt::Key_Backspace), ID_EDIT_DELETE_BACK},
    {Key(Ctrl, Qt::Key_Backspace), ID_EDIT_DELETE_WORD_BACK},
    {Key(Qt::Key_Tab), ID_EDIT_TAB},
    {Key(Shift, Qt::Key_Backtab), ID_EDIT_UNTAB},
    {Key(Qt::Key_Insert), ID_EDIT_SWITCH_OVRMODE},
    {Key(Ctrl, Qt::Key_X), ID_EDIT_CUT},
    {Key(Shift, Qt::Key_Delete), ID_EDIT_CUT},
    {Key(Ctrl, Qt::Key_V), ID_EDIT_PASTE},
    {Key(Shift, Qt::Key_Insert), ID_EDIT_PASTE},
    {Key(Ctrl, Qt::Key_H), ID_EDIT_REPLACE},
    {Key(Ctrl, Qt::Key_Z), ID_EDIT_UNDO},
    {Key(Alt, Qt::Key_Backspace), ID_EDIT_UNDO},
    {Key(Ctrl, Qt::Key_Y), ID_EDIT_REDO},
};

} // namespace

unsigned CAcceleratorTable::CommandFor(QKeyCombination keys) const {
    const Qt::KeyboardModifiers mods =
        keys.keyboardModifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Shift+Tab arrives as Backtab on most platforms and as Shift+Tab on some.
    Qt::Key key = keys.key();
    if (key == Qt::Key_Tab && (mods & Qt::ShiftModifier))
        key = Qt::Key_Backtab;
    for (const Accelerator& entry : m_entries) {
        if (entry.keys.key() == key && entry.keys.keyboardModifiers() == mods)
            return entry.command;
    }
    return 0;
}

unsigned CAcceleratorTable::CommandFor(const QKeyEvent& event) const {
    return CommandFor(event.keyCombination());
}

const CAcceleratorTable* LoadAccelerators(unsigned resourceId) {
    static const CAcceleratorTable textView{TextViewKeys};
    return resourceId == IDR_TEXTVIEW_ACCEL ? &textView : nullptr;
}
