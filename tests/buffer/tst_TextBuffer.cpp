#include "buffer/TextBuffer.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

struct Change {
    CBufferObserver* source;
    unsigned hints;
    int line;
    bool hasContext;
    TextPosition start, end;
};

// Records every notification; can add a change from OnEditActionDone like the edit view's
// auto-indent does.
class RecordingView : public CBufferObserver {
public:
    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override {
        Change c{source, hints, line, context != nullptr, {}, {}};
        if (context) {
            c.start = context->start();
            c.end = context->end();
            context->AdjustPosition(caret);
        }
        changes.push_back(c);
        if (log) log->push_back(this);
        if (onChange) onChange();
    }
    void OnEditActionDone(int action, std::string_view text) override {
        done.emplace_back(action, std::string(text));
        if (onDone) onDone(action, text);
    }

    std::vector<Change> changes;
    std::vector<std::pair<int, std::string>> done;
    std::function<void(int, std::string_view)> onDone;
    std::function<void()> onChange;
    std::vector<RecordingView*>* log = nullptr;
    TextPosition caret;
};

QStringList Lines(const CTextBuffer& buffer) {
    QStringList lines;
    for (int i = 0; i < buffer.LineCount(); ++i)
        lines << QString::fromLatin1(buffer.LineText(i), buffer.LineLength(i));
    return lines;
}

// The whole text with a separator that the tests never put into lines.
std::string Joined(const CTextBuffer& buffer) {
    const int last = buffer.LineCount() - 1;
    return buffer.CopyRange({0, 0}, {last, buffer.LineLength(last)}, "\x01");
}

TextPosition Insert(CTextBuffer& buffer, TextPosition at, std::string_view text,
                    int action = ActionTyping, CBufferObserver* source = nullptr) {
    TextPosition end;
    if (!buffer.InsertTextAt(source, at, text, end, action)) return {-1, -1};
    return end;
}

QStringList TempFiles(const QString& dir) {
    return QDir(dir).entryList({"CRE*"}, QDir::Files | QDir::Hidden);
}

} // namespace

Q_DECLARE_METATYPE(TextPosition)

class TestTextBuffer : public QObject {
    Q_OBJECT

private slots:
    void readDetectsStyleAndSplitsLines_data();
    void readDetectsStyleAndSplitsLines();
    void readWritesBackByteForByte_data();
    void readWritesBackByteForByte();
    void corpusRoundTrip();
    void writeConvertsLineEnds_data();
    void writeConvertsLineEnds();
    void readFailureKeepsBuffer_data();
    void readFailureKeepsBuffer();
    void readOfGrowingFileNeverCrashes();
    void readOnlyFileRefusesEditsAndSave();
    void saveKeepsPermissionsAndLinks();
    void saveToMissingFolderFails();

    void insertSplitsAtCrOnly_data();
    void insertSplitsAtCrOnly();
    void deleteRange_data();
    void deleteRange();
    void broadcastsReachViewsInAttachOrder();
    void adjustPosition_data();
    void adjustPosition();
    void copyRangeJoinsWithGivenLineEnd();

    void numberedBookmarkMovesBetweenLines();
    void bookmarkSearchWraps_data();
    void bookmarkSearchWraps();

    void typingMergesUntilGroupBreak();
    void undoRedoPositionsAndLabels();
    void newEditDiscardsRedo();
    void autoIndentFromEditActionDoneIsOwnGroup();
    void undoLimitDropsWholeOldestGroup();
    void openGroupLongerThanLimitStaysUndoable();
    void undoRestoresExactBytesOfCrLines();
    void modifiedFollowsSavedPosition();
    void randomEditsUndoRedoStress();
};

