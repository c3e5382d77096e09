// The text view's layout, caches, drawing, scrolling and change handling, driven through a
// real widget on the offscreen platform.
#include "ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/Windows1252.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QtTest>

#include <numeric>
#include <random>

namespace {

// A view whose colouring hook logs the lines it computes cookies for (without spans) and
// colours every line from a fixed list of spans.
class CHookView : public CTextView {
public:
    QList<int> lines;  // lines computed without spans
    int spanCalls = 0; // calls that asked for spans
    std::vector<ColourSpan> spans;
    int reportedCount = -1; // when >= 0, the count reported instead of spans.size()

    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* out,
                                    int& count) override {
        if (!out)
            lines.push_back(line);
        else {
            ++spanCalls;
            const int room = 3 * LineLength(line);
            for (const ColourSpan& span : spans) {
                if (count < room) out[count++] = span;
            }
            if (reportedCount >= 0) count = reportedCount;
        }
        return cookie + 1;
    }
};

QColor Base(CTextView& view) {
    return view.palette().color(QPalette::Base);
}

bool Insert(CTextBuffer& buffer, TextPosition at, std::string_view text) {
    TextPosition end;
    return buffer.RawInsert(nullptr, at, text, end);
}

// A line's cookie from the cookie before it and every byte of the line, so that a cookie
// left stale by an edit above it cannot match by chance.
::LineCookie HashLine(::LineCookie cookie, std::string_view text) {
    for (char byte : text)
        cookie = (cookie ^ static_cast<unsigned char>(byte)) * 16777619u;
    return cookie * 16777619u + 1;
}

class CHashView : public CTextView {
public:
    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan*, int&) override {
        return HashLine(cookie, {LineText(line), std::size_t(LineLength(line))});
    }
};

// The plain model: every cookie from the top, and the widest line with tabs expanded.
std::vector<::LineCookie> AllCookies(const CTextBuffer& buffer) {
    std::vector<::LineCookie> cookies;
    ::LineCookie cookie = 0;
    for (int line = 0; line < buffer.LineCount(); ++line)
        cookies.push_back(cookie = HashLine(cookie, buffer.Line(line)));
    return cookies;
}

int WidestLine(const CTextBuffer& buffer, int tabSize) {
    int widest = 0;
    for (int line = 0; line < buffer.LineCount(); ++line) {
        int column = 0;
        for (char byte : buffer.Line(line))
            column += byte == '\t' ? tabSize - column % tabSize : 1;
        widest = std::max(widest, column);
    }
    return widest;
}

} // namespace

class TestTextView : public QObject {
    Q_OBJECT

private slots:
    void clientToText_data();
    void clientToText();

    void cookiesRecomputeFromTheChangedLine_data();
    void cookiesRecomputeFromTheChangedLine();
    void widestLineFollowsChanges();
    void cachesMatchAFullRecomputationAfterRandomEdits();
    void widestLineCountsTheTabsOfShortLines();

    void selectionCellsAtLineEndsAndWithoutFocus();
    void hookColoursSegments();
    void hostileSpansAreHeldToTheLine();
    void everyByteDrawsInkInsideItsOwnCell();
    void longLineDrawsOnlyWhatFits();

    void scrollBarActions_data();
    void scrollBarActions();
    void fullUpdateScrollsBackWhenTextFits();
    void changeAndResetMoveCaretSelectionAndTopLine();
    void splitterPanesScrollTogether();

    void viewWithoutBuffer();
    void glyphsAdvanceOneCell_data();
    void glyphsAdvanceOneCell();
    void glyphsDrawAsTheirCharactersInEveryStyle();
    void threeMillionLines();
};

void TestTextView::clientToText_data() {
    QTest::addColumn<int>("firstColumn");
    QTest::addColumn<QPoint>("cell"); // (visual column, row); column -1 is in the margin
    QTest::addColumn<TextPosition>("position");
    QTest::newRow("margin gives character 0") << 0 << QPoint(-1, 1) << TextPosition{1, 0};
    QTest::newRow("inside a tab gives the tab") << 0 << QPoint(2, 1) << TextPosition{1, 0};
    QTest::newRow("after the tab") << 0 << QPoint(4, 1) << TextPosition{1, 1};
    QTest::newRow("right of the line end gives its length")
        << 0 << QPoint(40, 0) << TextPosition{0, 5};
    QTest::newRow("below the last line gives the last line")
        << 0 << QPoint(1, 30) << TextPosition{3, 1};
    QTest::newRow("scrolled right") << 2 << QPoint(1, 0) << TextPosition{0, 3};
}

