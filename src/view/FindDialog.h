#pragma once

#include <QDialog>
#include <QString>

#include "buffer/TextPosition.h"

#include <string>

class CTextView;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// What a search dialog searches for.
struct FindOptions {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool directionUp = false;

    unsigned Flags() const; // SearchFlags
};

// The bytes of a search text typed into a dialog. False when a character has no
// Windows-1252 byte: such a text cannot occur in a script and is never found.
bool SearchBytes(const QString& text, std::string& bytes);

// The "Cannot find string" message (string 8606) with the search text, an OK button, no
// icon and the application's title.
void ShowCannotFindMessage(QWidget* parent, const QString& text);

// The Find dialog (resource 8601): one search of the owning view per press of Find Next,
// starting at `start`; a match is selected and closes the dialog, a miss shows the message
// and makes the next search start at the top. Options() holds what the user typed and
// chose, also after Cancel.
class CFindDialog : public QDialog {
    Q_OBJECT

public:
    CFindDialog(CTextView* view, const FindOptions& options, TextPosition start);

    const FindOptions& Options() const { return m_options; }

    // Cancel, Escape and closing the window keep what the user typed and chose.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void StoreControls();
    void OnFindNext();

    CTextView* m_view;
    FindOptions m_options;
    TextPosition m_start;
    QPlainTextEdit* m_findWhat;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_up;
    QRadioButton* m_down;
    QPushButton* m_findNext;
};
