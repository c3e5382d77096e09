// The edit view's state, its command table, typing with overwrite and auto-indent, and the
// Delete and Backspace keys.
#include "EditView.h"

#include "buffer/TextBuffer.h"
#include "framework/CommandIds.h"
#include "framework/Windows1252.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QStatusBar>

#include <cctype>

namespace {

constexpr int ReadOnlyMessageTime = 3000; // milliseconds

} // namespace

CEditView::CEditView(QWidget* parent) : CTextView(parent) {
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    RegisterEditCommands();
}

void CEditView::RegisterEditCommands() {
    OnCommand(ID_EDIT_DELETE, [this](unsigned) { OnDelete(); });
    OnCommand(ID_EDIT_DELETE_BACK, [this](unsigned) { OnBackspace(); });
    OnCommand(ID_EDIT_TAB, [this](unsigned) { OnIndent(); });
    OnCommand(ID_EDIT_UNTAB, [this](unsigned) { OnUnindent(); });
    OnCommand(
        ID_EDIT_SWITCH_OVRMODE, [this](unsigned) { m_overwrite = !m_overwrite; },
        [this](CCommandUI& ui) { ui.SetCheck(m_overwrite); });
    OnCommand(
        ID_EDIT_CUT, [this](unsigned) { OnCut(); },
        [this](CCommandUI& ui) { ui.Enable(HasSelection()); });
    OnCommand(
        ID_EDIT_PASTE, [this](unsigned) { OnPaste(); },
        [this](CCommandUI& ui) { ui.Enable(ClipboardHasText()); });
    OnCommand(
        ID_EDIT_UNDO, [this](unsigned) { OnUndo(); },
        [this](CCommandUI& ui) {
            const bool has = Buffer() && Buffer()->HasUndo();
            ui.Enable(has);
            ui.SetText(has ? QStringLiteral("&Undo %1\tCtrl+Z")
                                 .arg(QString::fromLatin1(Buffer()->UndoLabel()))
                           : QStringLiteral("&Undo\tCtrl+Z"));
        });
    OnCommand(
        ID_EDIT_REDO, [this](unsigned) { OnRedo(); },
        [this](CCommandUI& ui) {
            const bool has = Buffer() && Buffer()->HasRedo();
            ui.Enable(has);
            ui.SetText(has ? QStringLiteral("&Redo %1\tCtrl+Y")
                                 .arg(QString::fromLatin1(Buffer()->RedoLabel()))
                           : QStringLiteral("&Redo\tCtrl+Y"));
        });
    OnCommand(ID_EDIT_REPLACE, [this](unsigned) { OnReplace(); });
}

void CEditView::ResetView() {
    m_overwrite = false;
    m_autoIndent = true;
    CTextView::ResetView();
}

bool CEditView::IsEditable() const {
    return Buffer() && !Buffer()->IsReadOnly();
}

bool CEditView::AllowEdit() {
    if (IsEditable()) return true;
    if (Buffer() && Buffer()->IsReadOnly()) {
        QApplication::beep();
        // The frame's own bar only: asking QMainWindow::statusBar() would make one.
        auto* frame = qobject_cast<QMainWindow*>(window());
        if (auto* bar = frame ? frame->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)
                              : nullptr)
            bar->showMessage(QStringLiteral("Read-only"), ReadOnlyMessageTime);
    }
    return false;
}

void CEditView::OnBufferChanged(CBufferObserver* source, const ChangeContext* context,
                                unsigned hints, int line) {
    CTextView::OnBufferChanged(source, context, hints, line);
    if (m_replaceTracking && context) {
        context->AdjustPosition(m_trackedStart);
        context->AdjustPosition(m_trackedEnd);
    }
}

void CEditView::StartReplaceTracking(TextPosition start, TextPosition end) {
    m_trackedStart = start;
    m_trackedEnd = end;
    m_replaceTracking = true;
}

bool CEditView::DeleteSelectionText() {
    if (!HasSelection()) return false;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    JumpTo(start);
    Buffer()->DeleteRange(this, start, end, ActionDeleteSelection);
    return true;
}

bool CEditView::ReplaceSelectionText(std::string_view text) {
    if (!HasSelection() || !IsEditable()) return false;
    DeleteSelectionText();
    const TextPosition start = CaretPosition();
    TextPosition end = start;
    if (!Buffer()->InsertTextAt(this, start, text, end, ActionReplace)) end = start;
    SetAnchor(end);
    SetSelection(start, end);
    SetCaretPosition(end);
    EnsureVisible(end);
    return true;
}

