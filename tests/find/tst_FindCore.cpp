// The search core without a window: the matcher against a plain search over the lines the
// buffer reads, the walk of a folder tree, script definitions and their index.
#include <QDir>
#include <QtTest>

#include "PlainFind.h"
#include "TestFiles.h"
#include "buffer/TextBuffer.h"
#include "find/DefinitionIndex.h"
#include "find/FileWalk.h"
#include "find/TextMatcher.h"

#include <QRandomGenerator>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Show(int line, int column, std::string_view text) {
    return QString("%1:%2 %3").arg(line).arg(column).arg(QString::fromLatin1(text));
}

QStringList MatchingLines(const std::string& text, const std::string& needle, unsigned flags) {
    QStringList lines;
    CTextMatcher(needle, flags).ForEachMatchingLine(text, [&](const LineMatch& match) {
        lines << Show(match.line, match.column, match.text);
        return true;
    });
    return lines;
}

QStringList Definitions(const std::string& text) {
    QStringList found;
    ForEachDefinition(text, [&](std::string_view name, int line, std::string_view lineText) {
        found << QString::fromLatin1(name) + "@" + QString::number(line) + " " +
                     QString::fromLatin1(lineText);
    });
    return found;
}

QStringList Sites(const std::vector<DefinitionSite>& sites) {
    QStringList shown;
    for (const DefinitionSite& site : sites)
        shown << QString::fromStdString(site.path).section('/', -1) + ":" +
                     QString::number(site.line);
    return shown;
}

} // namespace

class TestFindCore : public QObject {
    Q_OBJECT

private slots:
    void matchingLines_data();
    void matchingLines();
    void matcherAgreesWithAPlainSearch();
    void patternsIgnoreCaseAndBlanks();
    void walkFollowsLinksOnceAndReadsOnlyRegularFiles();
    void definitionsOfAScript();
    void corpusIndexFindsEachDefinition();
    void indexFollowsChangesAndOpenDocuments();
};

void TestFindCore::matchingLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("needle");
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<QStringList>("lines");
    const unsigned word = FindWholeWord;
    const auto row = [](const char* name, QByteArray text, QByteArray needle, unsigned flags,
                        QStringList lines) {
        QTest::newRow(name) << text << needle << flags << lines;
    };
    row("match at byte 0", "ab\r\nx", "AB", 0, {"0:0 ab"});
    row("match at the very end without a line end", "x\r\nyab", "ab", 0, {"1:1 yab"});
    row("needle longer than the text", "ab", "abc", 0, {});
    row("whole word at both text ends", "ab", "ab", word, {"0:0 ab"});
    row("mirror: word bytes at both ends", "_ab9", "ab", word, {});
    row("line ends around a whole word", "x\r\nab\r\n", "ab", word, {"1:0 ab"});
    row("needle holding a line end matches nothing", "a\r\nb", "a\r\nb", 0, {});
    row("LF alone first: CR | LF later keeps its CR", "a\nb\r\nab", "b", 0, {"1:0 b\r", "2:1 ab"});
    row("CR LF first: a stray LF stays in the line", "a\r\nb\nab\r\nx", "ab", 0, {"1:2 b\nab"});
    row("no LF in the first block: CR LF lines", QByteArray(32768, 'x') + "\nab", "ab", 0,
        {"0:32769 " + QString(32768, 'x') + "\nab"});
}

void TestFindCore::matchingLines() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, needle);
    QFETCH(unsigned, flags);
    QFETCH(QStringList, lines);
    QCOMPARE(MatchingLines(text.toStdString(), needle.toStdString(), flags), lines);
}

// Random texts read by the buffer from a file and searched line by line with the plain model.
// Every twentieth text is long and periodic, full of near matches of a periodic needle,
// which the matcher searches in linear time instead; there an occurrence after a 'b' is no
// whole word but the one overlapping it is.
void TestFindCore::matcherAgreesWithAPlainSearch() {
    QTemporaryDir folder;
    const QString file = folder.filePath("random.scp");
    QRandomGenerator random(4711);
    for (int round = 0; round < 1200; ++round) {
        std::string text, needle;
        if (round % 20 == 0) {
            for (int i = 0; i < 8000; ++i) {
                const int unit = random.bounded(1000);
                text += unit < 10 ? std::string(1, "\n  bbaaaaa"[unit]) : unit < 100 ? "A." : "a.";
            }
            for (int i = 2 + random.bounded(12); i > 0; --i)
                needle += "a.";
            if (random.bounded(2)) needle += 'a';
        } else {
            for (int i = random.bounded(40); i > 0; --i)
                text += "aAbB_9 .\r\n\xe9\xc9"[random.bounded(12)];
            for (int i = 1 + random.bounded(4); i > 0; --i)
                needle += "aAbB_9.\xe9"[random.bounded(8)];
        }
        QFile::remove(file); // a new file each time: rewriting one in place waits for the disk
        QVERIFY(WriteFileBytes(file, QByteArray::fromStdString(text)));
        CTextBuffer buffer;
        QVERIFY(buffer.ReadFromFile(file.toStdString()));
        for (const unsigned flags : {0u, 1u, 2u, 3u}) {
            QStringList expected;
            for (int line = 0; line < buffer.LineCount(); ++line) {
                const int at = PlainFindInLine(buffer.Line(line), needle, flags);
                if (at >= 0) expected << Show(line, at, buffer.Line(line));
            }
            QCOMPARE(MatchingLines(text, needle, flags), expected);

            const int line = random.bounded(buffer.LineCount());
            const int from = random.bounded(buffer.LineLength(line) + 1);
            QCOMPARE(CTextMatcher(needle, flags).FindInLine(buffer.Line(line), from),
                     PlainFindInLine(buffer.Line(line), needle, flags, from));
        }
    }
}

