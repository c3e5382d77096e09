// The script view: status pane, Goto, code templates and their undo steps, the number
// strip, the wheel, and the context menu.
#include "ScriptTestSupport.h"

#include "../view/ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "script/CodeTemplates.h"
#include "script/GotoDialog.h"
#include "script/QuilletDoc.h"
#include "script/QuilletView.h"

#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>

#include <memory>

namespace {

// A document with `text` and its view, shown with the focus.
struct ScriptWindow {
    CQuilletDoc document;
    std::unique_ptr<CQuilletView> view;

    explicit ScriptWindow(std::string_view text, QSize size = {500, 300}) {
        view = std::make_unique<CQuilletView>(document);
        SetBufferText(document.Buffer(), text);
        view->OnInitialUpdate();
        view->resize(size);
        view->show();
        view->activateWindow();
        view->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    ~ScriptWindow() { view.reset(); }
};

// Answers the Goto dialog with a number and an origin.
class GotoAnswer {
public:
    GotoAnswer(const QString& number, int origin)
        : m_old(SetDialogHandler([number, origin](QDialog& dialog) {
              auto& goTo = static_cast<CGotoDialog&>(dialog);
              goTo.LineField()->setText(number);
              QTest::mouseClick(goTo.OriginButton(origin), Qt::LeftButton);
              return int(QDialog::Accepted);
          })) {}
    ~GotoAnswer() { SetDialogHandler(m_old); }

private:
    DialogHandler m_old;
};

// Glyph edges are smoothed: a pixel counts when it is close to the colour.
bool IsNear(const QColor& pixel, const QColor& colour) {
    return std::abs(pixel.red() - colour.red()) < 48 &&
           std::abs(pixel.green() - colour.green()) < 48 &&
           std::abs(pixel.blue() - colour.blue()) < 48;
}

QMenu* OpenPopup() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
    }
    return nullptr;
}

} // namespace

class TestQuilletView : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearScriptSettings(); }

    void statusPane_data();
    void statusPane();
    void gotoTarget_data();
    void gotoTarget();
    void gotoFromEachOrigin_data();
    void gotoFromEachOrigin();
    void gotoFieldTakesDigitsOnly();
    void templateAtTheCaret();
    void templateOverASelection();
    void everyTemplateInsertsItsText();
    void templatesOnAReadOnlyBufferChangeNothing();
    void numberStripColours_data();
    void numberStripColours();
    void numbersStopAtTheLastLine();
    void wheelScrollsThreeLinesPerNotch();
    void contextMenuInsertsCode();
};

void TestQuilletView::statusPane_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("ch");
    QTest::addColumn<int>("endLine");
    QTest::addColumn<int>("endCh");
    QTest::addColumn<QString>("expected");
    QTest::newRow("caret at line 10 character 4") << 10 << 4 << 10 << 4 << "Ln 11, Col 5";
    QTest::newRow("caret at the start") << 0 << 0 << 0 << 0 << "Ln 1, Col 1";
    QTest::newRow("selection names column before line") << 10 << 4 << 11 << 2 << "Sel: 5,11-3,12";
}

void TestQuilletView::statusPane() {
    QFETCH(int, line);
    QFETCH(int, ch);
    QFETCH(int, endLine);
    QFETCH(int, endCh);
    ScriptWindow window(NumberedLines(20));
    window.view->SetSelection({line, ch}, {endLine, endCh});
    window.view->SetCaretPosition({endLine, endCh});
    QFETCH(QString, expected);
    QCOMPARE(window.view->QueryCommand(ID_INDICATOR_CARET).Text(), expected);
}

void TestQuilletView::gotoTarget_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("caretLine");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("target");
    QTest::newRow("5 from the beginning of 3 lines is the last") << 5 << 0 << 0 << 3 << 2;
    QTest::newRow("0 from the beginning is the first line") << 0 << 0 << 1 << 3 << 0;
    QTest::newRow("1 from the beginning is the first line") << 1 << 0 << 1 << 3 << 0;
    QTest::newRow("2 from line 10 is line 12") << 2 << 1 << 10 << 40 << 12;
    QTest::newRow("from the current line stops at the end") << 99 << 1 << 10 << 40 << 39;
    QTest::newRow("0 back from the end is the last line") << 0 << 2 << 0 << 40 << 39;
    QTest::newRow("back from the end stops at the first") << 999999999 << 2 << 5 << 40 << 0;
    QTest::newRow("huge number from a late line does not overflow")
        << 999999999 << 1 << 2000000000 << 2100000000 << 2099999999;
}

