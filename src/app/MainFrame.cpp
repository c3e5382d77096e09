#include "MainFrame.h"

#include "ChildFrame.h"
#include "framework/Icons.h"
#include "WindowTabBar.h"

#include "console/TelnetFrame.h"
#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "framework/MessageBox.h"
#include "framework/SettingsStore.h"
#include "framework/Windows1252.h"
#include "prefs/IniFile.h"
#include "script/QuilletDoc.h"
#include "view/TextView.h"
#include "workspace/ScriptTree.h"
#include "workspace/WorkspaceBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kCascadeStep = 24;

} // namespace

CMainFrame::CMainFrame(CRecentFileList& recentFiles) : m_recentFiles(recentFiles) {
    setWindowTitle(ResString(IDR_MAINFRAME));
    setAcceptDrops(true);
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(0);
    connect(&m_idleTimer, &QTimer::timeout, this, &CMainFrame::UpdateIdleState);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    // The windows go with the base class, after this part of the frame is gone: they must
    // not call back into it.
    if (m_mdiArea) {
        m_mdiArea->disconnect(this);
        for (QMdiSubWindow* window : m_mdiArea->subWindowList())
            window->disconnect(this);
    }
    if (m_tray) m_tray->hide();
}

void CMainFrame::Create(const QString& settingsPath) {
    // The window takes 7/8 of the screen from its top left corner.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.topLeft());
    resize(screen.width() * 7 / 8, screen.height() * 7 / 8);

    CIniFile& settings = SettingsStore();
    settings.SetPath(QFile::encodeName(settingsPath).toStdString());
    if (!settings.Load())
        ShowMessage(this, QStringLiteral("Couldn't not load 'Quillet.ini'"),
                    QStringLiteral("Error"), QMessageBox::Critical);

    m_mdiArea = new QMdiArea;
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tabBar = new CWindowTabBar(*m_mdiArea);
    auto* centre = new QWidget;
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabBar);
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(centre);
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnUpdateFrameTitle);

    CreateToolBars();
    CreateWorkspaceBar();
    CreateFindTools();
    CreateStatusBar();
    RestoreBarLayout();
    CreateMenus();
    RegisterFrameCommands();
    RegisterFindCommands();
    OnUpdateFrameTitle();

    qApp->installEventFilter(this);
}

void CMainFrame::AddChildFrame(CChildFrame* frame) {
    AddWindow(frame);
    // A caret moved by a command (Goto, Find) refreshes the caret pane as a key does.
    connect(frame->View(), &CTextView::CaretMoved, &m_idleTimer, qOverload<>(&QTimer::start));
    connect(&frame->Document(), &CDocument::ModifiedChanged, m_tabBar, &CWindowTabBar::Refresh);
    frame->show();
    frame->View()->OnInitialUpdate();
    m_mdiArea->setActiveSubWindow(frame);
    frame->View()->setFocus();
    OnUpdateFrameTitle();
}

void CMainFrame::AddConsoleFrame(CTelnetFrame* console) {
    AddWindow(console);
    console->setWindowIcon(LoadIcon(QStringLiteral("console")));
    console->show();
    m_mdiArea->setActiveSubWindow(console);
    console->widget()->setFocus();
    OnUpdateFrameTitle();
}

void CMainFrame::AddWindow(QMdiSubWindow* window) {
    // New windows take three quarters of the area, each a little below and right of the
    // one before.
    const int placed = int(m_mdiArea->subWindowList().size());
    m_mdiArea->addSubWindow(window);
    if (auto* target = dynamic_cast<CCommandTarget*>(window)) target->SetNextCommandTarget(this);
    const QSize area = m_mdiArea->viewport()->size();
    window->resize(std::max(area.width() * 3 / 4, 320), std::max(area.height() * 3 / 4, 240));
    window->move((placed % 8) * kCascadeStep, (placed % 8) * kCascadeStep);
    connect(window, &QMdiSubWindow::windowTitleChanged, this, &CMainFrame::OnUpdateFrameTitle);
    // The window is gone from the area only after it is destroyed.
    connect(window, &QObject::destroyed, this, &CMainFrame::OnUpdateFrameTitle,
            Qt::QueuedConnection);
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
    return m_mdiArea ? qobject_cast<CChildFrame*>(m_mdiArea->activeSubWindow()) : nullptr;
}

CCommandTarget& CMainFrame::CommandRouteStart() {
    if (CChildFrame* frame = ActiveChildFrame()) return *frame->View();
    if (CTelnetFrame* console = ActiveConsoleFrame()) return *console;
    return *this;
}

CTelnetFrame* CMainFrame::ActiveConsoleFrame() const {
    return m_mdiArea ? qobject_cast<CTelnetFrame*>(m_mdiArea->activeSubWindow()) : nullptr;
}

bool CMainFrame::RunCommand(unsigned id) {
    const bool ran = CommandRouteStart().ExecuteCommand(id);
    m_idleTimer.start();
    return ran;
}

void CMainFrame::OnUpdateFrameTitle() {
    const QString appTitle = ResString(IDR_MAINFRAME);
    CChildFrame* active = ActiveChildFrame();
    m_frameTitle =
        active ? appTitle + QStringLiteral(" - ") + active->Document().Title() : appTitle;
    setWindowTitle(m_frameTitle);
    m_tabBar->Refresh();
    m_workspaceBar->ScriptTree().SetDocument(
        active ? qobject_cast<CQuilletDoc*>(&active->Document()) : nullptr);
    ShowMenus(m_mdiArea->subWindowList().isEmpty() ? m_frameMenus
              : ActiveConsoleFrame()               ? m_consoleMenus
                                                   : m_scriptMenus);
    UpdateIdleState();
}

void CMainFrame::UpdateIdleState() {
    CCommandTarget& route = CommandRouteStart();
    UpdateCommandActions(route, m_generalBar->actions());
    UpdateCommandActions(route, m_toolsBar->actions());
    const QString caret = route.QueryCommand(ID_INDICATOR_CARET).Text();
    m_caretPane->setText(caret);
    // The pane grows to fit a long selection in a big file, and stays that wide so that it
    // does not jump while the caret moves.
    const int needed = m_caretPane->fontMetrics().horizontalAdvance(caret) +
                       2 * m_caretPane->frameWidth() + 2 * m_caretPane->margin() + 8;
    if (needed > m_caretPane->width()) m_caretPane->setFixedWidth(needed);
}

void CMainFrame::ShowMenus(const QList<QMenu*>& menus) {
    if (m_shownMenus == &menus) return;
    m_shownMenus = &menus;
    menuBar()->clear();
    for (QMenu* menu : menus)
        menuBar()->addMenu(menu);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Every modified document is asked about first; a Cancel (or a failed save) keeps the
    // program and every window open, also those already answered with No.
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child && !child->Document().SaveModified()) {
            event->ignore();
            return;
        }
    }
    for (QMdiSubWindow* window : windows) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child ? !child->CloseAnswered() : !window->close()) {
            event->ignore();
            return;
        }
    }
    if (m_tray) m_tray->hide();
    SaveBarLayout();
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Like the framework's idle processing: after input, refresh toolbar states and panes.
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::FocusIn:
        m_idleTimer.start();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