void TestTextBuffer::readDetectsStyleAndSplitsLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("forced");
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file is one empty line, DOS")
        << QByteArray() << -1 << 0 << QStringList{""};
    QTest::newRow("CR LF lines with final line end")
        << QByteArray("a\r\nb\r\n") << -1 << 0 << QStringList{"a", "b", ""};
    QTest::newRow("LF CR is UNIX") << QByteArray("a\n\rb") << -1 << 1 << QStringList{"a", "b"};
    QTest::newRow("lone LF is MAC") << QByteArray("a\nb\n") << -1 << 2 << QStringList{"a", "b", ""};
    QTest::newRow("LF as last byte of the file is MAC")
        << QByteArray("a\n") << -1 << 2 << QStringList{"a", ""};
    QTest::newRow("stray LF stays in a DOS line")
        << QByteArray("a\nb\r\nc") << 0 << 0 << QStringList{"a\nb", "c"};
    QTest::newRow("CR of CR LF stays in a MAC line")
        << QByteArray("a\r\nb") << 2 << 2 << QStringList{"a\r", "b"};
    QTest::newRow("CR CR LF keeps one CR in the line")
        << QByteArray("a\r\r\nb") << -1 << 0 << QStringList{"a\r", "b"};
    QTest::newRow("zero byte is kept") << QByteArray("a\0b\r\nc", 6) << -1 << 0
                                       << QStringList{QString::fromLatin1("a\0b", 3), "c"};
    QTest::newRow("only CR bytes are one DOS line")
        << QByteArray("\r\r\r") << -1 << 0 << QStringList{"\r\r\r"};
    QTest::newRow("only LF bytes") << QByteArray("\n\n") << -1 << 2 << QStringList{"", "", ""};
    QTest::newRow("alternating LF CR")
        << QByteArray("\n\r\n\r") << -1 << 1 << QStringList{"", "", ""};

    // Detection looks at the first block only.
    QByteArray late(32768, 'x');
    late += "\nz";
    QTest::newRow("no LF in the first 32768 bytes is DOS")
        << late << -1 << 0 << QStringList{QString::fromLatin1(late)};
    // A CR LF split across two read blocks still ends a line.
    QByteArray split(32767, 'y');
    split += "\r\nq";
    QTest::newRow("CR LF across the block boundary")
        << split << 0 << 0 << QStringList{QString(32767, 'y'), "q"};
}

void TestTextBuffer::readDetectsStyleAndSplitsLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, forced);
    QFETCH(int, style);
    QFETCH(QStringList, lines);
    QTemporaryDir dir;
    const QString path = dir.filePath("in.scp");
    QVERIFY(WriteFileBytes(path, bytes));

    CTextBuffer buffer;
    RecordingView view;
    buffer.AttachView(&view);
    QVERIFY(buffer.ReadFromFile(path.toStdString(), forced));
    QCOMPARE(buffer.LineEndStyleOf(), style);
    QCOMPARE(Lines(buffer), lines);
    QCOMPARE(view.changes.size(), 1u);
    QCOMPARE(view.changes[0].hints, unsigned(HintReset));
    QCOMPARE(view.changes[0].line, -1);
    QVERIFY(!buffer.IsModified());
    QVERIFY(!buffer.HasUndo());
}

void TestTextBuffer::readWritesBackByteForByte_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    QTest::newRow("every byte value") << all + all;
    QTest::newRow("binary junk with CR LF") << QByteArray("\x00\r\n\xff\r\r\n\n\r\x00", 10);
    QTest::newRow("final line end") << QByteArray("[ITEMDEF 0eed]\r\nNAME=gold\r\n");
    QTest::newRow("single 50 MB line") << QByteArray(50 * 1024 * 1024, 'w');
}

void TestTextBuffer::readWritesBackByteForByte() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString in = dir.filePath("in"), out = dir.filePath("out");
    QVERIFY(WriteFileBytes(in, bytes));
    CTextBuffer buffer;
    QVERIFY(buffer.ReadFromFile(in.toStdString()));
    QVERIFY(buffer.WriteToFile(out.toStdString()));
    QVERIFY(ReadFileBytes(out) == bytes);
    QVERIFY(TempFiles(dir.path()).isEmpty());
}

void TestTextBuffer::corpusRoundTrip() {
    const QDir corpus(QUILLET_CORPUS_DIR);
    const QStringList files = corpus.entryList(QDir::Files);
    if (files.isEmpty()) QSKIP("the script corpus is not beside the project");
    QTemporaryDir dir;
    for (const QString& name : files) {
        const QString in = corpus.filePath(name), out = dir.filePath(name);
        CTextBuffer buffer;
        QVERIFY2(buffer.ReadFromFile(in.toStdString()), qPrintable(name));
        QVERIFY2(buffer.WriteToFile(out.toStdString()), qPrintable(name));
        QVERIFY2(ReadFileBytes(out) == ReadFileBytes(in), qPrintable(name));
        if (name == "sphere_runebook.scp") { // CR CR LF on every line
            QVERIFY(buffer.LineCount() > 100);
            QCOMPARE(buffer.Line(0).back(), '\r');
        }
    }
}

void TestTextBuffer::writeConvertsLineEnds_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("DOS") << 0 << QByteArray("a\r\nb\r\n");
    QTest::newRow("UNIX") << 1 << QByteArray("a\n\rb\n\r");
    QTest::newRow("MAC") << 2 << QByteArray("a\nb\n");
}

