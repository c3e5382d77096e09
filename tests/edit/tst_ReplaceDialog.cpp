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

void Selection(CEditView& view, TextPosition& start, TextPosition& end) {
    view.SelectionBounds(start, end);
}

void Fill(QDialog& dialog, const QString& find, const QString& replace) {
    Child<QLineEdit>(dialog, "findWhat")->setText(find);
    Child<QLineEdit>(dialog, "replaceWith")->setText(replace);
}

void Click(QDialog& dialog, const char* name) {
    QTest::mouseClick(Child<QAbstractButton>(dialog, name), Qt::LeftButton);
}

} // namespace

class TestReplaceDialog : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsFromTheProfileAndTheSelection();
    void wholeFileSearchesFromTheCaretWithoutWrapping();
    void replaceAll_data();
    void replaceAll();
    void selectionScopeReselectsTheChangedBlock();
    void firstReplaceOnlyFindsTheSelectedText();
    void replaceAllLeavesTwoUndoStepsPerMatch();
    void cancelRemembersTheTexts();
    void readOnlyBufferOpensNoDialog();

private:
    void SetText(std::string_view text) { SetBufferText(*m_buffer, text); }
    // Opens the dialog with Ctrl+H and hands it to `drive`.
    void Replace(const std::function<void(CReplaceDialog&)>& drive) {
        QVERIFY(OpenDialog(m_view, Qt::Key_H, Qt::ControlModifier, drive));
    }

    std::unique_ptr<DialogFixture<CEditView>> m_fixture;
    TemporaryProfile* m_profile = nullptr;
    MessageRecorder* m_messages = nullptr;
    CTextBuffer* m_buffer = nullptr;
    CEditView* m_view = nullptr;
};

void TestReplaceDialog::init() {
    m_fixture = std::make_unique<DialogFixture<CEditView>>();
    m_profile = &m_fixture->profile;
    m_messages = &m_fixture->messages;
    m_buffer = &m_fixture->buffer;
    m_view = &m_fixture->view;
    m_buffer->ResetToEmpty();
    QVERIFY(ShowFocusedView(*m_view, *m_buffer));
}

void TestReplaceDialog::cleanup() {
    m_fixture.reset();
}

void TestReplaceDialog::startsFromTheProfileAndTheSelection() {
    QSettings settings = m_profile->Settings();
    settings.setValue("Editor/Replace/FindWhat", "old");
    settings.setValue("Editor/Replace/ReplaceWith", "new");
    settings.setValue("Editor/Replace/MatchCase", 1);
    settings.sync();
    SetText("one old two");
    Replace([&](CReplaceDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Replace"));
        QCOMPARE(Child<QLineEdit>(dialog, "findWhat")->text(), QStringLiteral("old"));
        QCOMPARE(Child<QLineEdit>(dialog, "replaceWith")->text(), QStringLiteral("new"));
        QVERIFY(Child<QCheckBox>(dialog, "matchCase")->isChecked());
        QVERIFY(!Child<QCheckBox>(dialog, "wholeWord")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog, "scopeWholeFile")->isChecked());
        QVERIFY(!Child<QRadioButton>(dialog, "scopeSelection")->isEnabled());
        auto* findNext = Child<QPushButton>(dialog, "findNext");
        QVERIFY(findNext->isEnabled() && findNext->isDefault());
        Child<QLineEdit>(dialog, "findWhat")->clear();
        QVERIFY(!findNext->isEnabled());
        QVERIFY(Child<QPushButton>(dialog, "replaceAll")->isEnabled());
        Click(dialog, "replaceAll"); // nothing to find: does nothing
    });
    QVERIFY(m_messages->messages.isEmpty());
    QCOMPARE(Text(*m_buffer), std::string("one old two"));

    m_view->SetSelection({0, 4}, {0, 7});
    Replace([&](CReplaceDialog& dialog) {
        QVERIFY(Child<QRadioButton>(dialog, "scopeSelection")->isChecked());
        QVERIFY(Child<QRadioButton>(dialog, "scopeSelection")->isEnabled());
    });
}

void TestReplaceDialog::wholeFileSearchesFromTheCaretWithoutWrapping() {
    SetText("cat dog cat\ndog cat");
    m_view->SetCaretPosition({0, 5});
    TextPosition first;
    TextPosition second;
    TextPosition afterMessage;
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "CAT", "x");
        Click(dialog, "findNext");
        TextPosition end;
        Selection(*m_view, first, end);
        Click(dialog, "findNext");
        Selection(*m_view, second, end);
        Click(dialog, "findNext"); // nothing more: the message, no wrap
        QCOMPARE(m_messages->messages, QStringList{"Cannot find string\"CAT\""});
        QCOMPARE(m_messages->icons.value(0), QMessageBox::NoIcon);
        Click(dialog, "findNext"); // now from the top
        Selection(*m_view, afterMessage, end);
    });
    QCOMPARE(first, (TextPosition{0, 8}));
    QCOMPARE(second, (TextPosition{1, 4}));
    QCOMPARE(afterMessage, (TextPosition{0, 0}));
    QCOMPARE(Text(*m_buffer), std::string("cat dog cat\ndog cat"));
}

