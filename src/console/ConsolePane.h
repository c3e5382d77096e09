#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QString>
#include <QTimer>

#include <vector>

// The console's output: read-only text in a fixed-pitch face that the user can select and
// copy, holding the last MaximumLines lines so that a console left open for days stays
// fast. Typing is not for the pane: a character or Enter is handed on through Typed.
class CConsolePane : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int MaximumLines = 10000;
    // Text that streams in is shown at most this often, in one piece.
    static constexpr int StreamIntervalMs = 30;

    explicit CConsolePane(QWidget* parent = nullptr);

    // Appends `text` at the end in `colour` (an invalid colour: the default black), bold or
    // not, after any streamed text still waiting. A U+0008 erases the character before it
    // on its line, as a terminal would. While the end is in view, the view follows it.
    void AppendText(const QString& text, const QColor& colour = QColor(), bool bold = false);
    // The same for text that streams in from a server: shown at once after a quiet spell,
    // else gathered and shown within StreamIntervalMs, so that a burst is laid out once per
    // interval and its lines that the limit would drop at once are never laid out.
    void AppendStreamed(const QString& text, const QColor& colour);
    void ShowStreamed();

signals:
    // A character typed without Ctrl or Alt (its code), or Enter (13).
    void Typed(int code);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Piece {
        QString text;
        QColor colour;
        bool bold;
    };
    void Insert(std::vector<Piece> pieces);

    std::vector<Piece> m_streamed;
    QTimer m_streamTimer;
    QElapsedTimer m_sinceShown;
};
