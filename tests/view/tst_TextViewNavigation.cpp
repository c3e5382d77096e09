// Keyboard moves, selection, copying, bookmarks and command enabling of the text view,
// driven by real key events and command ids.
#include "ViewTestSupport.h"

#include "framework/CommandIds.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScrollBar>
#include <QtTest>

namespace {

// Presses keys written as "ctrl+shift+Right,Home,...".
void PressKeys(QWidget* widget, const QString& keys) {
    static const QHash<QString, Qt::Key> names = {
        {"Left", Qt::Key_Left},     {"Right", Qt::Key_Right},       {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},     {"Home", Qt::Key_Home},         {"End", Qt::Key_End},
        {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
    };
    for (const QString& stroke : keys.split(u',', Qt::SkipEmptyParts)) {
        Qt::KeyboardModifiers modifiers;
        QStringList parts = stroke.split(u'+');
        const QString name = parts.takeLast();
        for (const QString& part : parts)
            modifiers |= part == u"ctrl" ? Qt::ControlModifier : Qt::ShiftModifier;
        QVERIFY2(names.contains(name), qPrintable(name));
        QTest::keyClick(widget, names.value(name), modifiers);
    }
}

void PlaceCaret(CTextView& view, TextPosition position) {
    view.SetCaretPosition(position);
    view.SetAnchor(position);
    view.SetSelection(position, position);
}

} // namespace

Q_DECLARE_METATYPE(TextPosition)

class TestTextViewNavigation : public QObject {
    Q_OBJECT

private slots:
    void moves_data();
    void moves();
    void pageMoves();
    void scrollWithoutMovingCaret();
    void selectAllKeepsAnchorAndScroll();
    void caretFollowsFocusAndScrolling();
    void copyConvertsToUnicode();
    void copyWithoutSelectionIsDisabled();
    void viewKeysWinOverWindowShortcuts();
    void editingKeysDoNothingReadOnly();
    void numberedBookmarks();
    void plainBookmarks();
};

void TestTextViewNavigation::moves_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<TextPosition>("caret");
    QTest::addColumn<TextPosition>("selectionStart");
    QTest::addColumn<TextPosition>("selectionEnd");

