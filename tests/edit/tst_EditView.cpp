// Typing, overwrite, auto-indent, Delete and Backspace, Tab and Shift+Tab, the clipboard
// commands, undo grouping and labels, and the read-only behaviour of the edit view, driven
// by key events and command ids.
#include "EditTestSupport.h"

#include "edit/EditView.h"
#include "framework/CommandIds.h"
#include "framework/Windows1252.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QtTest>

namespace {

void Select(CEditView& view, TextPosition start, TextPosition end) {
    view.SetAnchor(start);
    view.SetSelection(start, end);
    view.SetCaretPosition(end);
}

int UndoSteps(CTextBuffer& buffer) {
    int steps = 0;
    for (const UndoRecord& record : buffer.UndoRecords())
        steps += record.StartsGroup() ? 1 : 0;
    return steps;
}

} // namespace

class TestEditView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingIsUndoneFromSpaceToSpace();
    void undoAndRedoMenuTexts();
    void pasteThenTypingIsOneStep();
    void typingOverMultiLineSelection();
    void overwriteMode_data();
    void overwriteMode();
    void autoIndent_data();
    void autoIndent();
    void deleteAndBackspace_data();
    void deleteAndBackspace();
    void blockIndent_data();
    void blockIndent();
    void blockUnindent();
    void tabWithoutBlock_data();
    void tabWithoutBlock();
    void cutAndPaste();
    void pasteWithEmptyClipboardDeletesSelection();
    void pastedTextIsMadeFitForTheBuffer_data();
    void pastedTextIsMadeFitForTheBuffer();
    void pasteOfFiftyMegabytes();
    void charactersOutsideWindows1252AreIgnored();
    void controlBackspaceIsConsumed();
    void typingWhileAMouseButtonIsDownIsIgnored();
    void readOnlyBufferIgnoresEdits();

private:
    void SetText(std::string_view text) { SetBufferText(*m_buffer, text); }
    void Command(unsigned id) { m_view->ExecuteCommand(id); }

    CTextBuffer* m_buffer = nullptr;
    CEditView* m_view = nullptr;
};

void TestEditView::init() {
    m_buffer = new CTextBuffer;
    m_buffer->ResetToEmpty();
    m_view = new CEditView;
    QVERIFY(ShowFocusedView(*m_view, *m_buffer));
    QGuiApplication::clipboard()->clear();
}

void TestEditView::cleanup() {
    delete m_view;
    delete m_buffer;
}

void TestEditView::typingIsUndoneFromSpaceToSpace() {
    QTest::keyClicks(m_view, "ab cd");
    QCOMPARE(Text(*m_buffer), std::string("ab cd"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 5}));
    QCOMPARE(UndoSteps(*m_buffer), 2);
    QCOMPARE(m_buffer->UndoLabel(), std::string("Typing"));
    QTest::keyClick(m_view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Text(*m_buffer), std::string("ab"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 2}));
    QTest::keyClick(m_view, Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(Text(*m_buffer), std::string(""));
    QVERIFY(!m_buffer->HasUndo());
    QTest::keyClick(m_view, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Text(*m_buffer), std::string("ab"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 2}));
}

void TestEditView::undoAndRedoMenuTexts() {
    CCommandUI undo = m_view->QueryCommand(ID_EDIT_UNDO);
    QVERIFY(!undo.IsEnabled());
    QCOMPARE(undo.Text(), QStringLiteral("&Undo\tCtrl+Z"));
    QCOMPARE(m_view->QueryCommand(ID_EDIT_REDO).Text(), QStringLiteral("&Redo\tCtrl+Y"));
    QTest::keyClick(m_view, Qt::Key_A);
    QTest::keyClick(m_view, Qt::Key_Backspace);
    undo = m_view->QueryCommand(ID_EDIT_UNDO);
    QVERIFY(undo.IsEnabled());
    QCOMPARE(undo.Text(), QStringLiteral("&Undo Backspace\tCtrl+Z"));
    Command(ID_EDIT_UNDO);
    const CCommandUI redo = m_view->QueryCommand(ID_EDIT_REDO);
    QVERIFY(redo.IsEnabled());
    QCOMPARE(redo.Text(), QStringLiteral("&Redo Backspace\tCtrl+Y"));
    QCOMPARE(m_view->QueryCommand(ID_EDIT_UNDO).Text(), QStringLiteral("&Undo Typing\tCtrl+Z"));
}