void TestTextBuffer::writeConvertsLineEnds() {
    QFETCH(int, style);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    CTextBuffer buffer;
    buffer.ResetToEmpty(StyleMAC);
    QCOMPARE(Insert(buffer, {0, 0}, "a\rb\r"), (TextPosition{2, 0}));
    const QString out = dir.filePath("out");
    QVERIFY(buffer.WriteToFile(out.toStdString(), style, false));
    QCOMPARE(ReadFileBytes(out), expected);
    QVERIFY(buffer.IsModified()); // not cleared on request
}

void TestTextBuffer::readFailureKeepsBuffer_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing file") << "missing";
    QTest::newRow("folder") << "folder";
    QTest::newRow("no read permission") << "unreadable";
}

void TestTextBuffer::readFailureKeepsBuffer() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QString path = dir.filePath("x");
    if (kind == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("x"));
    } else if (kind == "unreadable") {
        if (geteuid() == 0) QSKIP("the superuser reads any file");
        QVERIFY(WriteFileBytes(path, "secret"));
        QVERIFY(::chmod(path.toLocal8Bit(), 0) == 0);
    }
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "keep\rme");
    RecordingView view;
    buffer.AttachView(&view);
    QVERIFY(!buffer.ReadFromFile(path.toStdString()));
    QCOMPARE(Lines(buffer), (QStringList{"keep", "me"}));
    QVERIFY(buffer.HasUndo());
    QVERIFY(view.changes.empty());
}

void TestTextBuffer::readOfGrowingFileNeverCrashes() {
    QTemporaryDir dir;
    const QString path = dir.filePath("log.scp");
    QVERIFY(WriteFileBytes(path, QByteArray(1 << 20, 'a')));
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadWrite)) return;
        for (int i = 0; !stop && i < 2000; ++i) {
            f.resize(i % 2 ? 4096 : (2 << 20)); // shrink and grow under the reader
            f.write("line\r\n");
        }
    });
    for (int i = 0; i < 20; ++i) {
        CTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(path.toStdString()));
        QVERIFY(buffer.LineCount() >= 1);
    }
    stop = true;
    writer.join();
}

void TestTextBuffer::readOnlyFileRefusesEditsAndSave() {
    QTemporaryDir dir;
    const QString path = dir.filePath("ro.scp");
    QVERIFY(WriteFileBytes(path, "a\r\nb"));
    QVERIFY(::chmod(path.toLocal8Bit(), 0444) == 0);
    CTextBuffer buffer;
    QVERIFY(buffer.ReadFromFile(path.toStdString()));
    QVERIFY(buffer.IsReadOnly());

    RecordingView view;
    buffer.AttachView(&view);
    TextPosition end;
    QVERIFY(!buffer.InsertTextAt(&view, {0, 0}, "x", end, ActionTyping));
    QVERIFY(!buffer.DeleteRange(&view, {0, 0}, {1, 0}, ActionDelete));
    QVERIFY(view.changes.empty());
    QVERIFY(!buffer.HasUndo());

    buffer.SetReadOnly(false);
    Insert(buffer, {0, 0}, "x");
    QVERIFY(!buffer.WriteToFile(path.toStdString()));
    QCOMPARE(ReadFileBytes(path), QByteArray("a\r\nb"));
    QVERIFY(TempFiles(dir.path()).isEmpty());
    QVERIFY(buffer.IsModified());
}

void TestTextBuffer::saveKeepsPermissionsAndLinks() {
    QTemporaryDir dir;
    const QString real = dir.filePath("real.scp"), link = dir.filePath("link.scp");
    QVERIFY(WriteFileBytes(real, "old"));
    QVERIFY(::chmod(real.toLocal8Bit(), 0640) == 0);
    QVERIFY(::symlink("real.scp", link.toLocal8Bit()) == 0);

    CTextBuffer buffer;
    QVERIFY(buffer.ReadFromFile(link.toStdString()));
    Insert(buffer, {0, 3}, "+new");
    QVERIFY(buffer.WriteToFile(link.toStdString()));
    QVERIFY(!buffer.IsModified());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadFileBytes(real), QByteArray("old+new"));
    struct stat info {};
    QVERIFY(::stat(real.toLocal8Bit(), &info) == 0);
    QCOMPARE(int(info.st_mode & 07777), 0640);

    const mode_t mask = ::umask(022);
    const QString fresh = dir.filePath("fresh.scp");
    QVERIFY(buffer.WriteToFile(fresh.toStdString()));
    ::umask(mask);
    QVERIFY(::stat(fresh.toLocal8Bit(), &info) == 0);
    QCOMPARE(int(info.st_mode & 07777), 0644);
    QVERIFY(TempFiles(dir.path()).isEmpty());
}

