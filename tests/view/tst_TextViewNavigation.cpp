// Keyboard moves, selection, copying, bookmarks and command enabling of the text view,
// driven by real key events and command ids.
#include "ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/Windows1252.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

namespace {

// Separates lines in the test texts, so that a line can hold any other byte.
constexpr char Break = '\x1e';

// The parts of the lines of `text` from `start` to `end`, or nothing when the range is empty
// or leaves the text.
std::vector<std::string> LinesInRange(const QByteArray& text, TextPosition start,
                                      TextPosition end) {
    const QList<QByteArray> lines = text.split(Break);
    const auto inside = [&](TextPosition p) {
        return p.line >= 0 && p.line < lines.size() && p.ch >= 0 && p.ch <= lines[p.line].size();
    };
    if (!inside(start) || !inside(end) || !(start < end)) return {};
    std::vector<std::string> parts;
    for (int line = start.line; line <= end.line; ++line) {
        const QByteArray& bytes = lines[line];
        const qsizetype from = line == start.line ? start.ch : 0;
        const qsizetype to = line == end.line ? end.ch : bytes.size();
        parts.push_back(bytes.mid(from, to - from).toStdString());
    }
    return parts;
}

// The clipboard data of those lines made the plain way: the text through Windows-1252 joined
// by CR LF, and each line as a 32-bit little-endian length and its bytes.
void FillPlainData(QMimeData& data, const std::vector<std::string>& lines) {
    QString text;
    QByteArray exact;
    for (const std::string& line : lines) {
        if (!exact.isEmpty()) text += QStringLiteral("\r\n");
        for (char byte : line)
            text += CharFromWindows1252(static_cast<unsigned char>(byte));
        const quint32 length = quint32(line.size());
        for (int shift = 0; shift < 32; shift += 8)
            exact += char((length >> shift) & 0xFF);
        exact += QByteArray::fromStdString(line);
    }
    data.setText(text);
    data.setData(CTextView::LinesMimeType, exact);
}

} // namespace

class TestTextViewNavigation : public QObject {
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void pageMoves();
    void scrollWithoutMovingCaret();
    void caretFollowsSuspensionAndScrolling();
    void copyConvertsToUnicode();
    void copyGivesTheRangeInBothFormats_data();
    void copyGivesTheRangeInBothFormats();
    void copyOfManyLinesGivesUpWhenTheTextChanges_data();
    void copyOfManyLinesGivesUpWhenTheTextChanges();
    void viewKeysWinOverWindowShortcuts();
    void bookmarkCommandsFollowThePlainBookmarks();
};

