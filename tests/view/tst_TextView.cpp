// The text view's layout, caches, drawing, scrolling and change handling, driven through a
// real widget on the offscreen platform.
#include "ViewTestSupport.h"

#include "framework/CommandIds.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QWheelEvent>
#include <QSplitter>
#include <QtTest>

namespace {

// A view whose colouring hook logs its calls and colours from a fixed list of spans.
class CHookView : public CTextView {
public:
    struct Call {
        int line;
        bool withSpans;
    };
    std::vector<Call> calls;
    std::vector<ColourSpan> spans; // handed out for every line
    int reportedCount = -1;        // when >= 0, the count reported instead of spans.size()
    ::LineCookie result = 7;

    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* out,
                                    int& count) override {
        calls.push_back({line, out != nullptr});
        if (out) {
            const int room = 3 * LineLength(line);
            for (const ColourSpan& span : spans) {
                if (count < room)
                    out[count++] = span;
            }
            if (reportedCount >= 0)
                count = reportedCount;
        }
        return result == CookieNotComputed ? result : cookie + 1;
    }
};

QColor Base(CTextView& view) { return view.palette().color(QPalette::Base); }

} // namespace

class TestTextView : public QObject {
    Q_OBJECT

private slots:
    void visualLineLength_data();
    void visualLineLength();
    void clientToText_data();
    void clientToText();

    void cookiesRecomputeFromTheChangedLine();
    void cookieOfAllBitsSetIsComputedAgain();
    void insertedLinesKeepCookiesAbove();
    void widestLineFollowsChanges();

    void emptyBufferPaintsEmptyArea();
    void selectionCellsAtLineEnds();
    void selectionHiddenWithoutFocus();
    void hookColoursSegments();
    void hostileSpansAreHeldToTheLine();
    void unprintableBytesDrawOnePlaceholderEach();
    void everyByteValueStaysInItsCells();
    void longLineDrawsOnlyWhatFits();

    void scrollBarActions_data();
    void scrollBarActions();
    void wheelAndThumbScroll();
    void fullUpdateScrollsBackWhenTextFits();
    void changeMovesCaretSelectionAndTopLine();
    void resetNotificationResetsView();
    void viewsOfOneBufferKeepTheirOwnState();
    void splitterPanesScrollTogether();

    void viewWithoutBuffer();
    void missingFontFallsBackToUniformCells();
    void defaultSizeIgnoresTheWidgetFont();
    void threeMillionLines();
};

void TestTextView::visualLineLength_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("length");
    QTest::newRow("empty line") << QByteArray("") << 0;
    QTest::newRow("one tab at column 0 is 4 wide") << QByteArray("\t") << 4;
    QTest::newRow("two letters and a tab are 4 wide") << QByteArray("ab\t") << 4;
    QTest::newRow("tab at column 3 expands to one space") << QByteArray("abc\t") << 4;
    QTest::newRow("tab at column 4 expands to four spaces") << QByteArray("abcd\t") << 8;
    QTest::newRow("high bytes take one cell each") << QByteArray("\xe9\x80\x81") << 3;
}

void TestTextView::visualLineLength() {
    QFETCH(QByteArray, line);
    QFETCH(int, length);
    CTextBuffer buffer;
    SetBufferText(buffer, line.toStdString());
    CTextView view;
    view.AttachToBuffer(&buffer);
    QCOMPARE(view.VisualLineLength(0), length);
    QCOMPARE(view.VisualColumn(0, line.size()), length);
    QCOMPARE(view.WidestLineLength(), length);
}