void TestQuilletView::gotoTarget() {
    QFETCH(int, n);
    QFETCH(int, origin);
    QFETCH(int, caretLine);
    QFETCH(int, lineCount);
    QFETCH(int, target);
    QCOMPARE(GotoTargetLine(n, origin, caretLine, lineCount), target);
}

void TestQuilletView::gotoFromEachOrigin_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("target");
    QTest::newRow("line 30 from the beginning") << "30" << int(GotoFromBeginning) << 29;
    QTest::newRow("5 down from line 10") << "5" << int(GotoFromCurrent) << 15;
    QTest::newRow("empty back from the end") << "" << int(GotoFromEnd) << 99;
}

void TestQuilletView::gotoFromEachOrigin() {
    QFETCH(QString, number);
    QFETCH(int, origin);
    QFETCH(int, target);
    ScriptWindow window(NumberedLines(100));
    window.view->SetSelection({10, 3}, {10, 5});
    window.view->SetCaretPosition({10, 5});
    GotoAnswer answer(number, origin);
    QVERIFY(window.view->ExecuteCommand(ID_EDIT_GOTO));
    QCOMPARE(window.view->CaretPosition(), (TextPosition{target, 0}));
    QCOMPARE(window.view->FirstVisibleLine(), target);
}

void TestQuilletView::gotoFieldTakesDigitsOnly() {
    CGotoDialog dialog;
    QTest::keyClicks(dialog.LineField(), QStringLiteral("1a2-3 4567890123"));
    QCOMPARE(dialog.LineField()->text(), QStringLiteral("123456789"));
    QCOMPARE(dialog.Origin(), int(GotoFromBeginning));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Goto..."));
}

void TestQuilletView::templateAtTheCaret() {
    ScriptWindow window("before\nafter");
    QTest::mouseClick(window.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      PointAt(*window.view, {1, 0}));
    QVERIFY(window.view->ExecuteCommand(ID_INSERT_HEADER_ITEM));
    CTextBuffer& buffer = window.document.Buffer();
    QCOMPARE(buffer.Line(1), std::string_view("[ITEMDEF i_newitem]"));
    QCOMPARE(buffer.Line(10), std::string_view("after"));
    QCOMPARE(window.view->CaretPosition(), (TextPosition{1, 0}));
    QCOMPARE(buffer.UndoLabel(), std::string("Insert Script"));
    TextPosition at;
    QVERIFY(buffer.UndoGroup(at));
    QCOMPARE(AllText(buffer), std::string("before\r\nafter"));
    QVERIFY(!buffer.HasUndo());
}

void TestQuilletView::templateOverASelection() {
    ScriptWindow window("keep OLD keep");
    window.view->SetSelection({0, 5}, {0, 8});
    window.view->SetCaretPosition({0, 8});
    QVERIFY(window.view->ExecuteCommand(ID_INSERT_NODISPOSE + 0));
    CTextBuffer& buffer = window.document.Buffer();
    QCOMPARE(AllText(buffer), std::string("keep nodispose\r\n keep"));
    TextPosition start;
    TextPosition end;
    window.view->SelectionBounds(start, end);
    QCOMPARE(start, (TextPosition{0, 5}));
    QCOMPARE(end, (TextPosition{1, 0}));

    QCOMPARE(buffer.UndoLabel(), std::string("Replace"));
    TextPosition at;
    QVERIFY(buffer.UndoGroup(at));
    QCOMPARE(AllText(buffer), std::string("keep  keep"));
    QCOMPARE(buffer.UndoLabel(), std::string("Delete Selection"));
    QVERIFY(buffer.UndoGroup(at));
    QCOMPARE(AllText(buffer), std::string("keep OLD keep"));
}

void TestQuilletView::everyTemplateInsertsItsText() {
    QCOMPARE(CodeTemplates().size(), std::size_t(18));
    for (const CodeTemplate& code : CodeTemplates()) {
        ScriptWindow window("");
        QVERIFY(window.view->ExecuteCommand(code.id));
        QCOMPARE(AllText(window.document.Buffer()), std::string(code.text));
    }
}

void TestQuilletView::templatesOnAReadOnlyBufferChangeNothing() {
    ScriptWindow window("text");
    window.document.Buffer().SetReadOnly(true);
    window.view->ExecuteCommand(ID_INSERT_AXIS_INFO);
    QCOMPARE(AllText(window.document.Buffer()), std::string("text"));
    QVERIFY(!window.document.IsModified());
}

