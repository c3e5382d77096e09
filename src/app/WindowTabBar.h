#pragma once

#include <QPointer>
#include <QTabBar>

#include <vector>

class QMdiArea;
class QMdiSubWindow;

// One tab per child window of an MDI area, labelled with the window's title and icon.
// Selecting a tab brings its window to the front, a double click maximises it and the
// right button opens the window's system menu. Existing tabs keep their order; new windows
// get tabs at the end. The bar hides itself while no child window is open.
class CWindowTabBar : public QTabBar {
    Q_OBJECT

public:
    CWindowTabBar(QMdiArea& area, QWidget* parent = nullptr);

    // Brings the tabs in line with the area's child windows.
    void Refresh();
    QMdiSubWindow* WindowAt(int index) const;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void OnCurrentChanged(int index);

    QMdiArea& m_area;
    std::vector<QPointer<QMdiSubWindow>> m_windows; // parallel to the tabs
    bool m_refreshing = false;
};