    using P = TextPosition;
    auto row = [](const char* name, const char* text, P start, const char* keys, P caret) {
        QTest::newRow(name) << QByteArray(text) << start << QString::fromLatin1(keys) << caret
                            << caret << caret;
    };
    auto selecting = [](const char* name, const char* text, P start, const char* keys, P caret,
                        P from, P to) {
        QTest::newRow(name) << QByteArray(text) << start << QString::fromLatin1(keys) << caret
                            << from << to;
    };
    row("left at the text start stays", "abc", {0, 0}, "Left", {0, 0});
    row("right at the text end stays", "abc", {0, 3}, "Right", {0, 3});
    row("left at a line start goes to the previous end", "abc\nxy", {1, 0}, "Left", {0, 3});
    row("right at a line end goes to the next start", "abc\nxy", {0, 3}, "Right", {1, 0});
    row("left over a selection lands on its start", "\n\n0123456789", {2, 5},
        "shift+Right,shift+Right,shift+Right,shift+Right,Left", {2, 5});
    row("right over a selection lands on its end", "\n\n0123456789", {2, 5},
        "shift+Right,shift+Right,shift+Right,shift+Right,Right", {2, 9});
    row("left at the start collapses the selection", "abc", {0, 2}, "shift+Left,shift+Left,Left",
        {0, 0});
    row("down through a short line keeps the column", "abcdefgh\nab\nabcdefgh", {0, 6},
        "Down,Down", {2, 6});
    row("up returns to the remembered column", "abcdefgh\nab\nabcdefgh", {0, 6}, "Down,Up",
        {0, 6});
    row("up from a selection starts at its start", "abcdefgh\nabcdefgh\nabcdefgh", {1, 2},
        "shift+Right,shift+Right,shift+Down,Up", {0, 4});
    row("down on the last line stays", "ab\ncd", {1, 1}, "Down", {1, 1});
    row("column inside a tab snaps to its nearer side", "abc\n\tx", {0, 3}, "Down", {1, 1});
    row("home goes to the indentation", "    abc", {0, 7}, "Home", {0, 4});
    row("home again goes to column 0", "    abc", {0, 7}, "Home,Home", {0, 0});
    row("home a third time goes back to the indentation", "    abc", {0, 7}, "Home,Home,Home",
        {0, 4});
    row("home on a line of spaces goes to 0", "    ", {0, 2}, "Home", {0, 0});
    row("end goes to the line end", "abc\nxy", {0, 1}, "End", {0, 3});
    row("word right across a line end passes the first word", "x\nabc def", {0, 1},
        "ctrl+Right", {1, 4});
    row("word right before an empty line skips it", "x\n\nabc", {0, 1}, "ctrl+Right", {2, 0});
    row("word right over punctuation and spaces", "...  word", {0, 0}, "ctrl+Right", {0, 5});
    row("word right at the text end does nothing", "abc", {0, 3}, "ctrl+Right", {0, 3});
    row("word left to the word start", "abc.def", {0, 7}, "ctrl+Left", {0, 4});
    row("word left over punctuation", "abc.def", {0, 7}, "ctrl+Left,ctrl+Left", {0, 3});
    row("word left to the line start", "abc.def", {0, 7}, "ctrl+Left,ctrl+Left,ctrl+Left",
        {0, 0});
    row("word left at the text start does nothing", "abc", {0, 0}, "ctrl+Left", {0, 0});
    row("word left across a line start", "abc def\nx", {1, 0}, "ctrl+Left", {0, 4});
    row("bytes from 0x80 up are punctuation", "ab\xe9\xe9" "cd", {0, 6}, "ctrl+Left,ctrl+Left",
        {0, 2});
    row("text start", "abc\ndef", {1, 2}, "ctrl+Home", {0, 0});
    row("text end", "abc\ndef", {0, 1}, "ctrl+End", {1, 3});
    selecting("shift extends from the anchor", "abcdef", {0, 1}, "shift+Right,shift+Right",
              {0, 3}, {0, 1}, {0, 3});
    selecting("shift left makes a selection before the anchor", "abcdef", {0, 3},
              "shift+Left,shift+Left", {0, 1}, {0, 1}, {0, 3});
    selecting("word right with shift", "abc def", {0, 0}, "ctrl+shift+Right", {0, 4}, {0, 0},
              {0, 4});
    selecting("shift down selects the line break", "abc\ndef", {0, 1}, "shift+Down", {1, 1},
              {0, 1}, {1, 1});
    selecting("shift end after shift home", "  abc", {0, 3}, "shift+Home,shift+End", {0, 5},
              {0, 3}, {0, 5});
    selecting("text end with shift", "abc\ndef", {0, 1}, "ctrl+shift+End", {1, 3}, {0, 1},
              {1, 3});
    selecting("text start with shift", "abc\ndef", {1, 1}, "ctrl+shift+Home", {0, 0}, {0, 0},
              {1, 1});
}

void TestTextViewNavigation::moves() {
    QFETCH(QByteArray, text);
    QFETCH(TextPosition, start);
    QFETCH(QString, keys);
    QFETCH(TextPosition, caret);
    QFETCH(TextPosition, selectionStart);
    QFETCH(TextPosition, selectionEnd);
    CTextBuffer buffer;
    SetBufferText(buffer, text.toStdString());
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    PlaceCaret(view, start);
    PressKeys(&view, keys);
    QCOMPARE(view.CaretPosition(), caret);
    QCOMPARE(SelectionStartOf(view), selectionStart);
    QCOMPARE(SelectionEndOf(view), selectionEnd);
}

void TestTextViewNavigation::pageMoves() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(100));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 300}));
    const int page = view.ScreenLines() - 1;
    PlaceCaret(view, {0, 6});
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.FirstVisibleLine(), page);
    QCOMPARE(view.CaretPosition(), (TextPosition{page, 6}));
    QCOMPARE(view.verticalScrollBar()->value(), page);
    QTest::keyClick(&view, Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{2 * page, 6}));
    QCOMPARE(SelectionStartOf(view), (TextPosition{page, 6}));
    QTest::keyClick(&view, Qt::Key_PageUp);
    QTest::keyClick(&view, Qt::Key_PageUp);
    QTest::keyClick(&view, Qt::Key_PageUp);
    QCOMPARE(view.FirstVisibleLine(), 0);
    QCOMPARE(view.CaretPosition(), (TextPosition{0, 6}));
    QVERIFY(!view.HasSelection());
    // The character is held to the shorter line, and paging stops at the last line.
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.CaretPosition(), (TextPosition{99, 6}));
    QCOMPARE(view.FirstVisibleLine(), 99);
}

