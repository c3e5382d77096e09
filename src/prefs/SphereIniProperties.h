#pragma once

#include <QDialog>
#include <QString>

class CPageTree;
class CSphereINIGeneral;
class QPushButton;

// The form in which the main frame shows a sphere.ini file: a tree with the one page
// "Basic Sphere Info" beside it. "Apply" writes the values the user changed into their
// lines of the file and leaves every other byte as it was; "Edit as Text" opens the file
// as a script document instead.
class CSphereINIProperties : public QDialog {
    Q_OBJECT

public:
    explicit CSphereINIProperties(const QString& path, QWidget* parent = nullptr);

    // Reads the file's values into the page; on failure says why and returns false.
    bool ReadFile();

    CPageTree& Tree() const { return *m_tree; }
    CSphereINIGeneral& GeneralPage() const { return *m_general; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* CancelButton() const { return m_cancel; }
    QPushButton* HelpButton() const { return m_help; }
    QPushButton* EditAsTextButton() const { return m_editAsText; }

private:
    void Apply();
    void EditAsText();

    QString m_path;
    bool m_utf8 = false; // the file starts with a UTF-8 byte order mark
    CPageTree* m_tree;
    CSphereINIGeneral* m_general;
    QPushButton* m_apply;
    QPushButton* m_cancel;
    QPushButton* m_help;
    QPushButton* m_editAsText;
};
