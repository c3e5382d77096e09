// Mouse handling of the text view: selection by character, word and line, scrolling while
// selecting, the start of a drag of the selection, and the cursor shapes.
#include "TextView.h"

#include "MarginCursor.h"

#include "buffer/TextBuffer.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimerEvent>

namespace {

constexpr int AutoScrollInterval = 100; // milliseconds

} // namespace

TextPosition CTextView::RoundedClientToText(QPoint point) {
    // A click on the right half of a cell lands after its character.
    return ClientToText(point + QPoint(CharWidth() / 2, 0));
}

TextPosition CTextView::NextLineStart(int line) const {
    if (line >= LineCount() - 1) return {line, LineLength(line)};
    return {line + 1, 0};
}

void CTextView::WordRangeTo(TextPosition position, TextPosition& start, TextPosition& end) const {
    if (position < m_anchor) {
        start = WordStartLeft(position);
        end = WordEndRight(m_anchor);
    } else {
        start = WordStartLeft(m_anchor);
        end = WordEndRight(position);
    }
}

void CTextView::StartMouseSelection(bool wordMode, bool lineMode) {
    m_selectTimer.start(AutoScrollInterval, this);
    m_wordMode = wordMode;
    m_lineMode = lineMode;
    m_mouseSelecting = true;
}

void CTextView::EndMouseSelection() {
    m_selectTimer.stop();
    m_mouseSelecting = false;
    m_wordMode = false;
    m_lineMode = false;
}

void CTextView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        const TextPosition position = RoundedClientToText(point);
        NormaliseSelection();
        if (!IsInsideSelection(position)) JumpTo(position);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    m_lastMousePos = point;

    if (point.x() >= MarginWidth()) {
        NormaliseSelection();
        if (IsInsideSelection(ClientToText(point))) {
            m_pendingDrag = true;
            m_dragPressPos = point;
            return;
        }
        m_caret = RoundedClientToText(point);
        if (!shift) m_anchor = m_caret;
        TextPosition start = m_anchor;
        TextPosition end = m_caret;
        if (control) {
            WordRangeTo(m_caret, start, end);
            m_caret = end;
        }
        m_rememberedColumn = VisualColumn(m_caret.line, m_caret.ch);
        UpdateCaret();
        EnsureVisible(m_caret);
        SetSelection(start, end);
        StartMouseSelection(control, false);
    } else if (control) {
        SelectAll();
    } else {
        m_caret = {RoundedClientToText(point).line, 0};
        if (!shift) m_anchor = m_caret;
        m_rememberedColumn = 0;
        UpdateCaret();
        EnsureVisible(m_caret);
        SetSelection(NextLineStart(m_anchor.line), m_caret);
        StartMouseSelection(false, true);
    }
}

void CTextView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!m_mouseSelecting && !m_pendingDrag) UpdateCursorShape(point);
    if (m_mouseSelecting) {
        m_lastMousePos = point;
        const TextPosition position = RoundedClientToText(point);
        if (m_lineMode && point.x() < MarginWidth()) {
            m_caret = {position.line, 0};
            UpdateCaret();
            if (position < m_anchor)
                SetSelection({position.line, 0}, NextLineStart(m_anchor.line));
            else
                SetSelection(NextLineStart(position.line), {m_anchor.line, 0});
            return;
        }
        if (m_lineMode) {
            SetCursorKind(CursorKind::IBeam);
            m_lineMode = false;
            m_wordMode = false;
        }
        TextPosition start = m_anchor;
        TextPosition end = position;
        if (m_wordMode) WordRangeTo(position, start, end);
        m_caret = end;
        UpdateCaret();
        SetSelection(start, end);
    }
    // A hand that shakes a little while clicking does not start a drag.
    if (m_pendingDrag && (event->buttons() & Qt::LeftButton) &&
        (point - m_dragPressPos).manhattanLength() >= QApplication::startDragDistance())
        StartDrag();
}

void CTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const TextPosition position = RoundedClientToText(event->position().toPoint());
    if (m_mouseSelecting) {
        if (m_lineMode) {
            TextPosition fixed;
            if (position >= m_anchor) {
                fixed = {m_anchor.line, 0};
                m_caret = NextLineStart(position.line);
            } else {
                fixed = NextLineStart(m_anchor.line);
                m_caret = {position.line, 0};
            }
            EnsureVisible(m_caret);
            UpdateCaret();
            SetSelection(m_caret, fixed);
        } else {
            TextPosition start = m_anchor;
            TextPosition end = m_caret;
            if (m_wordMode) WordRangeTo(position, start, end);
            m_caret = end;
            EnsureVisible(m_caret);
            UpdateCaret();
            SetSelection(start, end);
        }
        EndMouseSelection();
    }
    if (m_pendingDrag) {
        m_pendingDrag = false;
        m_caret = position;
        EnsureVisible(m_caret);
        UpdateCaret();
        SetSelection(m_caret, m_caret);
    }
    m_rememberedColumn = VisualColumn(m_caret.line, m_caret.ch);
}

void CTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // The second press of a double click already started a selection by character (or a
    // pending drag); the double click takes over from it.
    if (m_mouseSelecting) EndMouseSelection();
    m_pendingDrag = false;
    const QPoint point = event->position().toPoint();
    m_lastMousePos = point;
    const TextPosition position = RoundedClientToText(point);
    m_caret = m_anchor = position;
    const TextPosition start = WordStartLeft(position);
    const TextPosition end = WordEndRight(position);
    m_caret = end;
    m_rememberedColumn = VisualColumn(m_caret.line, m_caret.ch);
    UpdateCaret();
    EnsureVisible(m_caret);
    SetSelection(start, end);
    StartMouseSelection(true, false);
}

void CTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_caretTimer.timerId()) {
        m_caretBlinkOn = !m_caretBlinkOn;
        InvalidateCaretRect();
    } else if (event->timerId() == m_selectTimer.timerId()) {
        AutoScroll();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}

void CTextView::AutoScroll() {
    // The last place the mouse was reported at: while the button is down the view keeps
    // receiving moves, also from outside it.
    const QPoint point = m_lastMousePos;
    const QRect client = viewport()->rect();
    const int lineHeight = LineHeight();
    bool scrolled = false;

    int line = m_firstVisibleLine;
    if (point.y() < client.top()) {
        line -= 1;
        if (point.y() < client.top() - lineHeight) line -= 2;
    } else if (point.y() >= client.bottom() + 1) {
        line += 1;
        if (point.y() >= client.bottom() + 1 + lineHeight) line += 2;
    }
    line = std::min(std::max(line, 0), LineCount() - 1);
    if (line != m_firstVisibleLine) {
        ScrollToLine(line, true);
        SyncSiblingPanes(true);
        scrolled = true;
    }

    int column = m_firstVisibleColumn;
    if (point.x() < client.left())
        column -= 1;
    else if (point.x() >= client.right() + 1)
        column += 1;
    column = std::max(std::min(column, WidestLineLength() - 1), 0);
    if (column != m_firstVisibleColumn) {
        ScrollToColumn(column, true);
        UpdateCaret();
        SyncSiblingPanes(false);
        scrolled = true;
    }

    if (!scrolled) return;
    const TextPosition position = RoundedClientToText(point);
    if (position != m_caret) {
        m_caret = position;
        UpdateCaret();
    }
    SetSelection(m_anchor, m_caret);
}

void CTextView::SetCursorKind(CursorKind kind) {
    if (kind == m_cursorKind) return;
    m_cursorKind = kind;
    switch (kind) {
    case CursorKind::Arrow:
        viewport()->setCursor(Qt::ArrowCursor);
        break;
    case CursorKind::IBeam:
        viewport()->setCursor(Qt::IBeamCursor);
        break;
    case CursorKind::Margin:
        viewport()->setCursor(MarginCursor());
        break;
    case CursorKind::None:
        viewport()->unsetCursor();
        break;
    }
}

void CTextView::UpdateCursorShape(QPoint point) {
    if (point.x() < MarginWidth()) {
        SetCursorKind(CursorKind::Margin);
        return;
    }
    NormaliseSelection();
    SetCursorKind(IsInsideSelection(ClientToText(point)) ? CursorKind::Arrow : CursorKind::IBeam);
}

Qt::DropAction CTextView::RunDragLoop(QDrag& drag) {
    return drag.exec(DragEffects(), Qt::CopyAction);
}

void CTextView::StartDrag() {
    m_pendingDrag = false;
    QMimeData* data = PrepareDragData();
    if (!data) return;
    // A drop into the same text and the deletion of a move form one undo step.
    if (m_buffer) m_buffer->OpenUndoGroup(false);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    m_dragSourceActive = true;
    const Qt::DropAction effect = RunDragLoop(*drag);
    if (effect != Qt::IgnoreAction) OnDragSourceDone(effect);
    m_dragSourceActive = false;
    drag->deleteLater();
    if (m_buffer) m_buffer->CloseUndoGroup(this);
}
