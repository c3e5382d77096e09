// Scrolling of the text view: first visible line and column, the scroll bars, keeping a
// position on screen, invalidation of rows, and splitter panes that scroll together.
#include "TextView.h"

#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>

namespace {

// Splitters of the old application had at most 16 rows and 16 columns.
constexpr int MaxPanes = 16;

} // namespace

void CTextView::ScrollToLine(int line, bool trackScrollBar) {
    if (line == m_firstVisibleLine) return;
    const int old = m_firstVisibleLine;
    m_firstVisibleLine = line;
    // The caret's pixels move with the scroll; a pending repaint of its old place moves
    // along and wipes them. The caret then stays with its text, wherever that went.
    InvalidateCaretRect();
    const long long dy = static_cast<long long>(LineHeight()) * (old - line);
    if (std::abs(dy) < viewport()->height())
        viewport()->scroll(0, static_cast<int>(dy));
    else
        viewport()->update();
    UpdateCaret();
    if (trackScrollBar) UpdateVertScrollBar(true);
}

void CTextView::ScrollToColumn(int column, bool trackScrollBar) {
    if (column == m_firstVisibleColumn) return;
    const int old = m_firstVisibleColumn;
    m_firstVisibleColumn = column;
    InvalidateCaretRect();
    const QRect textArea(MarginWidth(), 0, std::max(viewport()->width() - MarginWidth(), 0),
                         viewport()->height());
    const long long dx = static_cast<long long>(CharWidth()) * (old - column);
    if (std::abs(dx) < textArea.width())
        viewport()->scroll(static_cast<int>(dx), 0, textArea);
    else
        viewport()->update(textArea);
    UpdateCaret();
    if (trackScrollBar) UpdateHorzScrollBar(true);
}

void CTextView::SetScrollBar(Qt::Orientation orientation, bool positionOnly, int maximum, int page,
                             int position) {
    QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
    // The view, not the bar, owns the position: the first visible line may lie past the
    // bar's maximum, and the bar's own clamping must not move the view.
    const QSignalBlocker blocker(bar);
    if (!positionOnly) {
        const int range = std::max(maximum - page + 1, 0);
        bar->setRange(0, range);
        bar->setPageStep(std::max(page, 1));
        bar->setSingleStep(1);
        bar->setEnabled(range > 0);
    }
    bar->setValue(position);
}

void CTextView::UpdateVertScrollBar(bool positionOnly) {
    if (!positionOnly && ScreenLines() >= LineCount() && m_firstVisibleLine > 0) {
        m_firstVisibleLine = 0;
        viewport()->update();
        UpdateCaret();
    }
    SetScrollBar(Qt::Vertical, positionOnly, LineCount() - 1, ScreenLines(), m_firstVisibleLine);
}

void CTextView::UpdateHorzScrollBar(bool positionOnly) {
    if (!positionOnly && ScreenChars() >= WidestLineLength() && m_firstVisibleColumn > 0) {
        m_firstVisibleColumn = 0;
        viewport()->update();
        UpdateCaret();
    }
    SetScrollBar(Qt::Horizontal, positionOnly, WidestLineLength() - 1, ScreenChars(),
                 m_firstVisibleColumn);
}

void CTextView::OnScrollBarAction(Qt::Orientation orientation, int action) {
    const bool vertical = orientation == Qt::Vertical;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    const int current = vertical ? m_firstVisibleLine : m_firstVisibleColumn;
    const int page = bar->pageStep();
    int target = current;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        target = current - 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        target = current + 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        target = current - page + 1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target = current + page - 1;
        break;
    case QAbstractSlider::SliderMove:
        target = bar->sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        target = 0;
        break;
    case QAbstractSlider::SliderToMaximum:
        target =
            vertical ? LineCount() - ScreenLines() + 1 : WidestLineLength() - ScreenChars() + 1;
        break;
    default:
        return;
    }
    if (vertical) {
        target = std::max(target, 0);
        if (target >= LineCount()) target = LineCount() - 1;
        ScrollToLine(target, true);
    } else {
        if (target >= WidestLineLength()) target = WidestLineLength() - 1;
        target = std::max(target, 0);
        ScrollToColumn(target, true);
        UpdateCaret();
    }
    // The bar applies the slider position after this handler; make it the view's.
    bar->setSliderPosition(target);
}