void TestTextView::clientToText_data() {
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<QPoint>("cell"); // (visual column, row); column -1 is in the margin
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("ch");
    QTest::newRow("margin gives character 0") << 0 << QPoint(-1, 1) << 1 << 0;
    QTest::newRow("inside the first cell") << 0 << QPoint(0, 0) << 0 << 0;
    QTest::newRow("inside a tab gives the tab") << 0 << QPoint(2, 1) << 1 << 0;
    QTest::newRow("after the tab") << 0 << QPoint(4, 1) << 1 << 1;
    QTest::newRow("right of the line end gives its length") << 0 << QPoint(40, 0) << 0 << 5;
    QTest::newRow("below the last line gives the last line") << 0 << QPoint(1, 30) << 3 << 1;
    QTest::newRow("empty line gives character 0") << 0 << QPoint(3, 2) << 2 << 0;
    QTest::newRow("scrolled right") << 2 << QPoint(1, 0) << 0 << 3;
}

void TestTextView::clientToText() {
    QFETCH(int, firstColumn);
    QFETCH(QPoint, cell);
    QFETCH(int, line);
    QFETCH(int, ch);
    CTextBuffer buffer;
    SetBufferText(buffer, "hello\n\tx\n\nab");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.ScrollToColumn(firstColumn, true);
    const QPoint point(CTextView::Margin + cell.x() * view.CharWidth() + 1,
                       cell.y() * view.LineHeight() + 1);
    QCOMPARE(view.ClientToText(point), (TextPosition{line, ch}));
}

void TestTextView::cookiesRecomputeFromTheChangedLine() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(1000));
    CHookView view;
    view.AttachToBuffer(&buffer);
    QCOMPARE(view.LineCookie(999), ::LineCookie(1000));
    QCOMPARE(int(view.calls.size()), 1000);

    TextPosition end;
    QVERIFY(buffer.RawInsert(nullptr, {10, 0}, "x", end));
    view.calls.clear();
    QCOMPARE(view.LineCookie(19), ::LineCookie(20));
    QCOMPARE(int(view.calls.size()), 10);
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(view.calls[std::size_t(i)].line, 10 + i);
        QVERIFY(!view.calls[std::size_t(i)].withSpans);
    }
    view.calls.clear();
    QCOMPARE(view.LineCookie(9), ::LineCookie(10));
    QVERIFY(view.calls.empty());
    QCOMPARE(view.LineCookie(-1), ::LineCookie(0));
}

void TestTextView::cookieOfAllBitsSetIsComputedAgain() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(5));
    CHookView view;
    view.result = CookieNotComputed;
    view.AttachToBuffer(&buffer);
    QCOMPARE(view.LineCookie(2), CookieNotComputed);
    view.calls.clear();
    QCOMPARE(view.LineCookie(2), CookieNotComputed);
    QCOMPARE(int(view.calls.size()), 3);
}

void TestTextView::insertedLinesKeepCookiesAbove() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(20));
    CHookView view;
    view.AttachToBuffer(&buffer);
    view.LineCookie(19);
    TextPosition end;
    QVERIFY(buffer.RawInsert(nullptr, {5, 2}, "\r\n\r\n", end));
    view.calls.clear();
    QCOMPARE(view.LineCookie(4), ::LineCookie(5));
    QVERIFY(view.calls.empty());
    QCOMPARE(view.LineCookie(21), ::LineCookie(22));
    QCOMPARE(int(view.calls.size()), 17);
    QCOMPARE(view.calls.front().line, 5);
    QVERIFY(buffer.DeleteRange(nullptr, {5, 2}, {7, 0}, 0));
    view.calls.clear();
    QCOMPARE(view.LineCookie(19), ::LineCookie(20));
    QCOMPARE(int(view.calls.size()), 15);
}

void TestTextView::widestLineFollowsChanges() {
    CTextBuffer buffer;
    SetBufferText(buffer, "ab\nabcdefghij\nabc");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {300, 200}));
    QCOMPARE(view.WidestLineLength(), 10);
    QVERIFY(buffer.DeleteRange(nullptr, {1, 3}, {1, 10}, 0));
    QCOMPARE(view.WidestLineLength(), 3);
    TextPosition end;
    const std::string wide(500, 'w');
    QVERIFY(buffer.RawInsert(nullptr, {2, 0}, wide + "\r\n", end));
    QCOMPARE(view.WidestLineLength(), 500);
    QCOMPARE(view.VisualLineLength(3), 3);
    // Windows maximum m with page p is Qt's 0..m-p+1.
    QCOMPARE(view.horizontalScrollBar()->maximum(), 500 - 1 - view.ScreenChars() + 1);
    QCOMPARE(view.verticalScrollBar()->isEnabled(), false);
}

