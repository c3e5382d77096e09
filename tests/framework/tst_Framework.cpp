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
    void updateHandlersDecideCommandsAndActions();
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

void TestFramework::updateHandlersDecideCommandsAndActions() {
    CTarget view(ID_EDIT_SELECT_ALL, ID_EDIT_SELECT_ALL);
    view.AddCopy();
    QObject owner;
    QAction* copy = MakeCommandAction(QStringLiteral("&Copy\tCtrl+C"), ID_EDIT_COPY, &owner);
    QAction* all = MakeCommandAction(QStringLiteral("Select A&ll"), ID_EDIT_SELECT_ALL, &owner);
    QAction* none = MakeCommandAction(QStringLiteral("&Find..."), ID_EDIT_FIND, &owner);
    copy->setCheckable(true);
    QCOMPARE(copy->text(), QStringLiteral("&Copy"));
    QCOMPARE(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));

    UpdateCommandActions(view, {copy, all, none});
    QVERIFY(!copy->isEnabled());
    QVERIFY(all->isEnabled());
    QVERIFY(!none->isEnabled());
    QVERIFY(!view.ExecuteCommand(ID_EDIT_COPY)); // a disabled command does not run
    QVERIFY(view.ran.empty());
    view.copyEnabled = true;
    UpdateCommandActions(view, {copy, all, none});
    QVERIFY(copy->isEnabled());
    QVERIFY(copy->isChecked());
    QCOMPARE(copy->text(), QStringLiteral("&Copy Now"));
    QCOMPARE(copy->shortcut(), QKeySequence(QStringLiteral("Ctrl+Insert")));
    QVERIFY(view.ExecuteCommand(ID_EDIT_COPY));
    QCOMPARE(view.ran, std::vector<unsigned>{ID_EDIT_COPY});
}

void TestFramework::accelerators_data() {
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<unsigned>("command");
    QTest::newRow("keypad digit counts as a digit")
        << QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_4) << 37214u;
    QTest::newRow("Shift+Tab as Tab") << (Qt::SHIFT | Qt::Key_Tab) << ID_EDIT_UNTAB;
    QTest::newRow("plain letter is no command") << QKeyCombination(Qt::Key_C) << 0u;
    QTest::newRow("Meta is not part of any key")
        << (Qt::META | Qt::CTRL | Qt::Key_C) << ID_EDIT_COPY;
}

void TestFramework::accelerators() {
    QFETCH(QKeyCombination, key);
    QFETCH(unsigned, command);
    const CAcceleratorTable* table = LoadAccelerators(IDR_TEXTVIEW_ACCEL);
    QVERIFY(table);
    const QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers());
    QCOMPARE(table->CommandFor(event), command);
}

void TestFramework::windows1252_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::addColumn<bool>("printable");
    QTest::newRow("euro") << 0x80 << 0x20AC << true;
    QTest::newRow("undefined 0x81 keeps its value") << 0x81 << 0x81 << false;
    QTest::newRow("nul") << 0x00 << 0x00 << false;
    QTest::newRow("delete") << 0x7F << 0x7F << false;
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
    QCOMPARE(Windows1252FromText(QString::fromUtf8("a\u4e2d\u20acb\U0001F600")), std::string("a\x80"
                                                                                             "b"));
}

QTEST_MAIN(TestFramework)
#include "tst_Framework.moc"