void TestTextBuffer::saveToMissingFolderFails() {
    QTemporaryDir dir;
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    QVERIFY(!buffer.WriteToFile(dir.filePath("no/such/folder/x.scp").toStdString()));
    QVERIFY(!buffer.WriteToFile(dir.path().toStdString())); // a folder is no file
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestTextBuffer::insertSplitsAtCrOnly_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<unsigned>("hints");
    const unsigned single = HintSingleLine | HintHorzRange, multi = HintHorzRange | HintVertRange;
    QTest::newRow("lone LF is an ordinary byte")
        << QByteArray("x\ny") << QStringList{"abx\nycd"} << TextPosition{0, 5} << single;
    QTest::newRow("CR breaks the line")
        << QByteArray("x\ry") << QStringList{"abx", "ycd"} << TextPosition{1, 1} << multi;
    QTest::newRow("CR LF breaks the line once")
        << QByteArray("x\r\ny") << QStringList{"abx", "ycd"} << TextPosition{1, 1} << multi;
    QTest::newRow("LF CR is a byte and a break")
        << QByteArray("\n\r") << QStringList{"ab\n", "cd"} << TextPosition{1, 0} << multi;
    QTest::newRow("zero byte is inserted")
        << QByteArray("\0z", 2) << QStringList{QString::fromLatin1("ab\0zcd", 6)}
        << TextPosition{0, 4} << single;
    QTest::newRow("empty text changes nothing but is reported")
        << QByteArray() << QStringList{"abcd"} << TextPosition{0, 2} << single;
}

void TestTextBuffer::insertSplitsAtCrOnly() {
    QFETCH(QByteArray, text);
    QFETCH(QStringList, lines);
    QFETCH(TextPosition, end);
    QFETCH(unsigned, hints);
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "abcd");
    RecordingView view;
    buffer.AttachView(&view);
    TextPosition got;
    QVERIFY(buffer.RawInsert(&view, {0, 2}, std::string_view(text.data(), text.size()), got));
    QCOMPARE(got, end);
    QCOMPARE(Lines(buffer), lines);
    QCOMPARE(view.changes.size(), 1u);
    QCOMPARE(view.changes[0].hints, hints);
    QCOMPARE(view.changes[0].source, &view);
    QCOMPARE(view.changes[0].end, end);
    QVERIFY(!buffer.RawInsert(&view, {0, 99}, "x", got)); // outside the text
    QVERIFY(!buffer.RawInsert(&view, {9, 0}, "x", got));
}

void TestTextBuffer::deleteRange_data() {
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("removed");
    QTest::newRow("within a line")
        << TextPosition{1, 1} << TextPosition{1, 3} << QStringList{"one", "t", "three"} << "wo";
    QTest::newRow("across lines joins the ends")
        << TextPosition{0, 2} << TextPosition{2, 1} << QStringList{"onhree"} << "e\r\ntwo\r\nt";
    QTest::newRow("a whole line with its break")
        << TextPosition{1, 0} << TextPosition{2, 0} << QStringList{"one", "three"} << "two\r\n";
}

void TestTextBuffer::deleteRange() {
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    QFETCH(QStringList, lines);
    QFETCH(QString, removed);
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "one\rtwo\rthree");
    RecordingView view;
    buffer.AttachView(&view);
    QVERIFY(buffer.DeleteRange(&view, start, end, ActionDelete));
    QCOMPARE(Lines(buffer), lines);
    QCOMPARE(QString::fromStdString(buffer.UndoRecords().back().text.text), removed);
    QCOMPARE(view.done.size(), 1u);
    QCOMPARE(view.done[0].first, int(ActionDelete));
    TextPosition caret;
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(Lines(buffer), (QStringList{"one", "two", "three"}));
    QCOMPARE(caret, end);
    QVERIFY(buffer.RedoGroup(caret));
    QCOMPARE(caret, start);
    QVERIFY(!buffer.DeleteRange(&view, {0, 1}, {0, 0}, ActionDelete)); // reversed range
}

void TestTextBuffer::broadcastsReachViewsInAttachOrder() {
    CTextBuffer buffer;
    std::vector<RecordingView*> order;
    RecordingView a, b, c;
    for (RecordingView* v : {&a, &b, &c}) {
        v->log = &order;
        buffer.AttachView(v);
    }
    buffer.DetachView(&b);
    buffer.DetachView(&b); // absent: nothing happens
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "x");
    QCOMPARE(order, (std::vector<RecordingView*>{&a, &c, &a, &c}));
    QCOMPARE(a.changes[1].source, nullptr);

    // A view that detaches itself (or the next one) while being told: every view attached
    // when the change began is told once, a removed one not at all, a new one not yet.
    RecordingView d, late;
    for (RecordingView* v : {&b, &d, &late}) {
        v->log = &order;
        if (v != &late) buffer.AttachView(v);
    }
    order.clear();
    a.onChange = [&] { buffer.DetachView(&a); };
    c.onChange = [&] {
        buffer.DetachView(&b);
        buffer.AttachView(&late);
    };
    Insert(buffer, {0, 0}, "y");
    QCOMPARE(order, (std::vector<RecordingView*>{&a, &c, &d}));
}

