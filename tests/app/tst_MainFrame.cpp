// The main frame: menus switched with the active window, the window tab bar, Open with
// the sphere.ini case, the external programs, bars, minimising, dropped files, closing.
#include "AppTestSupport.h"

#include "app/WindowTabBar.h"
#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "prefs/Preferences.h"
#include "script/GotoDialog.h"
#include "script/QuilletDoc.h"
#include "view/TextView.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

namespace {

QStringList MenuTitles(QMainWindow& window) {
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

QStringList TabTexts(CWindowTabBar& bar) {
    QStringList texts;
    for (int i = 0; i < bar.count(); ++i)
        texts << bar.tabText(i);
    return texts;
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init() {
        PrepareAppEnvironment(m_dir, ReadFileBytes(QStringLiteral(QUILLET_DEFAULT_INI)));
    }

    // Also the frame's size and panes at start.
    void menusFollowTheActiveWindow() {
        RunningApp running;
        CMainFrame& frame = running.Frame();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(frame.size(), QSize(screen.width() * 7 / 8, screen.height() * 7 / 8));
        QCOMPARE(frame.CaretPane().width(), 150);
        QCOMPARE(frame.MessagePane().text(), QStringLiteral("Ready"));
        QCOMPARE(MenuTitles(frame),
                 (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));
        running.Active()->close();
        RunningApp::Settle();
        QCOMPARE(MenuTitles(frame), (QStringList{"&File", "&View", "&Tools", "&Help"}));
        QCOMPARE(frame.windowTitle(), QStringLiteral("Brindle's Quillet"));
    }

    void toolbarsHoldTheirButtons() {
        RunningApp running;
        const auto ids = [](QToolBar& bar) {
            QList<unsigned> list;
            for (QAction* action : bar.actions()) {
                list << CommandIdOf(action);
                if (!action->isSeparator() && action->icon().isNull())
                    list << 1; // every button has its picture
            }
            return list;
        };
        QCOMPARE(ids(running.Frame().GeneralToolBar()),
                 (QList<unsigned>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT,
                                  ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT}));
        QCOMPARE(ids(running.Frame().ToolsToolBar()),
                 (QList<unsigned>{ID_TOOLS_AXIS, ID_TOOLS_SPHERESERVER, ID_TOOLS_UOCLIENT, 0,
                                  ID_TOOLS_COLOR_PICKER, ID_TOOLS_ART_PICKER}));
        QCOMPARE(running.Frame().GeneralToolBar().actions().at(1)->toolTip(),
                 QStringLiteral("Open"));
    }

    void tabBarFollowsWindows() {
        RunningApp running;
        CWindowTabBar& bar = running.Frame().TabBar();
        QVERIFY(bar.isVisible());
        QCOMPARE(TabTexts(bar), QStringList{"Sphere1"});
        QVERIFY(!bar.tabIcon(0).isNull());
        running.Frame().RunCommand(ID_FILE_NEW);
        running.Frame().RunCommand(ID_FILE_NEW);
        QCOMPARE(TabTexts(bar), (QStringList{"Sphere1", "Sphere2", "Sphere3"}));
        QCOMPARE(bar.currentIndex(), 2);

        // Activating another window keeps the order; closing the active one drops its tab and
        // selects the window that became active.
        running.Frame().MdiArea().setActiveSubWindow(running.Windows()[0]);
        QCOMPARE(TabTexts(bar), (QStringList{"Sphere1", "Sphere2", "Sphere3"}));
        QCOMPARE(bar.currentIndex(), 0);
        running.Active()->close();
        RunningApp::Settle();
        QCOMPARE(TabTexts(bar), (QStringList{"Sphere2", "Sphere3"}));
        QCOMPARE(bar.WindowAt(bar.currentIndex()), running.Frame().MdiArea().activeSubWindow());

        // An edit marks the tab (not the title), also while the window is maximised; a save
        // under a new name renames the tab and clears the mark.
        TextPosition end;
        running.Active()->View()->Buffer()->InsertTextAt(nullptr, {0, 0}, "x", end, ActionTyping);
        running.Active()->showMaximized();
        RunningApp::Settle();
        QCOMPARE(TabTexts(bar), (QStringList{"Sphere2 *", "Sphere3"}));
        QCOMPARE(running.Frame().windowTitle(), QStringLiteral("Brindle's Quillet - Sphere2"));
        FileDialogAnswer answer(m_dir.filePath(QStringLiteral("renamed.scp")));
        QVERIFY(running.Frame().RunCommand(ID_FILE_SAVE_AS));
        QCOMPARE(TabTexts(bar), (QStringList{"renamed.scp", "Sphere3"}));
        QCOMPARE(running.Frame().windowTitle(), QStringLiteral("Brindle's Quillet - renamed.scp"));
        for (CChildFrame* window : running.Windows())
            window->close();
        RunningApp::Settle();
        QCOMPARE(bar.count(), 0);
        QVERIFY(bar.isHidden());
    }

    // A click selects a tab's window, a double click maximises it, its menu closes it.
    void tabClicksAndSystemMenu() {
        RunningApp running;
        running.Frame().RunCommand(ID_FILE_NEW);
        CWindowTabBar& bar = running.Frame().TabBar();
        const QPoint onFirst = bar.tabRect(0).center();
        QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, onFirst);
        QCOMPARE(running.Active()->windowTitle(), QStringLiteral("Sphere1"));
        QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, onFirst);
        QVERIFY(running.Windows()[0]->isMaximized());

        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* action : menu->actions()) {
                if (action->text().remove(u'&') == QLatin1String("Close")) action->trigger();
            }
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, onFirst, bar.mapToGlobal(onFirst));
        QApplication::sendEvent(&bar, &event);
        RunningApp::Settle();
        QCOMPARE(TabTexts(bar), QStringList{"Sphere2"});
    }

    void closingAModifiedWindow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo");
        QTest::addColumn<bool>("closes");
        QTest::newRow("cancel keeps it") << int(QMessageBox::Cancel) << "" << false;
        QTest::newRow("no discards it") << int(QMessageBox::No) << "" << true;
        QTest::newRow("yes with a failing save keeps it")
            << int(QMessageBox::Yes) << "no/dir/a.scp" << false;
        QTest::newRow("yes with a save closes it") << int(QMessageBox::Yes) << "a.scp" << true;
    }
    void closingAModifiedWindow() {
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, closes);
        RunningApp running;
        TextPosition end;
        QVERIFY(static_cast<CQuilletDoc&>(running.Active()->Document())
                    .Buffer()
                    .InsertTextAt(nullptr, {0, 0}, "x", end, ActionTyping));
        MessageRecorder messages{QMessageBox::StandardButton(answer)};
        FileDialogAnswer dialog(m_dir.filePath(saveTo));
        running.Frame().RunCommand(ID_FILE_CLOSE);
        RunningApp::Settle();
        QCOMPARE(messages.texts.first(), QStringLiteral("Save changes to Sphere1?"));
        QCOMPARE(running.Windows().isEmpty(), closes);
        if (!closes) { // Exit asks the same way.
            QVERIFY(!running.Frame().close());
            QVERIFY(running.Frame().isVisible());
        }
    }

    // Exit asks about every modified document before it closes any of them.
    void exitAsksAboutEveryDocumentFirst_data() {
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("exits");
        QTest::newRow("no, then cancel keeps both") << int(QMessageBox::Cancel) << false;
        QTest::newRow("no to both closes both") << int(QMessageBox::No) << true;
    }
    void exitAsksAboutEveryDocumentFirst() {
        QFETCH(int, second);
        QFETCH(bool, exits);
        RunningApp running;
        running.Frame().RunCommand(ID_FILE_NEW);
        for (CChildFrame* window : running.Windows()) {
            TextPosition end;
            window->View()->Buffer()->InsertTextAt(nullptr, {0, 0}, "x", end, ActionTyping);
        }
        MessageRecorder messages{{QMessageBox::No, QMessageBox::StandardButton(second)}};
        QCOMPARE(running.Frame().close(), exits);
        RunningApp::Settle();
        QCOMPARE(messages.texts.size(), 2);
        QCOMPARE(running.Windows().size(), exits ? 0 : 2);
        for (CChildFrame* window : running.Windows())
            QVERIFY(window->Document().IsModified());
    }

    void openChoosesSphereIniSpecially_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        // The names that show the Sphere.ini form are tested with it (tst_SphereIni).
        QTest::newRow("my_sphere.ini opens as a script") << "my_sphere.ini" << true;
    }
    void openChoosesSphereIniSpecially() {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        const QString path = m_dir.filePath(name);
        QVERIFY(WriteFileBytes(path, "[SPHERE]\r\nSERVNAME=Test"));
        RunningApp running({m_dir.filePath(QStringLiteral("none.scp"))});
        QVERIFY(running.Windows().isEmpty());
        running.messages.texts.clear();
        SettingsStore().SetValue("UO", "SphereServer", m_dir.path().toStdString(), true);
        FileDialogAnswer answer(path);
        QVERIFY(QTest::qWaitForWindowActive(&running.Frame()));
        QTest::keyClick(&running.Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(answer.requests, QStringList{m_dir.path() + QStringLiteral("/*.scp")});
        QCOMPARE(running.Windows().size(), opens ? 1 : 0);
        QVERIFY(running.messages.texts.isEmpty());
    }

    void scriptViewOpensSphereIniAsAScript() {
        const QString path = m_dir.filePath(QStringLiteral("sphere.ini"));
        QVERIFY(WriteFileBytes(path, "[SPHERE]"));
        RunningApp running;
        FileDialogAnswer answer(path);
        QVERIFY(running.Frame().RunCommand(ID_FILE_OPEN));
        QCOMPARE(running.Windows().size(), 2);
        QCOMPARE(running.Active()->windowTitle(), QStringLiteral("sphere.ini"));
    }

    void externalPrograms_data() {
        QTest::addColumn<unsigned>("command");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("program");
        QTest::newRow("Axis") << unsigned(ID_TOOLS_AXIS) << "Axis"
                              << "axis.exe";
        QTest::newRow("SphereServer") << unsigned(ID_TOOLS_SPHERESERVER) << "SphereServer"
                                      << "spheresvr.exe";
        QTest::newRow("SphereServer built for Linux")
            << unsigned(ID_TOOLS_SPHERESERVER) << "SphereServer"
            << "spheresvr";
        QTest::newRow("UO client") << unsigned(ID_TOOLS_UOCLIENT) << "Ultima Online"
                                   << "client.exe";
    }
    void externalPrograms() {
        QFETCH(unsigned, command);
        QFETCH(QString, key);
        QFETCH(QString, program);
        // An executable shell script that records the folder it runs in.
        QTemporaryDir folder;
        QVERIFY(WriteFileBytes(folder.filePath(program), "#!/bin/sh\npwd > ran-here.txt\n"));
        QVERIFY(QFile::setPermissions(folder.filePath(program),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        RunningApp running;
        SettingsStore().SetValue("UO", key.toStdString(), folder.path().toStdString(), true);
        SettingsStore().SetValue("UO", "Ultima Online Client", "client.exe", true);
        QVERIFY(running.Frame().RunCommand(command));
        const QString record = folder.filePath(QStringLiteral("ran-here.txt"));
        QTRY_VERIFY_WITH_TIMEOUT(ReadFileBytes(record).endsWith('\n'), 5000);
        QCOMPARE(QString::fromLocal8Bit(ReadFileBytes(record)).trimmed(),
                 QFileInfo(folder.path()).canonicalFilePath());
    }

    // Console Access opens another console each time, with the console's own menus.
    void consoleAccessOpensConsoles() {
        RunningApp running;
        QVERIFY(running.Frame().RunCommand(ID_TOOLS_CONSOLE));
        QVERIFY(running.Frame().RunCommand(ID_TOOLS_CONSOLE));
        QCOMPARE(TabTexts(running.Frame().TabBar()),
                 (QStringList{"Sphere1", "Console", "Console"}));
        QVERIFY(running.Frame().ActiveConsoleFrame());
        QCOMPARE(MenuTitles(running.Frame()), (QStringList{"&File", "&Edit", "&View", "&Help"}));
        QVERIFY(running.Frame().CommandRouteStart().QueryCommand(ID_EDIT_SELECT_ALL).IsEnabled());
        QVERIFY(!running.Frame().CommandRouteStart().QueryCommand(ID_EDIT_FIND).IsEnabled());
    }

    // A program that its settings do not name says which setting to fix, and offers the
    // Directories page of Preferences.
    void programSettingsToFix_data() {
        QTest::addColumn<unsigned>("command");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no server folder")
            << unsigned(ID_TOOLS_SPHERESERVER) << false << "the SphereServer folder is not set.";
        QTest::newRow("no axis.exe")
            << unsigned(ID_TOOLS_AXIS) << true << "the Axis folder holds no axis.exe.";
        QTest::newRow("no client file")
            << unsigned(ID_TOOLS_UOCLIENT) << true << "the UO Client file is not set.";
    }
    void programSettingsToFix() {
        QFETCH(unsigned, command);
        QFETCH(bool, folder);
        QFETCH(QString, problem);
        RunningApp running;
        for (const char* key : {"Axis", "SphereServer", "Ultima Online"})
            SettingsStore().SetValue("UO", key, folder ? m_dir.path().toStdString() : "", true);
        MessageRecorder messages(QMessageBox::Yes);
        bool directories = false;
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto& preferences = static_cast<CPreferences&>(dialog);
            directories =
                preferences.VisiblePage() == preferences.PageAt(CPreferences::DirectoriesPage);
            return int(QDialog::Rejected);
        });
        QVERIFY(running.Frame().RunCommand(command));
        SetDialogHandler(old);
        QCOMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(": " + problem), qPrintable(messages.texts[0]));
        QVERIFY(directories);
    }

    void toggleBars() {
        RunningApp running;
        CMainFrame& frame = running.Frame();
        QVERIFY(frame.CommandRouteStart().QueryCommand(ID_VIEW_TOOLS_TOOLBAR).IsChecked());
        QVERIFY(frame.RunCommand(ID_VIEW_TOOLS_TOOLBAR));
        QVERIFY(frame.ToolsToolBar().isHidden());
        QVERIFY(!frame.CommandRouteStart().QueryCommand(ID_VIEW_TOOLS_TOOLBAR).IsChecked());
        QVERIFY(!frame.GeneralToolBar().isHidden());
        QVERIFY(frame.RunCommand(ID_VIEW_TOOLS_TOOLBAR));
        QVERIFY(frame.ToolsToolBar().isVisible());
        QVERIFY(frame.RunCommand(ID_VIEW_STATUS_BAR));
        QVERIFY(frame.statusBar()->isHidden());
        QVERIFY(frame.RunCommand(ID_VIEW_TOOLBAR));
        QVERIFY(frame.GeneralToolBar().isHidden());
    }

    void minimiseWithoutATray() {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("this platform has a notification area");
        RunningApp running;
        running.Frame().showMinimized();
        RunningApp::Settle();
        QVERIFY(running.Frame().isMinimized());
        QVERIFY(running.Frame().isVisible());
        QVERIFY(!running.Frame().TrayIcon());
    }

    // The caret pane grows to show a selection's whole text in a big file.
    void caretPaneFitsLongSelections() {
        RunningApp running;
        CTextView* view = running.Active()->View();
        std::string text;
        for (int i = 0; i < 387175; ++i)
            text += "line of text\r";
        TextPosition end;
        view->Buffer()->InsertTextAt(nullptr, {0, 0}, text, end, ActionPaste);
        view->SetSelection({387161, 0}, {387172, 12});
        view->SetCaretPosition({387172, 12});
        QLabel& pane = running.Frame().CaretPane();
        QTRY_COMPARE(pane.text(), QStringLiteral("Sel: 1,387162-13,387173"));
        QVERIFY(pane.contentsRect().width() >= pane.fontMetrics().horizontalAdvance(pane.text()));
    }

    // The tray icon brings the window back on a single activation too (the only one some
    // trays report), and its menu offers the way back.
    void trayIconRestores_data() {
        QTest::addColumn<int>("reason");
        QTest::newRow("single activation") << int(QSystemTrayIcon::Trigger);
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick);
    }
    void trayIconRestores() {
        QFETCH(int, reason);
        RunningApp running;
        CMainFrame& frame = running.Frame();
        frame.HideToTray();
        QVERIFY(frame.isHidden());
        QSystemTrayIcon* tray = frame.TrayIcon();
        QCOMPARE(tray->toolTip(), QStringLiteral("Brindle's Quillet - Sphere1"));
        QStringList items;
        for (QAction* action : tray->contextMenu()->actions())
            items << action->text();
        QCOMPARE(items, (QStringList{"&Restore", "E&xit"}));
        emit tray->activated(QSystemTrayIcon::ActivationReason(reason));
        QVERIFY(frame.isVisible());
        QVERIFY(!tray->isVisible());
    }

    // Files dropped on the frame or on a script open; the script's text stays as it was.
    void droppedFilesOpen_data() {
        QTest::addColumn<bool>("onScript");
        QTest::newRow("on the frame") << false;
        QTest::newRow("on a script") << true;
    }
    void droppedFilesOpen() {
        QFETCH(bool, onScript);
        const QString a = m_dir.filePath(QStringLiteral("drop_a.scp"));
        const QString b = m_dir.filePath(QStringLiteral("drop_b.scp"));
        QVERIFY(WriteFileBytes(a, "a") && WriteFileBytes(b, "b"));
        RunningApp running;
        CTextView* view = running.Active()->View();
        const std::string before = AllText(*view->Buffer());
        QWidget* target = onScript ? view->viewport() : static_cast<QWidget*>(&running.Frame());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCOMPARE(running.Windows().size(), 3);
        QCOMPARE(running.Active()->windowTitle(), QStringLiteral("drop_b.scp"));
        QCOMPARE(AllText(*view->Buffer()), before);
    }

    // The caret pane follows keys, and Ctrl+G reaches the Goto dialog.
    void keysReachTheStatusPaneAndGoto() {
        RunningApp running;
        QVERIFY(QTest::qWaitForWindowActive(&running.Frame()));
        CTextView* view = running.Active()->View();
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Right);
        QTRY_COMPARE(running.Frame().CaretPane().text(), QStringLiteral("Ln 2, Col 2"));
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
        QTRY_COMPARE(running.Frame().CaretPane().text(), QStringLiteral("Sel: 2,2-3,2"));
        QCOMPARE(running.Frame().CaretPane().width(), 150);

        const DialogHandler old = SetDialogHandler([](QDialog& dialog) {
            static_cast<CGotoDialog&>(dialog).LineField()->setText(QStringLiteral("10"));
            return int(QDialog::Accepted);
        });
        QTest::keyClick(view, Qt::Key_G, Qt::ControlModifier);
        SetDialogHandler(old);
        QCOMPARE(view->CaretPosition(), (TextPosition{9, 0}));
        // The selection is gone, and the pane says so once the program is idle again, with
        // no further input.
        QTRY_COMPARE(running.Frame().CaretPane().text(), QStringLiteral("Ln 10, Col 1"));
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_MainFrame.moc"