void TestTextViewNavigation::moves_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<TextPosition>("caret");
    QTest::addColumn<TextPosition>("selectionStart"); // line -1: no selection, at the caret
    QTest::addColumn<TextPosition>("selectionEnd");

    using P = TextPosition;
    auto row = [](const char* name, const char* text, P start, const char* keys, P caret,
                  P from = {-1, 0}, P to = {-1, 0}) {
        QTest::newRow(name) << QByteArray(text) << start << QString::fromLatin1(keys) << caret
                            << from << to;
    };
    const char* tenDigits = "\n\n0123456789";
    const char* shortMiddle = "abcdefgh\nab\nabcdefgh";
    row("left at the text start stays", "abc", {0, 0}, "Left", {0, 0});
    row("right at the text end stays", "abc", {0, 3}, "Right", {0, 3});
    row("left at a line start goes to the previous end", "abc\nxy", {1, 0}, "Left", {0, 3});
    row("right at a line end goes to the next start", "abc\nxy", {0, 3}, "Right", {1, 0});
    row("left over a selection lands on its start", tenDigits, {2, 5},
        "Shift+Right,Shift+Right,Shift+Right,Left", {2, 5});
    row("right over a selection lands on its end", tenDigits, {2, 5},
        "Shift+Right,Shift+Right,Shift+Right,Right", {2, 8});
    row("left at the start collapses the selection", "abc", {0, 2}, "Shift+Left,Shift+Left,Left",
        {0, 0});
    row("down through a short line keeps the column", shortMiddle, {0, 6}, "Down,Down", {2, 6});
    row("up returns to the remembered column", shortMiddle, {0, 6}, "Down,Up", {0, 6});
    row("up from a selection starts at its start", "abcdefgh\nabcdefgh\nabcdefgh", {1, 2},
        "Shift+Right,Shift+Right,Shift+Down,Up", {0, 4});
    row("down on the last line stays", "ab\ncd", {1, 1}, "Down", {1, 1});
    row("column inside a tab snaps to its nearer side", "abc\n\tx", {0, 3}, "Down", {1, 1});
    row("home goes to the indentation", "    abc", {0, 7}, "Home", {0, 4});
    row("home again goes to column 0", "    abc", {0, 7}, "Home,Home", {0, 0});
    row("home on a line of spaces goes to 0", "    ", {0, 2}, "Home", {0, 0});
    row("word right across a line end passes the first word", "x\nabc def", {0, 1}, "Ctrl+Right",
        {1, 4});
    row("word right before an empty line skips it", "x\n\nabc", {0, 1}, "Ctrl+Right", {2, 0});
    row("word right over punctuation and spaces", "...  word", {0, 0}, "Ctrl+Right", {0, 5});
    row("word right at the text end does nothing", "abc", {0, 3}, "Ctrl+Right", {0, 3});
    row("word left over punctuation to the line start", "abc.def", {0, 7},
        "Ctrl+Left,Ctrl+Left,Ctrl+Left", {0, 0});
    row("word left at the text start does nothing", "abc", {0, 0}, "Ctrl+Left", {0, 0});
    row("word left across a line start", "abc def\nx", {1, 0}, "Ctrl+Left", {0, 4});
    row("word left over spaces and a word", "abc   def", {0, 6}, "Ctrl+Left", {0, 0});
    row("bytes from 0x80 up are punctuation", "ab\xe9\xe9\x63\x64", {0, 6}, "Ctrl+Left,Ctrl+Left",
        {0, 2});
    const char* six = "abc\ndef\nghi\njkl\nmno\npqr";
    row("shift F2 goes back and wraps round", six, {1, 2},
        "Ctrl+F2,Down,Ctrl+F2,Down,F2,Shift+F2,Shift+F2", {1, 0});
    row("toggling a bookmark off keeps the others", six, {1, 2},
        "Ctrl+F2,Down,Down,Ctrl+F2,Ctrl+F2,Up,F2", {1, 0});
    row("alt digit goes to its bookmark and drops the selection", six, {1, 2},
        "Ctrl+3,Down,Down,Shift+Right,Alt+3", {1, 0});
    row("setting a numbered bookmark again moves it", six, {1, 2},
        "Ctrl+3,Down,Down,Ctrl+3,Up,Alt+3", {3, 0});
    row("going to a bookmark that no line has does nothing", six, {1, 2}, "Ctrl+3,Down,Alt+4",
        {2, 2});
    row("toggling a numbered bookmark twice removes it", six, {1, 2}, "Ctrl+3,Ctrl+3,Down,Alt+3",
        {2, 2});
    row("shift extends from the anchor", "abcdef", {0, 1}, "Shift+Right,Shift+Right", {0, 3},
        {0, 1}, {0, 3});
    row("shift left makes a selection before the anchor", "abcdef", {0, 3}, "Shift+Left,Shift+Left",
        {0, 1}, {0, 1}, {0, 3});
    row("shift down selects the line break", "abc\ndef", {0, 1}, "Shift+Down", {1, 1}, {0, 1},
        {1, 1});
    row("select all keeps the anchor", "abc\ndef", {1, 1}, "Ctrl+A", {1, 3}, {0, 0}, {1, 3});
}

void TestTextViewNavigation::moves() {
    QFETCH(QByteArray, text);
    QFETCH(TextPosition, start);
    QFETCH(QString, keys);
    QFETCH(TextPosition, caret);
    QFETCH(TextPosition, selectionStart);
    QFETCH(TextPosition, selectionEnd);
    Shown s(text.toStdString());
    QVERIFY(s.shown);
    s.view.JumpTo(start);
    PressKeys(&s.view, keys);
    QCOMPARE(s.view.CaretPosition(), caret);
    QCOMPARE(s.view.Anchor(), selectionStart.line < 0 ? caret : start);
    QCOMPARE(SelectionStartOf(s.view), selectionStart.line < 0 ? caret : selectionStart);
    QCOMPARE(SelectionEndOf(s.view), selectionEnd.line < 0 ? caret : selectionEnd);
}

