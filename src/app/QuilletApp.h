#pragma once

#include "framework/DocTemplate.h"
#include "framework/RecentFileList.h"
#include "framework/WinApp.h"

#include <QObject>
#include <QStringList>

class CChildFrame;
class CMainFrame;

// The application object: the framework profile, the one document template (script
// document, child frame, script view), the recent-file list, the main frame, the command
// line, and the commands that belong to the whole program (New, About, the recent files,
// Exit).
class CQuilletApp : public QObject, public CWinApp {
    Q_OBJECT

public:
    CQuilletApp();
    ~CQuilletApp() override;

    // Start-up with the command-line arguments (without the program's name). False when
    // the program should end now (after printing from the command line), with ExitStatus.
    bool InitInstance(const QStringList& arguments);
    int ExitStatus() const { return m_exitStatus; }

    CDocument* OpenDocumentFile(const QString& path) override;

    CMainFrame* MainFrame() const { return m_mainFrame; }
    CDocTemplate& DocTemplate() { return m_template; }
    CRecentFileList& RecentFiles() { return m_recentFiles; }
    // The child window of an open document, or null.
    CChildFrame* FrameOf(const CDocument* document) const;

private:
    void RegisterAppCommands();
    void OnAppAbout();
    void OpenRecentFile(int index);
    // Opens a file, prints it without a dialog on the default printer or on `printer`, and
    // closes it again. False, after telling the user why, when nothing was printed.
    bool PrintFile(const QString& path, const QString& printer);

    CDocTemplate m_template;
    CRecentFileList m_recentFiles;
    CMainFrame* m_mainFrame = nullptr;
    int m_exitStatus = 0;
};
