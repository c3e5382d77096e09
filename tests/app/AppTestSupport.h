#pragma once

#include "../script/ScriptTestSupport.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QuilletApp.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Every test starts from an empty profile and its own settings file. The profile lives in
// `dir`, not in the user's folder, so test programs running side by side never share one.
inline void PrepareAppEnvironment(const QTemporaryDir& dir, const QByteArray& ini) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       dir.filePath(QStringLiteral("profile")));
    const QString path = dir.filePath(QStringLiteral("quillet.ini"));
    WriteFileBytes(path, ini);
    qputenv("QUILLET_INI", path.toLocal8Bit());
    QSettings().clear();
    ClearScriptSettings();
}

// The application started with `arguments`; every message box is recorded.
struct RunningApp {
    MessageRecorder messages;
    std::unique_ptr<CQuilletApp> app = std::make_unique<CQuilletApp>();
    bool started;

    explicit RunningApp(const QStringList& arguments = {})
        : started(app->InitInstance(arguments)) {}

    CMainFrame& Frame() const { return *app->MainFrame(); }
    QList<CChildFrame*> Windows() const {
        QList<CChildFrame*> windows;
        for (QMdiSubWindow* window : Frame().MdiArea().subWindowList())
            windows << qobject_cast<CChildFrame*>(window);
        return windows;
    }
    CChildFrame* Active() const { return Frame().ActiveChildFrame(); }
    // Lets queued refreshes (after a window closed) happen.
    static void Settle() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};
