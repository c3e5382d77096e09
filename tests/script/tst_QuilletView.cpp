// The script view: status pane, Goto, code templates and their undo steps, the number
// strip, the wheel, and the context menu.
#include "ScriptTestSupport.h"

#include "../view/ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
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

    // Selects from `from` to `to`, with the caret at `to`.
    void Select(TextPosition from, TextPosition to) {
        view->SetSelection(from, to);
        view->SetCaretPosition(to);
    }
    std::string Text() { return AllText(document.Buffer()); }
};

// Glyph edges are smoothed: a pixel counts when it is close to the colour.
bool IsNear(const QColor& pixel, const QColor& colour) {
    return std::abs(pixel.red() - colour.red()) < 48 &&
           std::abs(pixel.green() - colour.green()) < 48 &&
           std::abs(pixel.blue() - colour.blue()) < 48;
}

QStringList Texts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

QAction* FindAction(QMenu* menu, const QString& text) {
    return menu->actions().value(Texts(menu).indexOf(text));
}

} // namespace

class TestQuilletView : public QObject {
    Q_OBJECT

private slots:
    void init() { ClearScriptSettings(); }

    void statusPane() {
        ScriptWindow window(NumberedLines(20));
        window.Select({10, 4}, {10, 4});
        QCOMPARE(window.view->QueryCommand(ID_INDICATOR_CARET).Text(),
                 QStringLiteral("Ln 11, Col 5"));
        window.Select({10, 4}, {11, 2}); // a selection names the column before the line
        QCOMPARE(window.view->QueryCommand(ID_INDICATOR_CARET).Text(),
                 QStringLiteral("Sel: 5,11-3,12"));
    }

