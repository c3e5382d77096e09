// The workspace bar in the main window: tabs, roots, sizes, the toggle and the remembered
// dock; the Files tree's roots from the settings; the outline following the active script
// and its edits, and leading to a section.
#include "../app/AppTestSupport.h"

#include "framework/CommandIds.h"
#include "script/QuilletDoc.h"
#include "view/TextView.h"
#include "workspace/FilesTree.h"
#include "workspace/OutlineModel.h"
#include "workspace/ScriptTree.h"
#include "workspace/WorkspaceBar.h"

#include <QDir>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace {

QStringList Children(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row)
        texts << model.index(row, 0, parent).data().toString();
    return texts;
}

QStringList TopLevelTexts(const QTreeWidget& tree) {
    QStringList texts;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        texts << tree.topLevelItem(i)->text(0);
    return texts;
}

QByteArray IniWithServerFolder(const QString& folder) {
    return "[UO]\r\nSphereServer=" + folder.toUtf8() + "\r\n";
}

const QString kScript = QStringLiteral(QUILLET_CORPUS_DIR "/c_monster_classic.scp");

} // namespace

class TestWorkspaceBar : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init() { PrepareAppEnvironment(m_dir, {}); }

    void tabsRootsAndToggle() {
        RunningApp running;
        CMainFrame& frame = running.Frame();
        CWorkspaceBar& bar = frame.WorkspaceBar();
        QCOMPARE(frame.dockWidgetArea(&bar), Qt::LeftDockWidgetArea);
        QCOMPARE(bar.windowTitle(), QStringLiteral("Workspace"));
        QTabWidget& tabs = bar.Tabs();
        QCOMPARE(tabs.tabPosition(), QTabWidget::South);
        QCOMPARE((QStringList{tabs.tabText(0), tabs.tabText(1), tabs.tabText(2)}),
                 (QStringList{"Script", "Resources", "Files"}));
        QCOMPARE(Children(bar.ScriptTree().Model()),
                 (QStringList{"Items", "Chars", "Functions", "Types", "Misc"}));

        // Focus leaving the bar (its tree hidden by a tab, or Tab from its last widget) never
        // activates another window; Tab from the bar reaches the active window.
        QVERIFY(running.app->OpenDocumentFile(QString()));
        QVERIFY(running.app->OpenDocumentFile(QString()));
        CChildFrame* active = running.Active();
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        bar.ScriptTree().setFocus();
        struct Shown {
            int tab;
            bool script, files;
        };
        for (const Shown& shown :
             {Shown{1, false, false}, Shown{2, false, true}, Shown{0, true, false}}) {
            tabs.tabBar()->setCurrentIndex(shown.tab);
            QCOMPARE(bar.ScriptTree().isVisible(), shown.script);
            QCOMPARE(bar.FilesTree().isVisible(), shown.files);
            QCOMPARE(running.Active(), active);
        }
        bar.ScriptTree().setFocus();
        for (int presses = 0; presses < 3 && !active->View()->hasFocus(); ++presses)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(active->View()->hasFocus());
        QCOMPARE(running.Active(), active);

        QVERIFY(frame.CommandRouteStart().QueryCommand(ID_VIEW_WORKSPACE).IsChecked());
        QVERIFY(frame.RunCommand(ID_VIEW_WORKSPACE));
        QVERIFY(bar.isHidden());
        QVERIFY(!frame.CommandRouteStart().QueryCommand(ID_VIEW_WORKSPACE).IsChecked());
        QVERIFY(frame.RunCommand(ID_VIEW_WORKSPACE));
        QVERIFY(bar.isVisible());
    }

    // Also: floating the bar from the tree leaves the active window active.
    void floatingAndDockedSizes() {
        RunningApp running;
        CMainFrame& frame = running.Frame();
        CWorkspaceBar& bar = frame.WorkspaceBar();
        QVERIFY(running.app->OpenDocumentFile(QString()));
        CChildFrame* active = running.Active();
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        bar.ScriptTree().setFocus();
        QVERIFY(bar.ScriptTree().hasFocus());
        QCOMPARE(bar.width(), CWorkspaceBar::kWidth);
        const int dockedHeight = bar.height();
        QVERIFY2(dockedHeight > CWorkspaceBar::kFloatingHeight,
                 qPrintable(QString::number(dockedHeight)));

        bar.setFloating(true);
        QTRY_COMPARE(bar.size(), QSize(CWorkspaceBar::kWidth, CWorkspaceBar::kFloatingHeight));
        QCOMPARE(running.Active(), active);
        bar.setFloating(false);
        // Docked again, it follows the height of its side of the window.
        frame.resize(frame.width(), frame.height() - 100);
        QTRY_COMPARE(bar.height(), dockedHeight - 100);
        QCOMPARE(bar.width(), CWorkspaceBar::kWidth);
    }

    // Where the bar was docked comes back with the next run; hidden at exit, it shows.
    void dockSideIsRemembered() {
        {
            RunningApp running;
            CMainFrame& frame = running.Frame();
            frame.addDockWidget(Qt::RightDockWidgetArea, &frame.WorkspaceBar());
            frame.WorkspaceBar().hide();
            QVERIFY(frame.close());
        }
        RunningApp running;
        QCOMPARE(running.Frame().dockWidgetArea(&running.Frame().WorkspaceBar()),
                 Qt::RightDockWidgetArea);
        QVERIFY(!running.Frame().WorkspaceBar().isHidden());
    }

    void filesRootsFollowTheServerFolder() {
        const QString server = m_dir.filePath(QStringLiteral("server"));
        QVERIFY(QDir().mkpath(server));
        PrepareAppEnvironment(m_dir, IniWithServerFolder(server + "/"));
        RunningApp running;
        CWorkspaceBar& bar = running.Frame().WorkspaceBar();
        QCOMPARE(TopLevelTexts(bar.FilesTree()).size(), 2);
        QCOMPARE(TopLevelTexts(bar.FilesTree()).at(1), QDir::toNativeSeparators(server));

        // A folder that is gone leaves the home folder alone; so does no setting.
        SettingsStore().SetValue("UO", "SphereServer", (server + "/gone").toStdString(), true);
        bar.ReadServerFolder();
        QCOMPARE(TopLevelTexts(bar.FilesTree()).size(), 1);
        SettingsStore().SetValue("UO", "SphereServer", server.toStdString(), true);
        bar.ReadServerFolder();
        QCOMPARE(TopLevelTexts(bar.FilesTree()).size(), 2);
    }

    void outlineFollowsTheActiveScriptAndItsEdits() {
        if (!QFile::exists(kScript)) QSKIP("the corpus is not beside the project");
        // A writable copy: the corpus files are read-only, and so would be their buffers.
        const QString script = m_dir.filePath(QStringLiteral("monsters.scp"));
        QFile::remove(script);
        WriteFileBytes(script, ReadFileBytes(kScript));
        RunningApp running({script});
        CMainFrame& frame = running.Frame();
        CScriptTree& tree = frame.WorkspaceBar().ScriptTree();
        COutlineModel& model = tree.Model();
        const QModelIndex chars = model.index(1, 0);
        QTRY_VERIFY(!tree.IsUpdating());
        QCOMPARE(model.rowCount(chars), 129);
        QCOMPARE(model.index(0, 0, chars).data().toString(),
                 QStringLiteral("CHARDEF 01 \u2014 c_ogre"));

        // A click leads to the section's header, at the top of the view.
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        tree.expand(chars);
        const QModelIndex third = model.index(2, 0, chars);
        const int header = model.LineOf(third);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(third).center());
        CTextView* view = running.Active()->View();
        QCOMPARE(view->CaretPosition(), (TextPosition{header, 0}));
        QCOMPARE(view->FirstVisibleLine(), header);
        QVERIFY(tree.hasFocus());
        QTest::keyClick(&tree, Qt::Key_Down);
        QTest::keyClick(&tree, Qt::Key_Return);
        QCOMPARE(view->CaretPosition().line, model.LineOf(model.index(3, 0, chars)));
        QVERIFY(view->hasFocus());

        // An edit shows a moment later; the expanded root stays expanded and the tree where
        // it was scrolled to.
        tree.verticalScrollBar()->setValue(20);
        TextPosition end;
        QVERIFY(
            view->Buffer()->InsertTextAt(nullptr, {0, 0}, "[FUNCTION f_new]\r\n", end, 0, true));
        QVERIFY(tree.IsUpdating());
        QTRY_COMPARE(Children(model, model.index(2, 0)), QStringList{"FUNCTION f_new"});
        QCOMPARE(model.LineOf(model.index(2, 0, chars)), header + 1);
        QVERIFY(tree.isExpanded(chars));
        QCOMPARE(tree.verticalScrollBar()->value(), 20);

        // Another window's outline replaces it; coming back brings it back.
        QVERIFY(running.app->OpenDocumentFile(QString()));
        QTRY_COMPARE(model.rowCount(chars), 0);
        frame.MdiArea().activatePreviousSubWindow();
        QTRY_COMPARE(model.rowCount(chars), 129);
    }
};

QTEST_MAIN(TestWorkspaceBar)
#include "tst_WorkspaceBar.moc"