// Typing ---------------------------------------------------------------------------------

void CEditView::keyPressEvent(QKeyEvent* event) {
    CTextView::keyPressEvent(event);
    if (event->isAccepted()) return;
    // Control and Alt chords are commands, not characters; AltGr may arrive as Ctrl+Alt.
    const Qt::KeyboardModifiers chord =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chord && chord != (Qt::ControlModifier | Qt::AltModifier)) return;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = enter ? QStringLiteral("\r") : event->text();
    if (text.isEmpty()) return;
    event->accept();
    TypeText(text);
}

void CEditView::inputMethodEvent(QInputMethodEvent* event) {
    TypeText(event->commitString());
    event->accept();
}

void CEditView::TypeText(const QString& text) {
    // A character typed while a mouse button is down would land in the middle of a
    // selection gesture.
    if (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) return;
    for (const QChar ch : text) {
        const int byte = Windows1252FromChar(ch);
        if (byte >= 0) TypeCharacter(static_cast<unsigned char>(byte));
    }
}

void CEditView::TypeCharacter(unsigned char c) {
    if (c == '\r') {
        OnEnter();
        return;
    }
    if (c < 32 || !AllowEdit()) return;
    CTextBuffer* buffer = Buffer();
    // Letters join the newest undo step; a space starts a new one.
    buffer->OpenUndoGroup(c != ' ');
    TextPosition at = CaretPosition();
    if (HasSelection()) {
        DeleteSelectionText();
        at = CaretPosition();
    } else if (m_overwrite && at.ch < LineLength(at.line)) {
        buffer->DeleteRange(this, at, {at.line, at.ch + 1}, ActionTyping);
    }
    const char byte = static_cast<char>(c);
    TextPosition end = at;
    if (buffer->InsertTextAt(this, at, std::string_view(&byte, 1), end, ActionTyping)) JumpTo(end);
    buffer->CloseUndoGroup(this);
}

void CEditView::OnEnter() {
    const TextPosition caret = CaretPosition();
    // Overwrite mode only moves to the next line, as long as there is one.
    if (m_overwrite && caret.line < LineCount() - 1) {
        JumpTo({caret.line + 1, 0});
        return;
    }
    if (!AllowEdit()) return;
    CTextBuffer* buffer = Buffer();
    buffer->OpenUndoGroup(false);
    DeleteSelectionText();
    TextPosition end;
    if (buffer->InsertTextAt(this, CaretPosition(), "\r\n", end, ActionTyping)) JumpTo(end);
    buffer->CloseUndoGroup(this); // runs the auto-indent
}

void CEditView::OnEditActionDone(int action, std::string_view text) {
    if (!m_autoIndent || action != ActionTyping || text != "\r\n" || m_overwrite || !IsEditable())
        return;
    const TextPosition at = CaretPosition();
    if (at.line < 1) return;
    const char* above = LineText(at.line - 1);
    const int length = LineLength(at.line - 1);
    // A CR would be a line break once inserted: only the other white space is copied.
    int n = 0;
    while (n < length && above[n] != '\r' && std::isspace(static_cast<unsigned char>(above[n])))
        ++n;
    if (n == 0) return;
    const std::string indent(above, std::size_t(n));
    TextPosition end;
    if (Buffer()->InsertTextAt(nullptr, at, indent, end, ActionAutoIndent)) JumpTo(end);
}

// Delete and Backspace ---------------------------------------------------------------------

void CEditView::OnDelete() {
    if (!AllowEdit()) return;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start == end) {
        if (end.ch >= LineLength(end.line)) {
            if (end.line >= LineCount() - 1) return;
            end = {end.line + 1, 0};
        } else {
            ++end.ch;
        }
    }
    JumpTo(start);
    Buffer()->DeleteRange(this, start, end, ActionDelete);
}

void CEditView::OnBackspace() {
    if (HasSelection()) {
        OnDelete();
        return;
    }
    if (!AllowEdit()) return;
    const TextPosition p = CaretPosition();
    TextPosition q = p;
    if (p.ch > 0)
        --q.ch;
    else if (p.line > 0)
        q = {p.line - 1, LineLength(p.line - 1)};
    JumpTo(q);
    if (q != p) Buffer()->DeleteRange(this, q, p, ActionBackspace);
}
