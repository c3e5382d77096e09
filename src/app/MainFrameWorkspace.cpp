// The workspace bar in the main frame: its outline follows the active script and leads to
// its sections, its Files tree opens scripts here; where the bars are docked is kept.
#include "ChildFrame.h"
#include "MainFrame.h"

#include "framework/Document.h"
#include "framework/Profile.h"
#include "framework/RecentFileList.h"
#include "framework/WinApp.h"
#include "view/TextView.h"
#include "workspace/FilesTree.h"
#include "workspace/ScriptTree.h"
#include "workspace/WorkspaceBar.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

namespace {

const QString kFrameSection = QStringLiteral("Frame");
const QString kBarLayoutEntry = QStringLiteral("Bars");

} // namespace

void CMainFrame::CreateWorkspaceBar() {
    m_workspaceBar = new CWorkspaceBar(this);
    addDockWidget(Qt::LeftDockWidgetArea, m_workspaceBar);
    connect(&m_workspaceBar->ScriptTree(), &CScriptTree::SectionChosen, this,
            &CMainFrame::GoToSection);
    // The focus goes back to the active window, not to whichever window comes next.
    connect(m_workspaceBar, &CWorkspaceBar::FocusLeaving, this, [this] {
        if (QMdiSubWindow* active = m_mdiArea->activeSubWindow()) active->widget()->setFocus();
    });
    CFilesTree& files = m_workspaceBar->FilesTree();
    files.SetOpenDocument([](const QString& path) {
        if (CWinApp* app = CWinApp::Instance()) app->OpenDocumentFile(path);
    });
    files.SetEditedByQuillet([this](const QString& path) { return IsEditedByQuillet(path); });
}

bool CMainFrame::IsEditedByQuillet(const QString& path) const {
    // A file the user opened here by hand: one of the recent files, or one open now.
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (const QString& recent : m_recentFiles.Paths())
        if (QFileInfo(recent).absoluteFilePath() == wanted) return true;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child && QFileInfo(child->Document().PathName()).absoluteFilePath() == wanted)
            return true;
    }
    return false;
}

void CMainFrame::GoToSection(int line, bool focusScript) {
    CChildFrame* frame = ActiveChildFrame();
    if (!frame) return;
    CTextView* view = frame->View();
    if (line >= view->LineCount()) return;
    // The header becomes the first visible line, as Goto places its line, so the section's
    // body shows below it.
    view->ScrollToLine(line, true);
    view->JumpTo({line, 0});
    if (focusScript) view->setFocus();
}

void CMainFrame::RestoreBarLayout() {
    const QByteArray layout =
        QByteArray::fromBase64(GetProfileString(kFrameSection, kBarLayoutEntry).toLatin1());
    if (!layout.isEmpty()) restoreState(layout);
    // Every run starts with every bar shown, wherever it was docked.
    for (QWidget* bar : {static_cast<QWidget*>(m_generalBar), static_cast<QWidget*>(m_toolsBar),
                         static_cast<QWidget*>(m_workspaceBar)})
        bar->show();
}

void CMainFrame::SaveBarLayout() const {
    // Writing rewrites the profile's file and waits for the disk: an unchanged layout, as
    // most runs end with, leaves the file alone.
    const QString layout = QString::fromLatin1(saveState().toBase64());
    if (layout != GetProfileString(kFrameSection, kBarLayoutEntry))
        WriteProfileString(kFrameSection, kBarLayoutEntry, layout);
}