void TestEditView::pasteThenTypingIsOneStep() {
    SetText("start ");
    m_view->SetCaretPosition({0, 6});
    QGuiApplication::clipboard()->setText(QStringLiteral("word"));
    QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(m_view, Qt::Key_X);
    QCOMPARE(Text(*m_buffer), std::string("start wordx"));
    QCOMPARE(m_buffer->UndoLabel(), std::string("Paste"));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("start "));
    QVERIFY(!m_buffer->HasUndo());
}

void TestEditView::typingOverMultiLineSelection() {
    SetText("one\ntwo\nthree");
    Select(*m_view, {0, 1}, {2, 2});
    QTest::keyClick(m_view, Qt::Key_Space);
    QCOMPARE(Text(*m_buffer), std::string("o ree"));
    QCOMPARE(UndoSteps(*m_buffer), 1);
    QCOMPARE(m_buffer->UndoLabel(), std::string("Delete Selection"));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("one\ntwo\nthree"));
}

void TestEditView::overwriteMode_data() {
    QTest::addColumn<TextPosition>("caret");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<TextPosition>("caretAfter");
    QTest::newRow("letter at the end of a line appends")
        << TextPosition{0, 4} << int(Qt::Key_X) << "ab\tcx\n\tz" << TextPosition{0, 5};
    QTest::newRow("letter in the middle replaces one character")
        << TextPosition{0, 1} << int(Qt::Key_X) << "ax\tc\n\tz" << TextPosition{0, 2};
    QTest::newRow("letter on a tab replaces the tab")
        << TextPosition{0, 2} << int(Qt::Key_X) << "abxc\n\tz" << TextPosition{0, 3};
    QTest::newRow("enter before the last line only moves down")
        << TextPosition{0, 2} << int(Qt::Key_Return) << "ab\tc\n\tz" << TextPosition{1, 0};
    QTest::newRow("enter on the last line breaks it without indent")
        << TextPosition{1, 1} << int(Qt::Key_Return) << "ab\tc\n\t\nz" << TextPosition{2, 0};
}

void TestEditView::overwriteMode() {
    QFETCH(TextPosition, caret);
    QFETCH(int, key);
    QFETCH(QString, expected);
    QFETCH(TextPosition, caretAfter);
    SetText("ab\tc\n\tz");
    QTest::keyClick(m_view, Qt::Key_Insert);
    QVERIFY(m_view->IsOverwrite());
    QVERIFY(m_view->QueryCommand(ID_EDIT_SWITCH_OVRMODE).IsChecked());
    m_view->SetCaretPosition(caret);
    QTest::keyClick(m_view, Qt::Key(key));
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(m_view->CaretPosition(), caretAfter);
    QTest::keyClick(m_view, Qt::Key_Insert);
    QVERIFY(!m_view->IsOverwrite());
    // A new or reloaded text starts in insert mode.
    QTest::keyClick(m_view, Qt::Key_Insert);
    SetText("reloaded");
    QVERIFY(!m_view->IsOverwrite());
}

void TestEditView::autoIndent_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<TextPosition>("caret");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<TextPosition>("caretAfter");
    QTest::addColumn<QStringList>("undoLabels");
    QTest::newRow("two tabs and a space are copied")
        << "\t\t if" << TextPosition{0, 5} << "\t\t if\n\t\t " << TextPosition{1, 3}
        << QStringList{"Auto Indent", "Typing"};
    QTest::newRow("line without indentation")
        << "name" << TextPosition{0, 2} << "na\nme" << TextPosition{1, 0} << QStringList{"Typing"};
    QTest::newRow("empty document") << "" << TextPosition{0, 0} << "\n"
                                    << TextPosition{1, 0} << QStringList{"Typing"};
    QTest::newRow("enter inside the indentation splits it")
        << "\t\tx" << TextPosition{0, 1} << "\t\n\t\tx" << TextPosition{1, 1}
        << QStringList{"Auto Indent", "Typing"};
    QTest::newRow("a CR byte in the indentation is not copied")
        << "\t\rx" << TextPosition{0, 3} << "\t\rx\n\t" << TextPosition{1, 1}
        << QStringList{"Auto Indent", "Typing"};
}

