#pragma once

#include <QDialog>
#include <QString>

#include "buffer/TextPosition.h"
#include "view/FindDialog.h"

#include <string>

class CEditView;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Where the Replace dialog searches and what it starts from.
struct ReplaceScope {
    bool hasSelection = false; // a selection existed when the dialog opened
    TextPosition begin;        // where the first search starts
    TextPosition blockStart;   // the selected block, searched with the Selection scope
    TextPosition blockEnd;
};

// The Replace dialog (resource 8602): finds the text in the whole file from the caret on
// or inside the selected block, and replaces one match at a time or all of them. Nothing
// wraps around: a search that fails shows "Cannot find string" and makes the next one
// start at the top of the text or of the block.
class CReplaceDialog : public QDialog {
    Q_OBJECT

public:
    enum Scope { ScopeSelection = 0, ScopeWholeFile = 1 };

    CReplaceDialog(CEditView* view, const FindOptions& options, const QString& replaceWith,
                   const ReplaceScope& scope);

    // What the user typed and chose, also after Cancel.
    const FindOptions& Options() const { return m_options; }
    const QString& ReplaceWith() const { return m_replaceWith; }

    void reject() override;

private:
    void StoreControls();
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();
    // The search step: selects the next match from the current position. FindNextMatch
    // also reports a miss.
    bool SearchNext();
    void ReportNotFound();
    bool FindNextMatch();
    // Replaces the selected match and moves the block and the current position past it.
    void ReplaceMatch();

    CEditView* m_view;
    FindOptions m_options;
    QString m_replaceWith;
    int m_scope;
    bool m_found = false;
    TextPosition m_current;
    ReplaceScope m_block;
    std::string m_findBytes;
    bool m_findEncodable = true; // false: the text has characters no script can hold

    QLineEdit* m_findWhat;
    QLineEdit* m_replaceEdit;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QRadioButton* m_selection;
    QRadioButton* m_wholeFile;
    QPushButton* m_findNext;
};
