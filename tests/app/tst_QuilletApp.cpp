// Start-up: the command line, the settings file and its location, new and opened scripts,
// recent files, the About box.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "app/CommandLine.h"
#include "app/SettingsLocation.h"
#include "app/WindowTabBar.h"
#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "script/QuilletDoc.h"
#include "view/TextView.h"

#include <QFile>
#include <QtTest>

namespace {

CTextBuffer& BufferOf(CChildFrame* frame) {
    return static_cast<CQuilletDoc&>(frame->Document()).Buffer();
}

QStringList Titles(const RunningApp& running) {
    QStringList titles;
    for (CChildFrame* window : running.Windows())
        titles << window->windowTitle();
    return titles;
}

} // namespace

class TestQuilletApp : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init() {
        PrepareAppEnvironment(m_dir, ReadFileBytes(QStringLiteral(QUILLET_DEFAULT_INI)));
    }

    void startWithoutArguments() {
        RunningApp running;
        QVERIFY(running.started);
        QVERIFY(running.messages.texts.isEmpty());
        QCOMPARE(Titles(running), QStringList{"Sphere1"});
        CChildFrame* window = running.Active();
        QCOMPARE(running.Frame().windowTitle(), QStringLiteral("Brindle's Quillet - Sphere1"));
        QCOMPARE(BufferOf(window).LineCount(), 15);
        QVERIFY(!window->Document().IsModified());
        QVERIFY(!running.Frame().CommandRouteStart().QueryCommand(ID_EDIT_UNDO).IsEnabled());
        QVERIFY(running.Frame().isVisible());
        QVERIFY(!running.Frame().isMaximized() && !running.Frame().isMinimized());
    }

    // Files named at start open unmodified and byte for byte; opening one again only
    // activates its window.
    void startWithFiles() {
        const QString path = m_dir.filePath(QStringLiteral("d_travel.scp"));
        const QString other = m_dir.filePath(QStringLiteral("c_monster_classic.scp"));
        QVERIFY(WriteFileBytes(path, "[DIALOG d_travel]\n0,0\nresizepic 0 0 3600 229 173\n"));
        QVERIFY(WriteFileBytes(other, "[CHARDEF c_ogre]\r\nID=c_ogre\r\n"));
        RunningApp running({path, other});
        QVERIFY(running.started);
        QCOMPARE(Titles(running), (QStringList{"d_travel.scp", "c_monster_classic.scp"}));
        QCOMPARE(running.Active()->windowTitle(), QStringLiteral("c_monster_classic.scp"));
        CDocument* again = running.app->OpenDocumentFile(path);
        QCOMPARE(running.Windows().size(), 2);
        QCOMPARE(&running.Active()->Document(), again);
        QVERIFY(!again->IsModified());
        const CTextBuffer& buffer = BufferOf(running.Active());
        const int last = buffer.LineCount() - 1;
        const std::string text = buffer.CopyRange({0, 0}, {last, buffer.LineLength(last)}, "\n");
        QCOMPARE(QByteArray::fromStdString(text), ReadFileBytes(path)); // the file has LF ends
    }

    void startWithAMissingFile() {
        RunningApp running({m_dir.filePath(QStringLiteral("missing.scp"))});
        QVERIFY(running.started); // the program runs on, without a window
        QCOMPARE(running.messages.texts.size(), 1);
        QVERIFY(running.messages.texts.first().contains(QStringLiteral("missing.scp")));
        QVERIFY(running.Windows().isEmpty());
        QVERIFY(running.Frame().TabBar().isHidden());
    }

    void settingsThatCannotBeLoaded() {
        qputenv("QUILLET_INI", m_dir.filePath(QStringLiteral("absent.ini")).toLocal8Bit());
        RunningApp running;
        QCOMPARE(running.messages.texts, QStringList{"Couldn't not load 'Quillet.ini'"});
        QCOMPARE(running.messages.captions, QStringList{"Error"});
        QCOMPARE(running.Windows().size(), 1); // the program goes on with empty settings
    }

    void newScriptsAreNumbered() {
        RunningApp running;
        QVERIFY(running.Frame().RunCommand(ID_FILE_NEW));
        QVERIFY(QTest::qWaitForWindowActive(&running.Frame()));
        QTest::keyClick(running.Active()->View(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Titles(running), (QStringList{"Sphere1", "Sphere2", "Sphere3"}));
    }

    void printFromTheCommandLineEnds() {
        const QString path = m_dir.filePath(QStringLiteral("printed.scp"));
        QVERIFY(WriteFileBytes(path, "[EOF]"));
        RunningApp running({QStringLiteral("/p"), path});
        QVERIFY(!running.started);
        RunningApp::Settle();
        QVERIFY(running.Windows().isEmpty());
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("printer");
        using Info = CommandLineInfo;
        const QStringList a{"a.scp"};
        QTest::newRow("nothing makes a new script")
            << QStringList() << int(Info::FileNew) << QStringList() << "";
        QTest::newRow("several files open each")
            << QStringList{"a.scp", "b.scp"} << int(Info::FileOpen) << QStringList{"a.scp", "b.scp"}
            << "";
        QTest::newRow("/p prints") << QStringList{"/p", "a.scp"} << int(Info::FilePrint) << a << "";
        QTest::newRow("--print prints")
            << QStringList{"--print", "a.scp"} << int(Info::FilePrint) << a << "";
        QTest::newRow("/pt names the printer")
            << QStringList{"/pt", "a.scp", "Laser"} << int(Info::FilePrintTo) << a << "Laser";
        QTest::newRow("/p without a file is a file name")
            << QStringList{"/p"} << int(Info::FileOpen) << QStringList{"/p"} << "";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(QString, printer);
        const CommandLineInfo info = ParseCommandLine(arguments);
        QCOMPARE(int(info.action), action);
        QCOMPARE(info.files, files);
        QCOMPARE(info.printer, printer);
    }

    void settingsLocation_data() {
        QTest::addColumn<bool>("programFolderWritable");
        QTest::addColumn<bool>("environment");
        QTest::addColumn<QString>("expectedFolder");
        QTest::newRow("beside a program in a writable folder") << true << false << "program";
        QTest::newRow("per user when the program folder is read-only") << false << false << "user";
        QTest::newRow("the environment variable wins") << true << true << "env";
    }
    void settingsLocation() {
        QFETCH(bool, programFolderWritable);
        QFETCH(bool, environment);
        QFETCH(QString, expectedFolder);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        const QString user = dir.filePath(QStringLiteral("user/config"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(WriteFileBytes(program + QStringLiteral("/quillet.ini"), "[Telnet]\r\nPort=2593"));
        if (environment)
            qputenv("QUILLET_INI", dir.filePath(QStringLiteral("env/quillet.ini")).toLocal8Bit());
        else
            qunsetenv("QUILLET_INI");

        const QString path = SettingsFilePath(program, programFolderWritable, user);
        const QString folder = expectedFolder == QLatin1String("program") ? program
                               : expectedFolder == QLatin1String("user")  ? user
                                                                          : dir.filePath("env");
        QCOMPARE(path, folder + QStringLiteral("/quillet.ini"));
        if (expectedFolder == QLatin1String("user")) // copied on first use
            QCOMPARE(ReadFileBytes(path), QByteArray("[Telnet]\r\nPort=2593"));
    }

    void recentFilesSurviveARestart() {
        QStringList paths;
        for (const char* name : {"a.scp", "b.scp", "c.scp", "d.scp", "e.scp"}) {
            paths << m_dir.filePath(QString::fromLatin1(name));
            QVERIFY(WriteFileBytes(paths.last(), "x"));
        }
        {
            RunningApp running(paths);
            QCOMPARE(running.app->RecentFiles().Paths().size(), 4);
        }
        RunningApp restarted;
        CRecentFileList& recent = restarted.app->RecentFiles();
        QCOMPARE(recent.Paths(), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
        QCOMPARE(recent.MenuText(0), QStringLiteral("&1 ") + QDir::toNativeSeparators(paths[4]));
        QVERIFY(restarted.Frame().RunCommand(ID_FILE_MRU_FILE1 + 3));
        QCOMPARE(restarted.Active()->windowTitle(), QStringLiteral("b.scp"));
        QCOMPARE(recent.Paths().first(), paths[1]);
    }

    void recentFileThatIsGoneLeavesTheList() {
        const QString path = m_dir.filePath(QStringLiteral("gone.scp"));
        QVERIFY(WriteFileBytes(path, "x"));
        { RunningApp running({path}); }
        QVERIFY(QFile::remove(path));
        RunningApp running;
        QVERIFY(running.Frame().RunCommand(ID_FILE_MRU_FILE1));
        QCOMPARE(running.messages.texts.size(), 1);
        QVERIFY(running.app->RecentFiles().Paths().isEmpty());
        QVERIFY(!running.Frame().CommandRouteStart().QueryCommand(ID_FILE_MRU_FILE1).IsEnabled());
    }

    void aboutBox() {
        RunningApp running;
        QStringList seen; // title, version line, history
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto& about = static_cast<CAboutDialog&>(dialog);
            seen << about.windowTitle() << about.VersionLine() << about.HistoryText();
            return int(QDialog::Accepted);
        });
        QVERIFY(running.Frame().RunCommand(ID_APP_ABOUT));
        SetDialogHandler(old);
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0], QStringLiteral("About Brindle's Quillet"));
        QCOMPARE(seen[1], QStringLiteral("Version: 0.8.5 ( Build: 344 )"));
        const QStringList lines = seen[2].split(u'\n');
        QCOMPARE(lines.first(), QString(60, u'-'));
        const qsizetype block = lines.indexOf(QStringLiteral("- Version 0.8.5"));
        QVERIFY(block > 0);
        QCOMPARE(lines.value(block + 1), QString(60, u'-'));
        QVERIFY(lines.value(block + 2).startsWith(QStringLiteral("- ")));
        QVERIFY(running.messages.texts.isEmpty());
    }

    void aboutBoxWithoutHistory() {
        MessageRecorder messages;
        CAboutDialog about(nullptr, QStringLiteral(":/no/such/history.txt"));
        QCOMPARE(messages.texts, (QStringList{"Could not locate text.", "Could not load text.",
                                              "Could not lock text."}));
        QVERIFY(about.HistoryText().isEmpty());
    }
};

QTEST_MAIN(TestQuilletApp)
#include "tst_QuilletApp.moc"
