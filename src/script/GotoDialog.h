#pragma once

#include <QDialog>

class QLineEdit;
class QRadioButton;

// Where a Goto counts from.
enum GotoOrigin : int {
    GotoFromBeginning = 0,
    GotoFromCurrent = 1,
    GotoFromEnd = 2, // back from the end
};

// The target line (zero-based) of a Goto by `n` lines from an origin, always inside the
// text: from the beginning n is the line number (0 and 1 go to the first line); from the
// current line n lines down; from the end n lines back (0 goes to the last line).
int GotoTargetLine(int n, int origin, int caretLine, int lineCount);

// The Goto dialog: a line number of at most 9 digits and the origin it counts from.
class CGotoDialog : public QDialog {
    Q_OBJECT

public:
    explicit CGotoDialog(QWidget* parent = nullptr);

    QLineEdit* LineField() const { return m_line; }
    QRadioButton* OriginButton(int origin) const { return m_origins[origin]; }

    // The entered number (0 when empty) and the chosen origin.
    int LineNumber() const;
    int Origin() const;

private:
    QLineEdit* m_line;
    QRadioButton* m_origins[3];
};
