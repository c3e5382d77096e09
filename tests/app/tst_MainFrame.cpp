// The main frame: menus switched with the active window, the window tab bar, Open with
// the sphere.ini case, the external programs, bars, minimising, dropped files, closing.
#include "AppTestSupport.h"

#include "app/WindowTabBar.h"
#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
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

// Writes an executable shell script that records the folder it runs in.
bool WriteRecorder(const QString& path) {
    if (!WriteBytes(path, "#!/bin/sh\npwd > ran-here.txt\n")) return false;
    return QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void Modify(CChildFrame* window) {
    TextPosition end;
    static_cast<CQuilletDoc&>(window->Document())
        .Buffer()
        .InsertTextAt(nullptr, {0, 0}, "x", end, ActionTyping);
}

} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT

private slots:
    void init();

    void menusFollowTheActiveWindow();
    void placedAtSevenEighthsOfTheScreen();
    void toolbarsHoldTheirButtons();
    void tabBarFollowsWindows();
    void tabSelectionAndDoubleClick();
    void tabSystemMenuCloses();
    void closingAModifiedWindow_data();
    void closingAModifiedWindow();
    void openChoosesSphereIniSpecially_data();
    void openChoosesSphereIniSpecially();
    void scriptViewOpensSphereIniAsAScript();
    void externalPrograms_data();
    void externalPrograms();
    void commandsWithoutHandlersAreDisabled();
    void toggleBars();
    void minimiseWithoutATray();
    void droppedFilesOpen();
    void statusPaneFollowsTheCaret();
    void gotoThroughItsShortcut();

private:
    QTemporaryDir m_dir;
};

void TestMainFrame::init() {
    PrepareAppEnvironment(m_dir, ReadBytes(QStringLiteral(QUILLET_DEFAULT_INI)));
}

void TestMainFrame::menusFollowTheActiveWindow() {
    RunningApp running;
    CMainFrame& frame = running.Frame();
    QCOMPARE(MenuTitles(frame),
             (QStringList{"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}));
    running.Active()->close();
    RunningApp::Settle();
    QCOMPARE(MenuTitles(frame), (QStringList{"&File", "&View", "&Tools", "&Help"}));
    QCOMPARE(frame.windowTitle(), QStringLiteral("Brindle's Quillet"));
}

void TestMainFrame::placedAtSevenEighthsOfTheScreen() {
    RunningApp running;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(running.Frame().size(), QSize(screen.width() * 7 / 8, screen.height() * 7 / 8));
    QCOMPARE(running.Frame().CaretPane().width(), 150);
    QCOMPARE(running.Frame().MessagePane().text(), QStringLiteral("Ready"));
}

void TestMainFrame::toolbarsHoldTheirButtons() {
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
             (QList<unsigned>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_CUT, ID_EDIT_COPY,
                              ID_EDIT_PASTE, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT}));
    QCOMPARE(ids(running.Frame().ToolsToolBar()),
             (QList<unsigned>{ID_TOOLS_AXIS, ID_TOOLS_SPHERESERVER, ID_TOOLS_UOCLIENT, 0,
                              ID_TOOLS_COLOR_PICKER, ID_TOOLS_ART_PICKER}));
    QCOMPARE(running.Frame().GeneralToolBar().actions().at(1)->toolTip(), QStringLiteral("Open"));
}

void TestMainFrame::tabBarFollowsWindows() {
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

    // A document renamed by Save As renames its tab.
    FileDialogAnswer answer(m_dir.filePath(QStringLiteral("renamed.scp")));
    QVERIFY(running.Frame().RunCommand(ID_FILE_SAVE_AS));
    QVERIFY(TabTexts(bar).contains(QStringLiteral("renamed.scp")));

    for (CChildFrame* window : running.Windows())
        window->close();
    RunningApp::Settle();
    QCOMPARE(bar.count(), 0);
    QVERIFY(bar.isHidden());
}

void TestMainFrame::tabSelectionAndDoubleClick() {
    RunningApp running;
    running.Frame().RunCommand(ID_FILE_NEW);
    CWindowTabBar& bar = running.Frame().TabBar();
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, bar.tabRect(0).center());
    QCOMPARE(running.Active()->windowTitle(), QStringLiteral("Sphere1"));
    QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, bar.tabRect(0).center());
    QVERIFY(running.Windows()[0]->isMaximized());
}

void TestMainFrame::tabSystemMenuCloses() {
    RunningApp running;
    running.Frame().RunCommand(ID_FILE_NEW);
    CWindowTabBar& bar = running.Frame().TabBar();
    const QPoint onFirst = bar.tabRect(0).center();
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

void TestMainFrame::closingAModifiedWindow_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveTo");
    QTest::addColumn<bool>("closes");
    QTest::newRow("cancel keeps it") << int(QMessageBox::Cancel) << "" << false;
    QTest::newRow("no discards it") << int(QMessageBox::No) << "" << true;
    QTest::newRow("yes with a failing save keeps it")
        << int(QMessageBox::Yes) << "no/dir/a.scp" << false;
    QTest::newRow("yes with a save closes it") << int(QMessageBox::Yes) << "a.scp" << true;
}