void TestEditView::autoIndent() {
    QFETCH(QString, text);
    QFETCH(TextPosition, caret);
    QFETCH(QString, expected);
    QFETCH(TextPosition, caretAfter);
    QFETCH(QStringList, undoLabels);
    // Lines are set directly, so a CR byte can sit inside one.
    m_buffer->ClearAll();
    m_buffer->InsertLineRecord(text.toStdString());
    m_buffer->BroadcastChange(nullptr, nullptr, HintReset, -1);
    m_view->SetCaretPosition(caret);
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(m_view->CaretPosition(), caretAfter);
    for (const QString& label : undoLabels) {
        QCOMPARE(QString::fromStdString(m_buffer->UndoLabel()), label);
        Command(ID_EDIT_UNDO);
    }
    QVERIFY(!m_buffer->HasUndo());
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), text);
}

void TestEditView::deleteAndBackspace_data() {
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<TextPosition>("caretAfter");
    QTest::addColumn<QString>("label"); // empty: nothing recorded
    const QString text = "l0\nl1\nl2\nl3\nline4\nl5";
    QTest::newRow("backspace at column 0 joins the line above")
        << TextPosition{5, 0} << TextPosition{5, 0} << int(Qt::Key_Backspace)
        << "l0\nl1\nl2\nl3\nline4l5" << TextPosition{4, 5} << "Backspace";
    QTest::newRow("backspace in a line deletes one character")
        << TextPosition{4, 2} << TextPosition{4, 2} << int(Qt::Key_Backspace)
        << "l0\nl1\nl2\nl3\nlne4\nl5" << TextPosition{4, 1} << "Backspace";
    QTest::newRow("backspace at the start of the text")
        << TextPosition{0, 0} << TextPosition{0, 0} << int(Qt::Key_Backspace) << text
        << TextPosition{0, 0} << "";
    QTest::newRow("delete at the end of a line joins the next")
        << TextPosition{0, 2} << TextPosition{0, 2} << int(Qt::Key_Delete)
        << "l0l1\nl2\nl3\nline4\nl5" << TextPosition{0, 2} << "Delete";
    QTest::newRow("delete at the end of the last line")
        << TextPosition{5, 2} << TextPosition{5, 2} << int(Qt::Key_Delete) << text
        << TextPosition{5, 2} << "";
    QTest::newRow("delete of a selection is labelled Delete")
        << TextPosition{3, 1} << TextPosition{1, 1} << int(Qt::Key_Delete) << "l0\nl3\nline4\nl5"
        << TextPosition{1, 1} << "Delete";
    QTest::newRow("backspace over a selection deletes it")
        << TextPosition{4, 1} << TextPosition{4, 4} << int(Qt::Key_Backspace)
        << "l0\nl1\nl2\nl3\nl4\nl5" << TextPosition{4, 1} << "Delete";
}

void TestEditView::deleteAndBackspace() {
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    QFETCH(int, key);
    QFETCH(QString, expected);
    QFETCH(TextPosition, caretAfter);
    QFETCH(QString, label);
    SetText("l0\nl1\nl2\nl3\nline4\nl5");
    Select(*m_view, start, end);
    QTest::keyClick(m_view, Qt::Key(key));
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(m_view->CaretPosition(), caretAfter);
    QVERIFY(!m_view->HasSelection());
    QCOMPARE(m_buffer->HasUndo(), !label.isEmpty());
    if (!label.isEmpty()) QCOMPARE(QString::fromStdString(m_buffer->UndoLabel()), label);
}

void TestEditView::blockIndent_data() {
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<TextPosition>("selEnd");
    QTest::newRow("selection ending at a line start leaves that line out")
        << TextPosition{2, 3} << TextPosition{4, 0} << "l0\nl1\n\tl2\n\tl3\nl4\nl5"
        << TextPosition{4, 0};
    QTest::newRow("selection ending inside a line takes it")
        << TextPosition{2, 3} << TextPosition{4, 1} << "l0\nl1\n\tl2\n\tl3\n\tl4\nl5"
        << TextPosition{5, 0};
    QTest::newRow("block reaching the last line ends at its end")
        << TextPosition{5, 1} << TextPosition{4, 1} << "l0\nl1\nl2\nl3\n\tl4\n\tl5"
        << TextPosition{5, 3};
}

void TestEditView::blockIndent() {
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    QFETCH(QString, expected);
    QFETCH(TextPosition, selEnd);
    SetText("l0\nl1\nl2\nl3\nl4\nl5");
    Select(*m_view, start, end);
    QTest::keyClick(m_view, Qt::Key_Tab);
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{std::min(start, end).line, 0}));
    QCOMPARE(SelectionEndOf(*m_view), selEnd);
    QCOMPARE(UndoSteps(*m_buffer), 1);
    QCOMPARE(m_buffer->UndoLabel(), std::string("Indent"));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("l0\nl1\nl2\nl3\nl4\nl5"));
}

