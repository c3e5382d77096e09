// Mouse selection, scrolling while selecting, the start of a drag of the selection and
// focus changes during a selection in the text view, driven by real mouse events. What a
// drag carries and does is checked with the edit view.
#include "ViewTestSupport.h"

#include <QDrag>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

namespace {

QPoint MarginPoint(CTextView& view, int row) {
    return {10, row * view.LineHeight() + view.LineHeight() / 2};
}

// Runs mouse strokes such as "press 0:1,move m2,Shift+click 3:2>,release 1:3" and returns the
// last point. A target is the left part of a cell (line:ch), its right half (line:ch>) or the
// margin of a row (mN); "rclick" clicks the right button.
QPoint Mouse(CTextView& view, const QString& strokes) {
    QWidget* vp = view.viewport();
    QPoint point;
    for (const QString& stroke : strokes.split(u',')) {
        const QStringList parts = stroke.split(u' ');
        QStringList action = parts[0].split(u'+');
        const QString name = action.takeLast();
        Qt::KeyboardModifiers modifiers;
        for (const QString& part : action)
            modifiers |= part == u"Shift" ? Qt::ShiftModifier : Qt::ControlModifier;
        const QStringList cell = QString(parts[1]).remove(u'>').split(u':');
        point = parts[1].startsWith(u'm')
                    ? MarginPoint(view, parts[1].mid(1).toInt())
                    : PointAt(view, {cell[0].toInt(), cell[1].toInt()}) +
                          QPoint(parts[1].endsWith(u'>') ? view.CharWidth() - 2 : 0, 0);
        if (name == u"press")
            QTest::mousePress(vp, Qt::LeftButton, modifiers, point);
        else if (name == u"move")
            QTest::mouseMove(vp, point);
        else if (name == u"release")
            QTest::mouseRelease(vp, Qt::LeftButton, modifiers, point);
        else if (name == u"dclick")
            QTest::mouseDClick(vp, Qt::LeftButton, modifiers, point);
        else
            QTest::mouseClick(vp, name == u"rclick" ? Qt::RightButton : Qt::LeftButton, modifiers,
                              point);
    }
    return point;
}

} // namespace

class TestTextViewMouse : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_shown.reset(); }

    void strokes_data();
    void strokes();
    void clickSetsTheRememberedColumn();
    void autoScrollWhileSelecting_data();
    void autoScrollWhileSelecting();
    void focusOut_data();
    void focusOut();

private:
    std::unique_ptr<Shown<CDragOutcome<CTextView>>> m_shown;
    CTextBuffer* m_buffer = nullptr;
    CDragOutcome<CTextView>* m_view = nullptr;
};

void TestTextViewMouse::init() {
    m_shown = std::make_unique<Shown<CDragOutcome<CTextView>>>(
        "alpha beta_2 gamma\n\tdelta\n\nlast line");
    m_buffer = &m_shown->buffer;
    m_view = &m_shown->view;
    QVERIFY(m_shown->shown);
}

void TestTextViewMouse::strokes_data() {
    QTest::addColumn<QString>("strokes");
    QTest::addColumn<TextPosition>("caret");          // line -1: not checked
    QTest::addColumn<TextPosition>("selectionStart"); // line -1: no selection
    QTest::addColumn<TextPosition>("selectionEnd");
    QTest::addColumn<bool>("selecting");      // whether the mouse selection is still going on
    QTest::addColumn<TextPosition>("anchor"); // line -1: not checked

    using P = TextPosition;
    auto row = [](const char* name, const QByteArray& strokes, P caret, P from, P to,
                  bool selecting = false, P anchor = {-1, 0}) {
        QTest::newRow(name) << QString::fromLatin1(strokes) << caret << from << to << selecting
                            << anchor;
    };
    const P none{-1, 0};
    const char* dclick = "click 1:3,press 1:3,dclick 1:3"; // as real double clicks arrive
    const QByteArray selected = "click 0:2,Shift+click 0:12,press 0:7";
    const QByteArray rselected = "click 0:0,Shift+click 0:5,rclick ";
    row("click on the left part of a cell lands on it", "click 0:2", {0, 2}, none, none);
    row("click on the right half rounds up", "click 0:2>", {0, 3}, none, none);
    row("drag selects by character", "press 0:1,move 1:3,release 1:3", {1, 3}, {0, 1}, {1, 3},
        false, {0, 1});
    row("drag backwards", "press 3:4,move 3:1,release 3:1", {3, 1}, {3, 1}, {3, 4});
    row("shift click extends from the anchor", "click 0:6,Shift+click 3:2", none, {0, 6}, {3, 2});
    row("shift click before the anchor", "click 0:6,Shift+click 3:2,Shift+click 0:2", none, {0, 2},
        {0, 6});
    row("ctrl press selects a word with its underscore and digit", "Ctrl+press 0:8", none, {0, 6},
        {0, 12}, true);
    row("ctrl drag extends by words", "Ctrl+press 0:8,move 0:15", none, {0, 6}, {0, 18}, true);
    row("ctrl drag back keeps the anchor's word",
        "Ctrl+press 0:8,move 0:15,move 0:2,Ctrl+release 0:2", none, {0, 0}, {0, 12});
    row("double click selects the word", dclick, {1, 6}, {1, 1}, {1, 6}, true);
    row("double click drag extends by words", QByteArray(dclick).append(",move 0:14,release 0:14"),
        none, {0, 13}, {1, 6});
    row("double click on a tab after a word selects nothing",
        QByteArray(dclick).append(",move 0:14,release 0:14,dclick 1:0,release 1:0"), none, none,
        none);
    row("margin click selects the line", "click m1", {2, 0}, {1, 0}, {2, 0});
    row("margin drag extends by lines", "press m1,move m2", none, {1, 0}, {3, 0}, true);
    row("margin drag onto the last line ends at its end", "press m1,move m2,move m3,release m3",
        {3, 9}, {1, 0}, {3, 9});
    row("margin drag upwards keeps the starting line", "press m2,move m0,release m0", none, {0, 0},
        {3, 0});
    row("leaving the margin selects by character", "press m0,move 1:3,release 1:3", none, {0, 0},
        {1, 3});
    row("ctrl click in the margin selects all", "Ctrl+click m2", none, {0, 0}, {3, 9});
    row("press inside the selection keeps it", selected, none, {0, 2}, {0, 12});
    row("a shaky click inside the selection only moves the caret",
        selected + ",move 0:7>,release 0:7", {0, 7}, none, none, false, {0, 2});
    row("a move of the drag distance drags and keeps the selection",
        selected + ",move 0:9,release 0:9", {0, 12}, {0, 2}, {0, 12});
    row("right click inside the selection keeps it", rselected + "0:2", none, {0, 0}, {0, 5});
    row("right click outside the selection moves the caret", rselected + "1:2", {1, 2}, none, none,
        false, {1, 2});
}

