#include "ConsolePane.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>

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
}

void CConsolePane::AppendText(const QString& text, const QColor& colour, bool bold) {
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    QTextCharFormat format;
    format.setForeground(colour.isValid() ? colour : QColor(Qt::black));
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    qsizetype from = 0;
    for (qsizetype i = text.indexOf(u'\b'); i >= 0; i = text.indexOf(u'\b', from)) {
        cursor.insertText(text.mid(from, i - from), format);
        if (cursor.positionInBlock() > 0) cursor.deletePreviousChar();
        from = i + 1;
    }
    cursor.insertText(text.mid(from), format);
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
