// Typing, overwrite, auto-indent, Delete and Backspace, Tab and Shift+Tab, the clipboard
// commands, undo grouping and labels, and the read-only behaviour of the edit view, driven
// by key events and command ids.
#include "EditTestSupport.h"

#include "edit/EditView.h"
#include "framework/CommandIds.h"

#include <QClipboard>
#include <QDrag>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QtTest>

class TestEditView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_shown.reset(); }

    void typingIsUndoneFromSpaceToSpace();
    void keyEdits_data();
    void keyEdits();
    void clipboardCommands();
    void pastedTextIsMadeFitForTheBuffer_data();
    void pastedTextIsMadeFitForTheBuffer();
    void pasteOfFiftyMegabytes();
    void keysThatInsertNothing();
    void readOnlyBufferRefusesEdits_data();
    void readOnlyBufferRefusesEdits();
    void caretStaysOnScreen();
    void editsThatDoNothingAddNoIndent_data();
    void editsThatDoNothingAddNoIndent();

private:
    void SetText(std::string_view text) { SetBufferText(*m_buffer, text); }
    void Command(unsigned id) { m_view->ExecuteCommand(id); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(m_view, key, modifiers);
    }
    QString Content() const { return QString::fromStdString(Text(*m_buffer)); }
    QString Label() const { return QString::fromStdString(m_buffer->UndoLabel()); }

    std::unique_ptr<Shown<CDragOutcome<CEditView>>> m_shown;
    CTextBuffer* m_buffer = nullptr;
    CDragOutcome<CEditView>* m_view = nullptr;
};

void TestEditView::init() {
    m_shown = std::make_unique<Shown<CDragOutcome<CEditView>>>("");
    m_buffer = &m_shown->buffer;
    m_view = &m_shown->view;
    QVERIFY(m_shown->shown);
    QGuiApplication::clipboard()->clear();
}

void TestEditView::typingIsUndoneFromSpaceToSpace() {
    const auto menuText = [&](unsigned id) { return m_view->QueryCommand(id).Text(); };
    QCOMPARE(menuText(ID_EDIT_UNDO), "&Undo\tCtrl+Z");
    QCOMPARE(menuText(ID_EDIT_REDO), "&Redo\tCtrl+Y");
    QTest::keyClicks(m_view, "ab cd");
    QCOMPARE(Content(), "ab cd");
    QCOMPARE(menuText(ID_EDIT_UNDO), "&Undo Typing\tCtrl+Z");
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(MarkedText(*m_view), "ab|");
    QCOMPARE(menuText(ID_EDIT_REDO), "&Redo Typing\tCtrl+Y");
    Key(Qt::Key_Backspace, Qt::AltModifier);
    QCOMPARE(Content(), "");
    QVERIFY(!m_buffer->HasUndo());
    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(MarkedText(*m_view), "ab|");
}