void TestTextView::emptyBufferPaintsEmptyArea() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.clearFocus();
    const QImage image = Snapshot(view);
    const QColor base = Base(view);
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3)
            QCOMPARE(image.pixelColor(x, y), base);
    }
}

void TestTextView::selectionCellsAtLineEnds() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc\n\nxyz");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.SetSelection({0, 1}, {2, 0});
    const QImage image = Snapshot(view);
    const QColor black(0, 0, 0);
    QCOMPARE(CellColour(view, image, 0, 0), Base(view));
    QCOMPARE(CellColour(view, image, 0, 1), black);
    QCOMPARE(CellColour(view, image, 0, 3), black); // the selected line break
    QCOMPARE(CellColour(view, image, 0, 4), Base(view));
    QCOMPARE(CellColour(view, image, 1, 0), black); // the empty line inside the selection
    QCOMPARE(CellColour(view, image, 1, 1), Base(view));
    QCOMPARE(CellColour(view, image, 2, 0), Base(view)); // the end is not selected
}

void TestTextView::selectionHiddenWithoutFocus() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.SetSelection({0, 0}, {0, 3});
    QCOMPARE(CellColour(view, Snapshot(view), 0, 1), QColor(0, 0, 0));
    view.clearFocus();
    QCOMPARE(CellColour(view, Snapshot(view), 0, 1), Base(view));
    view.SetShowSelectionUnfocused(true);
    QCOMPARE(CellColour(view, Snapshot(view), 0, 1), QColor(0, 0, 0));
}

void TestTextView::hookColoursSegments() {
    CTextBuffer buffer;
    SetBufferText(buffer, "MMMMMMMMMM");
    CHookView view;
    view.spans = {{0, ColourComment}, {3, ColourNormalText}, {6, 42}};
    QVERIFY(ShowFocusedView(view, buffer));
    view.clearFocus();
    const QImage image = Snapshot(view);
    auto inkColour = [&](int column) {
        const int left = CTextView::Margin + column * view.CharWidth();
        for (int y = 0; y < view.LineHeight(); ++y) {
            for (int x = left; x < left + view.CharWidth(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c != Base(view))
                    return c;
            }
        }
        return Base(view);
    };
    auto dominant = [](QColor c) { return c.green() > c.red() ? 'g' : c.red() > c.green() ? 'r' : 'k'; };
    QCOMPARE(dominant(inkColour(1)), 'g');
    QCOMPARE(dominant(inkColour(4)), 'k');
    QCOMPARE(dominant(inkColour(8)), 'r'); // indices above 9 draw in red
}

void TestTextView::hostileSpansAreHeldToTheLine() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abcdef\nxy");
    CHookView view;
    view.spans = {{4, ColourComment}, {-50, ColourFlowKeyword}, {1000, ColourTriggerMark}};
    QVERIFY(ShowFocusedView(view, buffer));
    Snapshot(view);
    view.reportedCount = 1 << 30;
    view.viewport()->update();
    Snapshot(view);
    view.reportedCount = -5;
    view.viewport()->update();
    QVERIFY(!Snapshot(view).isNull());
}