void TestReplaceDialog::replaceAll_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a letter by itself twice terminates") << "banana\na"
                                                         << "a"
                                                         << "aa" << false << "baanaanaa\naa";
    QTest::newRow("empty replacement removes back-to-back occurrences") << "xababx ab"
                                                                        << "ab"
                                                                        << "" << false << "xx ";
    QTest::newRow("lower case finds capitals") << "Sword SWORD sword"
                                               << "sword"
                                               << "axe" << false << "axe axe axe";
    QTest::newRow("whole words only") << "i_sword sword swords"
                                      << "sword"
                                      << "axe" << true << "i_sword axe swords";
}

void TestReplaceDialog::replaceAll() {
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(bool, wholeWord);
    QFETCH(QString, expected);
    SetText(text.toStdString());
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, find, replace);
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(wholeWord);
        Click(dialog, "replaceAll");
        QVERIFY(dialog.isVisible());
    });
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(m_messages->messages.size(), 1);
}

void TestReplaceDialog::selectionScopeReselectsTheChangedBlock() {
    SetText("x x [x x x] x");
    m_view->SetAnchor({0, 4});
    m_view->SetSelection({0, 4}, {0, 11});
    m_view->SetCaretPosition({0, 11});
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "x", "yyy");
        Click(dialog, "replaceAll");
    });
    QCOMPARE(Text(*m_buffer), std::string("x x [yyy yyy yyy] x"));
    TextPosition start;
    TextPosition end;
    Selection(*m_view, start, end);
    QCOMPARE(start, (TextPosition{0, 4}));
    QCOMPARE(end, (TextPosition{0, 17}));
    QVERIFY(!m_view->IsReplaceTracking());
}

void TestReplaceDialog::firstReplaceOnlyFindsTheSelectedText() {
    SetText("keep word keep");
    m_view->SetSelection({0, 5}, {0, 9});
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "word", "WORDS");
        Click(dialog, "replace");
        QCOMPARE(Text(*m_buffer), std::string("keep word keep"));
        TextPosition start;
        TextPosition end;
        Selection(*m_view, start, end);
        QCOMPARE(start, (TextPosition{0, 5}));
        QVERIFY(m_messages->messages.isEmpty());
        Click(dialog, "replace");
        QCOMPARE(Text(*m_buffer), std::string("keep WORDS keep"));
        QCOMPARE(m_messages->messages.size(), 1);
    });
}

void TestReplaceDialog::replaceAllLeavesTwoUndoStepsPerMatch() {
    SetText("a-a-a");
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "a", "bc");
        Click(dialog, "replaceAll");
    });
    QCOMPARE(Text(*m_buffer), std::string("bc-bc-bc"));
    QCOMPARE(m_buffer->UndoLabel(), std::string("Replace"));
    m_view->ExecuteCommand(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("bc-bc-"));
    QCOMPARE(m_buffer->UndoLabel(), std::string("Delete Selection"));
    m_view->ExecuteCommand(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("bc-bc-a"));
    for (int i = 0; i < 4; ++i)
        m_view->ExecuteCommand(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("a-a-a"));
    QVERIFY(!m_buffer->HasUndo());
}

void TestReplaceDialog::cancelRemembersTheTexts() {
    SetText("text");
    Replace([&](CReplaceDialog& dialog) {
        Fill(dialog, "typed", "other");
        Child<QCheckBox>(dialog, "wholeWord")->setChecked(true);
        Click(dialog, "cancel");
    });
    QSettings settings = m_profile->Settings();
    QCOMPARE(settings.value("Editor/Replace/FindWhat").toString(), QStringLiteral("typed"));
    QCOMPARE(settings.value("Editor/Replace/ReplaceWith").toString(), QStringLiteral("other"));
    QCOMPARE(settings.value("Editor/Replace/WholeWord").toInt(), 1);
    QCOMPARE(settings.value("Editor/Replace/MatchCase").toInt(), 0);
}

void TestReplaceDialog::readOnlyBufferOpensNoDialog() {
    SetText("text");
    m_buffer->SetReadOnly(true);
    bool opened = false;
    const DialogDriver driver([&](QDialog&) { opened = true; });
    QTest::keyClick(m_view, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(!opened);
}

QTEST_MAIN(TestReplaceDialog)
#include "tst_ReplaceDialog.moc"
