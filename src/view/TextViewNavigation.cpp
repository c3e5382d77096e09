// Caret and selection of the text view, and the keyboard moves.
#include "TextSearch.h"
#include "TextView.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QStyleHints>

#include <cctype>

namespace {

bool IsSpaceByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x80 && std::isspace(value);
}

bool IsPunctuationByte(char byte) {
    return !IsWordByte(byte) && !IsSpaceByte(byte);
}

} // namespace

// Caret ------------------------------------------------------------------------------------

void CTextView::InvalidateCaretRect() {
    if (!m_caretRect.isEmpty()) viewport()->update(m_caretRect);
}

void CTextView::UpdateCaret() {
    const bool show = m_hasFocus && !m_caretSuppressed &&
                      VisualColumn(m_caret.line, m_caret.ch) >= m_firstVisibleColumn;
    QRect rect;
    if (show) rect = QRect(TextToClient(m_caret), QSize(2, LineHeight()));
    InvalidateCaretRect();
    m_caretRect = rect;
    m_caretShown = show;
    // A caret made anew starts visible and blinks from there.
    m_caretBlinkOn = true;
    InvalidateCaretRect();
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (show && flashTime > 0)
        m_caretTimer.start(flashTime / 2, this);
    else
        m_caretTimer.stop();
    emit CaretMoved();
}

void CTextView::SuspendCaret() {
    m_caretSuppressed = true;
    UpdateCaret();
}

void CTextView::ResumeCaret() {
    m_caretSuppressed = false;
    UpdateCaret();
}

void CTextView::SetCaretPosition(TextPosition position) {
    m_caret = position;
    m_rememberedColumn = VisualColumn(position.line, position.ch);
    UpdateCaret();
}

void CTextView::JumpTo(TextPosition position) {
    m_anchor = position;
    SetSelection(position, position);
    SetCaretPosition(position);
    EnsureVisible(position);
}

// Selection --------------------------------------------------------------------------------

void CTextView::SetSelection(TextPosition start, TextPosition end) {
    if (start != m_selStart) {
        InvalidateLines(start.line, end.line);
        InvalidateLines(m_selStart.line, m_selEnd.line);
    } else if (end != m_selEnd) {
        InvalidateLines(end.line, m_selEnd.line);
    }
    m_selStart = start;
    m_selEnd = end;
}

void CTextView::NormaliseSelection() {
    m_drawnSelStart = std::min(m_selStart, m_selEnd);
    m_drawnSelEnd = std::max(m_selStart, m_selEnd);
}

void CTextView::SelectionBounds(TextPosition& start, TextPosition& end) {
    NormaliseSelection();
    start = m_drawnSelStart;
    end = m_drawnSelEnd;
}

bool CTextView::IsInsideSelection(TextPosition position) const {
    return m_drawnSelStart <= position && position < m_drawnSelEnd;
}

void CTextView::SetShowSelectionUnfocused(bool show) {
    m_showSelectionUnfocused = show;
    if (HasSelection()) InvalidateLines(m_selStart.line, m_selEnd.line);
}

bool CTextView::SelectFoundText(TextPosition position, int length) {
    m_caret = {position.line, position.ch + length};
    m_anchor = m_caret;
    SetSelection(position, m_caret);
    UpdateCaret();
    EnsureVisible(m_caret);
    return true;
}

TextPosition CTextView::WordStartLeft(TextPosition position) const {
    const std::string_view text = LineView(position.line);
    int i = std::clamp(position.ch, 0, static_cast<int>(text.size()));
    while (i > 0 && IsWordByte(text[std::size_t(i - 1)]))
        --i;
    return {position.line, i};
}

TextPosition CTextView::WordEndRight(TextPosition position) const {
    const std::string_view text = LineView(position.line);
    const int length = static_cast<int>(text.size());
    int i = std::clamp(position.ch, 0, length);
    while (i < length && IsWordByte(text[std::size_t(i)]))
        ++i;
    return {position.line, i};
}

// Moves ------------------------------------------------------------------------------------

void CTextView::FinishMove(bool extend) {
    m_rememberedColumn = VisualColumn(m_caret.line, m_caret.ch);
    FinishVerticalMove(extend);
}

void CTextView::FinishVerticalMove(bool extend) {
    EnsureVisible(m_caret);
    UpdateCaret();
    if (!extend) m_anchor = m_caret;
    SetSelection(m_anchor, m_caret);
}

void CTextView::MoveLeft(bool extend) {
    NormaliseSelection();
    if (m_drawnSelStart != m_drawnSelEnd && !extend) {
        m_caret = m_drawnSelStart;
    } else if (m_caret.ch > 0) {
        --m_caret.ch;
    } else if (m_caret.line > 0) {
        --m_caret.line;
        m_caret.ch = LineLength(m_caret.line);
    }
    FinishMove(extend);
}

void CTextView::MoveRight(bool extend) {
    NormaliseSelection();
    if (m_drawnSelStart != m_drawnSelEnd && !extend) {
        m_caret = m_drawnSelEnd;
    } else if (m_caret.ch < LineLength(m_caret.line)) {
        ++m_caret.ch;
    } else if (m_caret.line < LineCount() - 1) {
        m_caret = {m_caret.line + 1, 0};
    }
    FinishMove(extend);
}