void TestTextView::clientToText() {
    QFETCH(int, firstColumn);
    QFETCH(QPoint, cell);
    QFETCH(TextPosition, position);
    Shown s("hello\n\tx\n\nab");
    QVERIFY(s.shown);
    s.view.ScrollToColumn(firstColumn, true);
    const QPoint point(CTextView::Margin + cell.x() * s.view.CharWidth() + 1,
                       cell.y() * s.view.LineHeight() + 1);
    QCOMPARE(s.view.ClientToText(point), position);
}

void TestTextView::cookiesRecomputeFromTheChangedLine_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<TextPosition>("from");
    QTest::addColumn<TextPosition>("to"); // line -1: `text` is inserted at `from`
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("asked");      // the line whose cookie is asked for afterwards
    QTest::addColumn<int>("recomputed"); // lines computed again, from from.line on
    const TextPosition insert{-1, 0};
    QTest::newRow("changed line") << 1000 << TextPosition{10, 0} << insert << QByteArray("x") << 19
                                  << 10;
    QTest::newRow("inserted lines keep the cookies above")
        << 20 << TextPosition{5, 2} << insert << QByteArray("\r\n\r\n") << 21 << 17;
    QTest::newRow("deleted lines keep the cookies above")
        << 22 << TextPosition{5, 2} << TextPosition{7, 0} << QByteArray() << 19 << 15;
}

void TestTextView::cookiesRecomputeFromTheChangedLine() {
    QFETCH(int, lines);
    QFETCH(TextPosition, from);
    QFETCH(TextPosition, to);
    QFETCH(QByteArray, text);
    QFETCH(int, asked);
    QFETCH(int, recomputed);
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(lines));
    CHookView view;
    view.AttachToBuffer(&buffer);
    QCOMPARE(view.LineCookie(lines - 1), ::LineCookie(lines));
    QVERIFY(to.line < 0 ? Insert(buffer, from, text.toStdString())
                        : buffer.DeleteRange(nullptr, from, to, 0));
    view.lines.clear();
    QCOMPARE(view.LineCookie(from.line - 1), ::LineCookie(from.line));
    QVERIFY(view.lines.empty());
    QCOMPARE(view.LineCookie(asked), ::LineCookie(asked + 1));
    QList<int> expected(recomputed);
    std::iota(expected.begin(), expected.end(), from.line);
    QCOMPARE(view.lines, expected);
}

void TestTextView::widestLineFollowsChanges() {
    Shown s("ab\nabcdefghij\nabc", {300, 200});
    QVERIFY(s.shown);
    QCOMPARE(s.view.WidestLineLength(), 10);
    QVERIFY(s.buffer.DeleteRange(nullptr, {1, 3}, {1, 10}, 0));
    QCOMPARE(s.view.WidestLineLength(), 3);
    QVERIFY(Insert(s.buffer, {2, 0}, std::string(500, 'w') + "\r\n"));
    QCOMPARE(s.view.WidestLineLength(), 500);
    QCOMPARE(s.view.VisualLineLength(3), 3);
    // Windows maximum m with page p is Qt's 0..m-p+1.
    QCOMPARE(s.view.horizontalScrollBar()->maximum(), 500 - 1 - s.view.ScreenChars() + 1);
}