void TestTextViewNavigation::pageMoves() {
    Shown s(NumberedLines(100), {400, 300});
    QVERIFY(s.shown);
    const int page = s.view.ScreenLines() - 1;
    s.view.JumpTo({0, 6});
    PressKeys(&s.view, "PgDown");
    QCOMPARE(s.view.FirstVisibleLine(), page);
    QCOMPARE(s.view.CaretPosition(), (TextPosition{page, 6}));
    PressKeys(&s.view, "Shift+PgDown");
    QCOMPARE(s.view.CaretPosition(), (TextPosition{2 * page, 6}));
    QCOMPARE(SelectionStartOf(s.view), (TextPosition{page, 6}));
    PressKeys(&s.view, "PgUp,PgUp,PgUp");
    QCOMPARE(s.view.FirstVisibleLine(), 0);
    QCOMPARE(s.view.CaretPosition(), (TextPosition{0, 6}));
    // The character is held to the shorter line, and paging stops at the last line.
    for (int i = 0; i < 20; ++i)
        PressKeys(&s.view, "PgDown");
    QCOMPARE(s.view.CaretPosition(), (TextPosition{99, 6}));
    QCOMPARE(s.view.FirstVisibleLine(), 99);
}

void TestTextViewNavigation::scrollWithoutMovingCaret() {
    Shown s(NumberedLines(50), {400, 300});
    QVERIFY(s.shown);
    s.view.JumpTo({3, 2});
    for (int i = 0; i < 60; ++i)
        PressKeys(&s.view, "Ctrl+Down");
    QCOMPARE(s.view.FirstVisibleLine(), 49); // past the bar's maximum, up to the last line
    PressKeys(&s.view, "Ctrl+Up");
    QCOMPARE(s.view.FirstVisibleLine(), 48);
    QCOMPARE(s.view.CaretPosition(), (TextPosition{3, 2}));
    // The next caret move brings the caret back on screen.
    PressKeys(&s.view, "Right");
    QCOMPARE(s.view.FirstVisibleLine(), 3);
}

void TestTextViewNavigation::caretFollowsSuspensionAndScrolling() {
    Shown s("abc\n\tdef\n" + std::string(400, 'x'), {400, 300});
    CTextView& view = s.view;
    QVERIFY(s.shown);
    view.JumpTo({1, 2});
    QVERIFY(view.IsCaretShown());
    QCOMPARE(view.CaretRect().left(), CTextView::Margin + 5 * view.CharWidth());
    // Scrolled right of the caret, the caret is hidden.
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QVERIFY(!view.IsCaretShown());
    // The caret is drawn: its cell differs with and without it.
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    view.JumpTo({0, 0});
    const QImage with = Snapshot(view);
    view.SuspendCaret();
    QVERIFY(with != Snapshot(view));
}

void TestTextViewNavigation::copyConvertsToUnicode() {
    Shown s("caf\xe9\n\x80 and \x99");
    QVERIFY(s.shown);
    PressKeys(&s.view, "Ctrl+A,Ctrl+C");
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QString::fromUtf8("caf\u00e9\r\n\u20ac and \u2122"));
}

void TestTextViewNavigation::copyGivesTheRangeInBothFormats_data() {
    QTest::addColumn<QByteArray>("text"); // lines separated by Break
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");

    using P = TextPosition;
    const auto row = [](const char* name, QByteArray text, P start, P end) {
        QTest::newRow(name) << text.replace('|', Break) << start << end;
    };
    row("part of one line", "hello world", {0, 2}, {0, 7});
    row("empty lines at both ends", "|middle|", {0, 0}, {2, 0});
    row("ends at column 0", "alpha|beta|gamma", {0, 2}, {2, 0});
    row("starts at a line end", "alpha|beta", {0, 5}, {1, 2});
    static const char highBytes[] = "\x80\x81\x8d\x8f\x90\x9d\x9f|a\0b\xff|\0";
    row("bytes 0x80-0x9F, NUL and 0xFF", QByteArray(highBytes, sizeof highBytes - 1), {0, 0},
        {2, 1});
    row("CR inside lines and at their ends", "one\rtwo|\r|three\r", {0, 1}, {2, 6});
    row("empty range", "abc", {0, 1}, {0, 1});
    row("end before start", "abc", {0, 2}, {0, 1});
    row("past a line end", "abc|d", {0, 1}, {0, 4});
    row("past the last line", "abc", {0, 0}, {1, 0});
}