void TestTextBuffer::adjustPosition_data() {
    QTest::addColumn<bool>("insertion");
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("end");
    QTest::addColumn<TextPosition>("before");
    QTest::addColumn<TextPosition>("after");
    using P = TextPosition;
    QTest::newRow("insert: at the point stays in front")
        << true << P{2, 3} << P{4, 1} << P{2, 3} << P{2, 3};
    QTest::newRow("insert: behind the point on its line")
        << true << P{2, 3} << P{4, 1} << P{2, 5} << P{4, 3};
    QTest::newRow("insert: later line moves down")
        << true << P{2, 3} << P{4, 1} << P{7, 0} << P{9, 0};
    QTest::newRow("insert: earlier line unchanged")
        << true << P{2, 3} << P{4, 1} << P{1, 9} << P{1, 9};
    QTest::newRow("delete: inside moves to start")
        << false << P{2, 3} << P{4, 1} << P{3, 7} << P{2, 3};
    QTest::newRow("delete: on start line inside")
        << false << P{2, 3} << P{4, 1} << P{2, 8} << P{2, 3};
    QTest::newRow("delete: on start line before")
        << false << P{2, 3} << P{4, 1} << P{2, 1} << P{2, 1};
    QTest::newRow("delete: behind the end joins")
        << false << P{2, 3} << P{4, 1} << P{4, 5} << P{2, 7};
    QTest::newRow("delete: on end line before end")
        << false << P{2, 3} << P{4, 1} << P{4, 0} << P{2, 3};
    QTest::newRow("delete: later line moves up")
        << false << P{2, 3} << P{4, 1} << P{6, 2} << P{4, 2};
}

void TestTextBuffer::adjustPosition() {
    QFETCH(bool, insertion);
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, end);
    QFETCH(TextPosition, before);
    QFETCH(TextPosition, after);
    const ChangeContext context(
        insertion ? ChangeContext::Kind::Insertion : ChangeContext::Kind::Deletion, start, end);
    context.AdjustPosition(before);
    QCOMPARE(before, after);
}

void TestTextBuffer::copyRangeJoinsWithGivenLineEnd() {
    CTextBuffer buffer;
    buffer.ResetToEmpty(StyleUNIX);
    Insert(buffer, {0, 0}, "ab\rcd\ref");
    QCOMPARE(buffer.CopyRange({0, 1}, {2, 1}), std::string("b\r\ncd\r\ne"));
    QCOMPARE(buffer.CopyRange({0, 1}, {2, 1}, "|"), std::string("b|cd|e"));
    QCOMPARE(buffer.CopyRange({1, 1}, {1, 2}), std::string("d"));
    QCOMPARE(buffer.CopyRange({2, 1}, {0, 0}), std::string()); // reversed
    QCOMPARE(buffer.CopyRange({0, 0}, {5, 0}), std::string()); // outside
}

void TestTextBuffer::numberedBookmarkMovesBetweenLines() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "a\rb\rc");
    RecordingView view;
    buffer.AttachView(&view);
    const std::uint32_t three = NumberedBookmarkFlag(3);
    buffer.ChangeLineFlag(0, three, true);
    buffer.ChangeLineFlag(2, three, true);
    QCOMPARE(buffer.FirstLineWithFlag(three), 2);
    QCOMPARE(buffer.LineFlags(0), 0u);
    QCOMPARE(view.changes.size(), 3u); // set on 0; cleared on 0; set on 2
    QCOMPARE(view.changes[1].line, 0);
    QCOMPARE(view.changes[2].line, 2);
    for (const Change& c : view.changes)
        QCOMPARE(c.hints, unsigned(HintLineFlags | HintSingleLine));

    buffer.ChangeLineFlag(2, three, true);      // no difference: nothing happens
    buffer.ChangeLineFlag(1, three | 1u, true); // not a single bit
    QCOMPARE(view.changes.size(), 3u);
    buffer.ChangeLineFlag(-1, three, false); // -1: the line holding the bit
    QCOMPARE(buffer.FirstLineWithFlag(three), -1);
    QCOMPARE(buffer.FirstLineWithFlag(3), -1);

    buffer.ChangeLineFlag(0, BookmarkFlag, true, false); // plain bookmarks may repeat
    buffer.ChangeLineFlag(1, BookmarkFlag, true, false);
    QVERIFY(buffer.LineFlags(0) & BookmarkFlag);
    QVERIFY(buffer.LineFlags(1) & BookmarkFlag);
}