void TestEditView::keyEdits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys"); // "Ins," first: in overwrite mode
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("undoLabels"); // newest first
    const auto row = [](const char* name, const char* text, const char* keys, const char* expected,
                        const QStringList& labels) {
        QTest::newRow(name) << QString(text) << QString(keys) << QString(expected) << labels;
    };
    const QStringList none, typing{"Typing"}, indent{"Indent"}, deletion{"Delete"};
    const QStringList autoIndent{"Auto Indent", "Typing"}, backspace{"Backspace"};
    row("overwrite: letter at the end of a line appends", "ab\tc|\n\tz", "Ins,X", "ab\tcx|\n\tz",
        typing);
    row("overwrite: letter on a tab replaces the tab", "ab|\tc\n\tz", "Ins,X", "abx|c\n\tz",
        typing);
    row("overwrite: enter before the last line only moves down", "ab|\tc\n\tz", "Ins,Return",
        "ab\tc\n|\tz", none);
    row("overwrite: enter on the last line breaks it without indent", "ab\tc\n\t|z", "Ins,Return",
        "ab\tc\n\t\n|z", typing);
    row("auto indent copies two tabs and a space", "\t\t if|", "Return", "\t\t if\n\t\t |",
        autoIndent);
    row("enter in a line without indentation", "na|me", "Return", "na\n|me", typing);
    row("enter inside the indentation splits it", "\t|\tx", "Return", "\t\n\t|\tx", autoIndent);
    row("a CR byte in the indentation is not copied", "\t\rx|", "Return", "\t\rx\n\t|", autoIndent);
    row("typing over a multi-line selection is one step", "o^ne\ntwo\nth|ree", "Space", "o |ree",
        QStringList{"Delete Selection"});
    row("backspace at column 0 joins the line above", "l0\nline1\n|l2", "Backspace", "l0\nline1|l2",
        backspace);
    row("backspace in a line deletes one character", "l0\nli|ne1\nl2", "Backspace", "l0\nl|ne1\nl2",
        backspace);
    row("backspace at the start of the text", "|l0\nline1", "Backspace", "|l0\nline1", none);
    row("delete at the end of a line joins the next", "l0|\nline1\nl2", "Del", "l0|line1\nl2",
        deletion);
    row("delete at the end of the last line", "l0\nline1|", "Del", "l0\nline1|", none);
    row("backspace over a backward selection deletes it", "l0\nl|ine^1\nl2", "Backspace",
        "l0\nl|1\nl2", deletion);
    row("block ending at a line start leaves that line out", "l0\nl2^\nl3\n|l4\nl5", "Tab",
        "l0\n[\tl2\n\tl3\n]l4\nl5", indent);
    row("block ending inside a line takes it", "l0\nl2^\nl3\nl|4\nl5", "Tab",
        "l0\n[\tl2\n\tl3\n\tl4\n]l5", indent);
    row("block reaching the last line ends at its end", "l3\nl|4\nl^5", "Tab", "l3\n[\tl4\n\tl5]",
        indent);
    row("shift+tab on a block removes a tab or up to four spaces per line",
        "^\t\n    x\n  \tx\nx\n  |      y", "Shift+Tab", "[\nx\nx\nx\n    y]", indent);
    row("tab inserts one tab", "ab|cdef", "Tab", "ab\t|cdef", typing);
    row("tab in overwrite mode moves to the tab stop", "a|bcdef", "Ins,Tab", "abcd|ef", none);
    row("tab in overwrite mode stops after a tab", "|a\tbcdef", "Ins,Tab", "a\t|bcdef", none);
    row("tab in overwrite mode at the line end inserts", "ab|", "Ins,Tab", "ab\t|", typing);
    row("shift+tab from column 8 goes to 4", "abcdefgh|ij", "Shift+Tab", "abcd|efghij", none);
    row("shift+tab from column 6 goes to 4", "abcdef|ghij", "Shift+Tab", "abcd|efghij", none);
    row("shift+tab lands before a tab that reaches the stop", "ab\tc|d", "Shift+Tab", "ab\t|cd",
        none);
}

void TestEditView::keyEdits() {
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    QFETCH(QStringList, undoLabels);
    SetMarkedText(*m_view, text);
    PressKeys(m_view, keys);
    QCOMPARE(MarkedText(*m_view), expected);
    for (const QString& label : undoLabels) {
        QCOMPARE(Label(), label);
        Command(ID_EDIT_UNDO);
    }
    QVERIFY(!m_buffer->HasUndo());
    QCOMPARE(Content(), QString(text).remove('|').remove('^'));
    if (keys.startsWith("Ins,")) {
        Key(Qt::Key_Insert);
        QVERIFY(!m_view->IsOverwrite());
        // A new or reloaded text starts in insert mode.
        Key(Qt::Key_Insert);
        SetText("reloaded");
        QVERIFY(!m_view->IsOverwrite());
    }
}

void TestEditView::clipboardCommands() {
    SetText("alpha beta\ngamma");
    Select(*m_view, {0, 6}, {1, 2});
    // With no text on the clipboard, Ctrl+V keeps the selection.
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(Content(), "alpha beta\ngamma");
    Key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(Content(), "alpha mma");
    QCOMPARE(QGuiApplication::clipboard()->text(), "beta\r\nga");
    QCOMPARE(Label(), "Cut");
    // A paste and the typing right after it are one step.
    m_view->SetCaretPosition({0, 9});
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_X);
    QCOMPARE(Content(), "alpha mmabeta\ngax");
    QCOMPARE(Label(), "Paste");
    Command(ID_EDIT_UNDO);
    QCOMPARE(Content(), "alpha mma");
    // Pasting over a selection is one step, labelled by the deletion.
    Select(*m_view, {0, 0}, {0, 5});
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(MarkedText(*m_view), "beta\nga| mma");
    QCOMPARE(Label(), "Delete Selection");
    Command(ID_EDIT_UNDO);
    QCOMPARE(Content(), "alpha mma");
}

