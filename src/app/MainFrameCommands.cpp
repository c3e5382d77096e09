// The commands of the main frame, the notification-area icon and dropped files.
#include "ExternalProgram.h"
#include "MainFrame.h"

#include "console/TelnetFrame.h"
#include "find/FindResultsPane.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "framework/SettingsStore.h"
#include "framework/WinApp.h"
#include "prefs/Preferences.h"
#include "prefs/SphereIniProperties.h"
#include "script/ScriptFileDialog.h"
#include "workspace/WorkspaceBar.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>

namespace {

constexpr int kStatusMessageMs = 5000;

QList<QString> LocalFiles(const QMimeData* data) {
    QList<QString> files;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) files << url.toLocalFile();
        }
    }
    return files;
}

} // namespace

void CMainFrame::RegisterFrameCommands() {
    OnCommand(ID_FILE_OPEN, [this](unsigned) { OnFileOpen(); });
    OnCommandRange(ID_TOOLS_AXIS, ID_TOOLS_UOCLIENT,
                   [this](unsigned id) { StartExternalProgram(id); });
    OnCommand(ID_VIEW_PREFERENCES,
              [this](unsigned) { ShowPreferences(CPreferences::GeneralPage); });
    // Each use opens another console with a connection of its own.
    OnCommand(ID_TOOLS_CONSOLE, [this](unsigned) { AddConsoleFrame(new CTelnetFrame); });

    // The bars show and hide at once; their menu items are checked while they show.
    const auto registerToggle = [this](unsigned id, QWidget* bar) {
        OnCommand(
            id, [bar](unsigned) { bar->setVisible(bar->isHidden()); },
            [bar](CCommandUI& ui) { ui.SetCheck(!bar->isHidden()); });
    };
    registerToggle(ID_VIEW_TOOLBAR, m_generalBar);
    registerToggle(ID_VIEW_TOOLS_TOOLBAR, m_toolsBar);
    registerToggle(ID_VIEW_STATUS_BAR, statusBar());
    registerToggle(ID_VIEW_WORKSPACE, m_workspaceBar);
    registerToggle(ID_VIEW_FIND_RESULTS, m_findResults);

    OnCommand(ID_WINDOW_CASCADE, [this](unsigned) { m_mdiArea->cascadeSubWindows(); });
    OnCommand(ID_WINDOW_TILE_HORZ, [this](unsigned) { m_mdiArea->tileSubWindows(); });
    OnCommand(ID_WINDOW_ARRANGE, [this](unsigned) { ArrangeIcons(); });
}

void CMainFrame::OnFileOpen() {
    const QString path = AskScriptFileName(this);
    if (path.isEmpty()) return;
    // sphere.ini (in any case) is shown as the Sphere.ini form, not as a script.
    if (QFileInfo(path).fileName().toUpper() == QLatin1String("SPHERE.INI")) {
        CSphereINIProperties dialog(path, this);
        if (dialog.ReadFile()) RunModalDialog(dialog);
        return;
    }
    if (CWinApp* app = CWinApp::Instance()) app->OpenDocumentFile(path);
}

void CMainFrame::ShowPreferences(int page) {
    CPreferences preferences(this, CPreferences::Page(page));
    RunModalDialog(preferences);
    // A new SphereServer folder shows in the Files tree at once.
    m_workspaceBar->ReadServerFolder();
}

void CMainFrame::StartExternalProgram(unsigned id) {
    CIniFile& settings = SettingsStore();
    const ProgramLaunch launch = id == ID_TOOLS_AXIS           ? AxisLaunch(settings)
                                 : id == ID_TOOLS_SPHERESERVER ? SphereServerLaunch(settings)
                                                               : ClientLaunch(settings);
    if (StartProgram(launch)) return;
    const QString program = QDir::toNativeSeparators(launch.program);
    const QString problem = SettingProblem(launch);
    if (problem.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Could not start %1").arg(program),
                                 kStatusMessageMs);
        return;
    }
    // A setting that names no program is fixed in Preferences: offer to go there.
    const QString text = QStringLiteral("Could not start %1: %2\n\nSet it in Preferences, on the "
                                        "Directories page. Open Preferences now?")
                             .arg(program, problem);
    if (ShowMessage(this, text, QString(), QMessageBox::Warning,
                    QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        ShowPreferences(CPreferences::DirectoriesPage);
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows line up along the bottom of the area, left to right.
    int x = 0;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(x, m_mdiArea->viewport()->height() - window->height());
        x += window->width();
    }
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised MDI window adds its own "- [name]" to the frame's title; the title
    // already names the active document, so it is put back.
    if (event->type() == QEvent::WindowTitleChange && !m_frameTitle.isEmpty() &&
        windowTitle() != m_frameTitle)
        setWindowTitle(m_frameTitle);
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        QSystemTrayIcon::isSystemTrayAvailable())
        QMetaObject::invokeMethod(this, &CMainFrame::MinimiseToTray, Qt::QueuedConnection);
}

void CMainFrame::MinimiseToTray() {
    if (isMinimized()) HideToTray();
}

void CMainFrame::HideToTray() {
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(windowIcon(), this);
        // Trays that speak the StatusNotifier protocol report one activation and never a
        // double click: either brings the window back. The menu is the way back on trays
        // that only open menus.
        connect(m_tray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger ||
                        reason == QSystemTrayIcon::DoubleClick)
                        RestoreFromTray();
                });
        auto* menu = new QMenu(this);
        menu->addAction(QStringLiteral("&Restore"), this, &CMainFrame::RestoreFromTray);
        menu->addAction(QStringLiteral("E&xit"), this, [this] {
            RestoreFromTray(); // the save questions need a visible window
            close();
        });
        m_tray->setContextMenu(menu);
    }
    m_tray->setToolTip(windowTitle().left(63));
    m_tray->show();
    hide();
}

void CMainFrame::RestoreFromTray() {
    m_tray->hide();
    showNormal();
    activateWindow();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QString> files = LocalFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    if (CWinApp* app = CWinApp::Instance()) {
        for (const QString& file : files)
            app->OpenDocumentFile(file);
    }
}
