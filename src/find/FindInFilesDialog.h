#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

// What Find in Files asks: the text, whole word and case, the folder and the file types.
struct FindInFilesOptions {
    QString text;
    bool wholeWord = false;
    bool matchCase = false;
    QString folder;
    QString fileTypes = QStringLiteral("*.scp;*.ini");
};

// The Find in Files dialog. "&Find" is enabled while there is a text, and closes the dialog
// only when the folder exists; otherwise it says so and stays open.
class CFindInFilesDialog : public QDialog {
    Q_OBJECT

public:
    CFindInFilesDialog(const FindInFilesOptions& options, QWidget* parent = nullptr);

    FindInFilesOptions Options() const;

    QLineEdit& TextField() const { return *m_text; }
    QLineEdit& FolderField() const { return *m_folder; }
    QLineEdit& TypesField() const { return *m_types; }
    QCheckBox& WholeWordBox() const { return *m_wholeWord; }
    QCheckBox& MatchCaseBox() const { return *m_matchCase; }
    QPushButton& FindButton() const { return *m_find; }

    void accept() override;

private:
    void ChooseFolder();

    QLineEdit* m_text;
    QLineEdit* m_folder;
    QLineEdit* m_types;
    QCheckBox* m_wholeWord;
    QCheckBox* m_matchCase;
    QPushButton* m_find;
};