void CTextView::EnsureVisible(TextPosition position) {
    const int screenLines = ScreenLines();
    int line = m_firstVisibleLine;
    if (position.line >= line + screenLines) line = position.line - screenLines + 1;
    if (position.line < line) line = position.line;
    line = std::min(std::max(line, 0), LineCount() - 1);
    if (line != m_firstVisibleLine) {
        ScrollToLine(line, true);
        SyncSiblingPanes(true);
    }
    const int column = VisualColumn(position.line, position.ch);
    const int screenChars = ScreenChars();
    int first = m_firstVisibleColumn;
    // The caret stands at the left edge of its column's cell: the column must be one of the
    // whole cells on screen, or the caret would sit just right of the text area.
    if (column >= first + screenChars) first = column - screenChars + 1;
    if (column < first) first = column;
    if (first >= WidestLineLength()) first = WidestLineLength() - 1;
    first = std::max(first, 0);
    if (first != m_firstVisibleColumn) {
        ScrollToColumn(first, true);
        UpdateCaret();
        SyncSiblingPanes(false);
    }
}

void CTextView::InvalidateLines(int first, int last) {
    const long long lineHeight = LineHeight();
    const long long height = viewport()->height();
    long long top;
    long long bottom;
    if (last == -1) {
        top = lineHeight * (static_cast<long long>(first) - m_firstVisibleLine);
        bottom = height;
    } else {
        const long long low = std::min(first, last);
        const long long high = std::max(first, last);
        top = lineHeight * (low - m_firstVisibleLine);
        bottom = lineHeight * (high - m_firstVisibleLine + 1);
    }
    top = std::clamp(top, 0LL, height);
    bottom = std::clamp(bottom, 0LL, height);
    if (bottom > top)
        viewport()->update(QRect(0, int(top), viewport()->width(), int(bottom - top)));
}

// Splitter panes -------------------------------------------------------------------------

bool CTextView::FindPanePlace(int& row, int& column) const {
    const auto* inner = qobject_cast<const QSplitter*>(parentWidget());
    if (!inner) return false;
    const int innerIndex = inner->indexOf(const_cast<CTextView*>(this));
    const auto* outer = qobject_cast<const QSplitter*>(inner->parentWidget());
    int outerIndex = 0;
    if (outer && outer->orientation() != inner->orientation())
        outerIndex = outer->indexOf(const_cast<QSplitter*>(inner));
    const bool columns = inner->orientation() == Qt::Horizontal;
    row = columns ? outerIndex : innerIndex;
    column = columns ? innerIndex : outerIndex;
    return true;
}

CTextView* CTextView::SiblingView(int row, int column) const {
    const auto* inner = qobject_cast<const QSplitter*>(parentWidget());
    if (!inner || row < 0 || column < 0) return nullptr;
    const bool columns = inner->orientation() == Qt::Horizontal;
    const int innerIndex = columns ? column : row;
    const int outerIndex = columns ? row : column;
    const auto* outer = qobject_cast<const QSplitter*>(inner->parentWidget());
    const QSplitter* holder = inner;
    if (outer && outer->orientation() != inner->orientation())
        holder = qobject_cast<const QSplitter*>(outer->widget(outerIndex));
    else if (outerIndex != 0)
        return nullptr;
    return holder ? qobject_cast<CTextView*>(holder->widget(innerIndex)) : nullptr;
}

void CTextView::SyncSiblingPanes(bool vertical) {
    int row = 0;
    int column = 0;
    if (!FindPanePlace(row, column)) return;
    for (int other = 0; other < MaxPanes; ++other) {
        CTextView* pane = vertical ? SiblingView(row, other) : SiblingView(other, column);
        if (pane && pane != this) pane->FollowSiblingPane(this, vertical);
    }
}

void CTextView::FollowSiblingPane(CTextView* sibling, bool vertical) {
    if (!sibling || sibling == this) return;
    // Each pane has scroll bars of its own, so the follower's bar is moved as well.
    if (vertical) {
        if (sibling->m_firstVisibleLine != m_firstVisibleLine)
            ScrollToLine(sibling->m_firstVisibleLine, true);
    } else if (sibling->m_firstVisibleColumn != m_firstVisibleColumn) {
        ScrollToColumn(sibling->m_firstVisibleColumn, true);
    }
    UpdateCaret();
}

void CTextView::AlignWithSiblingPanes() {
    int row = 0;
    int column = 0;
    if (!FindPanePlace(row, column)) return;
    if (row > 0) {
        if (CTextView* top = SiblingView(0, column); top && top != this)
            ScrollToColumn(top->m_firstVisibleColumn, true);
    }
    if (column > 0) {
        if (CTextView* left = SiblingView(row, 0); left && left != this)
            ScrollToLine(left->m_firstVisibleLine, true);
    }
}
