#pragma once

#include "framework/CommandTarget.h"

#include <QList>
#include <QMainWindow>
#include <QTimer>

#include <initializer_list>
#include <span>
#include <vector>

class CChildFrame;
class CDefinitionFinder;
class CFindInFilesJob;
class CFindResultsPane;
struct DefinitionSite;
struct FindInFilesOptions;
class CRecentFileList;
class CTelnetFrame;
class CWindowTabBar;
class CWorkspaceBar;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSystemTrayIcon;
class QToolBar;

// The main window: an MDI area with the window tab bar above it, the General and Tools
// toolbars, the status bar with the message pane and the caret pane, and the menus of the
// main frame (no window open) and of the script windows, switched with the active window.
// It loads the settings store when it is created and handles the commands that belong to
// no document: Open with the sphere.ini case, the external programs, the bars, the
// window arrangement. Minimising hides it into the notification area where one exists.
class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT

public:
    explicit CMainFrame(CRecentFileList& recentFiles);
    ~CMainFrame() override;

    // Loads the settings store from `settingsPath` (telling the user when it cannot be
    // loaded), places the window at 7/8 of the screen and builds menus and bars.
    void Create(const QString& settingsPath);

    // Shows a new child window in the MDI area and makes it the active one.
    void AddChildFrame(CChildFrame* frame);
    void AddConsoleFrame(CTelnetFrame* console);
    CChildFrame* ActiveChildFrame() const;
    CTelnetFrame* ActiveConsoleFrame() const;

    // Commands start at the active window's view, else at the main frame.
    CCommandTarget& CommandRouteStart();
    bool RunCommand(unsigned id);

    // After the active window or a title changed: window title, tab bar, menus, bars.
    void OnUpdateFrameTitle();
    // What the framework refreshes when the program is idle: toolbar states and panes.
    void UpdateIdleState();

    QMdiArea& MdiArea() const { return *m_mdiArea; }
    CWindowTabBar& TabBar() const { return *m_tabBar; }
    QToolBar& GeneralToolBar() const { return *m_generalBar; }
    QToolBar& ToolsToolBar() const { return *m_toolsBar; }
    CWorkspaceBar& WorkspaceBar() const { return *m_workspaceBar; }
    CFindResultsPane& FindResults() const { return *m_findResults; }
    CFindInFilesJob& FindJob() const { return *m_findJob; }
    CDefinitionFinder& Definitions() const { return *m_definitions; }
    QLabel& MessagePane() const { return *m_messagePane; }
    QLabel& CaretPane() const { return *m_caretPane; }
    QSystemTrayIcon* TrayIcon() const { return m_tray; }
    // What minimising does where a notification area exists: the window hides behind a
    // tray icon that brings it back.
    void HideToTray();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddWindow(QMdiSubWindow* window);
    void CreateMenus();
    QMenu* CreateFileMenu(bool withDocument);
    QMenu* CreateViewMenu();
    QMenu* CreateHelpMenu();
    QMenu* CreateEditMenu();
    QMenu* CreateToolsMenu(bool withDocument);
    QMenu* CreateWindowMenu();
    QMenu* CreateConsoleEditMenu();
    QMenu* CreateConsoleViewMenu();
    QMenu* NewMenu(const QString& title);
    struct MenuItem {
        const char* text; // null: a separator
        unsigned id;
    };
    static constexpr MenuItem kSeparator{nullptr, 0};
    void AddCommands(QMenu* menu, std::initializer_list<MenuItem> items, bool checkable = false);
    // The recent files go before `before`; the window list at the end of the menu.
    void FillRecentFiles(QMenu* menu, QAction* before);
    void FillWindowList(QMenu* menu);
    void ShowMenus(const QList<QMenu*>& menus);

    void CreateToolBars();
    struct ToolButton {
        unsigned id; // 0: a separator
        const char* icon;
        const char* name; // the tooltip when the string table has none
    };
    QToolBar* CreateToolBar(const QString& title, std::span<const ToolButton> buttons);
    void CreateStatusBar();
    void CreateWorkspaceBar();
    // Where the bars are docked is kept from one run to the next; each run shows them all.
    void RestoreBarLayout();
    void SaveBarLayout() const;
    void GoToSection(int line, bool focusScript);

    // Find in Files and Go to Definition.
    void CreateFindTools();
    void RegisterFindCommands();
    void OnFindInFiles();
    void StartFindInFiles(const FindInFilesOptions& options);
    FindInFilesOptions DefaultFindOptions() const;
    // The server's folder when it exists, else the active document's, else the home folder.
    QString SearchFolder() const;
    QString WordAtCaret() const;
    void OnGoToDefinition();
    void OnFindReferences();
    void ShowDefinitions(const QString& name, const std::vector<DefinitionSite>& sites);
    // Opens `path` (or activates its window) and selects `length` bytes at line, column.
    void OpenMatch(const QString& path, int line, int column, int length, bool focusScript);
    bool IsEditedByQuillet(const QString& path) const;
    void RegisterFrameCommands();

    void OnFileOpen();
    void StartExternalProgram(unsigned id);
    void ShowPreferences(int page);
    void ArrangeIcons();
    void MinimiseToTray();
    void RestoreFromTray();

    CRecentFileList& m_recentFiles;
    QMdiArea* m_mdiArea = nullptr;
    CWindowTabBar* m_tabBar = nullptr;
    QToolBar* m_generalBar = nullptr;
    QToolBar* m_toolsBar = nullptr;
    CWorkspaceBar* m_workspaceBar = nullptr;
    CFindResultsPane* m_findResults = nullptr;
    CFindInFilesJob* m_findJob = nullptr;
    CDefinitionFinder* m_definitions = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_caretPane = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QString m_frameTitle;         // "Brindle's Quillet - name" of the active document
    QList<QMenu*> m_frameMenus;   // while no window is open
    QList<QMenu*> m_scriptMenus;  // while a script window is active
    QList<QMenu*> m_consoleMenus; // while a console window is active
    const QList<QMenu*>* m_shownMenus = nullptr;
    QTimer m_idleTimer;
};
