#include "buffer/TextBuffer.h"

#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <functional>
#include <numeric>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLET_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLET_ASAN 1
#endif
#endif

namespace {

struct Change {
    CBufferObserver* source;
    unsigned hints;
    int line;
    TextPosition end;
};

// Records every notification; can add a change from OnEditActionDone like the edit view's
// auto-indent does.
class RecordingView : public CBufferObserver {
public:
    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override {
        changes.push_back({source, hints, line, context ? context->end() : TextPosition{}});
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
};

QByteArrayList Lines(const CTextBuffer& buffer) {
    QByteArrayList lines;
    for (int i = 0; i < buffer.LineCount(); ++i)
        lines << QByteArray(buffer.LineText(i), buffer.LineLength(i));
    return lines;
}

void Insert(CTextBuffer& buffer, TextPosition at, std::string_view text, int action = ActionTyping,
            CBufferObserver* source = nullptr) {
    TextPosition end;
    QVERIFY(buffer.InsertTextAt(source, at, text, end, action));
}

QStringList TempFiles(const QString& dir) {
    return QDir(dir).entryList({"CRE*"}, QDir::Files | QDir::Hidden);
}

// `prefix`, then `last` as the last byte of each of `blocks` 32768-byte read blocks and
// `next` as the first byte of the block after it, with x between.
QByteArray AcrossBlocks(const QByteArray& prefix, char last, char next, int blocks = 4) {
    QByteArray bytes = prefix;
    for (int k = 1; k <= blocks; ++k)
        bytes += QByteArray(32768 * k - 1 - bytes.size(), 'x') + last + next;
    return bytes + "end";
}

// Lets this process's address space grow by `room` bytes at most.
bool LimitAddressSpace(std::size_t room) {
    const std::size_t pages = ReadFileBytes("/proc/self/statm").split(' ').value(0).toULongLong();
    rlimit limit{};
    if (pages == 0 || ::getrlimit(RLIMIT_AS, &limit) != 0) return false;
    limit.rlim_cur = pages * std::size_t(::sysconf(_SC_PAGESIZE)) + room;
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

// Runs `check` in a child process, which prints what it says: 0 when it says nothing, else
// 1, or 128 plus the signal that ended the child (a blocked read's alarm).
int InChildProcess(const std::function<std::string()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        std::string said;
        try {
            said = check();
        } catch (const std::exception& e) { // it must not reach the test framework's copy
            said = std::string("exception ") + e.what();
        }
        if (!said.empty()) std::fprintf(stderr, "child process: %s\n", said.c_str());
        ::_exit(said.empty() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

Q_DECLARE_METATYPE(TextPosition)

class TestTextBuffer : public QObject {
    Q_OBJECT

    ScratchWorkingFolder m_scratch;

private slots:
    void readSplitsAndWritesBack_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("forced");
        QTest::addColumn<int>("style");            // -1: not checked
        QTest::addColumn<int>("lineCount");        // -1: not checked
        QTest::addColumn<QByteArrayList>("lines"); // checked when given
        const auto row = [](const char* name, const QByteArray& bytes, int forced, int style,
                            int count, const QByteArrayList& lines = {}) {
            QTest::newRow(name) << bytes << forced << style << count << lines;
        };
        row("empty file is one empty line, DOS", "", -1, StyleDOS, 1, {""});
        row("CR LF lines with final line end", "a\r\nb\r\n", -1, StyleDOS, 3, {"a", "b", ""});
        row("DOS: CR LF at byte 0", "\r\nx", -1, StyleDOS, 2, {"", "x"});
        row("UNIX: LF CR at byte 0", "\n\rx", -1, StyleUNIX, 2, {"", "x"});
        row("MAC: LF at byte 0", "\nx", -1, StyleMAC, 2, {"", "x"});
        row("UNIX: LF CR as the last bytes", "x\n\r", -1, StyleUNIX, 2, {"x", ""});
        row("MAC: LF as the last byte", "a\n", -1, StyleMAC, 2, {"a", ""});
        row("stray LF stays in a DOS line", "a\nb\r\nc", StyleDOS, StyleDOS, 2, {"a\nb", "c"});
        row("CR of CR LF stays in a MAC line", "a\r\nb", StyleMAC, StyleMAC, 2, {"a\r", "b"});
        row("CR CR LF keeps one CR in the line", "a\r\r\nb", -1, StyleDOS, 2, {"a\r", "b"});
        row("zero byte is kept", QByteArray("a\0b\r\nc", 6), -1, StyleDOS, 2,
            {QByteArray("a\0b", 3), "c"});
        // Detection looks at the first block only.
        row("no LF in the first 32768 bytes is DOS", QByteArray(32768, 'x') + "\nz", -1, StyleDOS,
            1);
        // Line ends split between read blocks, and line-end bytes alone at their edges.
        row("DOS: CR | LF across every block boundary", AcrossBlocks("", '\r', '\n'), -1, StyleDOS,
            5);
        row("UNIX: LF | CR across every block boundary", AcrossBlocks("u\n\r", '\n', '\r'), -1,
            StyleUNIX, 6);
        row("MAC: CR | LF across every block boundary keeps the CR",
            AcrossBlocks("m\n", '\r', '\n'), -1, StyleMAC, 6);
        row("DOS: lone CR ends every block", AcrossBlocks("", '\r', 'x'), -1, StyleDOS, 1);
        row("UNIX: lone LF ends every block", AcrossBlocks("u\n\r", '\n', 'x'), -1, StyleUNIX, 2);
        row("MAC: LF ends every block", AcrossBlocks("m\n", '\n', 'x'), -1, StyleMAC, 6);

        QByteArray all;
        for (int i = 0; i < 512; ++i)
            all += char(i);
        row("every byte value", all, -1, StyleMAC, 3);
        row("single 50 MB line", QByteArray(50 * 1024 * 1024, 'w'), -1, StyleDOS, 1);
        const QDir corpus(QUILLET_CORPUS_DIR);
        for (const QString& name : corpus.entryList(QDir::Files))
            row(qPrintable("corpus " + name), ReadFileBytes(corpus.filePath(name)), -1, -1, -1);
    }
    void readSplitsAndWritesBack() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, forced);
        QFETCH(int, style);
        QFETCH(int, lineCount);
        QFETCH(QByteArrayList, lines);
        QTemporaryDir dir;
        const QString in = dir.filePath("in.scp"), out = dir.filePath("out.scp");
        QVERIFY(WriteFileBytes(in, bytes));

        CTextBuffer buffer;
        RecordingView view;
        buffer.AttachView(&view);
        QVERIFY(buffer.ReadFromFile(in.toStdString(), forced));
        QCOMPARE(buffer.LastError(), std::string());
        if (style >= 0) QCOMPARE(buffer.LineEndStyleOf(), style);
        if (lineCount >= 0) QCOMPARE(buffer.LineCount(), lineCount);
        if (!lines.isEmpty()) QCOMPARE(Lines(buffer), lines);
        QCOMPARE(view.changes.size(), 1u);
        QCOMPARE(view.changes[0].hints, unsigned(HintReset));
        QCOMPARE(view.changes[0].line, -1);
        QVERIFY(!buffer.IsModified());
        QVERIFY(!buffer.HasUndo());

        QVERIFY(buffer.WriteToFile(out.toStdString()));
        QVERIFY(ReadFileBytes(out) == bytes);
        QVERIFY(TempFiles(dir.path()).isEmpty());
    }

    void writeConvertsLineEnds() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        CTextBuffer buffer;
        buffer.ResetToEmpty(StyleMAC);
        Insert(buffer, {0, 0}, "a\rb\r");
        const std::pair<int, QByteArray> cases[] = {
            {StyleDOS, "a\r\nb\r\n"}, {StyleUNIX, "a\n\rb\n\r"}, {StyleMAC, "a\nb\n"}};
        for (const auto& [style, bytes] : cases) {
            QVERIFY(buffer.WriteToFile(out.toStdString(), style, false));
            QCOMPARE(ReadFileBytes(out), bytes);
        }
        QVERIFY(buffer.IsModified()); // not cleared on request
    }