void TestEditView::pastedTextIsMadeFitForTheBuffer_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QByteArray>("lines"); // the program's own format beside the text
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const QString& clipboard, const QString& expected,
                        const QByteArray& lines = {}) {
        QTest::newRow(name) << clipboard << lines << expected;
    };
    row("empty text only deletes the selection", "", "[|]");
    row("NUL characters are left out", QString::fromUtf8("a\0b\0", 4), "[ab|]");
    row("LF line ends become line breaks", "one\ntwo\n", "[one\ntwo\n|]");
    row("CR line ends are line breaks", "one\rtwo", "[one\ntwo|]");
    row("CR LF line ends stay single breaks", "one\r\ntwo", "[one\ntwo|]");
    row("characters outside Windows-1252 are left out", QString::fromUtf8("\u20ac\u4e2d\u00e9"),
        QString::fromUtf8("[\u20ac\u00e9|]"));
    row("exact lines keep a CR byte", "one\r\r\n", "[one\r\n|]",
        QByteArray("\4\0\0\0one\r\0\0\0\0", 12));
    row("an exact line longer than its data falls back to the text", "one", "[one|]",
        QByteArray("\xff\xff\xff\xffone", 7));
}

void TestEditView::pastedTextIsMadeFitForTheBuffer() {
    QFETCH(QString, clipboard);
    QFETCH(QByteArray, lines);
    QFETCH(QString, expected);
    SetMarkedText(*m_view, "[^x|]");
    auto* data = new QMimeData;
    data->setText(clipboard);
    if (!lines.isEmpty()) data->setData(CTextView::LinesMimeType, lines);
    QGuiApplication::clipboard()->setMimeData(data);
    Command(ID_EDIT_PASTE);
    QCOMPARE(MarkedText(*m_view), expected);
    Command(ID_EDIT_UNDO); // the selection comes back with it: one step
    QCOMPARE(Content(), "[x]");
}

void TestEditView::pasteOfFiftyMegabytes() {
    const QString line = QStringLiteral("ON=@Click 0123456789 abcdefghijklmnopqrstuvwxyz\r\n");
    const int lines = int((50 * 1024 * 1024 + line.size() - 1) / line.size());
    QGuiApplication::clipboard()->setText(line.repeated(lines));
    SetText("head tail");
    m_view->SetCaretPosition({0, 5});
    Command(ID_EDIT_PASTE);
    QCOMPARE(m_buffer->LineCount(), lines + 1);
    QCOMPARE(m_buffer->Line(lines), std::string_view("tail"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{lines, 0}));
    Command(ID_EDIT_UNDO);
    QCOMPARE(Content(), "head tail");
}

void TestEditView::keysThatInsertNothing() {
    // A character with no Windows-1252 byte is ignored; the euro sign is typed as 0x80.
    for (const char* typed : {"\u4e2d", "\u20ac"}) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(typed));
        QApplication::sendEvent(m_view, &key);
    }
    QCOMPARE(Text(*m_buffer), "\x80");
    // Ctrl+Backspace is consumed without deleting anything.
    m_view->SetCaretPosition({0, 1});
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::ControlModifier);
    QApplication::sendEvent(m_view, &press);
    QVERIFY(press.isAccepted());
    QCOMPARE(Text(*m_buffer), "\x80");
    // Typing while a mouse button is down is ignored.
    QWidget* viewport = m_view->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, PointAt(*m_view, {0, 1}));
    Key(Qt::Key_X);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, PointAt(*m_view, {0, 1}));
    QCOMPARE(Text(*m_buffer), "\x80");
    Key(Qt::Key_X);
    QCOMPARE(Text(*m_buffer), "\x80x");
    // None of them left an undo step of its own.
    Command(ID_EDIT_UNDO);
    QCOMPARE(Content(), "");
    QVERIFY(!m_buffer->HasUndo());
}

void TestEditView::readOnlyBufferRefusesEdits_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<TextPosition>("caret"); // line -1: the selection stays
    const TextPosition kept{-1, 0};
    for (const char* keys :
         {"X", "Return", "Del", "Backspace", "Tab", "Shift+Tab", "Ctrl+X", "Ctrl+V", "Ctrl+H"})
        QTest::newRow(keys) << keys << kept;
    QTest::newRow("copying is no edit") << "Ctrl+C" << kept;
    QTest::newRow("enter in overwrite mode only moves down") << "Ins,Return" << TextPosition{2, 0};
}

