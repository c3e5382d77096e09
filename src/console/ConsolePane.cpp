#include "ConsolePane.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>

#include <utility>

namespace {

// When pieces of text hold `lines` lines or more, nothing shown before them stays: the
// text before their last `lines` - 1 line ends goes, unseen (a backspace never reaches back
// over a line end, so nothing after it depends on it). Returns whether they replace
// everything shown.
template <class Pieces> bool KeepLastLines(Pieces& pieces, int lines) {
    qsizetype breaks = 0;
    for (std::size_t p = pieces.size(); p-- > 0;) {
        QString& text = pieces[p].text;
        for (qsizetype i = text.size(); i-- > 0;) {
            if (text[i] != u'\n' || ++breaks < lines) continue;
            text.remove(0, i + 1);
            pieces.erase(pieces.begin(), pieces.begin() + qsizetype(p));
            return true;
        }
    }
    return false;
}

} // namespace

CConsolePane::CConsolePane(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    setFont(font);
    setTabStopDistance(8 * QFontMetrics(font).horizontalAdvance(u' '));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setMaximumBlockCount(MaximumLines);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);
    m_streamTimer.setSingleShot(true);
    m_streamTimer.setInterval(StreamIntervalMs);
    connect(&m_streamTimer, &QTimer::timeout, this, &CConsolePane::ShowStreamed);
}

void CConsolePane::AppendText(const QString& text, const QColor& colour, bool bold) {
    ShowStreamed();
    Insert({{text, colour, bold}});
}

void CConsolePane::AppendStreamed(const QString& text, const QColor& colour) {
    m_streamed.push_back({text, colour, false});
    if (!m_sinceShown.isValid() || m_sinceShown.hasExpired(StreamIntervalMs))
        ShowStreamed();
    else if (!m_streamTimer.isActive())
        m_streamTimer.start();
}

void CConsolePane::ShowStreamed() {
    m_streamTimer.stop();
    m_sinceShown.start();
    if (!m_streamed.empty()) Insert(std::exchange(m_streamed, {}));
}

void CConsolePane::Insert(std::vector<Piece> pieces) {
    if (KeepLastLines(pieces, MaximumLines)) clear();
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Piece& piece : pieces) {
        QTextCharFormat format;
        format.setForeground(piece.colour.isValid() ? piece.colour : QColor(Qt::black));
        format.setFontWeight(piece.bold ? QFont::Bold : QFont::Normal);
        const QString& text = piece.text;
        qsizetype from = 0;
        for (qsizetype i = text.indexOf(u'\b'); i >= 0; i = text.indexOf(u'\b', from)) {
            cursor.insertText(text.mid(from, i - from), format);
            if (cursor.positionInBlock() > 0) cursor.deletePreviousChar();
            from = i + 1;
        }
        cursor.insertText(text.mid(from), format);
    }
    cursor.endEditBlock();
    if (following) bar->setValue(bar->maximum());
}

void CConsolePane::keyPressEvent(QKeyEvent* event) {
    const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (!chord && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit Typed(13);
        return;
    }
    const QString text = event->text();
    if (!chord && text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F) {
        emit Typed(text[0].unicode());
        return;
    }
    // Moving through the text, selecting and copying are the pane's own.
    QPlainTextEdit::keyPressEvent(event);
}