void CTextView::MoveWordLeft(bool extend) {
    NormaliseSelection();
    if (m_drawnSelStart != m_drawnSelEnd && !extend) {
        MoveLeft(false);
        return;
    }
    if (m_caret == TextPosition{0, 0}) return;
    if (m_caret.ch == 0) {
        --m_caret.line;
        m_caret.ch = LineLength(m_caret.line);
    }
    const std::string_view text = LineView(m_caret.line);
    int i = std::clamp(m_caret.ch, 0, static_cast<int>(text.size()));
    auto before = [&] { return text[std::size_t(i - 1)]; };
    while (i > 0 && IsSpaceByte(before()))
        --i;
    if (i > 0 && IsWordByte(before())) {
        while (i > 0 && IsWordByte(before()))
            --i;
    } else {
        while (i > 0 && IsPunctuationByte(before()))
            --i;
    }
    m_caret.ch = i;
    FinishMove(extend);
}

void CTextView::MoveWordRight(bool extend) {
    NormaliseSelection();
    if (m_drawnSelStart != m_drawnSelEnd && !extend) {
        MoveRight(false);
        return;
    }
    if (m_caret.ch >= LineLength(m_caret.line)) {
        if (m_caret.line >= LineCount() - 1) return;
        m_caret = {m_caret.line + 1, 0};
        if (LineLength(m_caret.line) == 0) {
            MoveRight(extend);
            return;
        }
    }
    const std::string_view text = LineView(m_caret.line);
    const int length = static_cast<int>(text.size());
    int i = std::clamp(m_caret.ch, 0, length);
    auto at = [&] { return text[std::size_t(i)]; };
    if (i < length && IsWordByte(at())) {
        while (i < length && IsWordByte(at()))
            ++i;
    } else {
        while (i < length && IsPunctuationByte(at()))
            ++i;
    }
    while (i < length && IsSpaceByte(at()))
        ++i;
    m_caret.ch = i;
    FinishMove(extend);
}

void CTextView::MoveVertically(bool extend, bool down) {
    NormaliseSelection();
    if (m_drawnSelStart != m_drawnSelEnd && !extend)
        m_caret = down ? m_drawnSelEnd : m_drawnSelStart;
    if (down ? m_caret.line < LineCount() - 1 : m_caret.line > 0) {
        if (m_rememberedColumn == -1) m_rememberedColumn = VisualColumn(m_caret.line, m_caret.ch);
        m_caret.line += down ? 1 : -1;
        m_caret.ch =
            std::min(CharIndexAtColumn(m_caret.line, m_rememberedColumn), LineLength(m_caret.line));
    }
    FinishVerticalMove(extend);
}

void CTextView::MovePageUp(bool extend) {
    // A view lower than one line still pages by one line.
    const int page = std::max(ScreenLines(), 2) - 1;
    const int first = std::max(m_firstVisibleLine - page, 0);
    if (first != m_firstVisibleLine) {
        ScrollToLine(first, true);
        SyncSiblingPanes(true);
    }
    m_caret.line = std::max(m_caret.line - page, 0);
    m_caret.ch = std::min(m_caret.ch, LineLength(m_caret.line));
    FinishMove(extend);
}

void CTextView::MovePageDown(bool extend) {
    const int page = std::max(ScreenLines(), 2) - 1;
    const int first = std::min(m_firstVisibleLine + page, LineCount() - 1);
    if (first != m_firstVisibleLine) {
        ScrollToLine(first, true);
        SyncSiblingPanes(true);
    }
    m_caret.line = std::min(m_caret.line + page, LineCount() - 1);
    m_caret.ch = std::min(m_caret.ch, LineLength(m_caret.line));
    FinishMove(extend);
}

void CTextView::MoveLineHome(bool extend) {
    const std::string_view text = LineView(m_caret.line);
    const int length = static_cast<int>(text.size());
    int indent = 0;
    while (indent < length && IsSpaceByte(text[std::size_t(indent)]))
        ++indent;
    m_caret.ch = (indent != length && m_caret.ch != indent) ? indent : 0;
    FinishMove(extend);
}

void CTextView::MoveLineEnd(bool extend) {
    m_caret.ch = LineLength(m_caret.line);
    FinishMove(extend);
}

void CTextView::MoveTextStart(bool extend) {
    m_caret = {0, 0};
    FinishMove(extend);
}

void CTextView::MoveTextEnd(bool extend) {
    const int last = LineCount() - 1;
    m_caret = {last, LineLength(last)};
    FinishMove(extend);
}

void CTextView::ScrollLineUp() {
    if (m_firstVisibleLine >= 1) {
        ScrollToLine(m_firstVisibleLine - 1, true);
        SyncSiblingPanes(true);
    }
}

void CTextView::ScrollLineDown() {
    if (m_firstVisibleLine < LineCount() - 1) {
        ScrollToLine(m_firstVisibleLine + 1, true);
        SyncSiblingPanes(true);
    }
}

void CTextView::SelectAll() {
    const int last = LineCount() - 1;
    m_caret = {last, LineLength(last)};
    SetSelection({0, 0}, m_caret);
    UpdateCaret();
}

// Focus ------------------------------------------------------------------------------------

void CTextView::focusInEvent(QFocusEvent*) {
    m_hasFocus = true;
    if (HasSelection()) InvalidateLines(m_selStart.line, m_selEnd.line);
    UpdateCaret();
}

void CTextView::focusOutEvent(QFocusEvent* event) {
    // A menu that opens takes the keyboard only while it is open; the view is still where
    // the user works, so the caret, the selection and a mouse selection stay.
    if (event->reason() == Qt::PopupFocusReason) return;
    m_hasFocus = false;
    UpdateCaret();
    if (HasSelection()) InvalidateLines(m_selStart.line, m_selEnd.line);
    if (m_mouseSelecting) EndMouseSelection();
}
