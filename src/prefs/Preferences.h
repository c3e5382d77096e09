#pragma once

#include <QDialog>

class CGeneralDirectory;
class CGeneralTelnet;
class CGeneralUser;
class CPageTree;
class CPreferencePage;
class QStackedWidget;

// "Preferences": a tree of pages at the left and the selected page at the right. "&Apply"
// writes the user, directory and console pages into the settings store, in that order,
// and saves it to its file, telling the user when that fails; "&Cancel" changes nothing.
class CPreferences : public QDialog {
    Q_OBJECT

public:
    enum Page { GeneralPage, UserPage, DirectoriesPage, ConsolePage, InputPage, MousePage };

    explicit CPreferences(QWidget* parent = nullptr, Page first = GeneralPage);

    CPageTree* Tree() const { return m_tree; }
    CPreferencePage* PageAt(Page page) const { return m_pages[page]; }
    CPreferencePage* VisiblePage() const;

private:
    void Apply();

    CPageTree* m_tree;
    QStackedWidget* m_stack;
    CPreferencePage* m_pages[MousePage + 1];
};
