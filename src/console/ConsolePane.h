#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QString>

// The console's output: read-only text in a fixed-pitch face that the user can select and
// copy, holding the last MaximumLines lines so that a console left open for days stays
// fast. Typing is not for the pane: a character or Enter is handed on through Typed.
class CConsolePane : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int MaximumLines = 10000;

    explicit CConsolePane(QWidget* parent = nullptr);

    // Appends `text` at the end in `colour` (an invalid colour: the default black), bold or
    // not. A U+0008 erases the character before it on its line, as a terminal would. While
    // the end is in view, the view follows it.
    void AppendText(const QString& text, const QColor& colour = QColor(), bool bold = false);

signals:
    // A character typed without Ctrl or Alt (its code), or Enter (13).
    void Typed(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
