// Cut, Paste, Undo and Redo of the edit view, and the preparation of text that comes from
// outside (clipboard, drops).
#include "EditView.h"

#include "buffer/TextBuffer.h"

std::string CEditView::TextFromOutside(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        // A NUL would cut the line short when the file is read again.
        if (byte == '\0') continue;
        if (byte == '\n' && (i == 0 || bytes[i - 1] != '\r')) text += '\r';
        text += byte;
    }
    return text;
}

void CEditView::OnCut() {
    if (!IsEditable() || !HasSelection()) return;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    std::string text;
    TextInRange(start, end, text);
    CopyTextToClipboard(text);
    JumpTo(start);
    Buffer()->DeleteRange(this, start, end, ActionCut);
}

void CEditView::OnPaste() {
    if (!IsEditable()) return;
    CTextBuffer* buffer = Buffer();
    buffer->OpenUndoGroup(false);
    DeleteSelectionText();
    std::string clipboard;
    if (TextFromClipboard(clipboard)) {
        const std::string text = TextFromOutside(clipboard);
        clipboard = std::string();
        TextPosition end;
        if (!text.empty() && buffer->InsertTextAt(this, CaretPosition(), text, end, ActionPaste))
            JumpTo(end);
    }
    buffer->CloseUndoGroup(this);
}

void CEditView::OnUndo() {
    TextPosition position;
    if (Buffer() && Buffer()->HasUndo() && Buffer()->UndoGroup(position)) JumpTo(position);
}

void CEditView::OnRedo() {
    TextPosition position;
    if (Buffer() && Buffer()->HasRedo() && Buffer()->RedoGroup(position)) JumpTo(position);
}
