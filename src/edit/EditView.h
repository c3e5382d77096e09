#pragma once

#include "view/TextView.h"

#include <QBasicTimer>
#include <QRect>

#include <string>
#include <string_view>

class QMimeData;

// The editable text view: typing with an overwrite mode, Enter with auto-indent, Delete and
// Backspace, indenting with Tab and Shift+Tab, Cut and Paste, Undo and Redo, Replace, and
// text dropped onto it. Every change goes through the buffer's InsertTextAt and DeleteRange
// with the action code that labels its undo step. On a read-only buffer (or none) the
// editing commands do nothing, silently.
class CEditView : public CTextView {
    Q_OBJECT

public:
    explicit CEditView(QWidget* parent = nullptr);

    void ResetView() override;
    // Also moves the block tracked for the Replace dialog.
    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override;
    // Auto-indent: after Enter, the new line gets the leading white space of the line above.
    void OnEditActionDone(int action, std::string_view text) override;
    // Copy or move; copy only while the text cannot be edited, so it is never removed.
    Qt::DropActions DragEffects() const override;
    // Removes the dragged text after a move.
    void OnDragSourceDone(Qt::DropAction effect) override;

    virtual bool IsEditable() const;
    // IsEditable(); when the text is read-only, also tells the user why nothing happens:
    // "Read-only" in the main window's status bar, and a beep. For the editing commands.
    bool AllowEdit();
    bool IsOverwrite() const { return m_overwrite; }

    // Typing one character, given as its Windows-1252 byte; 13 is Enter.
    void TypeCharacter(unsigned char c);
    // Deletes the selection as its own change "Delete Selection"; false without one.
    bool DeleteSelectionText();
    // Replaces the selection (two undo steps: "Delete Selection", then "Replace") and
    // leaves the new text selected; false without a selection.
    bool ReplaceSelectionText(std::string_view text);

    // The block the Replace dialog searches, moved along with every change while tracked.
    void StartReplaceTracking(TextPosition start, TextPosition end);
    void StopReplaceTracking() { m_replaceTracking = false; }
    bool IsReplaceTracking() const { return m_replaceTracking; }

    // While set, changes do not repaint or scroll the screen; clearing it brings the scroll
    // bars, the caret and the screen up to date at once. For long commands (Replace All).
    void SetCoalescedUpdates(bool coalesce);

    // Drop target: the thin grey caret where a drop would insert, scrolling at the edges.
    void ShowDropCaret(QPoint point);
    void HideDropCaret();
    bool IsDropCaretShown() const { return m_dropCaretShown; }
    TextPosition DropPosition() const { return m_dropPosition; }
    bool DropText(const QMimeData* data, QPoint point);
    void DragScroll(QPoint point);

protected:
    // What a paste or a drop of `data` inserts: the exact lines that a view of this program
    // put beside the text, or else the text made fit for the buffer (NUL bytes left out, a
    // lone LF, the platform's line end, taken as CR LF). False when there is nothing.
    static bool LinesToInsert(const QMimeData* data, TextLines& lines);

    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void RegisterEditCommands();
    void TypeText(const QString& text);
    void OnEnter();
    void OnDelete();
    void OnBackspace();
    void OnIndent();
    void OnUnindent();
    // Widens a selection over several lines to whole lines; the lines are first..last.
    void SelectBlockLines(int& first, int& last);
    void MoveToNextTabStop();
    void MoveToPreviousTabStop();
    void OnCut();
    void OnPaste();
    void OnUndo();
    void OnRedo();
    void OnReplace();

    void SetDropCaretRect(const QRect& rect);

    bool m_overwrite = false;
    bool m_autoIndent = true;

    bool m_dropCaretShown = false;
    TextPosition m_savedCaret;
    TextPosition m_dropPosition;
    QRect m_dropCaretRect;         // empty while the drop position is scrolled off to the left
    QPoint m_dragPoint;            // where the hovering drag was last reported
    QBasicTimer m_dragScrollTimer; // edge scrolling while a drag hovers

    bool m_replaceTracking = false;
    TextPosition m_trackedStart;
    TextPosition m_trackedEnd;
};