void TestTextView::unprintableBytesDrawOnePlaceholderEach() {
    const std::string bytes = {'\x01', '\x7f', '\x81', '\x8d', '\x8f', '\x90', '\x9d', '\x00', '\x1f'};
    CTextBuffer buffer;
    SetBufferText(buffer, bytes + "||");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.clearFocus();
    const QImage image = Snapshot(view);
    for (int cell = 0; cell < int(bytes.size()); ++cell)
        QVERIFY2(CellHasInk(view, image, 0, cell, Base(view)), qPrintable(QString::number(cell)));
    QVERIFY(CellHasInk(view, image, 0, int(bytes.size()) + 1, Base(view)));
    QVERIFY(!CellHasInk(view, image, 0, int(bytes.size()) + 2, Base(view)));
}

void TestTextView::everyByteValueStaysInItsCells() {
    std::string line;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\t' && byte != '\n')
            line.push_back(static_cast<char>(byte));
    }
    CTextBuffer buffer;
    SetBufferText(buffer, line);
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {2400, 100}));
    view.clearFocus();
    const QImage image = Snapshot(view);
    // Nothing drawn past the 254 cells of the line, and the last byte (0xFF) is in its cell.
    QVERIFY(CellHasInk(view, image, 0, 253, Base(view)));
    for (int cell = 254; cell < 260; ++cell)
        QVERIFY(!CellHasInk(view, image, 0, cell, Base(view)));
    // Every glyph of the normal font advances exactly one cell.
    const QFontMetricsF metrics(view.FontFor(false, false));
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("MiW.")), 4.0 * view.CharWidth());
}

void TestTextView::longLineDrawsOnlyWhatFits() {
    std::string line(1 << 20, 'a');
    for (std::size_t i = 0; i < line.size(); i += 7)
        line[i] = '\t';
    CTextBuffer buffer;
    SetBufferText(buffer, line + "\nshort");
    CHookView view;
    view.spans = {{0, ColourComment}};
    QVERIFY(ShowFocusedView(view, buffer));
    QVERIFY(!Snapshot(view).isNull());
    QCOMPARE(view.calls.back().withSpans, true);
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 1 << 20}));
    QCOMPARE(view.FirstVisibleColumn(), view.VisualLineLength(0) - view.ScreenChars());
    QVERIFY(!Snapshot(view).isNull());
}

void TestTextView::scrollBarActions_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("expected"); // -1: LineCount - ScreenLines + 1
    QTest::newRow("line down") << 5 << int(QAbstractSlider::SliderSingleStepAdd) << 6;
    QTest::newRow("line up") << 5 << int(QAbstractSlider::SliderSingleStepSub) << 4;
    QTest::newRow("line up at the top stays") << 0 << int(QAbstractSlider::SliderSingleStepSub) << 0;
    QTest::newRow("top") << 50 << int(QAbstractSlider::SliderToMinimum) << 0;
    QTest::newRow("bottom is one past the last full page") << 0
                                                           << int(QAbstractSlider::SliderToMaximum)
                                                           << -1;
}

void TestTextView::scrollBarActions() {
    QFETCH(int, start);
    QFETCH(int, action);
    QFETCH(int, expected);
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(200));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    view.ScrollToLine(start, true);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderAction(action));
    if (expected == -1)
        expected = 200 - view.ScreenLines() + 1;
    QCOMPARE(view.FirstVisibleLine(), expected);
    // Paging keeps one line of the old page.
    view.ScrollToLine(10, true);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(view.FirstVisibleLine(), 10 + view.ScreenLines() - 1);
}

void TestTextView::wheelAndThumbScroll() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(200));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    QWidget* vp = view.viewport();
    const QPointF at(100, 50);
    QWheelEvent wheel(at, vp->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &wheel);
    QCOMPARE(view.FirstVisibleLine(), QApplication::wheelScrollLines());
    view.verticalScrollBar()->setSliderPosition(40);
    QCOMPARE(view.FirstVisibleLine(), 40);
    QCOMPARE(view.verticalScrollBar()->value(), 40);
}

void TestTextView::fullUpdateScrollsBackWhenTextFits() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(30));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 200}));
    QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(view.FirstVisibleLine(), 2);
    view.resize(400, 30 * view.LineHeight() + 100);
    QTRY_COMPARE(view.FirstVisibleLine(), 0);
}