void TestFindCore::patternsIgnoreCaseAndBlanks() {
    const auto matches = [](const char* patterns, const char* name) {
        return FilePatterns::Parse(patterns).Matches(name);
    };
    QVERIFY(matches("*.scp;*.ini", "SPHERE.INI") && !matches("*.scp", "a.scp.bak"));
    QVERIFY(matches(" *.scp ; ", "a.scp") && matches(" ; ", "any.txt"));
    QVERIFY(matches("?.scp", "a.scp") && !matches("?.scp", "ab.scp"));
    QVERIFY(matches("a*b*c", "aXbYbZc") && !matches("a*b*c", "aXbYcZ"));
}

void TestFindCore::walkFollowsLinksOnceAndReadsOnlyRegularFiles() {
    QTemporaryDir root;
    const std::string top = root.path().toStdString();
    QVERIFY(QDir(root.path()).mkpath("sub") && QDir(root.path()).mkpath("dir.scp"));
    for (const char* name : {"a.scp", "B.INI", "c.txt", "sub/d.scp", "dir.scp/f.scp"})
        QVERIFY(WriteFileBytes(root.filePath(name), "[FUNCTION f]\r\n"));
    QVERIFY(::symlink(top.c_str(), (top + "/sub/loop").c_str()) == 0);
    QVERIFY(::symlink("../a.scp", (top + "/sub/e.scp").c_str()) == 0);
    QVERIFY(::symlink("nowhere", (top + "/dangling.scp").c_str()) == 0);
    QVERIFY(::mkfifo((top + "/fifo.scp").c_str(), 0600) == 0);

    QStringList visited;
    const FilePatterns patterns = FilePatterns::Parse("*.scp;*.ini");
    const auto visit = [&](const std::string& path) {
        visited << QString::fromStdString(path).mid(root.path().size() + 1);
    };
    const WalkCounts counts = WalkFiles(top, patterns, visit);
    QCOMPARE(visited, QStringList({"B.INI", "a.scp", "dangling.scp", "dir.scp/f.scp", "sub/d.scp",
                                   "sub/e.scp"}));
    QVERIFY(counts.files == 6 && counts.unreadable == 0);
    QCOMPARE(WalkFiles(top + "/missing", patterns, visit).unreadable, std::size_t(1));
    std::atomic<bool> stop{false};
    const auto stopAtOnce = [&](const std::string&) { stop = true; };
    QCOMPARE(WalkFiles(top, patterns, stopAtOnce, &stop).files, std::size_t(1));

    std::string bytes, error;
    for (const char* name : {"dangling.scp", "fifo.scp", "dir.scp"})
        QVERIFY(!ReadWholeFile(top + "/" + name, bytes, error) && !error.empty());
    QVERIFY(ReadWholeFile(top + "/sub/e.scp", bytes, error, 14) && bytes == "[FUNCTION f]\r\n");
    QVERIFY(!ReadWholeFile(top + "/a.scp", bytes, error, 13));
}

