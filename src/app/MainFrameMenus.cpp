// The menus, toolbars and status bar of the main frame.
#include "MainFrame.h"
#include "framework/Icons.h"

#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/RecentFileList.h"
#include "framework/Windows1252.h"

#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace {

// The status bar prompt of a command (before "\n") and its tooltip (after it).
QStringList Prompt(unsigned id) {
    const QString text = ResString(id);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void SetPrompt(QAction* action, unsigned id) {
    const QStringList prompt = Prompt(id);
    if (!prompt.isEmpty()) action->setStatusTip(prompt.first());
    if (prompt.size() > 1) action->setToolTip(prompt[1]);
}

// Menu items created for the recent files and the window list are rebuilt on each show.
constexpr const char* kGeneratedItem = "quilletGeneratedItem";

void RemoveGeneratedItems(QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->property(kGeneratedItem).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
}

} // namespace

QMenu* CMainFrame::NewMenu(const QString& title) {
    auto* menu = new QMenu(title, this);
    connect(menu, &QMenu::aboutToShow, this,
            [this, menu] { UpdateCommandActions(CommandRouteStart(), menu->actions()); });
    connect(menu, &QMenu::triggered, this, [this, menu](QAction* action) {
        // A submenu's action reaches every menu above it: run it once, from its own menu.
        if (action->parent() == menu && CommandIdOf(action) != 0) RunCommand(CommandIdOf(action));
    });
    return menu;
}

void CMainFrame::AddCommands(QMenu* menu, std::initializer_list<MenuItem> items, bool checkable) {
    for (const MenuItem& item : items) {
        if (!item.text) {
            menu->addSeparator();
            continue;
        }
        QAction* action = MakeCommandAction(QString::fromLatin1(item.text), item.id, menu);
        action->setCheckable(checkable);
        SetPrompt(action, item.id);
        menu->addAction(action);
    }
}

void CMainFrame::CreateMenus() {
    m_frameMenus = {CreateFileMenu(false), CreateViewMenu(), CreateToolsMenu(false),
                    CreateHelpMenu()};
    m_scriptMenus = {CreateFileMenu(true),  CreateEditMenu(),   CreateViewMenu(),
                     CreateToolsMenu(true), CreateWindowMenu(), CreateHelpMenu()};
    m_consoleMenus = {CreateFileMenu(true), CreateConsoleEditMenu(), CreateConsoleViewMenu(),
                      CreateHelpMenu()};
}

QMenu* CMainFrame::CreateFileMenu(bool withDocument) {
    QMenu* menu = NewMenu(QStringLiteral("&File"));
    AddCommands(menu, {{"&New\tCtrl+N", ID_FILE_NEW}, {"&Open...\tCtrl+O", ID_FILE_OPEN}});
    if (withDocument)
        AddCommands(menu, {{"&Close", ID_FILE_CLOSE},
                           {"&Save\tCtrl+S", ID_FILE_SAVE},
                           {"Save &As...", ID_FILE_SAVE_AS},
                           kSeparator,
                           {"&Print...\tCtrl+P", ID_FILE_PRINT},
                           {"Print Pre&view", ID_FILE_PRINT_PREVIEW},
                           {"&Export as PDF...", ID_FILE_EXPORT_PDF}});
    else
        menu->addSeparator();
    AddCommands(menu, {{"P&rint Setup...", ID_FILE_PRINT_SETUP}, kSeparator});
    QAction* recentEnd = menu->addSeparator();
    AddCommands(menu, {{"E&xit", ID_APP_EXIT}});
    connect(menu, &QMenu::aboutToShow, this,
            [this, menu, recentEnd] { FillRecentFiles(menu, recentEnd); });
    return menu;
}