    void gotoTarget_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("caretLine");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("target");
        QTest::newRow("5 from the beginning of 3 lines is the last") << 5 << 0 << 0 << 3 << 2;
        QTest::newRow("0 from the beginning is the first line") << 0 << 0 << 1 << 3 << 0;
        QTest::newRow("2 from line 10 is line 12") << 2 << 1 << 10 << 40 << 12;
        QTest::newRow("from the current line stops at the end") << 99 << 1 << 10 << 40 << 39;
        QTest::newRow("0 back from the end is the last line") << 0 << 2 << 0 << 40 << 39;
        QTest::newRow("back from the end stops at the first") << 999999999 << 2 << 5 << 40 << 0;
        QTest::newRow("huge number from a late line does not overflow")
            << 999999999 << 1 << 2000000000 << 2100000000 << 2099999999;
    }
    void gotoTarget() {
        QFETCH(int, n);
        QFETCH(int, origin);
        QFETCH(int, caretLine);
        QFETCH(int, lineCount);
        QFETCH(int, target);
        QCOMPARE(GotoTargetLine(n, origin, caretLine, lineCount), target);
    }

    void gotoFromEachOrigin_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("origin");
        QTest::addColumn<int>("target");
        QTest::newRow("line 30 from the beginning") << "30" << int(GotoFromBeginning) << 29;
        QTest::newRow("5 down from line 10") << "5" << int(GotoFromCurrent) << 15;
        QTest::newRow("empty back from the end") << "" << int(GotoFromEnd) << 99;
    }
    void gotoFromEachOrigin() {
        QFETCH(QString, number);
        QFETCH(int, origin);
        QFETCH(int, target);
        ScriptWindow window(NumberedLines(100));
        window.Select({10, 3}, {10, 5});
        const DialogHandler old = SetDialogHandler([&](QDialog& dialog) {
            auto& goTo = static_cast<CGotoDialog&>(dialog);
            goTo.LineField()->setText(number);
            QTest::mouseClick(goTo.OriginButton(origin), Qt::LeftButton);
            return int(QDialog::Accepted);
        });
        const bool ran = window.view->ExecuteCommand(ID_EDIT_GOTO);
        SetDialogHandler(old);
        QVERIFY(ran);
        QCOMPARE(window.view->CaretPosition(), (TextPosition{target, 0}));
        QCOMPARE(window.view->FirstVisibleLine(), target);
        // A jump drops the old selection: typing goes to the new line and nowhere else.
        const std::string before = window.Text();
        QTest::keyClick(window.view.get(), Qt::Key_X);
        CTextBuffer& buffer = window.document.Buffer();
        QCOMPARE(buffer.Line(target), "xline " + std::to_string(target));
        QCOMPARE(window.Text().size(), before.size() + 1);
    }

    void gotoFieldTakesDigitsOnly() {
        CGotoDialog dialog;
        QTest::keyClicks(dialog.LineField(), QStringLiteral("1a2-3 4567890123"));
        QCOMPARE(dialog.LineField()->text(), QStringLiteral("123456789"));
        QCOMPARE(dialog.Origin(), int(GotoFromBeginning));
    }

    void templateAtTheCaret() {
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
        QCOMPARE(window.Text(), std::string("before\r\nafter"));
        QVERIFY(!buffer.HasUndo());
    }

    void templateOverASelection() {
        ScriptWindow window("keep OLD keep");
        window.Select({0, 5}, {0, 8});
        QVERIFY(window.view->ExecuteCommand(ID_INSERT_NODISPOSE + 0));
        QCOMPARE(window.Text(), std::string("keep nodispose\r\n keep"));
        QCOMPARE(SelectionStartOf(*window.view), (TextPosition{0, 5}));
        QCOMPARE(SelectionEndOf(*window.view), (TextPosition{1, 0}));

        CTextBuffer& buffer = window.document.Buffer();
        QCOMPARE(buffer.UndoLabel(), std::string("Replace"));
        TextPosition at;
        QVERIFY(buffer.UndoGroup(at));
        QCOMPARE(window.Text(), std::string("keep  keep"));
        QCOMPARE(buffer.UndoLabel(), std::string("Delete Selection"));
        QVERIFY(buffer.UndoGroup(at));
        QCOMPARE(window.Text(), std::string("keep OLD keep"));
    }

    // A few templates against their texts as written, one from each menu.
    void templatesInsertTheirText_data() {
        QTest::addColumn<unsigned>("id");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Axis Info Block")
            << unsigned(ID_INSERT_AXIS_INFO)
            << QByteArray("CATEGORY=[category_of_item]\r\nSUBSECTION=[subsection_of_item]\r\n"
                          "DESCRIPTION=[description_of_item]\r\n");
        QTest::newRow("Gump Header")
            << unsigned(ID_INSERT_GUMP_HEADER)
            << QByteArray("[DIALOG d_newdialog]\r\n0,0\r\npage 0\r\n\r\n[DIALOG d_newdialog "
                          "text]\r\n[--Insert text lines here--]\r\n\r\n[DIALOG d_newdialog "
                          "button]\r\nON=0\r\n //do something for cancel button (right mouse "
                          "click)\r\nON=1\r\n //do something for button id=1\r\n");
        QTest::newRow("Group keeps its odd spelling")
            << unsigned(ID_INSERT_NODISPOSE - 3) << QByteArray("group [?group_numer?]\r\n");
    }
    void templatesInsertTheirText() {
        QFETCH(unsigned, id);
        QFETCH(QByteArray, text);
        ScriptWindow window("");
        QVERIFY(window.view->ExecuteCommand(id));
        QCOMPARE(QByteArray::fromStdString(window.Text()), text);
    }

    void numberStripColours_data() {
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("expectedBackground");
        QTest::addColumn<QColor>("expectedText");
        QTest::newRow("both missing: white on dark blue")
            << QString() << QString() << QColor(1, 0, 128) << QColor(Qt::white);
        QTest::newRow("colours are 0x00BBGGRR")
            << QString::number(0x00204060) << QString::number(0x0000FFFF)
            << QColor(0x60, 0x40, 0x20) << QColor(255, 255, 0);
        QTest::newRow("only text given: black background")
            << QString() << QString::number(0x00FFFFFF) << QColor(Qt::black) << QColor(Qt::white);
    }
    void numberStripColours() {
        QFETCH(QString, background);
        QFETCH(QString, text);
        QFETCH(QColor, expectedBackground);
        QFETCH(QColor, expectedText);
        SettingsStore().SetValue("Quillet", "crLBackground", background.toStdString(), true);
        SettingsStore().SetValue("Quillet", "crLTextColor", text.toStdString(), true);
        ScriptWindow window(NumberedLines(30));
        const QImage image = Snapshot(*window.view);
        const int strip = window.view->NumberStripWidth();
        QCOMPARE(image.pixelColor(1, 1), expectedBackground);
        QCOMPARE(image.pixelColor(strip - 1, 40), expectedBackground);
        // The text view's own margin shows to the right of the strip.
        QVERIFY(image.pixelColor(strip + 2, 1) != expectedBackground);
        int inked = 0;
        for (int y = 0; y < window.view->NumberRowHeight(); ++y) {
            for (int x = 0; x < strip; ++x)
                inked += IsNear(image.pixelColor(x, y), expectedText);
        }
        QVERIFY2(inked > 5, "the number 1 is drawn in the text colour");
    }

    // The strip widens to every digit of the last line's number, the text moving right with
    // it, and shows numbers down to the last line only.
    void numberStripFitsTheLines_data() {
        QTest::addColumn<int>("lines");
        QTest::newRow("3 lines in a tall window") << 3;
        QTest::newRow("30 lines keep the narrow strip") << 30;
        QTest::newRow("387,175 lines") << 387175;
    }
    void numberStripFitsTheLines() {
        QFETCH(int, lines);
        ScriptWindow window(NumberedLines(lines), {500, 400});
        CQuilletView& view = *window.view;
        const int first = std::max(0, lines - view.ScreenLines());
        view.ScrollToLine(first, true);
        const QImage image = Snapshot(view);
        const int rowHeight = view.NumberRowHeight();
        QRect lastNumber;
        for (int row = 0; row * rowHeight < image.height(); ++row) {
            QRect ink;
            for (int y = row * rowHeight; y < std::min((row + 1) * rowHeight, image.height()); ++y)
                for (int x = 0; x < view.NumberStripWidth(); ++x)
                    if (!IsNear(image.pixelColor(x, y), view.NumberBackground()))
                        ink |= QRect(x, y, 1, 1);
            QCOMPARE(!ink.isEmpty(), first + row < lines);
            if (first + row == lines - 1) lastNumber = ink;
        }
        QFont numberFont(QStringLiteral("Arial"));
        numberFont.setPixelSize(14);
        const int digit = QFontMetrics(numberFont).horizontalAdvance(u'0');
        const int digits = int(QString::number(lines).size());
        QVERIFY2(lastNumber.left() >= CQuilletView::BookmarkColumnWidth, "clear of the marks");
        QVERIFY2(lastNumber.width() > (digits - 1) * digit + digit / 2, "no digit is cut off");
        QCOMPARE(view.NumberStripWidth() == CQuilletView::MinimumNumberStripWidth, lines < 1000);
        QCOMPARE(view.MarginWidth(), view.NumberStripWidth() + 7);
        QCOMPARE(view.TextToClient({lines - 1, 0}).x(), view.MarginWidth());
    }

    // Plain bookmarks show a dot, numbered ones their digit in a box; clearing one clears
    // its mark.
    void bookmarksShowInTheStrip() {
        ScriptWindow window(NumberedLines(5));
        CQuilletView& view = *window.view;
        const auto marked = [&](int line) {
            const QImage image = Snapshot(view);
            int count = 0;
            for (int y = line * view.NumberRowHeight(); y < (line + 1) * view.NumberRowHeight();
                 ++y)
                for (int x = 0; x < CQuilletView::BookmarkColumnWidth; ++x)
                    count += IsNear(image.pixelColor(x, y), view.BookmarkColour());
            return count;
        };
        window.Select({1, 0}, {1, 0});
        view.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK);
        window.Select({2, 0}, {2, 0});
        view.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 3);
        QCOMPARE(marked(0), 0);
        QVERIFY(marked(1) > 10);
        QVERIFY2(marked(2) > marked(1), "a numbered mark is a box, larger than a dot");
        window.Select({1, 0}, {1, 0});
        view.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK);
        QCOMPARE(marked(1), 0);
    }

    // A notch scrolls three lines; a sideways wheel, a tilt or Shift scrolls six columns,
    // never past the longest line's end. The caret stays where it is.
    void wheelScrolls_data() {
        QTest::addColumn<QList<QPoint>>("deltas");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column"); // -1: as far right as the longest line allows
        QTest::newRow("a notch down") << QList<QPoint>{{0, -120}} << false << 3 << 0;
        QTest::newRow("down and up again") << QList<QPoint>{{0, -120}, {0, 120}} << false << 0 << 0;
        QTest::newRow("two half notches make one")
            << QList<QPoint>{{0, -60}, {0, -60}} << false << 3 << 0;
        QTest::newRow("tilt right") << QList<QPoint>{{-120, 0}} << false << 0 << 6;
        QTest::newRow("tilt left stops at the first column")
            << QList<QPoint>{{-120, 0}, {240, 0}} << false << 0 << 0;
        QTest::newRow("shift turns the wheel sideways")
            << QList<QPoint>{{0, -120}} << true << 0 << 6;
        QTest::newRow("sideways stops at the longest line")
            << QList<QPoint>{{-120 * 100, 0}} << false << 0 << -1;
    }
    void wheelScrolls() {
        QFETCH(QList<QPoint>, deltas);
        QFETCH(bool, shift);
        QFETCH(int, line);
        QFETCH(int, column);
        ScriptWindow window(NumberedLines(100) + "\n" + std::string(200, 'w'));
        CQuilletView& view = *window.view;
        const QPoint centre = view.viewport()->rect().center();
        for (const QPoint& delta : deltas) {
            QWheelEvent event(centre, view.viewport()->mapToGlobal(centre), QPoint(), delta,
                              Qt::NoButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(view.viewport(), &event);
        }
        QCOMPARE(view.FirstVisibleLine(), line);
        QCOMPARE(view.FirstVisibleColumn(), column < 0 ? 200 - view.ScreenChars() : column);
        QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    }

    // The Menu key and Shift+F10 open the context menu below the caret.
    void contextMenuFromTheKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void contextMenuFromTheKeyboard() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ScriptWindow window("first\nsecond");
        window.Select({1, 3}, {1, 3});
        QTest::keyClick(window.view.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QPoint caret = window.view->viewport()->mapToGlobal(
            window.view->TextToClient({1, 3}) + QPoint(0, window.view->LineHeight()));
        QCOMPARE(menu->pos(), caret);
        menu->close();
    }

    void contextMenuInsertsCode() {
        ScriptWindow window("first\nsecond");
        QTest::mouseClick(window.view->viewport(), Qt::RightButton, Qt::NoModifier,
                          PointAt(*window.view, {1, 0}));
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(Texts(menu), (QStringList{"Cu&t", "&Copy", "&Paste", "", "&Insert Code", "",
                                           "Go to &Definition", "Find All &References"}));
        QVERIFY(!FindAction(menu, "Cu&t")->isEnabled()); // nothing selected
        QMenu* insert = FindAction(menu, "&Insert Code")->menu();
        QCOMPARE(Texts(insert), (QStringList{"&Axis Info Block", "&Gumps / Dialogs", "Header &Char",
                                             "Header &Item"}));
        QMenu* gumps = FindAction(insert, "&Gumps / Dialogs")->menu();
        QCOMPARE(gumps->actions().size(), 16);
        QVERIFY(gumps->actions().at(1)->isSeparator());

        FindAction(gumps, "Nomove")->trigger();
        menu->close();
        QCOMPARE(window.document.Buffer().Line(1), std::string_view("nomove"));
        QCOMPARE(window.document.Buffer().Line(2), std::string_view("second"));
    }
};

QTEST_MAIN(TestQuilletView)
#include "tst_QuilletView.moc"