    // Every refused read, save or edit names its reason (edits have none) and leaves the
    // text, its history, the views, the file on disk and its folder as they were. Each runs
    // in a child process, so that one that blocks or aborts fails its own row only.
    void refusedReadsSavesAndPastes_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const char* op, const char* kind,
                            const char* reason) {
            QTest::newRow(name) << QString(op) << QString(kind) << QString(reason);
        };
        const char* denied = "Permission denied";
        const char* notRegular = "Not a regular file";
        const char* loop = "Too many levels of symbolic links";
        row("read: missing file", "read", "missing", "No such file or directory");
        row("read: folder", "read", "folder", "Is a directory");
        row("read: no read permission", "read", "unreadable", denied);
        row("read: FIFO without a writer does not block", "read", "fifo", notRegular);
        row("read: endless character device", "read", "device", notRegular);
        row("read: symlink loop", "read", "loop", loop);
        row("read: file larger than the memory left", "read", "huge",
            "Not enough memory to hold the file");
        row("save: file without write bits, for root too", "save", "readonly", denied);
        row("save: folder without write permission", "save", "lockedfolder", denied);
        row("save: over a folder", "save", "folder", "Is a directory");
        row("save: symlink loop", "save", "loop", loop);
        row("save: missing folder", "save", "nofolder", "No such file or directory");
        row("save: over a FIFO", "save", "fifo", notRegular);
        row("paste: three lines larger than the memory left", "paste", "huge", "");
    }
    void refusedReadsSavesAndPastes() {
        QFETCH(QString, op);
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if ((kind == "unreadable" || kind == "lockedfolder") && ::geteuid() == 0)
            QSKIP("permission bits do not stop the superuser");
#ifdef QUILLET_ASAN
        if (kind == "huge") QSKIP("AddressSanitizer reserves more address space than is left");
#endif
        QTemporaryDir dir;
        QString path = dir.filePath("x.scp");
        const QByteArray local = QFile::encodeName(path), folder = QFile::encodeName(dir.path());
        const bool old = kind == "unreadable" || kind == "readonly" || kind == "lockedfolder";
        if (old) QVERIFY(WriteFileBytes(path, "old"));
        if (kind == "unreadable" || kind == "readonly")
            QVERIFY(::chmod(local, kind == "readonly" ? 0444 : 0) == 0);
        else if (kind == "lockedfolder")
            QVERIFY(::chmod(folder, 0555) == 0);
        else if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir("x.scp"));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(local, 0600), 0);
        else if (kind == "loop")
            QVERIFY(QFile::link(path, path));
        else if (kind == "device")
            path = "/dev/zero";
        else if (kind == "nofolder")
            path = dir.filePath("no/such/x.scp");
        else if (kind == "huge" && op == "read") // sparse: takes no room on the disk
            QVERIFY(WriteFileBytes(path, {}) && ::truncate(local, off_t(1) << 30) == 0);
        const auto entries = [&] { return QDir(dir.path()).entryList(QDir::AllEntries); };
        const QStringList before = entries();

        const int status = InChildProcess([&] {
            CTextBuffer buffer;
            buffer.ResetToEmpty();
            Insert(buffer, {0, 0}, "keep\rme");
            RecordingView view;
            buffer.AttachView(&view);
            // Room for a copy of the pasted text and one of its lines, not for two.
            constexpr std::size_t piece = std::size_t(64) << 20;
            std::string paste(op == "paste" ? 3 * piece + 2 : 0, 'p');
            if (op == "paste") paste[piece] = paste[2 * piece + 1] = '\r';
            const std::size_t room = std::size_t(op == "paste" ? 288 : 256) << 20;
            if (kind == "huge" && !LimitAddressSpace(room)) return std::string("no memory limit");
            const std::string file = path.toStdString();
            TextPosition end;
            if (op == "read"   ? buffer.ReadFromFile(file)
                : op == "save" ? buffer.WriteToFile(file)
                               : buffer.InsertTextAt(nullptr, {0, 2}, paste, end, ActionPaste))
                return std::string("it succeeded");
            if (buffer.LastError() != reason.toStdString())
                return "the reason was '" + buffer.LastError() + "'";
            if (Lines(buffer) != QByteArrayList{"keep", "me"} || buffer.UndoRecords().size() != 1 ||
                !buffer.IsModified() || !view.changes.empty())
                return std::string("the buffer changed");
            return std::string();
        });
        ::chmod(folder, 0700);
        QCOMPARE(status, 0);
        QCOMPARE(entries(), before); // no temporary file is left behind
        if (op == "save" && old) QCOMPARE(ReadFileBytes(path), QByteArray("old"));
    }

    void readOfGrowingFileNeverCrashes() {
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

    void readOnlyFileRefusesEdits() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ro.scp");
        QVERIFY(WriteFileBytes(path, "a\r\nb"));
        QVERIFY(::chmod(path.toLocal8Bit(), 0444) == 0); // no write bit: read-only for root too
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
    }

    void saveKeepsLinksAndModes() {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.scp"), link = dir.filePath("link.scp");
        QVERIFY(WriteFileBytes(real, "old"));
        QVERIFY(::chmod(real.toLocal8Bit(), 0640) == 0);
        // A chain of relative links, each read from its own folder.
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(::symlink("sub/chain.scp", link.toLocal8Bit()) == 0);
        QVERIFY(::symlink("../real.scp", dir.filePath("sub/chain.scp").toLocal8Bit()) == 0);
        CTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(link.toStdString()));
        Insert(buffer, {0, 3}, "+new");
        QVERIFY(buffer.WriteToFile(link.toStdString()));
        QVERIFY(!buffer.IsModified());
        QVERIFY(QFileInfo(link).isSymLink() &&
                QFileInfo(dir.filePath("sub/chain.scp")).isSymLink());
        QCOMPARE(ReadFileBytes(real), QByteArray("old+new"));
        struct stat info {};
        QVERIFY(::stat(real.toLocal8Bit(), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), 0640);

        // A file with a second name keeps its identity: both names show the new text.
        const QString other = dir.filePath("other.scp");
        QVERIFY(::link(real.toLocal8Bit(), other.toLocal8Bit()) == 0);
        Insert(buffer, {0, 7}, "!");
        QVERIFY(buffer.WriteToFile(real.toStdString()));
        QCOMPARE(ReadFileBytes(other), QByteArray("old+new!"));
        struct stat after {};
        QVERIFY(::stat(real.toLocal8Bit(), &after) == 0);
        QCOMPARE(after.st_ino, info.st_ino);

        // A dangling (here absolute) link makes the file it names, with 0666 less the umask.
        const QString dangling = dir.filePath("dangling.scp"), fresh = dir.filePath("fresh.scp");
        QVERIFY(::symlink(fresh.toLocal8Bit(), dangling.toLocal8Bit()) == 0);
        const mode_t mask = ::umask(022);
        QVERIFY(buffer.WriteToFile(dangling.toStdString()));
        ::umask(mask);
        QVERIFY(QFileInfo(dangling).isSymLink());
        QVERIFY(::stat(fresh.toLocal8Bit(), &info) == 0);
        QCOMPARE(int(info.st_mode & 07777), 0644);
        QCOMPARE(ReadFileBytes(fresh), QByteArray("old+new!"));
        QVERIFY(TempFiles(dir.path()).isEmpty());
    }

    void insertSplitsAtCrOnly_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<TextPosition>("end");
        QTest::addColumn<unsigned>("hints");
        const auto row = [](const char* name, const QByteArray& text, const QByteArrayList& lines,
                            TextPosition end) {
            QTest::newRow(name) << text << lines << end
                                << (lines.size() > 1 ? HintHorzRange | HintVertRange
                                                     : HintSingleLine | HintHorzRange);
        };
        row("lone LF is an ordinary byte", "x\ny", {"abx\nycd"}, {0, 5});
        row("CR LF breaks the line once", "x\r\ny", {"abx", "ycd"}, {1, 1});
        row("empty text changes nothing but is reported", "", {"abcd"}, {0, 2});
    }
    void insertSplitsAtCrOnly() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, lines);
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
        const TextLines hostile{"ab", {{1, 5}}}; // a line reaching past the text
        QVERIFY(!buffer.InsertLinesAt(nullptr, {0, 0}, hostile, got, ActionPaste));
    }

    void broadcastsReachViewsInAttachOrder() {
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

    // Positions moved across an insertion or a deletion from (2, 3) to (4, 1).
    void adjustPosition_data() {
        QTest::addColumn<bool>("insertion");
        QTest::addColumn<TextPosition>("before");
        QTest::addColumn<TextPosition>("after");
        const auto row = [](const char* name, bool insertion, TextPosition before,
                            TextPosition after) {
            QTest::newRow(name) << insertion << before << after;
        };
        row("insert: at the point stays in front", true, {2, 3}, {2, 3});
        row("insert: behind the point on its line", true, {2, 5}, {4, 3});
        row("insert: later line moves down", true, {7, 0}, {9, 0});
        row("insert: earlier line unchanged", true, {1, 9}, {1, 9});
        row("delete: inside moves to start", false, {3, 7}, {2, 3});
        row("delete: on start line inside", false, {2, 8}, {2, 3});
        row("delete: on start line before", false, {2, 1}, {2, 1});
        row("delete: behind the end joins", false, {4, 5}, {2, 7});
        row("delete: on end line before end", false, {4, 0}, {2, 3});
        row("delete: later line moves up", false, {6, 2}, {4, 2});
    }
    void adjustPosition() {
        QFETCH(bool, insertion);
        QFETCH(TextPosition, before);
        QFETCH(TextPosition, after);
        using Kind = ChangeContext::Kind;
        const ChangeContext context(insertion ? Kind::Insertion : Kind::Deletion, {2, 3}, {4, 1});
        context.AdjustPosition(before);
        QCOMPARE(before, after);
    }

    void copyRangeJoinsWithGivenLineEnd() {
        CTextBuffer buffer;
        buffer.ResetToEmpty(StyleUNIX);
        Insert(buffer, {0, 0}, "ab\rcd\ref");
        QCOMPARE(buffer.CopyRange({0, 1}, {2, 1}), std::string("b\r\ncd\r\ne"));
        QCOMPARE(buffer.CopyRange({0, 1}, {2, 1}, "|"), std::string("b|cd|e"));
        QCOMPARE(buffer.CopyRange({1, 1}, {1, 2}), std::string("d"));
        QCOMPARE(buffer.CopyRange({2, 1}, {0, 0}), std::string()); // reversed
        QCOMPARE(buffer.CopyRange({0, 0}, {5, 0}), std::string()); // outside
    }

    void numberedBookmarkMovesBetweenLines() {
        CTextBuffer buffer;
        buffer.ResetToEmpty();
        Insert(buffer, {0, 0}, "a\rb\rc");
        RecordingView view;
        buffer.AttachView(&view);
        const std::uint32_t three = NumberedBookmarkFlag(3);
        buffer.ChangeLineFlag(0, three, true);
        buffer.ChangeLineFlag(2, three, true);
        QCOMPARE(buffer.FirstLineWithFlag(three), 2);
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
    }

    void bookmarkSearchWraps_data() {
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
    void bookmarkSearchWraps() {
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

    void undoRedoPositionsAndLabels() {
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
        QCOMPARE(Lines(buffer), (QByteArrayList{"pasted", "t"}));

        // Undoing a deletion leaves the caret behind what it puts back; redoing it, at its start.
        QVERIFY(!buffer.DeleteRange(nullptr, {0, 3}, {0, 2}, ActionDelete)); // reversed
        RecordingView view; // told what it deleted, lines joined by CR LF
        QVERIFY(buffer.DeleteRange(&view, {0, 2}, {1, 1}, ActionDelete));
        QCOMPARE(view.done, (decltype(view.done){{ActionDelete, "sted\r\nt"}}));
        QCOMPARE(buffer.UndoLabel(), std::string("Delete")); // its string sits out of order
        QVERIFY(buffer.UndoGroup(caret));
        QCOMPARE(caret, (TextPosition{1, 1}));
        QVERIFY(buffer.RedoGroup(caret));
        QCOMPARE(caret, (TextPosition{0, 2}));

        std::string label = "stale";
        QVERIFY(!buffer.ActionLabel(12, label));
        QVERIFY(label.empty());
    }

    void autoIndentFromEditActionDoneIsOwnGroup() {
        CTextBuffer buffer;
        buffer.ResetToEmpty();
        Insert(buffer, {0, 0}, "\tIF");
        RecordingView view;
        buffer.AttachView(&view);
        view.onDone = [&](int action, std::string_view text) {
            if (action == ActionTyping && text == "\r\n")
                Insert(buffer, {1, 0}, "\t", ActionAutoIndent);
        };
        Insert(buffer, {0, 3}, "\r\n", ActionTyping, &view);
        QCOMPARE(Lines(buffer), (QByteArrayList{"\tIF", "\t"}));
        QCOMPARE(view.done.size(), 1u); // the indent reported nothing of its own
        QCOMPARE(buffer.UndoLabel(), std::string("Auto Indent"));
        TextPosition caret;
        buffer.UndoGroup(caret);
        QCOMPARE(Lines(buffer), (QByteArrayList{"\tIF", ""}));
        QCOMPARE(buffer.UndoLabel(), std::string("Typing"));
        buffer.UndoGroup(caret);
        QCOMPARE(Lines(buffer), QByteArrayList{"\tIF"});

        // A group that records nothing (a click that moved no text) reports nothing: it must
        // not replay the line break and indent again.
        Insert(buffer, {0, 3}, "\r\n", ActionTyping, &view);
        buffer.OpenUndoGroup(false);
        buffer.CloseUndoGroup(&view);
        QCOMPARE(view.done.size(), 2u);
        QCOMPARE(Lines(buffer), (QByteArrayList{"\tIF", "\t"}));
    }

    void editUndoSaveModel_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("copies"); // of the three lines of the file
        QTest::newRow("undo limit 3, groups of up to 5 records") << 20261206u << 3 << 1;
        QTest::newRow("undo limit 8") << 7u << 8 << 1;
        QTest::newRow("default undo limit") << 11u << CTextBuffer::DefaultUndoLimit << 1;
        QTest::newRow("a longer file, most lines as read") << 13u << 8 << 60;
    }
    // Seeded edits, exact-line pastes, undos, redos and saves, checked after every step
    // against a plain model: the text after each group still in the history, the records of
    // each group (whole oldest groups make room, never the one being built), and the state
    // last saved.
    void editUndoSaveModel() {
        QFETCH(quint32, seed);
        QFETCH(int, limit);
        QFETCH(int, copies);
        // Lines that end in CR (CR CR LF on disk) must come back byte for byte through undo.
        QTemporaryDir dir;
        const QString path = dir.filePath("model.scp");
        QVERIFY(WriteFileBytes(
            path, QByteArray("[DIALOG d_x]\r\r\n10,10\r\r\nresizepic 0 0\r\r\n").repeated(copies)));
        CTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(path.toStdString()));
        buffer.SetUndoLimit(limit);

        QByteArrayList text = Lines(buffer), savedText = text;
        QList<QByteArrayList> states{text}; // states[k]: the text after the first k groups
        QList<int> records{0};              // records[k]: the records of group k
        int at = 0, saved = 0; // groups applied; the state saved, -1 once it cannot come back
        const auto insert = [&](TextPosition p, const QByteArrayList& pieces) {
            const QByteArray tail = text[p.line].mid(p.ch);
            text[p.line] = text[p.line].left(p.ch) + pieces[0];
            for (int i = 1; i < pieces.size(); ++i)
                text.insert(p.line + i, pieces[i]);
            text[p.line + pieces.size() - 1] += tail;
        };
        const auto addRecord = [&](bool startsGroup) {
            while (std::accumulate(records.begin(), records.end(), 0) >= limit &&
                   records.size() > (startsGroup ? 1 : 2)) {
                states.removeFirst();
                records.remove(1);
                saved = saved > 0 ? saved - 1 : -1;
            }
            if (startsGroup) records.append(0);
            ++records.last();
        };
        std::mt19937 random(seed);
        const auto pick = [&] {
            const int line = int(random() % text.size());
            return TextPosition{line, int(random() % (text[line].size() + 1))};
        };
        for (int step = 0; step < 2000; ++step) {
            const unsigned what = random() % 20; // saves are rare: each one waits for the disk
            TextPosition caret;
            if (what < 4 && at > 0) {
                QVERIFY(buffer.UndoGroup(caret));
                text = states[--at];
            } else if (what < 7 && at + 1 < states.size()) {
                QVERIFY(buffer.RedoGroup(caret));
                text = states[++at];
            } else if (what == 7) {
                QVERIFY(buffer.WriteToFile(path.toStdString()));
                saved = at;
                savedText = text;
            } else { // a group of edits; with merge they join the group the undo position ends
                const bool merges = random() % 3 == 0 && at > 0;
                states.resize(at + 1); // the redo groups go
                records.resize(at + 1);
                if (saved > at || (merges && saved == at)) saved = -1;
                buffer.OpenUndoGroup(merges);
                for (unsigned n = random() % 5 + 1, i = 0; i < n; ++i) {
                    addRecord(i == 0 && !merges);
                    TextPosition a = pick(), b = pick(), end;
                    if (b < a) std::swap(a, b);
                    if (const unsigned kind = random() % 3; kind == 0) {
                        QByteArray bytes;
                        for (unsigned k = random() % 6; k > 0; --k)
                            bytes += "ab \t\r\n\xe9"[random() % 8]; // the zero byte too
                        QVERIFY(buffer.InsertTextAt(nullptr, a, bytes.toStdString(), end,
                                                    ActionTyping));
                        insert(a, bytes.replace("\r\n", "\r").split('\r'));
                    } else if (kind == 1) { // an exact copy of lines pasted elsewhere
                        QByteArrayList pieces = text.mid(a.line, b.line - a.line + 1);
                        pieces.last().truncate(b.ch);
                        pieces.first().remove(0, a.ch);
                        const TextPosition to = pick();
                        QVERIFY(buffer.InsertLinesAt(nullptr, to, buffer.CopyLines(a, b), end,
                                                     ActionPaste));
                        insert(to, pieces);
                    } else {
                        QVERIFY(buffer.DeleteRange(nullptr, a, b, ActionDelete));
                        text[a.line] = text[a.line].left(a.ch) + text[b.line].mid(b.ch);
                        text.remove(a.line + 1, b.line - a.line);
                    }
                }
                buffer.CloseUndoGroup(nullptr);
                if (merges)
                    states.last() = text;
                else
                    states.append(text);
                at = int(states.size()) - 1;
            }
            QVERIFY2(Lines(buffer) == text, qPrintable(QString("step %1").arg(step)));
            QCOMPARE(buffer.IsModified(), at != saved);
            QVERIFY(text == savedText || buffer.IsModified());
            QCOMPARE(buffer.HasRedo(), at + 1 < states.size());
            const std::deque<UndoRecord>& history = buffer.UndoRecords();
            const int groups =
                int(std::count_if(history.begin(), history.end(),
                                  [](const UndoRecord& r) { return r.StartsGroup(); }));
            QVERIFY(history.empty() || history.front().StartsGroup());
            QCOMPARE(groups, int(states.size()) - 1);
            QCOMPARE(int(history.size()), std::accumulate(records.begin(), records.end(), 0));
            QVERIFY(int(history.size()) <= limit || groups == 1);
        }
    }
};

QTEST_APPLESS_MAIN(TestTextBuffer)
#include "tst_TextBuffer.moc"