void TestEditView::blockUnindent() {
    SetText("\t\n    x\n  \tx\nx\n        y");
    Select(*m_view, {0, 0}, {4, 2});
    QTest::keyClick(m_view, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Text(*m_buffer), std::string("\nx\nx\nx\n    y"));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{4, 5}));
    QCOMPARE(UndoSteps(*m_buffer), 1);
    QCOMPARE(m_buffer->UndoLabel(), std::string("Indent"));
}

void TestEditView::tabWithoutBlock_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("tab inserts one tab") << "abcdef" << false << false << 2 << "ab\tcdef" << 3;
    QTest::newRow("tab in overwrite mode moves to the tab stop")
        << "abcdef" << true << false << 1 << "abcdef" << 4;
    QTest::newRow("tab in overwrite mode stops after a tab")
        << "a\tbcdef" << true << false << 0 << "a\tbcdef" << 2;
    QTest::newRow("tab in overwrite mode at the line end inserts")
        << "ab" << true << false << 2 << "ab\t" << 3;
    QTest::newRow("shift+tab from column 8 goes to 4")
        << "abcdefghij" << false << true << 8 << "abcdefghij" << 4;
    QTest::newRow("shift+tab from column 6 goes to 4")
        << "abcdefghij" << false << true << 6 << "abcdefghij" << 4;
    QTest::newRow("shift+tab at column 0 stays") << "abc" << false << true << 0 << "abc" << 0;
    QTest::newRow("shift+tab lands before a tab that reaches the stop")
        << "ab\tcd" << false << true << 4 << "ab\tcd" << 3;
}

void TestEditView::tabWithoutBlock() {
    QFETCH(QString, text);
    QFETCH(bool, overwrite);
    QFETCH(bool, shift);
    QFETCH(int, caret);
    QFETCH(QString, expected);
    QFETCH(int, caretAfter);
    SetText(text.toStdString());
    if (overwrite) Command(ID_EDIT_SWITCH_OVRMODE);
    m_view->SetCaretPosition({0, caret});
    if (shift)
        QTest::keyClick(m_view, Qt::Key_Backtab, Qt::ShiftModifier);
    else
        QTest::keyClick(m_view, Qt::Key_Tab);
    QCOMPARE(QString::fromStdString(Text(*m_buffer)), expected);
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, caretAfter}));
}

void TestEditView::cutAndPaste() {
    SetText("alpha beta\ngamma");
    QVERIFY(!m_view->QueryCommand(ID_EDIT_CUT).IsEnabled());
    Select(*m_view, {0, 6}, {1, 2});
    QVERIFY(m_view->QueryCommand(ID_EDIT_CUT).IsEnabled());
    QTest::keyClick(m_view, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Text(*m_buffer), std::string("alpha mma"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("beta\r\nga"));
    QCOMPARE(m_buffer->UndoLabel(), std::string("Cut"));
    QVERIFY(m_view->QueryCommand(ID_EDIT_PASTE).IsEnabled());
    // Pasting over a selection is one step, labelled by the deletion.
    Select(*m_view, {0, 0}, {0, 5});
    QTest::keyClick(m_view, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(Text(*m_buffer), std::string("beta\nga mma"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 2}));
    QVERIFY(!m_view->HasSelection());
    QCOMPARE(m_buffer->UndoLabel(), std::string("Delete Selection"));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("alpha mma"));
}

void TestEditView::pasteWithEmptyClipboardDeletesSelection() {
    SetText("keep this");
    Select(*m_view, {0, 4}, {0, 9});
    QVERIFY(!m_view->QueryCommand(ID_EDIT_PASTE).IsEnabled());
    QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Text(*m_buffer), std::string("keep this"));
    // Text is offered but empty: the selection goes and nothing is inserted.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), QByteArray());
    QGuiApplication::clipboard()->setMimeData(data);
    QVERIFY(m_view->QueryCommand(ID_EDIT_PASTE).IsEnabled());
    Command(ID_EDIT_PASTE);
    QCOMPARE(Text(*m_buffer), std::string("keep"));
    QCOMPARE(UndoSteps(*m_buffer), 1);
    QCOMPARE(m_buffer->UndoLabel(), std::string("Delete Selection"));
}

