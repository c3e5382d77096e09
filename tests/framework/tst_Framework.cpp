// Command routing, accelerator tables, menu actions and Windows-1252 text.
#include "framework/AcceleratorTable.h"
#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/CommandTarget.h"
#include "framework/Windows1252.h"

#include <QAction>
#include <QKeyEvent>
#include <QtTest>

namespace {

class CTarget : public CCommandTarget {
public:
    std::vector<unsigned> ran;
    bool copyEnabled = false;

    CTarget(unsigned first, unsigned last) {
        OnCommandRange(first, last, [this](unsigned id) { ran.push_back(id); });
    }
    void AddCopy() {
        OnCommand(
            ID_EDIT_COPY, [this](unsigned id) { ran.push_back(id); },
            [this](CCommandUI& ui) {
                ui.Enable(copyEnabled);
                ui.SetCheck(copyEnabled);
                ui.SetText(copyEnabled ? QStringLiteral("&Copy Now\tCtrl+Insert") : QString());
            });
    }
};

} // namespace

class TestFramework : public QObject {
    Q_OBJECT

private slots:
    void routingWalksTheChain();
    void updateHandlersDecide();
    void actionsFollowUpdateHandlers();
    void accelerators_data();
    void accelerators();
    void windows1252_data();
    void windows1252();
    void unencodableCharactersAreLeftOut();
};

void TestFramework::routingWalksTheChain() {
    CTarget view(100, 109);
    CTarget frame(105, 120);
    CTarget application(500, 500);
    view.SetNextCommandTarget(&frame);
    frame.SetNextCommandTarget(&application);
    QVERIFY(view.ExecuteCommand(107));
    QVERIFY(view.ExecuteCommand(115));
    QVERIFY(view.ExecuteCommand(500));
    QVERIFY(!view.ExecuteCommand(600));
    QCOMPARE(view.ran, std::vector<unsigned>{107});
    QCOMPARE(frame.ran, std::vector<unsigned>{115});
    QCOMPARE(application.ran, std::vector<unsigned>{500});
    QVERIFY(view.QueryCommand(500).IsEnabled());
    QVERIFY(!view.QueryCommand(600).IsEnabled());
    QVERIFY(!frame.QueryCommand(100).IsEnabled());
}

void TestFramework::updateHandlersDecide() {
    CTarget view(1, 1);
    view.AddCopy();
    QVERIFY(!view.QueryCommand(ID_EDIT_COPY).IsEnabled());
    QVERIFY(!view.ExecuteCommand(ID_EDIT_COPY));
    QVERIFY(view.ran.empty());
    view.copyEnabled = true;
    const CCommandUI ui = view.QueryCommand(ID_EDIT_COPY);
    QVERIFY(ui.IsEnabled());
    QVERIFY(ui.IsChecked());
    QVERIFY(view.ExecuteCommand(ID_EDIT_COPY));
    QCOMPARE(view.ran, std::vector<unsigned>{ID_EDIT_COPY});
}