void TestMainFrame::closingAModifiedWindow() {
    QFETCH(int, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, closes);
    RunningApp running;
    Modify(running.Active());
    MessageRecorder messages{QMessageBox::StandardButton(answer)};
    FileDialogAnswer dialog(m_dir.filePath(saveTo));
    running.Frame().RunCommand(ID_FILE_CLOSE);
    RunningApp::Settle();
    QCOMPARE(messages.texts.first(), QStringLiteral("Save changes to Sphere1?"));
    QCOMPARE(running.Windows().isEmpty(), closes);
    // Exit asks the same way.
    if (!closes) {
        QVERIFY(!running.Frame().close());
        QVERIFY(running.Frame().isVisible());
    }
}

void TestMainFrame::openChoosesSphereIniSpecially_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("sphere.ini opens nothing") << "sphere.ini" << false;
    QTest::newRow("SPHERE.INI opens nothing") << "SPHERE.INI" << false;
    QTest::newRow("Sphere.Ini opens nothing") << "Sphere.Ini" << false;
    QTest::newRow("my_sphere.ini opens as a script") << "my_sphere.ini" << true;
}

void TestMainFrame::openChoosesSphereIniSpecially() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    const QString path = m_dir.filePath(name);
    QVERIFY(WriteBytes(path, "[SPHERE]\r\nSERVNAME=Test"));
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

void TestMainFrame::scriptViewOpensSphereIniAsAScript() {
    const QString path = m_dir.filePath(QStringLiteral("sphere.ini"));
    QVERIFY(WriteBytes(path, "[SPHERE]"));
    RunningApp running;
    FileDialogAnswer answer(path);
    QVERIFY(running.Frame().RunCommand(ID_FILE_OPEN));
    QCOMPARE(running.Windows().size(), 2);
    QCOMPARE(running.Active()->windowTitle(), QStringLiteral("sphere.ini"));
}

void TestMainFrame::externalPrograms_data() {
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

void TestMainFrame::externalPrograms() {
    QFETCH(unsigned, command);
    QFETCH(QString, key);
    QFETCH(QString, program);
    QTemporaryDir folder;
    QVERIFY(WriteRecorder(folder.filePath(program)));
    RunningApp running;
    SettingsStore().SetValue("UO", key.toStdString(), folder.path().toStdString(), true);
    SettingsStore().SetValue("UO", "Ultima Online Client", "client.exe", true);
    QVERIFY(running.Frame().RunCommand(command));
    const QString record = folder.filePath(QStringLiteral("ran-here.txt"));
    QTRY_VERIFY_WITH_TIMEOUT(ReadBytes(record).endsWith('\n'), 5000);
    QCOMPARE(QString::fromLocal8Bit(ReadBytes(record)).trimmed(),
             QFileInfo(folder.path()).canonicalFilePath());
}

void TestMainFrame::commandsWithoutHandlersAreDisabled() {
    RunningApp running;
    CCommandTarget& route = running.Frame().CommandRouteStart();
    for (unsigned id : {ID_VIEW_WORKSPACE, ID_VIEW_PREFERENCES, ID_TOOLS_CONSOLE,
                        ID_TOOLS_ART_PICKER, ID_TOOLS_COLOR_PICKER, ID_EXTERN_PLACEHOLDER})
        QVERIFY2(!route.QueryCommand(id).IsEnabled(), qPrintable(QString::number(id)));
    for (unsigned id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_GOTO, ID_TOOLS_AXIS,
                        ID_APP_ABOUT, ID_WINDOW_CASCADE})
        QVERIFY2(route.QueryCommand(id).IsEnabled(), qPrintable(QString::number(id)));
}

void TestMainFrame::toggleBars() {
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

void TestMainFrame::minimiseWithoutATray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) QSKIP("this platform has a notification area");
    RunningApp running;
    running.Frame().showMinimized();
    RunningApp::Settle();
    QVERIFY(running.Frame().isMinimized());
    QVERIFY(running.Frame().isVisible());
    QVERIFY(!running.Frame().TrayIcon());
}

void TestMainFrame::droppedFilesOpen() {
    const QString a = m_dir.filePath(QStringLiteral("drop_a.scp"));
    const QString b = m_dir.filePath(QStringLiteral("drop_b.scp"));
    QVERIFY(WriteBytes(a, "a") && WriteBytes(b, "b"));
    RunningApp running;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    const QPoint point(5, 5);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&running.Frame(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&running.Frame(), &drop);
    QCOMPARE(running.Windows().size(), 3);
    QCOMPARE(running.Active()->windowTitle(), QStringLiteral("drop_b.scp"));
}

void TestMainFrame::statusPaneFollowsTheCaret() {
    RunningApp running;
    QVERIFY(QTest::qWaitForWindowActive(&running.Frame()));
    CTextView* view = running.Active()->View();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Right);
    QTRY_COMPARE(running.Frame().CaretPane().text(), QStringLiteral("Ln 2, Col 2"));
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTRY_COMPARE(running.Frame().CaretPane().text(), QStringLiteral("Sel: 2,2-3,2"));
}

void TestMainFrame::gotoThroughItsShortcut() {
    RunningApp running;
    QVERIFY(QTest::qWaitForWindowActive(&running.Frame()));
    const DialogHandler old = SetDialogHandler([](QDialog& dialog) {
        static_cast<CGotoDialog&>(dialog).LineField()->setText(QStringLiteral("10"));
        return int(QDialog::Accepted);
    });
    QTest::keyClick(running.Active()->View(), Qt::Key_G, Qt::ControlModifier);
    SetDialogHandler(old);
    QCOMPARE(running.Active()->View()->CaretPosition(), (TextPosition{9, 0}));
}

QTEST_MAIN(TestMainFrame)
#include "tst_MainFrame.moc"
