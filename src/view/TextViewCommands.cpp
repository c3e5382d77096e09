// Commands of the text view: the accelerator keys, the command table with its update
// handlers, copying to the clipboard, drag data and bookmarks.
#include "TextView.h"

#include "RangeMimeData.h"

#include "buffer/TextBuffer.h"
#include "framework/AcceleratorTable.h"
#include "framework/CommandIds.h"
#include "framework/ProgressWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QtEndian>

#include <cstring>
#include <optional>

void CTextView::RegisterMoveCommand(unsigned id, void (CTextView::*move)(bool)) {
    OnCommand(id, [this, move](unsigned) { (this->*move)(false); });
    OnCommand(id + 1, [this, move](unsigned) { (this->*move)(true); });
}

void CTextView::RegisterCommands() {
    RegisterMoveCommand(ID_EDIT_CHAR_LEFT, &CTextView::MoveLeft);
    RegisterMoveCommand(ID_EDIT_CHAR_RIGHT, &CTextView::MoveRight);
    RegisterMoveCommand(ID_EDIT_WORD_LEFT, &CTextView::MoveWordLeft);
    RegisterMoveCommand(ID_EDIT_WORD_RIGHT, &CTextView::MoveWordRight);
    RegisterMoveCommand(ID_EDIT_LINE_UP, &CTextView::MoveUp);
    RegisterMoveCommand(ID_EDIT_LINE_DOWN, &CTextView::MoveDown);
    RegisterMoveCommand(ID_EDIT_PAGE_UP, &CTextView::MovePageUp);
    RegisterMoveCommand(ID_EDIT_PAGE_DOWN, &CTextView::MovePageDown);
    RegisterMoveCommand(ID_EDIT_LINE_END, &CTextView::MoveLineEnd);
    RegisterMoveCommand(ID_EDIT_HOME, &CTextView::MoveLineHome);
    RegisterMoveCommand(ID_EDIT_TEXT_BEGIN, &CTextView::MoveTextStart);
    RegisterMoveCommand(ID_EDIT_TEXT_END, &CTextView::MoveTextEnd);
    OnCommand(ID_EDIT_SCROLL_UP, [this](unsigned) { ScrollLineUp(); });
    OnCommand(ID_EDIT_SCROLL_DOWN, [this](unsigned) { ScrollLineDown(); });

    OnCommand(
        ID_EDIT_COPY, [this](unsigned) { OnEditCopy(); },
        [this](CCommandUI& ui) { ui.Enable(HasSelection()); });
    OnCommand(ID_EDIT_SELECT_ALL, [this](unsigned) { SelectAll(); });

    OnCommandRange(ID_EDIT_TOGGLE_BOOKMARK0, ID_EDIT_TOGGLE_BOOKMARK9, [this](unsigned id) {
        ToggleNumberedBookmark(int(id - ID_EDIT_TOGGLE_BOOKMARK0));
    });
    OnCommandRange(ID_EDIT_GO_BOOKMARK0, ID_EDIT_GO_BOOKMARK9,
                   [this](unsigned id) { GoToNumberedBookmark(int(id - ID_EDIT_GO_BOOKMARK0)); });
    OnCommand(ID_EDIT_TOGGLE_BOOKMARK, [this](unsigned) { ToggleBookmark(); });
    const UpdateHandler whileBookmarksExist = [this](CCommandUI& ui) {
        ui.Enable(m_bookmarksExist);
    };
    OnCommand(
        ID_EDIT_NEXT_BOOKMARK, [this](unsigned) { GoToPlainBookmark(true); }, whileBookmarksExist);
    OnCommand(
        ID_EDIT_PREV_BOOKMARK, [this](unsigned) { GoToPlainBookmark(false); }, whileBookmarksExist);
    OnCommand(
        ID_EDIT_CLEAR_BOOKMARKS, [this](unsigned) { ClearBookmarks(); }, whileBookmarksExist);
}

// Keys ---------------------------------------------------------------------------------------

