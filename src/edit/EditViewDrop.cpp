// The edit view as a drop target: the drop caret, scrolling near the edges while a drag
// hovers, inserting dropped text, and removing the dragged text after a move.
#include "EditView.h"

#include "buffer/TextBuffer.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QTimerEvent>

namespace {

constexpr int ScrollZone = 5;          // pixels from an edge that scroll while dragging
constexpr int DragScrollInterval = 50; // milliseconds between scroll steps

// Copy with Control held, move otherwise; the other one when the source does not offer it.
Qt::DropAction DropEffect(const QDropEvent& event) {
    const Qt::DropAction wanted =
        (event.modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    if (event.possibleActions() & wanted) return wanted;
    return wanted == Qt::MoveAction ? Qt::CopyAction : Qt::MoveAction;
}

// Files dragged from a file manager come with their URLs as text too; they are for the
// frame to open, not text to insert.
bool OffersText(const QMimeData* data) {
    return data && data->hasText() && !data->hasUrls();
}

} // namespace

void CEditView::SetDropCaretRect(const QRect& rect) {
    if (rect == m_dropCaretRect) return;
    viewport()->update(m_dropCaretRect);
    m_dropCaretRect = rect;
    viewport()->update(m_dropCaretRect);
}

void CEditView::ShowDropCaret(QPoint point) {
    if (!m_dropCaretShown) {
        SuspendCaret();
        m_savedCaret = CaretPosition();
        m_dropCaretShown = true;
    }
    m_dropPosition = ClientToText(point);
    // Hidden while the position is scrolled off to the left.
    if (VisualColumn(m_dropPosition.line, m_dropPosition.ch) >= FirstVisibleColumn())
        SetDropCaretRect(QRect(TextToClient(m_dropPosition), QSize(2, LineHeight())));
    else
        SetDropCaretRect({});
}

void CEditView::HideDropCaret() {
    if (!m_dropCaretShown) return;
    SetDropCaretRect({});
    SetCaretPosition(m_savedCaret);
    ResumeCaret();
    m_dropCaretShown = false;
}

void CEditView::DragScroll(QPoint point) {
    const QRect client = viewport()->rect();
    if (point.y() < client.top() + ScrollZone) {
        HideDropCaret();
        ScrollLineUp();
    } else if (point.y() >= client.bottom() + 1 - ScrollZone) {
        HideDropCaret();
        ScrollLineDown();
    } else if (point.x() < client.left() + MarginWidth() + ScrollZone) {
        HideDropCaret();
        if (FirstVisibleColumn() > 0) ScrollToColumn(FirstVisibleColumn() - 1, true);
    } else if (point.x() >= client.right() + 1 - ScrollZone) {
        HideDropCaret();
        if (FirstVisibleColumn() < WidestLineLength() - 1)
            ScrollToColumn(FirstVisibleColumn() + 1, true);
    } else {
        return;
    }
    viewport()->repaint();
    ShowDropCaret(point);
}

bool CEditView::DropText(const QMimeData* data, QPoint point) {
    if (!OffersText(data)) return false;
    const TextPosition at = ClientToText(point);
    NormaliseSelection();
    // Dropping the dragged text onto itself only collapses the selection there.
    if (IsDragSourceActive() && IsInsideSelection(at)) {
        JumpTo(at);
        return false;
    }
    TextLines lines;
    TextPosition end;
    if (!LinesToInsert(data, lines) ||
        !Buffer()->InsertLinesAt(this, at, std::move(lines), end, ActionDragAndDrop))
        return false;
    SetAnchor(at);
    SetSelection(at, end);
    SetCaretPosition(end);
    EnsureVisible(end);
    return true;
}

Qt::DropActions CEditView::DragEffects() const {
    return IsEditable() ? Qt::CopyAction | Qt::MoveAction : Qt::CopyAction;
}

void CEditView::OnDragSourceDone(Qt::DropAction effect) {
    if (IsDragSourceActive() && effect == Qt::MoveAction && IsEditable())
        Buffer()->DeleteRange(this, DragRangeStart(), DragRangeEnd(), ActionDragAndDrop);
}

// Drag events ------------------------------------------------------------------------------

void CEditView::dragEnterEvent(QDragEnterEvent* event) {
    if (!OffersText(event->mimeData())) {
        HideDropCaret();
        event->ignore();
        return;
    }
    // Text brought from elsewhere cannot be dropped on a read-only text: say so once, as it
    // comes in. A drag out of this view is no attempt to edit it.
    if (!IsDragSourceActive()) AllowEdit();
    m_dragPoint = event->position().toPoint();
    ShowDropCaret(m_dragPoint);
    m_dragScrollTimer.start(DragScrollInterval, this);
    event->setDropAction(DropEffect(*event));
    event->accept();
}

void CEditView::dragMoveEvent(QDragMoveEvent* event) {
    m_dragPoint = event->position().toPoint();
    if (!IsEditable() || !OffersText(event->mimeData())) {
        HideDropCaret();
        event->ignore();
        return;
    }
    ShowDropCaret(m_dragPoint);
    event->setDropAction(DropEffect(*event));
    event->accept();
}

void CEditView::dragLeaveEvent(QDragLeaveEvent*) {
    m_dragScrollTimer.stop();
    HideDropCaret();
}

void CEditView::dropEvent(QDropEvent* event) {
    m_dragScrollTimer.stop();
    HideDropCaret();
    const Qt::DropAction effect = DropEffect(*event);
    if (IsEditable() && DropText(event->mimeData(), event->position().toPoint())) {
        event->setDropAction(effect);
        event->accept();
    } else {
        event->ignore();
    }
}

void CEditView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_dragScrollTimer.timerId())
        DragScroll(m_dragPoint);
    else
        CTextView::timerEvent(event);
}

void CEditView::paintEvent(QPaintEvent* event) {
    CTextView::paintEvent(event);
    if (m_dropCaretShown && !m_dropCaretRect.isEmpty()) {
        QPainter painter(viewport());
        painter.fillRect(m_dropCaretRect, Qt::gray);
    }
}
