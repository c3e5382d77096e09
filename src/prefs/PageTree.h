#pragma once

#include <QTreeWidget>

class QStackedWidget;
class QWidget;

// The tree of pages at the left of the Preferences and Sphere.ini dialogs: each item
// stands for a page of the stack beside it, and selecting the item shows that page, so
// that exactly one page is visible at a time.
class CPageTree : public QTreeWidget {
    Q_OBJECT

public:
    CPageTree(QStackedWidget& pages, QWidget* parent = nullptr);

    // Adds an item for `page` (added to the stack) under `parent`, or at the root.
    QTreeWidgetItem* AddPage(const QString& text, QWidget* page, QTreeWidgetItem* parent = nullptr);
    // Expands every item below `from` (the whole tree without one), depth first.
    void ExpandAll(QTreeWidgetItem* from = nullptr);
    // Selects the item of `page` and shows it.
    void ShowPage(QWidget* page);

private:
    QStackedWidget& m_pages;
};