void TestTextViewNavigation::scrollWithoutMovingCaret() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(50));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 300}));
    PlaceCaret(view, {3, 2});
    QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(view.FirstVisibleLine(), 0);
    for (int i = 0; i < 60; ++i)
        QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(view.FirstVisibleLine(), 49); // past the bar's maximum, up to the last line
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    QCOMPARE(view.CaretPosition(), (TextPosition{3, 2}));
    QVERIFY(!view.IsCaretShown() || view.CaretRect().bottom() < 0);
    QTest::keyClick(&view, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(view.FirstVisibleLine(), 48);
    // The next caret move brings the caret back on screen.
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(view.FirstVisibleLine(), 3);
}

void TestTextViewNavigation::selectAllKeepsAnchorAndScroll() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(100));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 300}));
    PlaceCaret(view, {2, 1});
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{99, 7}));
    QCOMPARE(view.Anchor(), (TextPosition{2, 1}));
    QCOMPARE(view.FirstVisibleLine(), 0);
    QCOMPARE(SelectionStartOf(view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(view), (TextPosition{99, 7}));
    QVERIFY(view.QueryCommand(ID_EDIT_SELECT_ALL).IsEnabled());
}

void TestTextViewNavigation::caretFollowsFocusAndScrolling() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc\n\tdef\n" + std::string(400, 'x'));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 300}));
    PlaceCaret(view, {1, 2});
    QVERIFY(view.IsCaretShown());
    QCOMPARE(view.CaretRect(), QRect(view.TextToClient({1, 2}), QSize(2, view.LineHeight())));
    QCOMPARE(view.CaretRect().left(), CTextView::Margin + 5 * view.CharWidth());
    view.clearFocus();
    QVERIFY(!view.IsCaretShown());
    view.setFocus();
    QVERIFY(view.IsCaretShown());
    view.SuspendCaret();
    QVERIFY(!view.IsCaretShown());
    view.ResumeCaret();
    QVERIFY(view.IsCaretShown());
    // Scrolled right of the caret, the caret is hidden.
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    QVERIFY(view.FirstVisibleColumn() > 5);
    QVERIFY(!view.IsCaretShown());
    // The caret is drawn: its cell differs with and without it.
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    PlaceCaret(view, {0, 0});
    const QImage with = Snapshot(view);
    view.SuspendCaret();
    const QImage without = Snapshot(view);
    QVERIFY(with != without);
}

void TestTextViewNavigation::copyConvertsToUnicode() {
    CTextBuffer buffer;
    SetBufferText(buffer, "caf\xe9\n\x80 and \x99");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(view.QueryCommand(ID_EDIT_COPY).IsEnabled());
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\u00e9\r\n\u20ac and \u2122"));
    QVERIFY(view.ClipboardHasText());
    std::string back;
    QVERIFY(view.TextFromClipboard(back));
    QCOMPARE(back, std::string("caf\xe9\r\n\x80 and \x99"));
    PlaceCaret(view, {0, 1});
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a"));
    QVERIFY(!view.CopyTextToClipboard(std::string()));
}

void TestTextViewNavigation::copyWithoutSelectionIsDisabled() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QVERIFY(!view.QueryCommand(ID_EDIT_COPY).IsEnabled());
    QVERIFY(!view.ExecuteCommand(ID_EDIT_COPY));
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestTextViewNavigation::viewKeysWinOverWindowShortcuts() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc\ndef");
    QMainWindow window;
    auto* view = new CTextView(&window);
    window.setCentralWidget(view);
    int triggered = 0;
    QAction* selectAll = window.addAction(QStringLiteral("Select All"));
    selectAll->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    connect(selectAll, &QAction::triggered, [&] { ++triggered; });
    view->AttachToBuffer(&buffer);
    window.show();
    window.activateWindow();
    view->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(triggered, 0);
    QCOMPARE(view->CaretPosition(), (TextPosition{1, 3}));
}