// Edits of every kind, small and spanning many checkpoints and width blocks, on a text read
// from a file, with tabs in a few lines only and longer than twice the cookie window, near the rows
// asked last or anywhere; then cookies asked there and in random order, and now and then every line
// in order.
void TestTextView::cachesMatchAFullRecomputationAfterRandomEdits() {
    std::mt19937 random(20240611);
    auto below = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    // About `breaks` line breaks among `bytes` bytes of the first `letters` of the alphabet.
    auto text = [&](int bytes, int breaks, int letters = 8) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += below(bytes) < breaks ? "\r\n" : std::string(1, "ab= [x]\t"[below(letters)]);
        return out;
    };
    QTemporaryFile file;
    QVERIFY(file.open());
    std::string start;
    for (int part = 0; part < 20; ++part) // a line of tabs now and then
        start += text(60000, 7500, 7) + "\r\n" + std::string(std::size_t(30 + below(70)), '\t');
    QVERIFY(file.write(start.data(), qint64(start.size())) == qint64(start.size()));
    file.close();
    CTextBuffer buffer;
    QVERIFY(buffer.ReadFromFile(file.fileName().toStdString()));
    CHashView view;
    QVERIFY(ShowFocusedView(view, buffer, {300, 200}));
    constexpr int RunLines = 300;
    auto at = [&](int line) { return TextPosition{line, below(buffer.LineLength(line) + 1)}; };
    auto widestLine = [&] {
        int line = 0;
        while (view.VisualLineLength(line) < view.WidestLineLength())
            ++line;
        return line;
    };
    for (int round = 0; round < 60; ++round) {
        std::vector<::LineCookie> cookies = AllCookies(buffer);
        // Rows asked in order, as a paint asks them, before and after a character typed
        // among them.
        const int run = below(int(cookies.size()) - RunLines);
        for (int line = run; line < run + RunLines; ++line)
            QCOMPARE(view.LineCookie(line), cookies[std::size_t(line)]);
        QVERIFY(Insert(buffer, at(run + below(RunLines)), "x"));
        cookies = AllCookies(buffer);
        for (int line = run; line < run + RunLines; ++line)
            QCOMPARE(view.LineCookie(line), cookies[std::size_t(line)]);
        for (int edit = below(3); edit >= 0; --edit) {
            const int lastLine = buffer.LineCount() - 1;
            int line = below(2) ? run + below(RunLines) : below(lastLine + 1);
            if (below(4) == 0) // the last line before a checkpoint
                line = std::min(line | (CCookieCache::Spacing - 1), lastLine);
            const TextPosition from = at(line);
            const int lines = below(8) == 0 ? 2000 + below(12000) : below(4);
            switch (below(5)) {
            case 0: // typing, or lines put in
                QVERIFY(Insert(buffer, from, text(below(6) + 1 + 8 * lines, lines)));
                break;
            case 1: // lines taken out
                QVERIFY(buffer.RawDelete(
                    nullptr, from, std::max(from, at(std::min(from.line + lines, lastLine)))));
                break;
            case 2: // a wide line, of text or of tabs
                QVERIFY(Insert(buffer, from,
                               below(2) ? text(100 + below(300), 0)
                                        : std::string(std::size_t(10 + below(100)), '\t')));
                break;
            case 3: { // the widest line emptied, or taken out with lines around it
                const int widest = widestLine();
                const int above = below(2) ? 0 : below(6000);
                const int after = std::min(widest + (below(2) ? 0 : below(6000)), lastLine);
                QVERIFY(buffer.RawDelete(nullptr, {std::max(widest - above, 0), 0},
                                         {after, buffer.LineLength(after)}));
                break;
            }
            default: // a painted screen
                view.ScrollToLine(from.line, true);
                view.viewport()->repaint();
            }
        }
        cookies = AllCookies(buffer);
        QCOMPARE(view.WidestLineLength(), WidestLine(buffer, view.TabSize()));
        const int count = int(cookies.size());
        // Near the rows asked before the edits, anywhere, or at the far edge of the window
        // that a long walk to the line asked before leaves.
        for (int ask = 0, line = 0; ask < 400; ++ask) {
            const int kind = below(3);
            line = kind == 0   ? run + below(RunLines)
                   : kind == 1 ? below(count)
                               : std::max(line - CCookieCache::WindowLines, 0);
            line = std::min(line, count - 1);
            QCOMPARE(view.LineCookie(line), cookies[std::size_t(line)]);
        }
        if (round % 10 == 9) {
            for (int line = 0; line < count; ++line)
                QCOMPARE(view.LineCookie(line), cookies[std::size_t(line)]);
        }
    }
}

void TestTextView::widestLineCountsTheTabsOfShortLines() {
    Shown s("xxxxxxxxxxxxxxxxxxxx\n\t\t\t\t\t\t", {300, 200});
    QVERIFY(s.shown);
    QCOMPARE(s.view.WidestLineLength(), 24);
}

void TestTextView::selectionCellsAtLineEndsAndWithoutFocus() {
    Shown s("abc\n\nxyz");
    CTextView& view = s.view;
    QVERIFY(s.shown);
    view.SetSelection({0, 1}, {2, 0});
    const QImage image = Snapshot(view);
    const QColor black(0, 0, 0);
    QStringList rows(3); // '#' for a selected cell
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
            rows[row] += CellColour(view, image, row, column) == black ? '#' : '.';
    // The line breaks of row 0 and of the empty row 1 are selected; the end is not.
    QCOMPARE(rows, (QStringList{".###.", "#....", "....."}));
    view.clearFocus();
    view.SetShowSelectionUnfocused(true);
    QCOMPARE(CellColour(view, Snapshot(view), 0, 1), black);
}