void TestFindCore::definitionsOfAScript() {
    // Each line, with the name it defines.
    std::vector<std::pair<std::string, std::string>> lines = {
        {"DEFNAME=outside_any_section", ""},
        {"[ITEMDEF 01f0 ] // hex id", "01f0"},
        {"\tDeFName = i_alias // named", "i_alias"},
        {"DEFNAME2  i_second", "i_second"},
        {"// DEFNAME=commented", ""},
        {"DEFNAMES=other_key", ""},
        {"[DIALOG d_x TEXT]", "d_x"},
        {"[SECTIONX not_a_name]", ""},
        {"DEFNAME inside_any_section", "inside_any_section"},
        {"DEFNAME i_half/sword//comment", "i_half/sword"},
        {"defname\ti_lower", "i_lower"},
        {"[defname d_names]", "d_names"},
        {"  first 1", "first"},
        {"second=2", "second"},
        {"", ""},
        {"// third 3", ""}};
    for (const std::string kind :
         {"chardef", "FUNCTION", "Events", "DIALOG", "TYPEDEF", "TEMPLATE", "SPEECH", "REGIONTYPE",
          "SPAWN", "AREADEF", "ROOMDEF", "SKILLCLASS", "MENU", "BOOK", "NEWBIE", "DEFNAME"})
        lines.push_back({"[" + kind + " n_" + kind + "]", "n_" + kind});
    lines.push_back({"[EOF]", ""});
    lines.push_back({"[ITEMDEF after_the_end]", ""});
    std::string text;
    QStringList expected;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += lines[i].first + "\r\n";
        if (!lines[i].second.empty())
            expected << QString::fromStdString(lines[i].second + "@" + std::to_string(i) + " " +
                                               lines[i].first);
    }
    QCOMPARE(Definitions(text), expected);
    // LF lines: a CR before the LF is no part of the stored line.
    QCOMPARE(Definitions("[ITEMDEF i_a]\n[BOOK b]\r\n"),
             QStringList({"i_a@0 [ITEMDEF i_a]", "b@1 [BOOK b]"}));
}

void TestFindCore::corpusIndexFindsEachDefinition() {
    if (!QDir(QStringLiteral(QUILLET_CORPUS_DIR)).exists())
        QSKIP("the corpus is not beside the project");
    CDefinitionIndex index;
    const auto counts = index.Refresh(QUILLET_CORPUS_DIR, "*.scp");
    QVERIFY(counts.files > 40 && counts.read == counts.files && counts.unreadable == 0);
    // Used in four files, defined in one [DEFNAME] section.
    QCOMPARE(Sites(index.Lookup("BRAIN_VENDOR")), QStringList({"defs.scp:36"}));
    QCOMPARE(index.Lookup("brain_vendor").front().text, "brain_vendor           6");
    QCOMPARE(Sites(index.Lookup("c_man")),
             QStringList({"c_monster_classic.scp:5507", "sphere_monsters.scp:14396"}));
    QCOMPARE(Sites(index.Lookup("d_travel")),
             QStringList({"d_travel.scp:6", "d_travel.scp:19", "d_travel.scp:25"}));
    QVERIFY(index.Lookup("i_sword_long").empty());
    QCOMPARE(index.Refresh(QUILLET_CORPUS_DIR, "*.scp").read, std::size_t(0));
}

void TestFindCore::indexFollowsChangesAndOpenDocuments() {
    QTemporaryDir root;
    const std::string top = root.path().toStdString(), two = top + "/two.scp";
    QVERIFY(WriteFileBytes(root.filePath("one.scp"), "[FUNCTION f_a]\r\n"));
    QVERIFY(WriteFileBytes(root.filePath("two.scp"), "[DEFNAME x]\r\nf_a 1\r\n"));
    QVERIFY(::symlink("nowhere", (top + "/bad.scp").c_str()) == 0);
    CDefinitionIndex index;
    auto counts = index.Refresh(top, "*.scp");
    QVERIFY(counts.read == 2 && counts.unreadable == 1);
    QCOMPARE(Sites(index.Lookup("F_A")), QStringList({"one.scp:0", "two.scp:1"}));

    QVERIFY(WriteFileBytes(root.filePath("two.scp"), "[DEFNAME x]\r\nf_b 1\r\nf_c 2\r\n"));
    QVERIFY(QFile::remove(root.filePath("one.scp")));
    counts = index.Refresh(top, "*.scp");
    QVERIFY(counts.read == 1 && counts.files == 1);
    QVERIFY(index.Lookup("f_a").empty());
    QCOMPARE(Sites(index.Lookup("f_c")), QStringList({"two.scp:2"}));

    // Open documents: their text replaces the file's, inside the folder or outside it.
    const std::string edited = "[FUNCTION f_a]\r\n// f_c\r\n", added = "\n[menu F_C]";
    QCOMPARE(Sites(index.Lookup("f_c", {{two, edited}, {"/elsewhere/new.scp", added}})),
             QStringList({"new.scp:1"}));
    QCOMPARE(Sites(index.Lookup("f_a", {{two, edited}})), QStringList({"two.scp:0"}));
    QCOMPARE(Sites(index.Lookup("f_b", {{two, edited}})), QStringList());

    std::atomic<bool> stop{true};
    QCOMPARE(index.Refresh(top + "/missing", "*.scp", &stop).files, std::size_t(1));
    QCOMPARE(index.Refresh(top + "/missing", "*.scp").files, std::size_t(0));
}

QTEST_APPLESS_MAIN(TestFindCore)
#include "tst_FindCore.moc"