void CMainFrame::FillRecentFiles(QMenu* menu, QAction* before) {
    RemoveGeneratedItems(menu);
    QList<QAction*> items;
    for (int i = 0; i < m_recentFiles.Paths().size(); ++i)
        items << MakeCommandAction(m_recentFiles.MenuText(i), ID_FILE_MRU_FILE1 + i, menu);
    if (items.isEmpty()) {
        items << MakeCommandAction(QStringLiteral("Recent File"), ID_FILE_MRU_FILE1, menu);
        items.first()->setEnabled(false);
    }
    for (QAction* item : items) {
        item->setProperty(kGeneratedItem, true);
        item->setStatusTip(Prompt(ID_FILE_MRU_FILE1).value(0));
        menu->insertAction(before, item);
    }
}

QMenu* CMainFrame::CreateEditMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&Edit"));
    AddCommands(menu, {{"&Undo\tCtrl+Z", ID_EDIT_UNDO},
                       kSeparator,
                       {"Cu&t\tCtrl+X", ID_EDIT_CUT},
                       {"&Copy\tCtrl+C", ID_EDIT_COPY},
                       {"&Paste\tCtrl+V", ID_EDIT_PASTE},
                       {"Select A&ll\tCtrl+A", ID_EDIT_SELECT_ALL},
                       kSeparator,
                       {"&Find...\tCtrl+F", ID_EDIT_FIND},
                       {"F&ind Next\tF3", ID_EDIT_REPEAT},
                       {"R&eplace\tCtrl+H", ID_EDIT_REPLACE},
                       {"Find in &Files...\tCtrl+Shift+F", ID_EDIT_FIND_IN_FILES},
                       {"Ne&xt Result\tF4", ID_EDIT_NEXT_RESULT},
                       {"Pre&vious Result\tShift+F4", ID_EDIT_PREV_RESULT},
                       kSeparator,
                       {"&Goto...\tCtrl+G", ID_EDIT_GOTO},
                       {"Go to &Definition\tF12", ID_EDIT_GOTO_DEFINITION},
                       {"Find All &References\tShift+F12", ID_EDIT_FIND_REFERENCES}});
    return menu;
}

QMenu* CMainFrame::CreateConsoleEditMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&Edit"));
    AddCommands(menu, {{"&Copy\tCtrl+C", ID_EDIT_COPY},
                       {"Select A&ll\tCtrl+A", ID_EDIT_SELECT_ALL},
                       kSeparator,
                       {"&Find...\tCtrl+F", ID_EDIT_FIND},
                       {"F&ind Next\tF3", ID_EDIT_REPEAT},
                       {"Find in &Files...\tCtrl+Shift+F", ID_EDIT_FIND_IN_FILES}});
    return menu;
}

QMenu* CMainFrame::CreateConsoleViewMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&View"));
    AddCommands(menu, {{"&Toolbar", ID_VIEW_TOOLBAR}, {"&Status Bar", ID_VIEW_STATUS_BAR}}, true);
    AddCommands(menu, {kSeparator, {"&Preferences...", ID_VIEW_PREFERENCES}});
    return menu;
}

QMenu* CMainFrame::CreateViewMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&View"));
    QMenu* toolbars = NewMenu(QStringLiteral("&Toolbars"));
    AddCommands(toolbars,
                {{"&General", ID_VIEW_TOOLBAR},
                 {"&Tools", ID_VIEW_TOOLS_TOOLBAR},
                 kSeparator,
                 {"&Workspace", ID_VIEW_WORKSPACE}},
                true);
    menu->addMenu(toolbars);
    AddCommands(
        menu, {{"&Status Bar", ID_VIEW_STATUS_BAR}, {"Find &Results", ID_VIEW_FIND_RESULTS}}, true);
    AddCommands(menu, {kSeparator, {"&Preferences...", ID_VIEW_PREFERENCES}});
    return menu;
}