void TestTextView::hookColoursSegments() {
    Shown<CHookView> s("MMMMMMMMMM");
    s.view.spans = {{0, ColourComment}, {3, ColourNormalText}, {6, 42}};
    QVERIFY(s.shown);
    const QImage image = Snapshot(s.view);
    auto dominant = [&](int column) {
        const QColor c = CellInk(s.view, image, 0, column, Base(s.view));
        return c.green() > c.red() ? 'g' : c.red() > c.green() ? 'r' : 'k';
    };
    QCOMPARE(dominant(1), 'g');
    QCOMPARE(dominant(4), 'k');
    QCOMPARE(dominant(8), 'r'); // indices above 9 draw in red
}

void TestTextView::hostileSpansAreHeldToTheLine() {
    Shown<CHookView> s("abcdef\nxy");
    s.view.spans = {{4, ColourComment}, {-50, ColourFlowKeyword}, {1000, ColourTriggerMark}};
    QVERIFY(s.shown);
    Snapshot(s.view);
    for (int count : {1 << 30, -5}) {
        s.view.reportedCount = count;
        s.view.viewport()->update();
        QVERIFY(!Snapshot(s.view).isNull());
    }
}

void TestTextView::everyByteDrawsInkInsideItsOwnCell() {
    // Each byte stands after three spaces, at a column of 3 modulo 4 (where a tab is one
    // cell wide), and every line of bytes has an empty line below it.
    Shown s("", {640, 700});
    QVERIFY(s.shown);
    s.buffer.ClearAll();
    for (int row = 0; row < 16; ++row) {
        std::string line;
        for (int i = 0; i < 16; ++i)
            line += std::string("   ") + static_cast<char>(row * 16 + i);
        s.buffer.InsertLineRecord(line);
        s.buffer.InsertLineRecord("");
    }
    s.buffer.BroadcastChange(nullptr, nullptr, HintReset, -1);
    s.view.clearFocus();
    const QImage image = Snapshot(s.view);
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 68; ++column) {
            const int byte =
                row % 2 == 0 && column % 4 == 3 && column < 64 ? row / 2 * 16 + column / 4 : -1;
            // Blank by nature: the space, the no-break space and the tab.
            const bool ink = byte >= 0 && byte != ' ' && byte != 0xA0 && byte != '\t';
            const QString where = QStringLiteral("row %1, column %2").arg(row).arg(column);
            QVERIFY2(CellHasInk(s.view, image, row, column, Base(s.view)) == ink,
                     qPrintable(where));
        }
    }
}

void TestTextView::longLineDrawsOnlyWhatFits() {
    std::string line(1 << 20, 'a');
    for (std::size_t i = 0; i < line.size(); i += 7)
        line[i] = '\t';
    Shown<CHookView> s(line + "\nshort");
    s.view.spans = {{0, ColourComment}};
    QVERIFY(s.shown);
    QVERIFY(!Snapshot(s.view).isNull());
    QVERIFY(s.view.spanCalls > 0);
    PressKeys(&s.view, "End");
    QCOMPARE(s.view.CaretPosition(), (TextPosition{0, 1 << 20}));
    QCOMPARE(s.view.FirstVisibleColumn(), s.view.VisualLineLength(0) - s.view.ScreenChars() + 1);
    QVERIFY(!Snapshot(s.view).isNull());
}

void TestTextView::scrollBarActions_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("line");  // the first visible line afterwards is this
    QTest::addColumn<int>("pages"); // plus this many pages of ScreenLines - 1
    const auto row = [](const char* name, int start, QAbstractSlider::SliderAction action, int line,
                        int pages = 0) {
        QTest::newRow(name) << start << int(action) << line << pages;
    };
    row("line down", 5, QAbstractSlider::SliderSingleStepAdd, 6);
    row("line up", 5, QAbstractSlider::SliderSingleStepSub, 4);
    row("line up at the top stays", 0, QAbstractSlider::SliderSingleStepSub, 0);
    row("top", 50, QAbstractSlider::SliderToMinimum, 0);
    row("bottom is one past the last full page", 0, QAbstractSlider::SliderToMaximum, 200, -1);
    row("page down keeps one line of the old page", 10, QAbstractSlider::SliderPageStepAdd, 10, 1);
    row("page up keeps one line of the old page", 50, QAbstractSlider::SliderPageStepSub, 50, -1);
    row("the thumb goes where it is dragged", 5, QAbstractSlider::SliderMove, 40);
}

