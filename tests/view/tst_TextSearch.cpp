// The search engine without a window: the search over a block in both directions, with case,
// whole words, wrapping and the edges of the block.
#include <QtTest>

#include "PlainFind.h"
#include "view/TextSearch.h"

#include <QRandomGenerator>

#include <cctype>
#include <set>
#include <string>
#include <vector>

class TestTextSearch : public QObject {
    Q_OBJECT

private slots:
    void findInRange_data();
    void findInRange();
    void wholeWordsMatchAPlainReference();
    void linesMatchAPlainModelBothWays();
};

void TestTextSearch::findInRange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<TextPosition>("found"); // {-1, -1}: nothing found
    QTest::addColumn<TextPosition>("begin");
    QTest::addColumn<TextPosition>("end"); // {-1, -1}: the end of the text
    const TextPosition none{-1, -1};
    const unsigned up = FindDirectionUp;
    // A row searching `text`, over the whole text unless a block is given.
    const auto row = [&](const char* name, const QString& needle, TextPosition start,
                         unsigned flags, bool wrap, TextPosition found, TextPosition begin = {},
                         TextPosition end = {-1, -1},
                         QString text = "one two one\nthree one\nfour") {
        QTest::newRow(name) << text << needle << start << flags << wrap << found << begin << end;
    };
    row("down from mid-line finds at or after the start", "one", {0, 1}, 0, true, {0, 8});
    row("down reaches the next line", "one", {0, 9}, 0, false, {1, 6});
    row("down without wrap stops at the end", "one", {1, 7}, 0, false, none);
    row("down with wrap starts again at the top", "one", {1, 7}, 0, true, {0, 0});
    row("match case passes over the other cases", "One", {}, FindMatchCase, false, {1, 6}, {}, none,
        "one ONE\nthree One");
    row("accented letters fold too", QString::fromLatin1("CAF\xc9"), {}, 0, false, {0, 0}, {}, none,
        QString::fromLatin1("caf\xe9"));
    row("whole word from inside a word ignores the byte before", "alog", {0, 3}, FindWholeWord,
        false, {0, 3}, {}, none, "catalog");
    row("block end limits downward matches", "one", {0, 1}, 0, false, {0, 8}, {0, 1}, {0, 9});
    row("match starting at the block end is outside", "one", {0, 1}, 0, true, none, {0, 1}, {0, 8});
    row("start before the block begins at the block", "one", {}, 0, false, {0, 8}, {0, 4}, {1, 0});
    row("up looks right of the start on the start line", "one", {0, 3}, up, false, {0, 8});
    row("up takes the nearest line above", "one", {2, 0}, up, false, {1, 6});
    row("up without wrap stops at the first line", "four", {1, 0}, up, false, none);
    row("up wraps to the last line", "four", {1, 0}, up, true, {2, 0});
    row("up ignores the block's ends", "four", {0, 0}, up, true, {2, 0}, {0, 0}, {0, 5});
    row("a line break in the needle never matches", "one\nthree", {}, 0, true, none);
    row("empty needle matches at the start character", "", {0, 0}, 0, false, {1, 0}, {}, none,
        "\nab");
    row("empty text finds nothing", "", {}, 0, true, none, {}, none, "");
}

void TestTextSearch::findInRange() {
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(TextPosition, start);
    QFETCH(unsigned, flags);
    QFETCH(bool, wrap);
    QFETCH(TextPosition, found);
    QFETCH(TextPosition, begin);
    QFETCH(TextPosition, end);
    std::vector<std::string> lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(line.toLatin1().toStdString());
    const int count = static_cast<int>(lines.size());
    if (end == TextPosition{-1, -1}) end = {count - 1, static_cast<int>(lines.back().size())};
    CTextSearch search(count, [&lines](int line) { return std::string_view(lines[line]); });
    TextPosition match{-1, -1};
    const bool ok =
        search.FindInRange(needle.toLatin1().toStdString(), start, begin, end, flags, wrap, match);
    QCOMPARE(ok, (found != TextPosition{-1, -1}));
    if (ok) QCOMPARE(match, found);
}