void TestTextView::changeMovesCaretSelectionAndTopLine() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(100));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 200}));
    view.ScrollToLine(40, true);
    view.SetCaretPosition({50, 3});
    view.SetAnchor({50, 3});
    view.SetSelection({50, 1}, {50, 3});
    TextPosition end;
    QVERIFY(buffer.RawInsert(nullptr, {50, 0}, "ab", end));
    QCOMPARE(view.CaretPosition(), (TextPosition{50, 5}));
    QCOMPARE(SelectionStartOf(view), (TextPosition{50, 3}));
    QCOMPARE(SelectionEndOf(view), (TextPosition{50, 5}));
    QVERIFY(buffer.RawInsert(nullptr, {10, 0}, "x\r\ny\r\nz\r\n", end));
    QCOMPARE(view.FirstVisibleLine(), 43);
    QCOMPARE(view.CaretPosition(), (TextPosition{53, 5}));
    QCOMPARE(view.Anchor(), (TextPosition{53, 5}));
    QCOMPARE(view.verticalScrollBar()->maximum(), 103 - 1 - view.ScreenLines() + 1);
    QVERIFY(buffer.DeleteRange(nullptr, {0, 0}, {60, 0}, 0));
    QCOMPARE(view.FirstVisibleLine(), 0);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
}

void TestTextView::resetNotificationResetsView() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(100));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 200}));
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(view.FirstVisibleLine() > 0);
    SetBufferText(buffer, "short");
    QCOMPARE(view.FirstVisibleLine(), 0);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!view.HasSelection());
    QCOMPARE(view.LineCount(), 1);
    QCOMPARE(view.verticalScrollBar()->isEnabled(), false);
}

void TestTextView::viewsOfOneBufferKeepTheirOwnState() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(100));
    CTextView first;
    CTextView second;
    QVERIFY(ShowFocusedView(second, buffer, {400, 200}));
    QVERIFY(ShowFocusedView(first, buffer, {400, 200}));
    QTest::keyClick(&first, Qt::Key_PageDown);
    QTest::keyClick(&first, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(first.FirstVisibleLine() > 0);
    QCOMPARE(second.FirstVisibleLine(), 0);
    QCOMPARE(second.CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!second.HasSelection());
    TextPosition end;
    QVERIFY(buffer.RawInsert(nullptr, {0, 0}, "new\r\n", end));
    QCOMPARE(second.CaretPosition(), (TextPosition{0, 0}));
    QCOMPARE(first.CaretPosition().line, first.ScreenLines());
    QCOMPARE(first.LineCount(), 101);
    QCOMPARE(second.LineCount(), 101);
}

void TestTextView::splitterPanesScrollTogether() {
    CTextBuffer buffer;
    std::string text = NumberedLines(200);
    text += '\n' + std::string(300, 'w');
    SetBufferText(buffer, text);
    QSplitter rows(Qt::Vertical);
    CTextView* panes[2][2];
    for (int row = 0; row < 2; ++row) {
        auto* columns = new QSplitter(Qt::Horizontal, &rows);
        for (int column = 0; column < 2; ++column) {
            panes[row][column] = new CTextView(columns);
            panes[row][column]->SetViewFont(TestFont());
            panes[row][column]->AttachToBuffer(&buffer);
        }
    }
    rows.resize(800, 600);
    rows.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rows));
    QCOMPARE(panes[1][0]->SiblingView(0, 1), panes[0][1]);
    QCOMPARE(panes[1][0]->SiblingView(2, 0), nullptr);

    panes[0][0]->setFocus();
    QTest::keyClick(panes[0][0], Qt::Key_PageDown);
    const int top = panes[0][0]->FirstVisibleLine();
    QVERIFY(top > 0);
    QCOMPARE(panes[0][1]->FirstVisibleLine(), top);   // same row
    QCOMPARE(panes[1][0]->FirstVisibleLine(), 0);     // other row
    QCOMPARE(panes[0][1]->verticalScrollBar()->value(), top);

    QTest::keyClick(panes[0][0], Qt::Key_End, Qt::ControlModifier);
    const int left = panes[0][0]->FirstVisibleColumn();
    QVERIFY(left > 0);
    QCOMPARE(panes[1][0]->FirstVisibleColumn(), left); // same column
    QCOMPARE(panes[0][1]->FirstVisibleColumn(), 0);

    // A pane that comes later lines up with its neighbours.
    auto* late = new CTextView;
    static_cast<QSplitter*>(rows.widget(1))->addWidget(late);
    late->OnInitialUpdate();
    panes[1][0]->ScrollToLine(17, true);
    late->OnInitialUpdate();
    QCOMPARE(late->FirstVisibleLine(), 17);
}

