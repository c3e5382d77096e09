// Find in Files and Go to Definition as the main window runs them: the dialog's proposals,
// the results pane filling, Enter and F4 opening matches selected, open documents searched
// in their unsaved text, a search replaced by a new one, and the three outcomes of F12.
#include "../app/AppTestSupport.h"

#include "buffer/TextBuffer.h"
#include "find/DefinitionFinder.h"
#include "find/DefinitionListDialog.h"
#include "find/FindInFilesDialog.h"
#include "find/FindInFilesJob.h"
#include "find/FindResultsPane.h"
#include "framework/CommandIds.h"
#include "framework/Document.h"
#include "framework/ModalDialog.h"
#include "view/TextView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

namespace {

QString SelectedText(CTextView& view) {
    TextPosition start;
    TextPosition end;
    view.SelectionBounds(start, end);
    if (start.line != end.line) return {};
    return QString::fromLatin1(view.Buffer()
                                   ->Line(start.line)
                                   .substr(std::size_t(start.ch), std::size_t(end.ch - start.ch)));
}

// Runs `command` with every dialog answered by `answer`.
void RunWithDialog(CMainFrame& frame, unsigned command, std::function<int(QDialog&)> answer) {
    const DialogHandler old = SetDialogHandler(std::move(answer));
    frame.RunCommand(command);
    SetDialogHandler(old);
}

} // namespace

class TestFindWindows : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_server;

    QString Script(const QString& name) const { return m_server + "/" + name; }

