// The Replace dialog on the edit view: scopes, Find Next without wrapping, Replace and
// Replace All, the block tracked through the changes, the undo steps, the message at the
// end and the profile section "Editor/Replace". The dialog is driven through its widgets.
#include "EditTestSupport.h"

#include "edit/EditView.h"
#include "edit/ReplaceDialog.h"
#include "framework/CommandIds.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void Fill(QDialog& dialog, const QString& find, const QString& replace) {
    Child<QLineEdit>(dialog, "findWhat")->setText(find);
    Child<QLineEdit>(dialog, "replaceWith")->setText(replace);
}

} // namespace

class TestReplaceDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void startsFromTheProfileAndCancelStores();
    void wholeFileSearchesFromTheCaretWithoutWrapping();
    void replaceAllLeavesTwoUndoStepsPerMatch_data();
    void replaceAllLeavesTwoUndoStepsPerMatch();
    void selectionScopeReselectsTheChangedBlock();
    void firstReplaceOnlyFindsTheSelectedText();

private:
    void SetText(std::string_view text) { SetBufferText(m_fixture->buffer, text); }
    std::string Content() const { return Text(m_fixture->buffer); }
    QStringList& Messages() { return m_fixture->messages.messages; }
    // Opens the dialog with Ctrl+H and hands it to `drive`.
    void Replace(const std::function<void(CReplaceDialog&)>& drive) {
        QVERIFY(OpenDialog(m_view, Qt::Key_H, Qt::ControlModifier, drive));
    }

    std::unique_ptr<DialogFixture<CEditView>> m_fixture;
    CEditView* m_view = nullptr;
};

void TestReplaceDialog::init() {
    m_fixture = std::make_unique<DialogFixture<CEditView>>();
    m_view = &m_fixture->view;
    QVERIFY(ShowFocusedView(*m_view, m_fixture->buffer));
}

void TestReplaceDialog::startsFromTheProfileAndCancelStores() {
    QSettings settings;
    settings.setValue("Editor/Replace/FindWhat", "old");
    settings.setValue("Editor/Replace/ReplaceWith", "new");
    settings.setValue("Editor/Replace/MatchCase", 1);
    settings.sync();
    SetText("one old two");
    Replace([&](CReplaceDialog& dialog) {
        QCOMPARE(Child<QLineEdit>(dialog, "findWhat")->text(), "old");
        QCOMPARE(Child<QLineEdit>(dialog, "replaceWith")->text(), "new");
        QVERIFY(Child<QCheckBox>(dialog, "matchCase")->isChecked());
        QVERIFY(!Child<QCheckBox>(dialog, "wholeWord")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog, "scopeWholeFile")->isChecked());
        QVERIFY(!Child<QRadioButton>(dialog, "scopeSelection")->isEnabled());
        auto* findNext = Child<QPushButton>(dialog, "findNext");
        QVERIFY(findNext->isEnabled() && findNext->isDefault());
        Child<QLineEdit>(dialog, "findWhat")->clear();
        QVERIFY(!findNext->isEnabled());
        Click(dialog, "replaceAll"); // nothing to find: does nothing
        // Cancel still stores what was typed.
        Fill(dialog, "typed", "other");
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(true);
        Child<QCheckBox>(dialog, "matchCase")->setChecked(false);
        Click(dialog, "cancel");
    });
    QVERIFY(Messages().isEmpty());
    QCOMPARE(Content(), "one old two");
    settings.sync();
    QCOMPARE(settings.value("Editor/Replace/FindWhat").toString(), "typed");
    QCOMPARE(settings.value("Editor/Replace/ReplaceWith").toString(), "other");
    QCOMPARE(settings.value("Editor/Replace/WholeWord").toInt(), 1);
    QCOMPARE(settings.value("Editor/Replace/MatchCase").toInt(), 0);
}

void TestReplaceDialog::wholeFileSearchesFromTheCaretWithoutWrapping() {
    SetText("cat dog cat\ndog cat");
    m_view->SetCaretPosition({0, 5});
    QList<TextPosition> found;
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "CAT", "x");
        for (int i = 0; i < 2; ++i) {
            Click(dialog, "findNext");
            found << SelectionStartOf(*m_view);
        }
        Click(dialog, "findNext"); // nothing more: the message, no wrap
        QCOMPARE(Messages(), QStringList{"Cannot find string\"CAT\""});
        QCOMPARE(m_fixture->messages.icons.value(0), QMessageBox::NoIcon);
        Click(dialog, "findNext"); // now from the top
        found << SelectionStartOf(*m_view);
    });
    QCOMPARE(found, (QList<TextPosition>{{0, 8}, {1, 4}, {0, 0}}));
    QCOMPARE(Content(), "cat dog cat\ndog cat");
}

void TestReplaceDialog::replaceAllLeavesTwoUndoStepsPerMatch_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("matches");
    const auto row = [](const char* name, const QString& text, const QString& find,
                        const QString& replace, bool wholeWord, const QString& expected,
                        int matches) {
        QTest::newRow(name) << text << find << replace << wholeWord << expected << matches;
    };
    row("a letter by itself twice terminates", "banana\na", "a", "aa", false, "baanaanaa\naa", 4);
    row("empty replacement removes back-to-back occurrences", "xababx ab", "ab", "", false, "xx ",
        3);
    row("whole words only", "i_sword sword swords", "sword", "axe", true, "i_sword axe swords", 1);
}

void TestReplaceDialog::replaceAllLeavesTwoUndoStepsPerMatch() {
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, wholeWord);
    QFETCH(QString, expected);
    QFETCH(int, matches);
    SetText(text.toStdString());
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, find, replace);
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(wholeWord);
        Click(dialog, "replaceAll");
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(QString::fromStdString(Content()), expected);
    QCOMPARE(Messages().size(), 1);
    // Each match is undone in two steps, the insertion and then the deletion.
    if (!replace.isEmpty()) {
        QCOMPARE(m_fixture->buffer.UndoLabel(), "Replace");
        m_view->ExecuteCommand(ID_EDIT_UNDO);
        QCOMPARE(m_fixture->buffer.UndoLabel(), "Delete Selection");
    }
    int steps = replace.isEmpty() ? 0 : 1;
    for (; m_fixture->buffer.HasUndo() && steps < 20; ++steps)
        m_view->ExecuteCommand(ID_EDIT_UNDO);
    QCOMPARE(steps, 2 * matches);
    QCOMPARE(QString::fromStdString(Content()), text);
}

void TestReplaceDialog::selectionScopeReselectsTheChangedBlock() {
    SetMarkedText(*m_view, "x x ^(x x x)| x");
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "x", "yyy");
        Click(dialog, "replaceAll");
    });
    QCOMPARE(MarkedText(*m_view), "x x [(yyy yyy yyy)] x");
    QVERIFY(!m_view->IsReplaceTracking());
}

void TestReplaceDialog::firstReplaceOnlyFindsTheSelectedText() {
    SetMarkedText(*m_view, "keep ^word| keep");
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "word", "WORDS");
        Click(dialog, "replace");
        QCOMPARE(MarkedText(*m_view), "keep [word] keep");
        QVERIFY(Messages().isEmpty());
        Click(dialog, "replace");
        QCOMPARE(Content(), "keep WORDS keep");
        QCOMPARE(Messages().size(), 1);
    });
}

QTEST_MAIN(TestReplaceDialog)
#include "tst_ReplaceDialog.moc"