QMenu* CMainFrame::CreateToolsMenu(bool withDocument) {
    QMenu* menu = NewMenu(QStringLiteral("&Tools"));
    if (!withDocument) {
        AddCommands(menu, {{"&Console Access", ID_TOOLS_CONSOLE},
                           kSeparator,
                           {"Find in &Files...\tCtrl+Shift+F", ID_EDIT_FIND_IN_FILES}});
        return menu;
    }
    QMenu* intern = NewMenu(QStringLiteral("Intern"));
    AddCommands(intern, {{"&Art Picker", ID_TOOLS_ART_PICKER},
                         {"&Color Picker", ID_TOOLS_COLOR_PICKER},
                         kSeparator,
                         {"&Console Access", ID_TOOLS_CONSOLE}});
    menu->addMenu(intern);
    AddCommands(menu, {{"&Extern", ID_EXTERN_PLACEHOLDER}});
    return menu;
}

QMenu* CMainFrame::CreateWindowMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&Window"));
    AddCommands(menu, {{"&Cascade", ID_WINDOW_CASCADE},
                       {"&Tile", ID_WINDOW_TILE_HORZ},
                       {"&Arrange Icons", ID_WINDOW_ARRANGE}});
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
    return menu;
}

void CMainFrame::FillWindowList(QMenu* menu) {
    RemoveGeneratedItems(menu);
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty()) return;
    QAction* separator = menu->addSeparator();
    separator->setProperty(kGeneratedItem, true);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* item =
            menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        item->setProperty(kGeneratedItem, true);
        item->setCheckable(true);
        item->setChecked(window == m_mdiArea->activeSubWindow());
        connect(item, &QAction::triggered, this,
                [this, window] { m_mdiArea->setActiveSubWindow(window); });
    }
}

QMenu* CMainFrame::CreateHelpMenu() {
    QMenu* menu = NewMenu(QStringLiteral("&Help"));
    AddCommands(menu, {{"&About...", ID_APP_ABOUT}});
    return menu;
}

QToolBar* CMainFrame::CreateToolBar(const QString& title, std::span<const ToolButton> buttons) {
    auto* bar = new QToolBar(title, this);
    bar->setObjectName(title);
    bar->setIconSize(QSize(16, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (const ToolButton& button : buttons) {
        if (button.id == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* action = MakeCommandAction(QString::fromLatin1(button.name), button.id, bar);
        action->setIcon(LoadIcon(QLatin1String(button.icon)));
        SetPrompt(action, button.id);
        bar->addAction(action);
    }
    connect(bar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { RunCommand(CommandIdOf(action)); });
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CMainFrame::CreateToolBars() {
    static constexpr ToolButton kGeneral[] = {
        {ID_FILE_NEW, "new", "New"},       {ID_FILE_OPEN, "open", "Open"},
        {ID_FILE_SAVE, "save", "Save"},    {0, nullptr, nullptr},
        {ID_EDIT_CUT, "cut", "Cut"},       {ID_EDIT_COPY, "copy", "Copy"},
        {ID_EDIT_PASTE, "paste", "Paste"}, {0, nullptr, nullptr},
        {ID_FILE_PRINT, "print", "Print"}, {0, nullptr, nullptr},
        {ID_APP_ABOUT, "about", "About"},
    };
    static constexpr ToolButton kTools[] = {
        {ID_TOOLS_AXIS, "axis", "Axis"},
        {ID_TOOLS_SPHERESERVER, "sphereserver", "SphereServer"},
        {ID_TOOLS_UOCLIENT, "uoclient", "Ultima Online"},
        {0, nullptr, nullptr},
        {ID_TOOLS_COLOR_PICKER, "colorpicker", "Color Picker"},
        {ID_TOOLS_ART_PICKER, "artpicker", "Art Picker"},
    };
    m_generalBar = CreateToolBar(QStringLiteral("General"), kGeneral);
    m_toolsBar = CreateToolBar(QStringLiteral("Tools"), kTools);
}

void CMainFrame::CreateStatusBar() {
    m_messagePane = new QLabel(ResString(57345));
    m_caretPane = new QLabel;
    m_caretPane->setFixedWidth(150);
    m_caretPane->setFrameShape(QFrame::Panel);
    m_caretPane->setFrameShadow(QFrame::Sunken);
    statusBar()->addWidget(m_messagePane, 1);
    statusBar()->addPermanentWidget(m_caretPane);
}
