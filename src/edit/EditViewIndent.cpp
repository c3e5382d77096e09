// Tab and Shift+Tab: indenting and unindenting whole blocks of lines, inserting one tab,
// and moving the caret between tab stops in overwrite mode and with Shift+Tab.
#include "EditView.h"

#include "buffer/TextBuffer.h"

void CEditView::SelectBlockLines(int& first, int& last) {
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    first = start.line;
    last = end.line;
    start.ch = 0;
    if (end.ch > 0) {
        if (end.line == LineCount() - 1)
            end.ch = LineLength(end.line);
        else
            end = {end.line + 1, 0};
    } else {
        // A selection ending at the start of a line leaves that line out.
        last = end.line - 1;
    }
    SetSelection(start, end);
    SetCaretPosition(end);
    EnsureVisible(end);
}

void CEditView::OnIndent() {
    if (!AllowEdit()) return;
    CTextBuffer* buffer = Buffer();
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start != end && start.line != end.line) {
        buffer->OpenUndoGroup(false);
        int first = 0;
        int last = 0;
        SelectBlockLines(first, last);
        SetDeferHorzScrollUpdate(true);
        for (int line = first; line <= last; ++line) {
            TextPosition inserted;
            buffer->InsertTextAt(this, {line, 0}, "\t", inserted, ActionIndent);
        }
        SetDeferHorzScrollUpdate(false);
        UpdateHorzScrollBar(false);
        buffer->CloseUndoGroup(this);
        return;
    }
    const TextPosition caret = CaretPosition();
    if (m_overwrite && caret.ch < LineLength(caret.line)) {
        MoveToNextTabStop();
        return;
    }
    buffer->OpenUndoGroup(false);
    DeleteSelectionText();
    TextPosition inserted;
    if (buffer->InsertTextAt(this, CaretPosition(), "\t", inserted, ActionTyping)) JumpTo(inserted);
    buffer->CloseUndoGroup(this);
}

void CEditView::MoveToNextTabStop() {
    const TextPosition caret = CaretPosition();
    const char* text = LineText(caret.line);
    const int length = LineLength(caret.line);
    int n = TabSize() - VisualColumn(caret.line, caret.ch) % TabSize();
    int i = caret.ch;
    // A step over a tab reaches the tab stop by itself.
    while (n > 0 && i < length) {
        const bool tab = text[i] == '\t';
        ++i;
        if (tab) break;
        --n;
    }
    JumpTo({caret.line, i});
}

void CEditView::OnUnindent() {
    if (!AllowEdit()) return;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start == end || start.line == end.line) {
        MoveToPreviousTabStop();
        return;
    }
    CTextBuffer* buffer = Buffer();
    buffer->OpenUndoGroup(false);
    int first = 0;
    int last = 0;
    SelectBlockLines(first, last);
    SetDeferHorzScrollUpdate(true);
    const int tabSize = TabSize();
    for (int line = first; line <= last; ++line) {
        const char* text = LineText(line);
        const int length = LineLength(line);
        // One tab, up to one tab width of spaces, or fewer spaces and then one tab.
        int k = 0;
        while (k < length && k < tabSize && text[k] == ' ')
            ++k;
        if (k < tabSize && k < length && text[k] == '\t') ++k;
        if (k > 0) buffer->DeleteRange(this, {line, 0}, {line, k}, ActionIndent);
    }
    SetDeferHorzScrollUpdate(false);
    UpdateHorzScrollBar(false);
    buffer->CloseUndoGroup(this);
}

void CEditView::MoveToPreviousTabStop() {
    const TextPosition caret = CaretPosition();
    if (caret.ch == 0) return;
    const int tabSize = TabSize();
    const int column = VisualColumn(caret.line, caret.ch);
    int target = column / tabSize * tabSize;
    if (target == column && target > 0) target -= tabSize;
    const char* text = LineText(caret.line);
    const int length = LineLength(caret.line);
    int i = 0;
    for (int visual = 0; visual < target && i < length; ++i)
        visual = text[i] == '\t' ? (visual / tabSize + 1) * tabSize : visual + 1;
    JumpTo({caret.line, i});
}