void TestFramework::actionsFollowUpdateHandlers() {
    CTarget view(ID_EDIT_SELECT_ALL, ID_EDIT_SELECT_ALL);
    view.AddCopy();
    QObject owner;
    QAction* copy = MakeCommandAction(QStringLiteral("&Copy\tCtrl+C"), ID_EDIT_COPY, &owner);
    QAction* all = MakeCommandAction(QStringLiteral("Select A&ll"), ID_EDIT_SELECT_ALL, &owner);
    QAction* none = MakeCommandAction(QStringLiteral("&Find..."), ID_EDIT_FIND, &owner);
    copy->setCheckable(true);
    QCOMPARE(copy->text(), QStringLiteral("&Copy"));
    QCOMPARE(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    QCOMPARE(CommandIdOf(copy), ID_EDIT_COPY);
    QCOMPARE(CommandIdOf(nullptr), 0u);

    UpdateCommandActions(view, {copy, all, none});
    QVERIFY(!copy->isEnabled());
    QVERIFY(all->isEnabled());
    QVERIFY(!none->isEnabled());
    view.copyEnabled = true;
    UpdateCommandActions(view, {copy, all, none});
    QVERIFY(copy->isEnabled());
    QVERIFY(copy->isChecked());
    QCOMPARE(copy->text(), QStringLiteral("&Copy Now"));
    QCOMPARE(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+Insert")));
}

void TestFramework::accelerators_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<unsigned>("command");
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << ID_EDIT_CHAR_LEFT;
    QTest::newRow("Shift+Left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << ID_EDIT_EXT_CHAR_LEFT;
    QTest::newRow("Ctrl+Shift+End") << int(Qt::Key_End) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                    << ID_EDIT_EXT_TEXT_END;
    QTest::newRow("Ctrl+C copies") << int(Qt::Key_C) << int(Qt::ControlModifier) << ID_EDIT_COPY;
    QTest::newRow("Ctrl+Insert copies") << int(Qt::Key_Insert) << int(Qt::ControlModifier) << ID_EDIT_COPY;
    QTest::newRow("Ctrl+7 toggles bookmark 7") << int(Qt::Key_7) << int(Qt::ControlModifier) << 37207u;
    QTest::newRow("Alt+0 goes to bookmark 0") << int(Qt::Key_0) << int(Qt::AltModifier) << 37210u;
    QTest::newRow("keypad digit counts as a digit") << int(Qt::Key_4)
                                                    << int(Qt::AltModifier | Qt::KeypadModifier) << 37214u;
    QTest::newRow("Ctrl+Shift+F2 clears bookmarks") << int(Qt::Key_F2) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                                    << ID_EDIT_CLEAR_BOOKMARKS;
    QTest::newRow("Shift+Tab as Backtab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << ID_EDIT_UNTAB;
    QTest::newRow("Shift+Tab as Tab") << int(Qt::Key_Tab) << int(Qt::ShiftModifier) << ID_EDIT_UNTAB;
    QTest::newRow("Alt+Backspace undoes") << int(Qt::Key_Backspace) << int(Qt::AltModifier) << ID_EDIT_UNDO;
    QTest::newRow("plain letter is no command") << int(Qt::Key_C) << 0 << 0u;
    QTest::newRow("Meta is not part of any key") << int(Qt::Key_C) << int(Qt::MetaModifier | Qt::ControlModifier)
                                                 << ID_EDIT_COPY;
}

void TestFramework::accelerators() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(unsigned, command);
    const CAcceleratorTable* table = LoadAccelerators(IDR_TEXTVIEW_ACCEL);
    QVERIFY(table);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(table->CommandFor(event), command);
    QCOMPARE(LoadAccelerators(IDR_MAINFRAME + 1), nullptr);
}

void TestFramework::windows1252_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::addColumn<bool>("printable");
    QTest::newRow("letter") << 0x41 << 0x41 << true;
    QTest::newRow("euro") << 0x80 << 0x20AC << true;
    QTest::newRow("copyright") << 0xA9 << 0xA9 << true;
    QTest::newRow("trade mark") << 0x99 << 0x2122 << true;
    QTest::newRow("y diaeresis") << 0x9F << 0x178 << true;
    QTest::newRow("undefined 0x81 keeps its value") << 0x81 << 0x81 << false;
    QTest::newRow("undefined 0x9D") << 0x9D << 0x9D << false;
    QTest::newRow("nul") << 0x00 << 0x00 << false;
    QTest::newRow("tab") << 0x09 << 0x09 << false;
    QTest::newRow("delete") << 0x7F << 0x7F << false;
    QTest::newRow("space") << 0x20 << 0x20 << true;
    QTest::newRow("y acute") << 0xFF << 0xFF << true;
}

void TestFramework::windows1252() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QFETCH(bool, printable);
    QCOMPARE(int(CharFromWindows1252(static_cast<unsigned char>(byte)).unicode()), unicode);
    QCOMPARE(Windows1252FromChar(QChar(char16_t(unicode))), byte);
    QCOMPARE(IsPrintableWindows1252(static_cast<unsigned char>(byte)), printable);
}

void TestFramework::unencodableCharactersAreLeftOut() {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    QCOMPARE(Windows1252FromText(TextFromWindows1252(all)), all);
    QCOMPARE(Windows1252FromText(QString::fromUtf8("a\u4e2d\u20acb\U0001F600")), std::string("a\x80" "b"));
}

QTEST_MAIN(TestFramework)
#include "tst_Framework.moc"