void TestTextView::scrollBarActions() {
    QFETCH(int, start);
    QFETCH(int, action);
    QFETCH(int, line);
    QFETCH(int, pages);
    Shown s(NumberedLines(200));
    QVERIFY(s.shown);
    s.view.ScrollToLine(start, true);
    QScrollBar* bar = s.view.verticalScrollBar();
    if (action == QAbstractSlider::SliderMove)
        bar->setSliderPosition(line);
    else
        bar->triggerAction(QAbstractSlider::SliderAction(action));
    QCOMPARE(s.view.FirstVisibleLine(), line + pages * (s.view.ScreenLines() - 1));
}

void TestTextView::fullUpdateScrollsBackWhenTextFits() {
    Shown s(NumberedLines(30), {400, 200});
    QVERIFY(s.shown);
    PressKeys(&s.view, "Ctrl+Down,Ctrl+Down");
    QCOMPARE(s.view.FirstVisibleLine(), 2);
    s.view.resize(400, 30 * s.view.LineHeight() + 100);
    QTRY_COMPARE(s.view.FirstVisibleLine(), 0);
}

void TestTextView::changeAndResetMoveCaretSelectionAndTopLine() {
    Shown s(NumberedLines(100), {400, 200});
    CTextView& view = s.view;
    QVERIFY(s.shown);
    view.ScrollToLine(40, true);
    view.SetCaretPosition({50, 4});
    view.SetAnchor({50, 1});
    view.SetSelection({50, 1}, {50, 4});
    QVERIFY(Insert(s.buffer, {10, 0}, "x\r\ny\r\nz\r\n"));
    QCOMPARE(view.FirstVisibleLine(), 43);
    QCOMPARE(view.CaretPosition(), (TextPosition{53, 4}));
    QCOMPARE(view.Anchor(), (TextPosition{53, 1}));
    QCOMPARE(SelectionStartOf(view), (TextPosition{53, 1}));
    QCOMPARE(SelectionEndOf(view), (TextPosition{53, 4}));
    // A reset of the text resets the view.
    SetBufferText(s.buffer, NumberedLines(100));
    QCOMPARE(view.FirstVisibleLine(), 0);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!view.HasSelection());
}

void TestTextView::splitterPanesScrollTogether() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(200) + '\n' + std::string(300, 'w'));
    QSplitter rows(Qt::Vertical);
    CTextView* panes[2][2];
    for (int row = 0; row < 2; ++row) {
        auto* columns = new QSplitter(Qt::Horizontal, &rows);
        for (CTextView*& pane : panes[row]) {
            pane = new CTextView(columns);
            pane->SetViewFont(TestFont());
            pane->AttachToBuffer(&buffer);
        }
    }
    rows.resize(800, 600);
    rows.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rows));

    panes[0][0]->setFocus();
    PressKeys(panes[0][0], "PgDown,Shift+Right");
    const int top = panes[0][0]->FirstVisibleLine();
    QVERIFY(top > 0);
    QCOMPARE(panes[0][1]->FirstVisibleLine(), top); // same row
    QCOMPARE(panes[1][0]->FirstVisibleLine(), 0);   // other row
    QCOMPARE(panes[0][1]->verticalScrollBar()->value(), top);
    // Each pane keeps its own caret and selection.
    QCOMPARE(panes[0][1]->CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!panes[0][1]->HasSelection());

    PressKeys(panes[0][0], "Ctrl+End");
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
    PressKeys(&view, "Down,Right,End,F2,PgDown,Ctrl+3,Alt+3,Ctrl+F2,Ctrl+A");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(view.ExecuteCommand(ID_EDIT_SELECT_ALL));
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(!Snapshot(view).isNull());
}

void TestTextView::glyphsAdvanceOneCell_data() {
    QTest::addColumn<QString>("face"); // empty: the default template
    QTest::addColumn<int>("widgetPoints");
    QTest::newRow("a face that does not exist") << "No Such Face Anywhere" << 0;
    QTest::newRow("the default face, whatever the widget's font") << QString() << 5;
}