void TestTextSearch::wholeWordsMatchAPlainReference() {
    const auto isWord = [](char c) {
        return (std::isalnum(static_cast<unsigned char>(c)) && c > 0) || c == '_';
    };
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    QRandomGenerator random(31337);
    std::set<int> places; // of the matches: 0 the first column, 1 the second, 2 inside, 3 the end
    for (int round = 0; round < 4000; ++round) {
        // Short needles, and lines made of the needle and single bytes around it.
        std::string needle;
        for (int i = 1 + random.bounded(3); i > 0; --i)
            needle += "aAb_9."[random.bounded(6)];
        std::string line;
        for (int i = random.bounded(7); i > 0; --i)
            line += random.bounded(3) ? std::string(1, "aAb_ .9\xe9"[random.bounded(8)]) : needle;
        const std::size_t n = needle.size();
        for (const bool matchCase : {true, false}) {
            int expected = -1;
            for (std::size_t at = 0; at + n <= line.size() && expected < 0; ++at) {
                bool equal = true;
                for (std::size_t k = 0; k < n; ++k)
                    equal = equal && (matchCase ? line[at + k] == needle[k]
                                                : fold(line[at + k]) == fold(needle[k]));
                if (equal && !(at > 0 && isWord(line[at - 1])) &&
                    !(at + n < line.size() && isWord(line[at + n])))
                    expected = int(at);
            }
            CTextSearch search(1, [&](int) { return std::string_view(line); });
            TextPosition found{0, -1};
            const unsigned flags = FindWholeWord | (matchCase ? FindMatchCase : 0u);
            search.FindInRange(needle, {}, {}, {0, int(line.size())}, flags, false, found);
            QVERIFY2(found.ch == expected,
                     qPrintable(QString::fromLatin1((line + " / " + needle).c_str())));
            if (expected >= 0)
                places.insert(expected + int(n) == int(line.size()) ? 3 : std::min(expected, 2));
        }
    }
    QCOMPARE(places.size(), std::size_t(4));
}

// Random lines searched from a random place in both directions, against the plain model
// visiting the lines in the same order. Needles are planted at a line's first and last bytes
// and split across a line end; bytes from 0x80 up come with their upper case.
void TestTextSearch::linesMatchAPlainModelBothWays() {
    constexpr std::string_view bytes = "aAbB_9 .\xe9\xc9\x9a\x8a\xff\x9f";
    QRandomGenerator random(8086);
    const auto some = [&](int least, int most) {
        std::string text;
        for (int i = least + random.bounded(most - least + 1); i > 0; --i)
            text += bytes[random.bounded(int(bytes.size()))];
        return text;
    };
    std::set<int> kinds; // of the matches: 0 at byte 0, 1 at the end, 2 upwards, 3 whole words
    for (int round = 0; round < 3000; ++round) {
        const std::string needle = some(1, 3);
        std::vector<std::string> lines(1 + random.bounded(4));
        for (std::string& line : lines)
            line = some(0, 8);
        const int count = int(lines.size());
        const int planted = random.bounded(count);
        switch (random.bounded(3)) {
        case 0:
            lines[planted].insert(0, needle);
            break;
        case 1:
            lines[planted] += needle;
            break;
        default:
            if (planted + 1 == count) break;
            const std::size_t split = 1 + random.bounded(int(needle.size()));
            lines[planted] += needle.substr(0, split);
            lines[planted + 1].insert(0, needle.substr(split));
        }
        const int startLine = random.bounded(count);
        const TextPosition start{startLine, random.bounded(int(lines[startLine].size()) + 1)};
        const unsigned up = random.bounded(2) ? FindDirectionUp : 0u;
        const unsigned flags = unsigned(random.bounded(4)) | up;
        const bool wrap = random.bounded(2);

        // The lines in the order the search visits them, each from where it is searched.
        std::vector<TextPosition> visits{start};
        const int step = up ? -1 : 1;
        for (int line = startLine + step; line >= 0 && line < count; line += step)
            visits.push_back({line, 0});
        for (int i = 0; wrap && i < count; ++i)
            visits.push_back({up ? count - 1 - i : i, 0});
        TextPosition expected{-1, -1};
        for (const TextPosition visit : visits) {
            const int at = PlainFindInLine(lines[visit.line], needle, flags, visit.ch);
            if (at >= 0) {
                expected = {visit.line, at};
                break;
            }
        }

        CTextSearch search(count, [&lines](int line) { return std::string_view(lines[line]); });
        const TextPosition end{count - 1, int(lines.back().size())};
        TextPosition found{-1, -1};
        const bool ok = search.FindInRange(needle, start, {}, end, flags, wrap, found);
        QVERIFY2(ok == (expected.line >= 0) && (!ok || found == expected),
                 qPrintable(QString("round %1").arg(round)));
        if (!ok) continue;
        if (found.ch == 0) kinds.insert(0);
        if (found.ch + needle.size() == lines[found.line].size()) kinds.insert(1);
        if (up) kinds.insert(2);
        if (flags & FindWholeWord) kinds.insert(3);
    }
    QCOMPARE(kinds.size(), std::size_t(4));
}

QTEST_APPLESS_MAIN(TestTextSearch)
#include "tst_TextSearch.moc"