void TestEditView::pastedTextIsMadeFitForTheBuffer_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NUL characters are left out") << QString::fromUtf8("a\0b\0", 4) << "[ab]";
    QTest::newRow("LF line ends become line breaks") << "one\ntwo\n"
                                                     << "[one\ntwo\n]";
    QTest::newRow("CR line ends are line breaks") << "one\rtwo"
                                                  << "[one\ntwo]";
    QTest::newRow("CR LF line ends stay single breaks") << "one\r\ntwo"
                                                        << "[one\ntwo]";
    QTest::newRow("characters outside Windows-1252 are left out")
        << QString::fromUtf8("\u20ac\u4e2d\u00e9") << QString::fromUtf8("[\u20ac\u00e9]");
}

void TestEditView::pastedTextIsMadeFitForTheBuffer() {
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    SetText("[]");
    m_view->SetCaretPosition({0, 1});
    QGuiApplication::clipboard()->setText(clipboard);
    Command(ID_EDIT_PASTE);
    QString text;
    for (int line = 0; line < m_buffer->LineCount(); ++line)
        text += (line ? "\n" : "") + TextFromWindows1252(m_buffer->Line(line));
    QCOMPARE(text, expected);
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("[]"));
}

void TestEditView::pasteOfFiftyMegabytes() {
    const QString line = QStringLiteral("ON=@Click 0123456789 abcdefghijklmnopqrstuvwxyz\r\n");
    QString big;
    big.reserve(50 * 1024 * 1024 + line.size());
    while (big.size() < 50 * 1024 * 1024)
        big += line;
    QGuiApplication::clipboard()->setText(big);
    const int lines = int(big.size() / line.size());
    big.clear();
    SetText("head tail");
    m_view->SetCaretPosition({0, 5});
    Command(ID_EDIT_PASTE);
    QCOMPARE(m_buffer->LineCount(), lines + 1);
    QCOMPARE(m_buffer->Line(lines), std::string_view("tail"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{lines, 0}));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("head tail"));
}

void TestEditView::charactersOutsideWindows1252AreIgnored() {
    QKeyEvent chinese(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                      QString::fromUtf8("\u4e2d"));
    QApplication::sendEvent(m_view, &chinese);
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\u20ac"));
    QApplication::sendEvent(m_view, &euro);
    QCOMPARE(Text(*m_buffer), std::string("\x80"));
}

void TestEditView::controlBackspaceIsConsumed() {
    SetText("word");
    m_view->SetCaretPosition({0, 4});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::ControlModifier);
    QApplication::sendEvent(m_view, &press);
    QVERIFY(press.isAccepted());
    QCOMPARE(Text(*m_buffer), std::string("word"));
    QVERIFY(!m_buffer->HasUndo());
}

void TestEditView::typingWhileAMouseButtonIsDownIsIgnored() {
    SetText("text");
    QWidget* viewport = m_view->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, PointAt(*m_view, {0, 2}));
    QTest::keyClick(m_view, Qt::Key_X);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, PointAt(*m_view, {0, 2}));
    QCOMPARE(Text(*m_buffer), std::string("text"));
    QTest::keyClick(m_view, Qt::Key_X);
    QCOMPARE(Text(*m_buffer), std::string("texxt"));
}

void TestEditView::readOnlyBufferIgnoresEdits() {
    SetText("fixed\ntext");
    m_buffer->SetReadOnly(true);
    QVERIFY(!m_view->IsEditable());
    m_view->SetCaretPosition({0, 2});
    QTest::keyClicks(m_view, "ab");
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Backtab})
        QTest::keyClick(m_view, key);
    Select(*m_view, {0, 1}, {1, 1});
    QTest::keyClick(m_view, Qt::Key_Tab);
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QVERIFY(m_view->QueryCommand(ID_EDIT_CUT).IsEnabled());
    QVERIFY(m_view->QueryCommand(ID_EDIT_PASTE).IsEnabled());
    Command(ID_EDIT_CUT);
    Command(ID_EDIT_PASTE);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("x"));
    QCOMPARE(Text(*m_buffer), std::string("fixed\ntext"));
    QVERIFY(!m_buffer->HasUndo());
    // Enter in overwrite mode still moves to the next line.
    Command(ID_EDIT_SWITCH_OVRMODE);
    m_view->SetCaretPosition({0, 3});
    QTest::keyClick(m_view, Qt::Key_Return);
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 0}));
}

QTEST_MAIN(TestEditView)
#include "tst_EditView.moc"