void TestTextBuffer::bookmarkSearchWraps_data() {
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("next");
    QTest::addColumn<int>("prev");
    QTest::newRow("none") << QList<int>{} << 2 << -1 << -1;
    QTest::newRow("from a marked last line wraps") << QList<int>{1, 4} << 4 << 1 << 1;
    QTest::newRow("from an unmarked line includes it") << QList<int>{1, 3} << 2 << 3 << 1;
    QTest::newRow("only mark is the start line") << QList<int>{2} << 2 << 2 << 2;
    QTest::newRow("from a line outside the text") << QList<int>{3} << 99 << 3 << 3;
}

void TestTextBuffer::bookmarkSearchWraps() {
    QFETCH(QList<int>, marked);
    QFETCH(int, from);
    QFETCH(int, next);
    QFETCH(int, prev);
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "0\r1\r2\r3\r4");
    for (int line : marked)
        buffer.ChangeLineFlag(line, BookmarkFlag, true, false);
    QCOMPARE(buffer.NextBookmarkedLine(from), next);
    QCOMPARE(buffer.PrevBookmarkedLine(from), prev);
}

void TestTextBuffer::typingMergesUntilGroupBreak() {
    // Typed characters join the group before them; a space starts a new group.
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    const auto type = [&](std::string_view text, TextPosition at) {
        buffer.OpenUndoGroup(text != " ");
        Insert(buffer, at, text);
        buffer.CloseUndoGroup(nullptr);
    };
    type("a", {0, 0});
    type("b", {0, 1});
    type("c", {0, 2});
    TextPosition caret;
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(Lines(buffer), QStringList{""});
    QVERIFY(!buffer.HasUndo());

    type("a", {0, 0});
    type(" ", {0, 1});
    type("b", {0, 2});
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(Lines(buffer), QStringList{"a"});
    QCOMPARE(caret, (TextPosition{0, 1}));
    QCOMPARE(buffer.UndoLabel(), std::string("Typing"));
}

void TestTextBuffer::undoRedoPositionsAndLabels() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    QCOMPARE(buffer.UndoLabel(), std::string());
    QCOMPARE(buffer.RedoLabel(), std::string());

    buffer.OpenUndoGroup(false);
    Insert(buffer, {0, 0}, "pasted\r", ActionPaste);
    buffer.CloseUndoGroup(nullptr);
    buffer.OpenUndoGroup(true);
    Insert(buffer, {1, 0}, "t", ActionTyping);
    buffer.CloseUndoGroup(nullptr);
    QCOMPARE(buffer.UndoLabel(), std::string("Paste")); // a group takes its first label

    Insert(buffer, {1, 1}, "@", ActionInsertScript);
    QCOMPARE(buffer.UndoLabel(), std::string("Insert Script"));
    TextPosition caret;
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(buffer.RedoLabel(), std::string("Insert Script"));
    QCOMPARE(caret, (TextPosition{1, 1}));
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(caret, (TextPosition{0, 0}));
    QCOMPARE(buffer.RedoLabel(), std::string("Paste"));
    QVERIFY(buffer.RedoGroup(caret));
    QCOMPARE(caret, (TextPosition{1, 1}));
    QCOMPARE(Lines(buffer), (QStringList{"pasted", "t"}));

    struct Expect {
        int action;
        const char* label;
    };
    for (Expect e : {Expect{0, "Unknown"}, Expect{2, "Delete Selection"}, Expect{3, "Cut"},
                     Expect{5, "Backspace"}, Expect{6, "Indent"}, Expect{7, "Drag And Drop"},
                     Expect{8, "Replace"}, Expect{9, "Delete"}, Expect{10, "Auto Indent"}}) {
        std::string label;
        QVERIFY(buffer.ActionLabel(e.action, label));
        QCOMPARE(label, std::string(e.label));
    }
    std::string label = "stale";
    QVERIFY(!buffer.ActionLabel(12, label));
    QVERIFY(label.empty());
}

void TestTextBuffer::newEditDiscardsRedo() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "one");
    Insert(buffer, {0, 3}, "two");
    TextPosition caret;
    buffer.UndoGroup(caret);
    QVERIFY(buffer.HasRedo());
    Insert(buffer, {0, 3}, "x");
    QVERIFY(!buffer.HasRedo());
    QVERIFY(!buffer.RedoGroup(caret));
    QCOMPARE(Lines(buffer), QStringList{"onex"});
}