void TestTextViewNavigation::editingKeysDoNothingReadOnly() {
    CTextBuffer buffer;
    SetBufferText(buffer, "abc\ndef");
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer));
    QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
    PlaceCaret(view, {0, 1});
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Delete);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClicks(&view, "typed");
    QCOMPARE(buffer.Line(0), std::string_view("abc"));
    QCOMPARE(buffer.Line(1), std::string_view("def"));
    QVERIFY(view.hasFocus());
    QVERIFY(!view.QueryCommand(ID_EDIT_PASTE).IsEnabled());
}

void TestTextViewNavigation::numberedBookmarks() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(40));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 200}));
    PlaceCaret(view, {2, 3});
    QTest::keyClick(&view, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(buffer.LineFlags(2), NumberedBookmarkFlag(3));
    PlaceCaret(view, {35, 1});
    QTest::keyClick(&view, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(buffer.LineFlags(2), 0u);
    QCOMPARE(buffer.LineFlags(35), NumberedBookmarkFlag(3));
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_3, Qt::AltModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{35, 0}));
    QCOMPARE(view.Anchor(), (TextPosition{35, 0}));
    QVERIFY(!view.HasSelection());
    QVERIFY(view.FirstVisibleLine() > 0);
    // Going to a bookmark that no line has does nothing; toggling twice removes it.
    QTest::keyClick(&view, Qt::Key_4, Qt::AltModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{35, 0}));
    QTest::keyClick(&view, Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(buffer.LineFlags(35), 0u);
    QVERIFY(view.ExecuteCommand(ID_EDIT_TOGGLE_BOOKMARK0 + 9));
    QCOMPARE(buffer.FirstLineWithFlag(NumberedBookmarkFlag(9)), 35);
}

void TestTextViewNavigation::plainBookmarks() {
    CTextBuffer buffer;
    SetBufferText(buffer, NumberedLines(30));
    CTextView view;
    QVERIFY(ShowFocusedView(view, buffer, {400, 200}));
    for (unsigned id : {ID_EDIT_NEXT_BOOKMARK, ID_EDIT_PREV_BOOKMARK, ID_EDIT_CLEAR_BOOKMARKS})
        QVERIFY(!view.QueryCommand(id).IsEnabled());
    PlaceCaret(view, {20, 4});
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier);
    QVERIFY(view.QueryCommand(ID_EDIT_NEXT_BOOKMARK).IsEnabled());
    // The only bookmark on the caret's own line: F2 goes to that line's start.
    QTest::keyClick(&view, Qt::Key_F2);
    QCOMPARE(view.CaretPosition(), (TextPosition{20, 0}));
    PlaceCaret(view, {5, 2});
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier);
    PlaceCaret(view, {25, 2});
    QTest::keyClick(&view, Qt::Key_F2);
    QCOMPARE(view.CaretPosition(), (TextPosition{5, 0})); // wraps round
    QTest::keyClick(&view, Qt::Key_F2, Qt::ShiftModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{20, 0}));
    QTest::keyClick(&view, Qt::Key_F2, Qt::ShiftModifier);
    QCOMPARE(view.CaretPosition(), (TextPosition{5, 0}));
    // Toggling one off keeps the others; clearing removes them all and disables the keys.
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(buffer.LineFlags(5), 0u);
    QVERIFY(view.QueryCommand(ID_EDIT_CLEAR_BOOKMARKS).IsEnabled());
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(buffer.FirstLineWithFlag(BookmarkFlag), -1);
    QVERIFY(!view.QueryCommand(ID_EDIT_NEXT_BOOKMARK).IsEnabled());
    QTest::keyClick(&view, Qt::Key_F2);
    QCOMPARE(view.CaretPosition(), (TextPosition{5, 0}));
    // A new text forgets that bookmarks existed.
    QTest::keyClick(&view, Qt::Key_F2, Qt::ControlModifier);
    SetBufferText(buffer, "other");
    QVERIFY(!view.QueryCommand(ID_EDIT_PREV_BOOKMARK).IsEnabled());
}

QTEST_MAIN(TestTextViewNavigation)
#include "tst_TextViewNavigation.moc"
