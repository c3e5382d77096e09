// Cut, Paste, Undo and Redo of the edit view, and the preparation of text that comes from
// outside (clipboard, drops).
#include "EditView.h"

#include "buffer/TextBuffer.h"
#include "framework/Windows1252.h"
#include "view/RangeMimeData.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

std::string TextFromOutside(std::string_view bytes) {
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

} // namespace

bool CEditView::LinesToInsert(const QMimeData* data, TextLines& lines) {
    if (!data) return false;
    if (!LinesFromMimeData(data, lines)) {
        // A copy of this program whose text is too large for one insertion is refused
        // before its text is made, at two bytes a character.
        const auto* copy = qobject_cast<const CRangeMimeData*>(data);
        if (!data->hasText() || (copy && copy->TextLength() > MaxInsertionBytes)) return false;
        lines = SplitAtLineBreaks(TextFromOutside(Windows1252FromText(data->text())));
    }
    return !lines.text.empty();
}

void CEditView::OnCut() {
    if (!HasSelection() || !AllowEdit()) return;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (!CopyRangeToClipboard(start, end)) return;
    JumpTo(start);
    Buffer()->DeleteRange(this, start, end, ActionCut);
}

void CEditView::OnPaste() {
    if (!AllowEdit()) return;
    CTextBuffer* buffer = Buffer();
    buffer->OpenUndoGroup(false);
    DeleteSelectionText();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    TextLines lines;
    TextPosition end;
    if (clipboard && LinesToInsert(clipboard->mimeData(), lines) &&
        buffer->InsertLinesAt(this, CaretPosition(), std::move(lines), end, ActionPaste))
        JumpTo(end);
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
