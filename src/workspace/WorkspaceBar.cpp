#include "WorkspaceBar.h"

#include "FilesTree.h"
#include "ScriptTree.h"

#include "framework/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The gap between the bar's edge and the tab control, and the tab control and a tree.
constexpr int kMargin = 5;

QWidget* Page(QWidget* tree) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    if (tree) layout->addWidget(tree);
    return page;
}

} // namespace

CWorkspaceBar::CWorkspaceBar(QWidget* parent)
    : QDockWidget(QStringLiteral("Workspace"), parent), m_tabs(new QTabWidget),
      m_scriptTree(new CScriptTree), m_filesTree(new CFilesTree) {
    setObjectName(QStringLiteral("Workspace"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    // The bar is filled with the face colour of buttons, as toolbars are.
    auto* face = new QWidget;
    face->setBackgroundRole(QPalette::Button);
    face->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(face);
    layout->setContentsMargins(kMargin, 0, kMargin, kMargin);
    layout->addWidget(m_tabs);
    setWidget(face);

    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->tabBar()->setFont(QFont(QStringLiteral("Times New Roman"), 10));
    m_tabs->addTab(Page(m_scriptTree), QStringLiteral("Script"));
    m_tabs->addTab(Page(nullptr), QStringLiteral("Resources"));
    m_tabs->addTab(Page(m_filesTree), QStringLiteral("Files"));
    m_tabs->setCurrentIndex(ScriptTab);

    m_filesTree->AddRootFolder(QDir::homePath(), 0);
    ReadServerFolder();

    connect(this, &QDockWidget::topLevelChanged, this, &CWorkspaceBar::FollowFloating);
    FollowFloating(false);
}

void CWorkspaceBar::ReadServerFolder() {
    const QString shown = QDir::toNativeSeparators(SphereServerFolder());
    if (shown == m_serverFolder) return;
    while (m_filesTree->topLevelItemCount() > 1)
        delete m_filesTree->takeTopLevelItem(1);
    m_serverFolder = shown;
    if (!shown.isEmpty())
        m_filesTree->AddRootFolder(shown, CFolderTree::ShowFiles | CFolderTree::ShowHidden |
                                              CFolderTree::FullPathName | CFolderTree::PathAsName);
}

bool CWorkspaceBar::focusNextPrevChild(bool next) {
    QWidget* from = QApplication::focusWidget();
    if (!isAncestorOf(from)) return QDockWidget::focusNextPrevChild(next);
    for (QWidget* w = next ? from->nextInFocusChain() : from->previousInFocusChain();
         w != from && isAncestorOf(w);
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy()) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    emit FocusLeaving();
    // With no window to take it, a hidden widget does not keep the focus.
    if (from->hasFocus() && !from->isVisible()) from->clearFocus();
    return true;
}

void CWorkspaceBar::FollowFloating(bool floating) {
    if (floating) {
        setFixedSize(kWidth, kFloatingHeight);
    } else {
        setMinimumSize(kWidth, 0);
        setMaximumSize(kWidth, QWIDGETSIZE_MAX);
    }
}
