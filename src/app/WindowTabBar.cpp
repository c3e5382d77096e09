#include "WindowTabBar.h"

#include <QContextMenuEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include <algorithm>

CWindowTabBar::CWindowTabBar(QMdiArea& area, QWidget* parent) : QTabBar(parent), m_area(area) {
    setFocusPolicy(Qt::NoFocus);
    setDrawBase(true);
    setExpanding(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideRight);
    setIconSize(QSize(16, 16));
    hide();
    connect(this, &QTabBar::currentChanged, this, &CWindowTabBar::OnCurrentChanged);
}

namespace {

// A window's title, marked while its document has unsaved changes.
QString TabText(const QMdiSubWindow& window) {
    return window.isWindowModified() ? window.windowTitle() + QStringLiteral(" *")
                                     : window.windowTitle();
}

} // namespace

void CWindowTabBar::Refresh() {
    m_refreshing = true;
    QMdiSubWindow* active = m_area.activeSubWindow();
    QList<QMdiSubWindow*> collected = m_area.subWindowList(QMdiArea::StackingOrder);
    std::reverse(collected.begin(), collected.end()); // top first

    for (int i = count() - 1; i >= 0; --i) {
        QMdiSubWindow* window = m_windows[i];
        if (window && collected.removeOne(window)) {
            setTabText(i, TabText(*window));
            setTabIcon(i, window->windowIcon());
            if (window == active) setCurrentIndex(i);
        } else {
            m_windows.erase(m_windows.begin() + i);
            removeTab(i);
        }
    }
    for (QMdiSubWindow* window : collected) {
        m_windows.emplace_back(window);
        const int index = addTab(window->windowIcon(), TabText(*window));
        if (window == active) setCurrentIndex(index);
    }
    setVisible(count() >= 1);
    m_refreshing = false;
}

QMdiSubWindow* CWindowTabBar::WindowAt(int index) const {
    return index >= 0 && index < int(m_windows.size()) ? m_windows[index].data() : nullptr;
}

void CWindowTabBar::OnCurrentChanged(int index) {
    if (m_refreshing) return;
    if (QMdiSubWindow* window = WindowAt(index)) m_area.setActiveSubWindow(window);
}

void CWindowTabBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (QMdiSubWindow* window = WindowAt(currentIndex())) window->showMaximized();
    QTabBar::mouseDoubleClickEvent(event);
}

void CWindowTabBar::contextMenuEvent(QContextMenuEvent* event) {
    const int index = tabAt(event->pos());
    QMdiSubWindow* window = WindowAt(index);
    if (!window) return;
    setCurrentIndex(index);
    m_area.setActiveSubWindow(window);
    if (QMenu* menu = window->systemMenu()) menu->exec(event->globalPos());
}