void TestTextBuffer::autoIndentFromEditActionDoneIsOwnGroup() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "\tIF");
    RecordingView view;
    buffer.AttachView(&view);
    view.onDone = [&](int action, std::string_view text) {
        if (action == ActionTyping && text == "\r\n") {
            TextPosition end;
            buffer.InsertTextAt(nullptr, {1, 0}, "\t", end, ActionAutoIndent);
        }
    };
    Insert(buffer, {0, 3}, "\r\n", ActionTyping, &view);
    QCOMPARE(Lines(buffer), (QStringList{"\tIF", "\t"}));
    QCOMPARE(view.done.size(), 1u); // the indent reported nothing of its own
    QCOMPARE(buffer.UndoLabel(), std::string("Auto Indent"));
    TextPosition caret;
    buffer.UndoGroup(caret);
    QCOMPARE(Lines(buffer), (QStringList{"\tIF", ""}));
    QCOMPARE(buffer.UndoLabel(), std::string("Typing"));
    buffer.UndoGroup(caret);
    QCOMPARE(Lines(buffer), QStringList{"\tIF"});

    // A group that records nothing (a click that moved no text) reports nothing: it must
    // not replay the line break and indent again.
    Insert(buffer, {0, 3}, "\r\n", ActionTyping, &view);
    buffer.OpenUndoGroup(false);
    buffer.CloseUndoGroup(&view);
    QCOMPARE(view.done.size(), 2u);
    QCOMPARE(Lines(buffer), (QStringList{"\tIF", "\t"}));
}

void TestTextBuffer::undoLimitDropsWholeOldestGroup() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    buffer.OpenUndoGroup(false); // a first group of three records
    for (int i = 0; i < 3; ++i)
        Insert(buffer, {0, i}, "g");
    buffer.CloseUndoGroup(nullptr);
    for (int i = 3; i < CTextBuffer::DefaultUndoLimit; ++i)
        Insert(buffer, {0, i}, "x");
    QCOMPARE(int(buffer.UndoRecords().size()), CTextBuffer::DefaultUndoLimit);
    Insert(buffer, {0, 0}, "y");
    QCOMPARE(int(buffer.UndoRecords().size()), CTextBuffer::DefaultUndoLimit - 2);
    QVERIFY(buffer.UndoRecords().front().StartsGroup());

    TextPosition caret;
    while (buffer.HasUndo())
        QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(Lines(buffer), QStringList{"ggg"});
}

void TestTextBuffer::openGroupLongerThanLimitStaysUndoable() {
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    for (int i = 1; i < 1100; ++i)
        buffer.InsertLineRecord("line");
    Insert(buffer, {0, 0}, "first");
    buffer.OpenUndoGroup(false); // a block indent of 1,100 lines
    for (int i = 0; i < 1100; ++i)
        Insert(buffer, {i, 0}, "\t", ActionIndent);
    buffer.CloseUndoGroup(nullptr);
    QVERIFY(buffer.UndoRecords().front().StartsGroup());
    QCOMPARE(buffer.UndoLabel(), std::string("Indent"));

    TextPosition caret;
    QVERIFY(buffer.UndoGroup(caret));
    QCOMPARE(buffer.Line(0), std::string_view("first"));
    QCOMPARE(buffer.Line(1099), std::string_view("line"));
    QVERIFY(!buffer.HasUndo()); // the older group made room for the long one

    QVERIFY(buffer.RedoGroup(caret));
    QCOMPARE(buffer.Line(1099), std::string_view("\tline"));
    Insert(buffer, {0, 0}, "z"); // the next group may now drop the big one
    QVERIFY(buffer.UndoRecords().front().StartsGroup());
    while (buffer.HasUndo())
        buffer.UndoGroup(caret);
}

void TestTextBuffer::undoRestoresExactBytesOfCrLines() {
    QTemporaryDir dir;
    const QString in = dir.filePath("in.scp"), out = dir.filePath("out.scp");
    const QByteArray bytes("[DIALOG d_x]\r\r\n10,10\r\r\nresizepic 0 0\r\r\n");
    QVERIFY(WriteFileBytes(in, bytes));
    CTextBuffer buffer;
    QVERIFY(buffer.ReadFromFile(in.toStdString()));
    QCOMPARE(buffer.LineCount(), 4);
    QVERIFY(buffer.DeleteRange(nullptr, {0, 3}, {2, 5}, ActionCut));
    TextPosition caret;
    QVERIFY(buffer.UndoGroup(caret));
    QVERIFY(buffer.WriteToFile(out.toStdString()));
    QCOMPARE(ReadFileBytes(out), bytes);
    QVERIFY(buffer.RedoGroup(caret));
    QVERIFY(buffer.UndoGroup(caret));
    QVERIFY(buffer.WriteToFile(out.toStdString()));
    QCOMPARE(ReadFileBytes(out), bytes);

    // The same lines copied and inserted as exact lines (a paste inside the program) keep
    // their CR bytes, also after an undo and redo of the insertion.
    TextPosition end;
    QVERIFY(
        buffer.InsertLinesAt(nullptr, {3, 0}, buffer.CopyLines({0, 0}, {3, 0}), end, ActionPaste));
    QCOMPARE(end, (TextPosition{6, 0}));
    QVERIFY(buffer.UndoGroup(caret) && buffer.RedoGroup(caret));
    QVERIFY(buffer.WriteToFile(out.toStdString()));
    QCOMPARE(ReadFileBytes(out), bytes + bytes);
    TextLines hostile{"ab", {{1, 5}}};
    QVERIFY(!buffer.InsertLinesAt(nullptr, {0, 0}, hostile, end, ActionPaste));
}