void TestTextViewNavigation::copyGivesTheRangeInBothFormats() {
    QFETCH(QByteArray, text);
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    CTextBuffer buffer;
    SetBufferText(buffer, text.toStdString(), Break);
    CTextView view;
    view.AttachToBuffer(&buffer);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const std::vector<std::string> lines = LinesInRange(text, start, end);
    QCOMPARE(view.CopyRangeToClipboard(start, end), !lines.empty());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (lines.empty()) {
        QCOMPARE(data->text(), QStringLiteral("before"));
        return;
    }
    QMimeData plain;
    FillPlainData(plain, lines);
    QCOMPARE(data->formats(), plain.formats());
    QVERIFY(data->hasText());
    QCOMPARE(data->text(), plain.text());
    const QStringList others = {QStringLiteral("text/plain;charset=utf-8"),
                                QStringLiteral("text/html")};
    for (const QString& format : plain.formats() + others) {
        QCOMPARE(data->hasFormat(format), plain.hasFormat(format));
        QCOMPARE(data->data(format), plain.data(format));
    }
    // Pasted inside the program, the lines come back byte for byte.
    TextLines pasted;
    QVERIFY(CTextView::LinesFromMimeData(data, pasted));
    QCOMPARE(pasted.PieceCount(), int(lines.size()));
    for (int i = 0; i < pasted.PieceCount(); ++i)
        QCOMPARE(pasted.Piece(i), lines[std::size_t(i)]);
}

void TestTextViewNavigation::copyOfManyLinesGivesUpWhenTheTextChanges_data() {
    QTest::addColumn<bool>("edited");
    QTest::newRow("text unchanged") << false;
    QTest::newRow("text edited while the copy lets windows repaint") << true;
}

void TestTextViewNavigation::copyOfManyLinesGivesUpWhenTheTextChanges() {
    QFETCH(bool, edited);
    // Enough lines for the copy to work in slices and let other work run between them.
    constexpr int Count = 200000;
    const QByteArray text = QByteArray::fromStdString(NumberedLines(Count)).replace('\n', Break);
    CTextBuffer buffer;
    SetBufferText(buffer, text.toStdString(), Break);
    CTextView view;
    view.AttachToBuffer(&buffer);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    if (edited) {
        QTimer::singleShot(0, [&] {
            TextPosition end;
            buffer.InsertTextAt(nullptr, {0, 0}, "x", end, ActionTyping);
        });
    }
    const TextPosition end{Count - 1, buffer.LineLength(Count - 1)};
    QCOMPARE(view.CopyRangeToClipboard({0, 0}, end), !edited);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (edited) {
        QCOMPARE(buffer.Line(0), "xline 0");
        QCOMPARE(data->text(), QStringLiteral("before"));
        return;
    }
    QMimeData plain;
    FillPlainData(plain, LinesInRange(text, {0, 0}, end));
    QCOMPARE(data->text(), plain.text());
    QCOMPARE(data->data(CTextView::LinesMimeType), plain.data(CTextView::LinesMimeType));
}

void TestTextViewNavigation::viewKeysWinOverWindowShortcuts() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc\ndef");
    QMainWindow window;
    auto* view = new CTextView(&window);
    window.setCentralWidget(view);
    QAction* selectAll = window.addAction(QStringLiteral("Select All"));
    selectAll->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    QSignalSpy triggered(selectAll, &QAction::triggered);
    window.show();
    QVERIFY(ShowFocusedView(*view, buffer));
    PressKeys(view, "Ctrl+A");
    QCOMPARE(triggered.count(), 0);
    QCOMPARE(view->CaretPosition(), (TextPosition{1, 3}));
}

void TestTextViewNavigation::bookmarkCommandsFollowThePlainBookmarks() {
    Shown s(NumberedLines(40), {400, 200});
    CTextView& view = s.view;
    QVERIFY(s.shown);
    const auto enabled = [&] { return view.QueryCommand(ID_EDIT_NEXT_BOOKMARK).IsEnabled(); };
    QVERIFY(!enabled());
    view.JumpTo({35, 1});
    PressKeys(&view, "Ctrl+3,Ctrl+F2,Ctrl+Home");
    QVERIFY(enabled());
    PressKeys(&view, "Alt+3");
    QVERIFY(view.FirstVisibleLine() > 0); // going to a bookmark scrolls to it
    PressKeys(&view, "Ctrl+Shift+F2");
    QVERIFY(!enabled());
    // A new text forgets that bookmarks existed.
    PressKeys(&view, "Ctrl+F2");
    SetBufferText(s.buffer, "other");
    QVERIFY(!enabled());
}

QTEST_MAIN(TestTextViewNavigation)
#include "tst_TextViewNavigation.moc"