void TestEditView::readOnlyBufferRefusesEdits() {
    QFETCH(QString, keys);
    QFETCH(TextPosition, caret);
    QMainWindow frame;
    auto* view = new CEditView;
    frame.setCentralWidget(view);
    frame.statusBar();
    frame.show();
    SetText("fixed\ntext\nend");
    m_buffer->SetReadOnly(true);
    QVERIFY(ShowFocusedView(*view, *m_buffer));
    Select(*view, {0, 1}, {1, 1});
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    PressKeys(view, keys);
    QCOMPARE(Content(), "fixed\ntext\nend");
    QVERIFY(!m_buffer->HasUndo());
    QCOMPARE(view->HasSelection(), caret.line < 0);
    if (caret.line >= 0) QCOMPARE(view->CaretPosition(), caret);
    // Every refusal says why; the other keys say nothing.
    const bool refused = keys.size() < 10 && keys != "Ctrl+C";
    QCOMPARE(frame.statusBar()->currentMessage(), refused ? "Read-only" : "");
}

void TestEditView::caretStaysOnScreen() {
    QRandomGenerator random(20240611);
    std::string text;
    for (int line = 0; line < 60; ++line) {
        text += line ? "\n" : "";
        for (int ch = random.bounded(45); ch > 0; --ch)
            text += "ab \t"[random.bounded(4)];
    }
    SetText(text);
    // A text area of exactly 20 cells, and a height that leaves part of a line over.
    const QSize area(m_view->MarginWidth() + 20 * m_view->CharWidth(),
                     8 * m_view->LineHeight() + m_view->LineHeight() / 2);
    m_view->resize(m_view->size() + area - m_view->viewport()->size());
    QCOMPARE(m_view->ScreenChars(), 20);
    const QStringList keys{"Down", "Up",   "Return", "X",    "Ctrl+Left", "Ctrl+Right",
                           "End",  "Home", "PgDown", "PgUp", "Ctrl+End",  "Ctrl+Home"};
    for (int step = 0; step < 1000; ++step) {
        const QString key = keys[random.bounded(keys.size())];
        PressKeys(m_view, key);
        const TextPosition caret = m_view->CaretPosition();
        const int line = caret.line - m_view->FirstVisibleLine();
        const int column =
            m_view->VisualColumn(caret.line, caret.ch) - m_view->FirstVisibleColumn();
        const QString where = QStringLiteral("step %1, %2").arg(step).arg(key);
        QVERIFY2(line >= 0 && line < m_view->ScreenLines() && column >= 0 && column < 20,
                 qPrintable(where));
    }
}

void TestEditView::editsThatDoNothingAddNoIndent_data() {
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("outcome"); // of a drag
    QTest::newRow("a shaky click inside a selection") << "shake" << 0;
    QTest::newRow("a cancelled drag") << "drag" << int(Qt::IgnoreAction);
    QTest::newRow("a drag copied out to another program") << "drag" << int(Qt::CopyAction);
    QTest::newRow("a paste of text without a Windows-1252 byte") << "paste" << 0;
}

void TestEditView::editsThatDoNothingAddNoIndent() {
    QFETCH(QString, gesture);
    QFETCH(int, outcome);
    SetMarkedText(*m_view, "\tx\nab|");
    Key(Qt::Key_Return);
    // Below the indented line, where an auto-indent would insert a tab.
    if (gesture == "paste") {
        m_view->JumpTo({1, 1});
        QGuiApplication::clipboard()->setText(QString::fromUtf8("\u4e2d"));
        Key(Qt::Key_V, Qt::ControlModifier);
    } else {
        m_view->outcome = Qt::DropAction(outcome);
        Select(*m_view, {1, 0}, {1, 2});
        const QPoint point = PointAt(*m_view, {1, 1});
        QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseMove(m_view->viewport(), point + QPoint(gesture == "drag" ? 20 : 2, 1));
        QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, point);
    }
    QCOMPARE(Content(), "\tx\nab\n");
    QCOMPARE(Label(), "Typing");
}

QTEST_MAIN(TestEditView)
#include "tst_EditView.moc"