bool CTextView::event(QEvent* event) {
    // Keys of the view's table win over the window's shortcuts, as they are translated
    // before the window sees them.
    if (event->type() == QEvent::ShortcutOverride && m_accelerators &&
        m_accelerators->CommandFor(*static_cast<QKeyEvent*>(event)) != 0) {
        event->accept();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CTextView::keyPressEvent(QKeyEvent* event) {
    const unsigned id = m_accelerators ? m_accelerators->CommandFor(*event) : 0;
    if (id == 0) {
        event->ignore();
        return;
    }
    // A translated key is consumed, also when no handler takes its command.
    ExecuteCommand(id);
    event->accept();
}

// Clipboard and drag data --------------------------------------------------------------------

void CTextView::OnEditCopy() {
    if (!HasSelection()) return;
    NormaliseSelection();
    CopyRangeToClipboard(m_drawnSelStart, m_drawnSelEnd);
}

// Each line as a 32-bit little-endian length and its bytes.
const QString CTextView::LinesMimeType = QStringLiteral("application/x-quillet-lines");

QMimeData* CTextView::RangeMimeData(TextPosition start, TextPosition end) const {
    if (!m_buffer) return nullptr;
    // A copy of many lines shows its progress once it takes long; windows repaint meanwhile
    // and input waits, so the text stays as it is.
    std::optional<CProgressWindow> progress;
    const auto betweenSlices = [&](int permille) {
        if (!progress) progress.emplace(QStringLiteral("Copying the selection..."), window(), 1000);
        progress->Advance(permille);
    };
    return CRangeMimeData::FromRange(*m_buffer, start, end, betweenSlices).release();
}

bool CTextView::LinesFromMimeData(const QMimeData* data, TextLines& lines) {
    if (!data || !data->hasFormat(LinesMimeType)) return false;
    // Any program can put this format on the clipboard: every length is checked against
    // what is left, and the text (the lines joined by CR LF, as CopyLines gives them)
    // stays within what the buffer takes in one insertion.
    const QByteArray payload = data->data(LinesMimeType);
    if (payload.isEmpty() || payload.size() > MaxInsertionBytes) return false;
    TextLines result;
    for (qsizetype at = 0; at < payload.size();) {
        quint32_le length;
        if (payload.size() - at < qsizetype(sizeof length)) return false;
        std::memcpy(&length, payload.constData() + at, sizeof length);
        at += sizeof length;
        if (quint32(length) > quint64(payload.size() - at)) return false;
        if (!result.pieces.empty()) result.text += "\r\n";
        result.pieces.push_back({std::int32_t(result.text.size()), std::int32_t(length)});
        result.text.append(payload.constData() + at, std::size_t(length));
        at += qsizetype(length);
    }
    // One line is kept without pieces, as TextLines holds a single line.
    if (result.pieces.size() == 1) result.pieces.clear();
    lines = std::move(result);
    return true;
}

bool CTextView::CopyRangeToClipboard(TextPosition start, TextPosition end) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QMimeData* data = clipboard ? RangeMimeData(start, end) : nullptr;
    if (!data) return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    clipboard->setMimeData(data);
    QGuiApplication::restoreOverrideCursor();
    return true;
}

bool CTextView::ClipboardHasText() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    return data && data->hasText();
}

QMimeData* CTextView::PrepareDragData() {
    NormaliseSelection();
    QMimeData* data = RangeMimeData(m_drawnSelStart, m_drawnSelEnd);
    if (!data) return nullptr;
    m_dragStart = m_drawnSelStart;
    m_dragEnd = m_drawnSelEnd;
    return data;
}

// Bookmarks ------------------------------------------------------------------------------------

void CTextView::ToggleNumberedBookmark(int n) {
    if (!m_buffer) return;
    const std::uint32_t mask = NumberedBookmarkFlag(n);
    m_buffer->ChangeLineFlag(m_caret.line, mask, !(LineFlags(m_caret.line) & mask), true);
}

void CTextView::GoToNumberedBookmark(int n) {
    if (m_buffer) GoToBookmarkedLine(m_buffer->FirstLineWithFlag(NumberedBookmarkFlag(n)));
}

void CTextView::GoToBookmarkedLine(int line) {
    if (line >= 0) JumpTo({line, 0});
}

void CTextView::GoToPlainBookmark(bool next) {
    if (m_buffer)
        GoToBookmarkedLine(next ? m_buffer->NextBookmarkedLine(m_caret.line)
                                : m_buffer->PrevBookmarkedLine(m_caret.line));
}

void CTextView::ToggleBookmark() {
    if (!m_buffer) return;
    m_buffer->ChangeLineFlag(m_caret.line, BookmarkFlag, !(LineFlags(m_caret.line) & BookmarkFlag),
                             false);
    m_bookmarksExist = m_buffer->FirstLineWithFlag(BookmarkFlag) >= 0;
}

void CTextView::ClearBookmarks() {
    if (!m_buffer) return;
    const int count = m_buffer->LineCount();
    for (int line = 0; line < count; ++line) {
        if (m_buffer->LineFlags(line) & BookmarkFlag)
            m_buffer->ChangeLineFlag(line, BookmarkFlag, false, true);
    }
    m_bookmarksExist = false;
}
