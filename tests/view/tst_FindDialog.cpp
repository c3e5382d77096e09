// The Find dialog and the view's search commands: Ctrl+F, F3 and Shift+F3, the last search,
// the "Cannot find string" message and the profile section "Editor/Find". The dialog is
// driven through its widgets while it runs modally.
#include "../edit/EditTestSupport.h"

#include "view/FindDialog.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

void TypeSearchText(CFindDialog& dialog, const QString& text) {
    auto* edit = Child<QPlainTextEdit>(dialog, "findWhat");
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestFindDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_fixture.reset(); }

    void findNextSelectsTheMatchAndCloses();
    void missShowsMessageAndRestartsAtTheTop();
    void startsFromTheProfileOrTheSelection_data();
    void startsFromTheProfileOrTheSelection();
    void findNextAndPreviousUseTheLastSearch();
    void lineBreakInTheBoxIsNeverFound();

private:
    void Find(const std::function<void(CFindDialog&)>& drive) {
        QVERIFY(OpenDialog(m_view, Qt::Key_F, Qt::ControlModifier, drive));
    }
    QStringList& Messages() { return m_fixture->messages.messages; }

    std::unique_ptr<DialogFixture<CTextView>> m_fixture;
    CTextView* m_view = nullptr;
};

void TestFindDialog::init() {
    m_fixture = std::make_unique<DialogFixture<CTextView>>();
    m_view = &m_fixture->view;
    SetBufferText(m_fixture->buffer,
                  "[ITEMDEF i_sword]\nNAME=Sword\xa0x\ntype=t_weapon_sword\nTYPE=t_x");
    QVERIFY(ShowFocusedView(*m_view, m_fixture->buffer));
}

void TestFindDialog::findNextSelectsTheMatchAndCloses() {
    m_view->SetCaretPosition({1, 2});
    bool closed = false;
    Find([&](CFindDialog& dialog) {
        QVERIFY(Child<QRadioButton>(dialog, "directionDown")->isChecked());
        TypeSearchText(dialog, "sword");
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(true);
        Click(dialog, "findNext");
        closed = !dialog.isVisible();
    });
    QVERIFY(closed);
    QVERIFY(Messages().isEmpty());
    // After the caret, skipping the sword inside t_weapon_sword and wrapping to the top.
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{1, 5}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 10}));
    QSettings settings;
    QCOMPARE(settings.value("Editor/Find/FindWhat").toString(), "sword");
    QCOMPARE(settings.value("Editor/Find/WholeWord").toInt(), 1);
}

void TestFindDialog::missShowsMessageAndRestartsAtTheTop() {
    m_view->SetCaretPosition({3, 0});
    bool stayedOpen = false;
    Find([&](CFindDialog& dialog) {
        Child<QCheckBox>(dialog, "matchCase")->setChecked(true);
        Child<QRadioButton>(dialog, "directionUp")->setChecked(true);
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(true);
        TypeSearchText(dialog, "xyz");
        Click(dialog, "findNext");
        stayedOpen = dialog.isVisible();
        TypeSearchText(dialog, "TYPE");
        Click(dialog, "findNext");
    });
    QVERIFY(stayedOpen);
    QCOMPARE(Messages(), QStringList{"Cannot find string\"xyz\""});
    // The second search started at (0, 0), upwards: line 0 has no match, so it wrapped to
    // the last line; match case skips "type" on line 2.
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{3, 0}));
    QCOMPARE(m_view->LastSearchFlags(), 0x13u);
}

void TestFindDialog::startsFromTheProfileOrTheSelection_data() {
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("a backward selection inside one line, its no-break space kept")
        << TextPosition{1, 12} << TextPosition{1, 9} << QString::fromUtf8("d\u00a0x");
    QTest::newRow("selection over two lines") << TextPosition{1, 5} << TextPosition{2, 1} << "last";
    QTest::newRow("no selection") << TextPosition{1, 5} << TextPosition{1, 5} << "last";
}

void TestFindDialog::startsFromTheProfileOrTheSelection() {
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    QFETCH(QString, proposed);
    QSettings settings;
    settings.setValue("Editor/Find/FindWhat", "last");
    settings.setValue("Editor/Find/MatchCase", 1);
    settings.setValue("Editor/Find/WholeWord", 1);
    settings.sync();
    m_view->SetSelection(start, end);
    Find([&](CFindDialog& dialog) {
        QVERIFY(Child<QCheckBox>(dialog, "matchCase")->isChecked());
        QVERIFY(Child<QCheckBox>(dialog, "wholeWord")->isChecked());
        auto* edit = Child<QPlainTextEdit>(dialog, "findWhat");
        QCOMPARE(edit->textCursor().selectedText(), proposed);
        QCOMPARE(dialog.focusWidget(), edit);
    });
    QCOMPARE(m_view->LastSearchText(), proposed);
}

void TestFindDialog::findNextAndPreviousUseTheLastSearch() {
    Find([&](CFindDialog& dialog) {
        // Find Next is enabled only while there is a text to find.
        auto* findNext = Child<QPushButton>(dialog, "findNext");
        QVERIFY(!findNext->isEnabled());
        TypeSearchText(dialog, "type");
        QVERIFY(findNext->isEnabled());
        TypeSearchText(dialog, "");
        QVERIFY(!findNext->isEnabled());
        TypeSearchText(dialog, "type");
        Click(dialog, "cancel"); // what was typed is the last search all the same
    });
    QTest::keyClick(m_view, Qt::Key_F3);
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{2, 0}));
    QTest::keyClick(m_view, Qt::Key_F3);
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{3, 0}));
    QTest::keyClick(m_view, Qt::Key_F3); // wraps
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{2, 0}));
    // Upwards from after the match: nothing more right of it on its line, so the line above
    // has none either, and the search wraps to the last line.
    QTest::keyClick(m_view, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{3, 0}));
    QCOMPARE(m_view->LastSearchFlags(), 0u);
    QVERIFY(Messages().isEmpty());
}

void TestFindDialog::lineBreakInTheBoxIsNeverFound() {
    Find([&](CFindDialog& dialog) {
        auto* edit = Child<QPlainTextEdit>(dialog, "findWhat");
        QTest::keyClicks(edit, "Sword");
        QTest::keyClick(edit, Qt::Key_Return); // a new line in the box, not the button
        QVERIFY(dialog.isVisible());
        QTest::keyClicks(edit, "type");
        Click(dialog, "findNext");
    });
    QCOMPARE(Messages(), QStringList{"Cannot find string\"Sword\ntype\""});
    QVERIFY(!m_view->HasSelection());
}

QTEST_MAIN(TestFindDialog)
#include "tst_FindDialog.moc"