void TestTextView::glyphsAdvanceOneCell() {
    QFETCH(QString, face);
    QFETCH(int, widgetPoints);
    CTextBuffer buffer;
    SetBufferText(buffer, "iiiiiWWWWW");
    CTextView view;
    if (!face.isEmpty()) view.SetViewFont({face, 15});
    QFont small = view.font();
    small.setPointSize(widgetPoints ? widgetPoints : small.pointSize());
    view.setFont(small);
    view.AttachToBuffer(&buffer);
    view.resize(800, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QImage image = Snapshot(view);
    QVERIFY(CellHasInk(view, image, 0, 9, Base(view)));
    QVERIFY(!CellHasInk(view, image, 0, 10, Base(view)));
}

// A view whose lines are coloured whole by the colour of their number: 1 bold, 2 italic,
// 3 both, so each style of the font draws one line.
class CStyledView : public CTextView {
public:
    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                    int& count) override {
        if (spans) spans[count++] = {0, std::uint8_t(ColourNormalText + line)};
        return cookie;
    }
    bool IsBold(int colour) const override { return (colour - ColourNormalText) & 1; }
    bool IsItalic(int colour) const override { return (colour - ColourNormalText) & 2; }
};

void TestTextView::glyphsDrawAsTheirCharactersInEveryStyle() {
    // Every printable byte but the soft hyphen (drawn as a box), on four lines.
    std::string bytes;
    for (int byte = 0x21; byte <= 0xFF; ++byte)
        if (byte < 0x7F || (byte > 0xA0 && byte != 0xAD)) bytes += static_cast<char>(byte);
    Shown<CStyledView> s(bytes + "\n" + bytes + "\n" + bytes + "\n" + bytes, {2000, 200});
    QVERIFY(s.shown);
    s.view.clearFocus();
    const QImage image = Snapshot(s.view);
    const int width = s.view.CharWidth();
    const int height = s.view.LineHeight();
    const int ascent =
        int(std::ceil(QFontMetricsF(s.view.FontFor(false, false), s.view.viewport()).ascent()));
    // What each cell shows: its character drawn on its own, kept inside the cell.
    QImage expected = image;
    QPainter painter(&expected);
    for (int line = 0; line < 4; ++line) {
        painter.setFont(s.view.FontFor(line & 2, line & 1));
        painter.setPen(s.view.ColourOf(ColourNormalText + line));
        for (int column = 0; column < int(bytes.size()); ++column) {
            const QRect cell(CTextView::Margin + column * width, line * height, width, height);
            painter.fillRect(cell, Base(s.view));
            painter.setClipRect(cell);
            painter.drawText(
                QPoint(cell.left(), cell.top() + ascent),
                QString(CharFromWindows1252(static_cast<unsigned char>(bytes[column]))));
            painter.setClipping(false);
        }
    }
    painter.end();
    for (int line = 0; line < 4; ++line) {
        for (int column = 0; column < int(bytes.size()); ++column) {
            const QRect cell(CTextView::Margin + column * width, line * height, width, height);
            QVERIFY2(image.copy(cell) == expected.copy(cell),
                     qPrintable(QStringLiteral("line %1, byte 0x%2")
                                    .arg(line)
                                    .arg(static_cast<unsigned char>(bytes[column]), 0, 16)));
        }
    }
}

void TestTextView::threeMillionLines() {
    CTextBuffer buffer;
    buffer.ClearAll();
    for (int i = 0; i < 3000000; ++i)
        buffer.InsertLineRecord(i % 3 ? "\tkey=value" : "[ITEMDEF i_x]");
    buffer.BroadcastChange(nullptr, nullptr, HintReset, -1);
    CHookView view;
    QVERIFY(ShowFocusedView(view, buffer));
    PressKeys(&view, "Ctrl+End");
    QCOMPARE(view.CaretPosition().line, 2999999);
    QCOMPARE(view.FirstVisibleLine(), 3000000 - view.ScreenLines());
    QVERIFY(!Snapshot(view).isNull());
    QCOMPARE(view.LineCookie(2999999), ::LineCookie(3000000));
    QVERIFY(Insert(buffer, {2999990, 1}, "abc"));
    QCOMPARE(view.WidestLineLength(), 16);
}

QTEST_MAIN(TestTextView)
#include "tst_TextView.moc"