void TestTextViewMouse::strokes() {
    QFETCH(QString, strokes);
    QFETCH(TextPosition, caret);
    QFETCH(TextPosition, selectionStart);
    QFETCH(TextPosition, selectionEnd);
    QFETCH(bool, selecting);
    QFETCH(TextPosition, anchor);
    const QPoint last = Mouse(*m_view, strokes);
    QCOMPARE(m_view->IsMouseSelecting(), selecting);
    if (caret.line >= 0) QCOMPARE(m_view->CaretPosition(), caret);
    if (anchor.line >= 0) QCOMPARE(m_view->Anchor(), anchor);
    QCOMPARE(m_view->HasSelection(), selectionStart.line >= 0);
    if (selectionStart.line >= 0) {
        QCOMPARE(SelectionStartOf(*m_view), selectionStart);
        QCOMPARE(SelectionEndOf(*m_view), selectionEnd);
    }
    if (selecting) QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, last);
}

void TestTextViewMouse::clickSetsTheRememberedColumn() {
    PressKeys(m_view, "End");
    Mouse(*m_view, "click 0:3");
    PressKeys(m_view, "Down,Down,Down");
    QCOMPARE(m_view->CaretPosition(), (TextPosition{3, 3}));
}

void TestTextViewMouse::autoScrollWhileSelecting_data() {
    QTest::addColumn<int>("linesAbove"); // where the mouse goes, in line heights above the view
    QTest::addColumn<int>("step");       // lines scrolled per tick
    QTest::newRow("far above scrolls three lines a tick") << 2 << -3;
    QTest::newRow("just above scrolls one line a tick") << 0 << -1;
    QTest::newRow("far below scrolls three lines a tick") << -3 << 3;
}

void TestTextViewMouse::autoScrollWhileSelecting() {
    QFETCH(int, linesAbove);
    QFETCH(int, step);
    SetBufferText(*m_buffer, NumberedLines(300));
    m_view->ScrollToLine(100, true);
    QWidget* vp = m_view->viewport();
    const int lineHeight = m_view->LineHeight();
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {102, 2}));
    const TextPosition anchor = m_view->Anchor();
    const int y = linesAbove >= 0 ? -linesAbove * lineHeight - lineHeight / 2
                                  : vp->height() - (linesAbove + 1) * lineHeight;
    // The selection runs from the anchor to the caret, which follows the mouse.
    const auto selectsToTheMouse = [&] {
        const TextPosition caret = m_view->CaretPosition();
        return (step < 0 ? caret.line < 100 : caret.line > 100 + m_view->ScreenLines()) &&
               SelectionStartOf(*m_view) == std::min(anchor, caret) &&
               SelectionEndOf(*m_view) == std::max(anchor, caret);
    };
    QTest::mouseMove(vp, QPoint(80, y));
    QTRY_VERIFY(m_view->FirstVisibleLine() != 100);
    QVERIFY(m_view->IsMouseSelecting());
    QVERIFY(selectsToTheMouse());
    const int scrolled = m_view->FirstVisibleLine() - 100;
    QCOMPARE(scrolled % step, 0);
    QVERIFY(scrolled / step >= 1);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(80, y));
    QVERIFY(selectsToTheMouse());
    const int first = m_view->FirstVisibleLine();
    QTest::qWait(250);
    QCOMPARE(m_view->FirstVisibleLine(), first); // the timer ended with the selection
}

void TestTextViewMouse::focusOut_data() {
    QTest::addColumn<bool>("menu");
    QTest::newRow("a menu opening keeps caret, selection and mouse selection") << true;
    QTest::newRow("another window taking the focus hides them and ends the mouse selection")
        << false;
}

void TestTextViewMouse::focusOut() {
    QFETCH(bool, menu);
    const QPoint last = Mouse(*m_view, "press 0:1,move 1:3");
    QMenu popup;
    popup.addAction(QStringLiteral("Copy"));
    QLineEdit other;
    if (menu) {
        popup.popup(m_view->mapToGlobal(last));
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
    } else {
        other.show();
        other.activateWindow();
        other.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&other));
    }
    QCOMPARE(m_view->IsMouseSelecting(), menu);
    QCOMPARE(m_view->IsCaretShown(), menu);
    QCOMPARE(CellColour(*m_view, Snapshot(*m_view), 0, 2) == QColor(Qt::black), menu);
    popup.close();
    Mouse(*m_view, "release 1:3");
}

QTEST_MAIN(TestTextViewMouse)
#include "tst_TextViewMouse.moc"