void TestQuilletView::numberStripColours_data() {
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("expectedBackground");
    QTest::addColumn<QColor>("expectedText");
    QTest::newRow("both missing: white on dark blue")
        << ""
        << "" << QColor(1, 0, 128) << QColor(255, 255, 255);
    QTest::newRow("colours are 0x00BBGGRR")
        << QString::number(0x00204060) << QString::number(0x0000FFFF) << QColor(0x60, 0x40, 0x20)
        << QColor(255, 255, 0);
    QTest::newRow("only text given: black background")
        << "" << QString::number(0x00FFFFFF) << QColor(0, 0, 0) << QColor(255, 255, 255);
}

void TestQuilletView::numberStripColours() {
    QFETCH(QString, background);
    QFETCH(QString, text);
    QFETCH(QColor, expectedBackground);
    QFETCH(QColor, expectedText);
    SettingsStore().SetValue("Quillet", "crLBackground", background.toStdString(), true);
    SettingsStore().SetValue("Quillet", "crLTextColor", text.toStdString(), true);
    ScriptWindow window(NumberedLines(30));
    const QImage image = Snapshot(*window.view);
    QCOMPARE(image.pixelColor(1, 1), expectedBackground);
    QCOMPARE(image.pixelColor(CQuilletView::NumberStripWidth - 1, 40), expectedBackground);
    // The text view's own margin shows to the right of the strip.
    QVERIFY(image.pixelColor(CQuilletView::NumberStripWidth + 2, 1) != expectedBackground);

    int inked = 0;
    for (int y = 0; y < window.view->NumberRowHeight(); ++y) {
        for (int x = 0; x < CQuilletView::NumberStripWidth; ++x)
            inked += IsNear(image.pixelColor(x, y), expectedText);
    }
    QVERIFY2(inked > 5, "the number 1 is drawn in the text colour");
}

void TestQuilletView::numbersStopAtTheLastLine() {
    ScriptWindow window("a\nb\nc", {400, 400});
    const QImage image = Snapshot(*window.view);
    const QColor background = window.view->NumberBackground();
    const int rows = window.view->NumberRowHeight();
    const auto rowHasInk = [&](int row) {
        for (int y = row * rows; y < (row + 1) * rows && y < image.height(); ++y) {
            for (int x = 0; x < CQuilletView::NumberStripWidth; ++x) {
                if (image.pixelColor(x, y) != background) return true;
            }
        }
        return false;
    };
    QVERIFY(rowHasInk(0));
    QVERIFY(rowHasInk(2));
    for (int row = 3; row < image.height() / rows; ++row)
        QVERIFY2(!rowHasInk(row), qPrintable(QStringLiteral("row %1 has a number").arg(row)));
}

void TestQuilletView::wheelScrollsThreeLinesPerNotch() {
    ScriptWindow window(NumberedLines(100));
    CQuilletView& view = *window.view;
    const QPoint centre = view.viewport()->rect().center();
    const auto wheel = [&](int delta) {
        QWheelEvent event(centre, view.viewport()->mapToGlobal(centre), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(view.FirstVisibleLine(), 3);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    wheel(120);
    QCOMPARE(view.FirstVisibleLine(), 0);
    wheel(-60); // half a notch from a fine-grained wheel
    QCOMPARE(view.FirstVisibleLine(), 0);
    wheel(-60);
    QCOMPARE(view.FirstVisibleLine(), 3);
}

void TestQuilletView::contextMenuInsertsCode() {
    ScriptWindow window("first\nsecond");
    const QPoint onSecond = PointAt(*window.view, {1, 0});
    QTest::mouseClick(window.view->viewport(), Qt::RightButton, Qt::NoModifier, onSecond);
    QMenu* menu = OpenPopup();
    QVERIFY(menu);
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    QCOMPARE(texts, (QStringList{"Cu&t", "&Copy", "&Paste", "", "&Insert Code"}));
    QVERIFY(!FindAction(menu, "Cu&t")->isEnabled()); // nothing selected

    QMenu* insert = FindAction(menu, "&Insert Code")->menu();
    QStringList codeTexts;
    for (QAction* action : insert->actions())
        codeTexts << action->text();
    QCOMPARE(codeTexts,
             (QStringList{"&Axis Info Block", "&Gumps / Dialogs", "Header &Char", "Header &Item"}));
    QMenu* gumps = FindAction(insert, "&Gumps / Dialogs")->menu();
    QCOMPARE(gumps->actions().size(), 16);
    QCOMPARE(gumps->actions().at(1)->isSeparator(), true);

    FindAction(gumps, "Nomove")->trigger();
    menu->close();
    QCOMPARE(window.document.Buffer().Line(1), std::string_view("nomove"));
    QCOMPARE(window.document.Buffer().Line(2), std::string_view("second"));
}

QTEST_MAIN(TestQuilletView)
#include "tst_QuilletView.moc"