void TestTextBuffer::modifiedFollowsSavedPosition() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("m.scp").toStdString();
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    Insert(buffer, {0, 0}, "a");
    QVERIFY(buffer.IsModified());
    QVERIFY(buffer.WriteToFile(path));
    QVERIFY(!buffer.IsModified());
    Insert(buffer, {0, 1}, "b");
    TextPosition caret;
    buffer.UndoGroup(caret);
    QVERIFY(!buffer.IsModified()); // back at the saved text
    buffer.UndoGroup(caret);
    QVERIFY(buffer.IsModified());
    buffer.RedoGroup(caret);
    QVERIFY(!buffer.IsModified());

    // Once the saved text left the history it can never be reached again.
    buffer.UndoGroup(caret);
    Insert(buffer, {0, 0}, "c");
    buffer.UndoGroup(caret);
    QVERIFY(buffer.IsModified());
    buffer.RedoGroup(caret);
    QVERIFY(buffer.IsModified());
}

void TestTextBuffer::randomEditsUndoRedoStress() {
    // Seeded random edits, undos and redos against a history of expected texts; after
    // every step the buffer must hold the text of the group it stands at.
    std::mt19937 random(20261206);
    const std::string alphabet = std::string("ab \t\r\n\xe9", 7) + std::string(1, '\0');
    CTextBuffer buffer;
    buffer.ResetToEmpty();
    std::vector<std::string> states{Joined(buffer)};
    const auto groupsBefore = [&](std::size_t end) {
        int n = 0;
        for (std::size_t i = 0; i < end; ++i)
            n += buffer.UndoRecords()[i].StartsGroup();
        return n;
    };
    const auto pick = [&](int line) {
        return TextPosition{line, int(random() % (buffer.LineLength(line) + 1))};
    };
    for (int step = 0; step < 6000; ++step) {
        const unsigned what = random() % 10;
        TextPosition caret;
        if (what < 2 && buffer.HasUndo()) {
            buffer.UndoGroup(caret);
        } else if (what < 3 && buffer.HasRedo()) {
            buffer.RedoGroup(caret);
        } else {
            const int before = groupsBefore(buffer.UndoPosition());
            states.resize(before + 1);
            const bool merge = random() % 2;
            const bool merges = merge && buffer.UndoPosition() > 0;
            buffer.OpenUndoGroup(merge);
            for (unsigned n = random() % 3 + 1; n > 0; --n) {
                TextPosition a = pick(random() % buffer.LineCount());
                if (random() % 2) {
                    std::string text;
                    for (unsigned k = random() % 6; k > 0; --k)
                        text += alphabet[random() % alphabet.size()];
                    Insert(buffer, a, text);
                } else {
                    TextPosition b = pick(random() % buffer.LineCount());
                    buffer.DeleteRange(nullptr, std::min(a, b), std::max(a, b), ActionDelete);
                }
            }
            buffer.CloseUndoGroup(nullptr);
            // Groups dropped at the front by the history limit.
            const int dropped = before + (merges ? 0 : 1) - groupsBefore(buffer.UndoPosition());
            states.erase(states.begin(), states.begin() + dropped);
            if (merges)
                states.back() = Joined(buffer);
            else
                states.push_back(Joined(buffer));
        }
        QCOMPARE(int(states.size()), groupsBefore(buffer.UndoRecords().size()) + 1);
        QVERIFY(buffer.UndoRecords().empty() || buffer.UndoRecords().front().StartsGroup());
        QVERIFY2(Joined(buffer) == states[groupsBefore(buffer.UndoPosition())],
                 qPrintable(QString("step %1").arg(step)));
    }
}

QTEST_APPLESS_MAIN(TestTextBuffer)
#include "tst_TextBuffer.moc"