void TestTextView::viewWithoutBuffer() {
    CTextView view;
    view.resize(300, 200);
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.LineCount(), 1);
    QCOMPARE(view.LineLength(0), 0);
    QCOMPARE(view.LineText(0), nullptr);
    std::string text = "x";
    view.TextInRange({0, 0}, {0, 5}, text);
    QVERIFY(text.empty());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_End, Qt::Key_F2, Qt::Key_PageDown})
        QTest::keyClick(&view, key);
    QTest::keyClick(&view, Qt::Key_3, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_3, Qt::AltModifier);
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(view.ExecuteCommand(ID_EDIT_SELECT_ALL));
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!Snapshot(view).isNull());
}

void TestTextView::missingFontFallsBackToUniformCells() {
    CTextBuffer buffer;
    SetBufferText(buffer, "iiii\nWWWW");
    CTextView view;
    FontTemplate font;
    font.faceName = QStringLiteral("No Such Face Anywhere");
    font.height = 15;
    view.SetViewFont(font);
    view.AttachToBuffer(&buffer);
    for (bool italic : {false, true}) {
        for (bool bold : {false, true}) {
            const QFontMetricsF metrics(view.FontFor(italic, bold));
            QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")), 4.0 * view.CharWidth());
            QCOMPARE(metrics.horizontalAdvance(QStringLiteral("WWWW")), 4.0 * view.CharWidth());
        }
    }
    QVERIFY(view.LineHeight() >= 1);
}

void TestTextView::defaultSizeIgnoresTheWidgetFont() {
    CTextBuffer buffer;
    SetBufferText(buffer, std::string(20, 'M'));
    CTextView view;
    QFont small = view.font();
    small.setPointSize(5);
    view.setFont(small);
    view.AttachToBuffer(&buffer);
    view.resize(800, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = Snapshot(view);
    QVERIFY(CellHasInk(view, image, 0, 19, Base(view)));
    QVERIFY(!CellHasInk(view, image, 0, 20, Base(view)));
}

void TestTextView::threeMillionLines() {
    CTextBuffer buffer;
    buffer.ClearAll();
    for (int i = 0; i < 3000000; ++i)
        buffer.InsertLineRecord(i % 3 ? "\tkey=value" : "[ITEMDEF i_x]");
    buffer.BroadcastChange(nullptr, nullptr, HintReset, -1);
    CHookView view;
    QVERIFY(ShowFocusedView(view, buffer));
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.CaretPosition().line, 2999999);
    QCOMPARE(view.FirstVisibleLine(), 3000000 - view.ScreenLines());
    QVERIFY(!Snapshot(view).isNull());
    QCOMPARE(view.LineCookie(2999999), ::LineCookie(3000000));
    TextPosition end;
    QVERIFY(buffer.RawInsert(nullptr, {2999990, 1}, "abc", end));
    QCOMPARE(view.WidestLineLength(), 16);
}

QTEST_MAIN(TestTextView)
#include "tst_TextView.moc"