private slots:
    void init() {
        m_server = m_dir.filePath(QStringLiteral("server"));
        QDir(m_server).removeRecursively();
        QDir().mkpath(m_server + "/scripts/npc");
        WriteFileBytes(Script("scripts/items.scp"),
                       "[ITEMDEF i_sword_long]\r\nNAME=long sword\r\n[FUNCTION f_swing]\r\n"
                       "SRC.SYSMESSAGE i_sword_long\r\n[EOF]\r\n");
        WriteFileBytes(Script("scripts/npc/guards.scp"),
                       "[CHARDEF c_guard]\r\nITEMNEWBIE=I_SWORD_LONG\r\n"
                       "ITEMNEWBIE=i_sword_longer\r\n[FUNCTION f_swing]\r\n[EOF]\r\n");
        WriteFileBytes(Script("notes.txt"), "i_sword_long is not a script here\r\n");
        PrepareAppEnvironment(m_dir, "[UO]\r\nSphereServer=" + m_server.toUtf8() + "\r\n");
    }

    // The dialog proposes the word at the caret and the server's folder; the pane fills
    // with whole-word matches of the script types only, grouped by file; Enter opens the
    // match selected, F4 and Shift+F4 step through the matches, wrapping.
    void findFillsThePaneAndOpensMatches() {
        RunningApp running({Script("scripts/npc/guards.scp")});
        CMainFrame& frame = running.Frame();
        running.Active()->View()->JumpTo({1, 13});
        FindInFilesOptions proposed;
        RunWithDialog(frame, ID_EDIT_FIND_IN_FILES, [&](QDialog& dialog) {
            auto& find = static_cast<CFindInFilesDialog&>(dialog);
            proposed = find.Options();
            find.WholeWordBox().setChecked(true);
            find.TypesField().setText(QStringLiteral("*.SCP"));
            return int(QDialog::Accepted);
        });
        QCOMPARE(proposed.text, QStringLiteral("I_SWORD_LONG"));
        QCOMPARE(proposed.folder, QDir::toNativeSeparators(m_server));
        CFindResultsPane& pane = frame.FindResults();
        QVERIFY(pane.isVisible());
        QVERIFY(frame.CommandRouteStart().QueryCommand(ID_VIEW_FIND_RESULTS).IsChecked());
        QTRY_VERIFY(!frame.FindJob().IsRunning());
        CFindResultsModel& model = pane.Model();
        QCOMPARE(model.rowCount(), 2);
        int lines = 0;
        for (int file = 0; file < 2; ++file)
            lines += model.rowCount(model.index(file, 0));
        QCOMPARE(lines, 3);
        QVERIFY2(pane.Status().text().startsWith(QStringLiteral("3 matches in 2 files (2 files")),
                 qPrintable(pane.Status().text()));

        const QModelIndex first = model.index(0, 0, model.index(0, 0));
        CFindResultsModel::Location location;
        QVERIFY(model.LocationOf(first, location));
        pane.View().setCurrentIndex(first);
        QTest::keyClick(&pane.View(), Qt::Key_Return);
        CTextView* view = running.Active()->View();
        QCOMPARE(QFileInfo(running.Active()->Document().PathName()).fileName(),
                 QFileInfo(location.path).fileName());
        QCOMPARE(view->CaretPosition().line, location.line);
        QCOMPARE(SelectedText(*view).toUpper(), QStringLiteral("I_SWORD_LONG"));
        QVERIFY(view->hasFocus());

        QStringList visited;
        for (int step = 0; step < 4; ++step) {
            QVERIFY(frame.RunCommand(ID_EDIT_NEXT_RESULT));
            visited << QStringLiteral("%1:%2")
                           .arg(QFileInfo(running.Active()->Document().PathName()).fileName())
                           .arg(running.Active()->View()->CaretPosition().line);
        }
        QCOMPARE(visited[3], visited[0]); // three matches, then round again
        QVERIFY(frame.RunCommand(ID_EDIT_PREV_RESULT));
        QCOMPARE(QStringLiteral("%1:%2")
                     .arg(QFileInfo(running.Active()->Document().PathName()).fileName())
                     .arg(running.Active()->View()->CaretPosition().line),
                 visited[2]);
        QVERIFY(frame.RunCommand(ID_VIEW_FIND_RESULTS));
        QVERIFY(pane.isHidden());
    }

    // An open document counts with its unsaved text; a new search replaces a running one.
    void unsavedTextAndReplacedSearch() {
        RunningApp running({Script("scripts/items.scp")});
        CMainFrame& frame = running.Frame();
        TextPosition end;
        QVERIFY(running.Active()->View()->Buffer()->InsertTextAt(nullptr, {0, 0},
                                                                 "// zzunsaved\r\n", end, 0, true));
        // A search of everything, replaced at once: none of its matches may show.
        FindInFilesRequest everything;
        everything.needle = "E";
        everything.folder = m_server;
        frame.FindJob().Start(std::move(everything));
        CFindResultsPane& pane = frame.FindResults();
        RunWithDialog(frame, ID_EDIT_FIND_IN_FILES, [&](QDialog& dialog) {
            auto& find = static_cast<CFindInFilesDialog&>(dialog);
            find.TextField().setText(QStringLiteral("ZZUNSAVED"));
            find.FolderField().setText(m_server);
            return int(QDialog::Accepted);
        });
        QTRY_VERIFY(!frame.FindJob().IsRunning());
        QCOMPARE(pane.Model().rowCount(), 1);
        CFindResultsModel::Location location;
        QVERIFY(
            pane.Model().LocationOf(pane.Model().index(0, 0, pane.Model().index(0, 0)), location));
        QCOMPARE(location.line, 0);
        QCOMPARE(QFileInfo(location.path).fileName(), QStringLiteral("items.scp"));
    }

    // F12: one definition opens it with the caret on the name; several ask which; none
    // says so in the status bar; an unsaved edit that adds a definition counts.
    void goToDefinition() {
        RunningApp running({Script("scripts/npc/guards.scp")});
        CMainFrame& frame = running.Frame();
        CTextView* view = running.Active()->View();
        view->JumpTo({1, 14}); // I_SWORD_LONG
        QVERIFY(frame.RunCommand(ID_EDIT_GOTO_DEFINITION));
        QTRY_COMPARE(QFileInfo(running.Active()->Document().PathName()).fileName(),
                     QStringLiteral("items.scp"));
        QCOMPARE(running.Active()->View()->CaretPosition(), (TextPosition{0, 9}));

        // f_swing is defined in both scripts.
        running.Active()->View()->JumpTo({2, 12});
        int listed = 0;
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto& list = static_cast<CDefinitionListDialog&>(dialog);
            listed = list.List().topLevelItemCount();
            list.List().setCurrentItem(list.List().topLevelItem(1));
            return int(QDialog::Accepted);
        });
        QVERIFY(frame.RunCommand(ID_EDIT_GOTO_DEFINITION));
        QTRY_VERIFY(!frame.Definitions().IsBusy());
        SetDialogHandler(old);
        QCOMPARE(listed, 2);
        QCOMPARE(QFileInfo(running.Active()->Document().PathName()).fileName(),
                 QStringLiteral("guards.scp"));
        QCOMPARE(running.Active()->View()->CaretPosition(), (TextPosition{3, 10}));

        // NAME is defined nowhere, until an unsaved line makes it a DEFNAME.
        QVERIFY(running.app->OpenDocumentFile(Script("scripts/items.scp")));
        CTextView* items = running.Active()->View();
        items->JumpTo({1, 1});
        QVERIFY(frame.RunCommand(ID_EDIT_GOTO_DEFINITION));
        QTRY_VERIFY(!frame.Definitions().IsBusy());
        QCOMPARE(frame.statusBar()->currentMessage(),
                 QStringLiteral("No definition of 'NAME' found"));
        TextPosition end;
        QVERIFY(items->Buffer()->InsertTextAt(nullptr, {4, 0}, "[DEFNAME d_x]\r\nNAME 1\r\n", end,
                                              0, true));
        items->JumpTo({1, 1});
        QVERIFY(frame.RunCommand(ID_EDIT_GOTO_DEFINITION));
        QTRY_VERIFY(!frame.Definitions().IsBusy());
        QCOMPARE(running.Active()->View()->CaretPosition(), (TextPosition{5, 0}));
    }
};

QTEST_MAIN(TestFindWindows)
#include "tst_FindWindows.moc"
