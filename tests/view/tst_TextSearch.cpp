// The search engine without a window: the line matcher and the search over a block in both
// directions, with case, whole words, wrapping and the edges of the block.
#include <QtTest>

#include "view/TextSearch.h"

#include <string>
#include <vector>

Q_DECLARE_METATYPE(TextPosition)

namespace {

std::vector<std::string> Lines(const QString& text) {
    std::vector<std::string> lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(line.toLatin1().toStdString());
    return lines;
}

} // namespace

class TestTextSearch : public QObject {
    Q_OBJECT

private slots:
    void findInLine_data();
    void findInLine();
    void findInRange_data();
    void findInRange();
};

void TestTextSearch::findInLine_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("offset");
    QTest::newRow("plain substring") << "a cat in a hat"
                                     << "at" << false << 3;
    QTest::newRow("not present") << "a cat"
                                 << "dog" << false << -1;
    QTest::newRow("empty needle matches at 0") << "abc"
                                               << "" << false << 0;
    QTest::newRow("whole word skips a longer word") << "cats cat"
                                                    << "cat" << true << 5;
    QTest::newRow("whole word rejects before an underscore") << "cat_ cat"
                                                             << "cat" << true << 5;
    QTest::newRow("whole word between parentheses") << "f(cat)"
                                                    << "cat" << true << 2;
    QTest::newRow("whole word at the line end") << "the cat"
                                                << "cat" << true << 4;
    QTest::newRow("word twice without a gap, then again") << "catcat cat"
                                                          << "cat" << true << 7;
    QTest::newRow("overlapping retries") << "aaa a"
                                         << "a" << true << 4;
    QTest::newRow("digits are word characters") << "cat1 cat"
                                                << "cat" << true << 5;
    QTest::newRow("high bytes are no word characters") << QString::fromLatin1("\xe9"
                                                                              "cat")
                                                       << "cat" << true << 1;
}

void TestTextSearch::findInLine() {
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(bool, wholeWord);
    QFETCH(int, offset);
    const std::string bytes = text.toLatin1().toStdString();
    QCOMPARE(FindInLine(bytes, needle.toLatin1().toStdString(), wholeWord), offset);
}

void TestTextSearch::findInRange_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<TextPosition>("start");
    QTest::addColumn<TextPosition>("begin");
    QTest::addColumn<TextPosition>("end"); // {-1, -1}: the whole text
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<bool>("wrap");
    QTest::addColumn<TextPosition>("found"); // {-1, -1}: nothing found
    const TextPosition whole{-1, -1};
    const TextPosition none{-1, -1};
    const QString text = "one two one\nthree one\nfour";

    QTest::newRow("down from mid-line finds at or after the start")
        << text << "one" << TextPosition{0, 1} << TextPosition{} << whole << 0u << true
        << TextPosition{0, 8};
    QTest::newRow("down reaches the next line")
        << text << "one" << TextPosition{0, 9} << TextPosition{} << whole << 0u << false
        << TextPosition{1, 6};
    QTest::newRow("down without wrap stops at the end")
        << text << "one" << TextPosition{1, 7} << TextPosition{} << whole << 0u << false << none;
    QTest::newRow("down with wrap starts again at the top")
        << text << "one" << TextPosition{1, 7} << TextPosition{} << whole << 0u << true
        << TextPosition{0, 0};
    QTest::newRow("accented letters fold too")
        << QString::fromLatin1("caf\xe9") << QString::fromLatin1("CAF\xc9") << TextPosition{}
        << TextPosition{} << whole << 0u << false << TextPosition{0, 0};
    QTest::newRow("case folded by default") << text << "THREE" << TextPosition{} << TextPosition{}
                                            << whole << 0u << false << TextPosition{1, 0};
    QTest::newRow("match case") << text << "THREE" << TextPosition{} << TextPosition{} << whole
                                << unsigned(FindMatchCase) << true << none;
    QTest::newRow("whole word from inside a word ignores the byte before")
        << "catalog"
        << "alog" << TextPosition{0, 3} << TextPosition{} << whole << unsigned(FindWholeWord)
        << false << TextPosition{0, 3};
    QTest::newRow("block end limits downward matches")
        << text << "one" << TextPosition{0, 1} << TextPosition{0, 1} << TextPosition{0, 9} << 0u
        << false << TextPosition{0, 8};
    QTest::newRow("match starting at the block end is outside")
        << text << "one" << TextPosition{0, 1} << TextPosition{0, 1} << TextPosition{0, 8} << 0u
        << true << none;
    QTest::newRow("start before the block begins at the block")
        << text << "one" << TextPosition{} << TextPosition{0, 4} << TextPosition{1, 0} << 0u
        << false << TextPosition{0, 8};
    QTest::newRow("up looks right of the start on the start line")
        << text << "one" << TextPosition{0, 3} << TextPosition{} << whole
        << unsigned(FindDirectionUp) << false << TextPosition{0, 8};
    QTest::newRow("up takes the nearest line above")
        << text << "one" << TextPosition{2, 0} << TextPosition{} << whole
        << unsigned(FindDirectionUp) << false << TextPosition{1, 6};
    QTest::newRow("up without wrap stops at the first line")
        << text << "four" << TextPosition{1, 0} << TextPosition{} << whole
        << unsigned(FindDirectionUp) << false << none;
    QTest::newRow("up wraps to the last line")
        << text << "four" << TextPosition{1, 0} << TextPosition{} << whole
        << unsigned(FindDirectionUp) << true << TextPosition{2, 0};
    QTest::newRow("up ignores the block's ends")
        << text << "four" << TextPosition{0, 0} << TextPosition{0, 0} << TextPosition{0, 5}
        << unsigned(FindDirectionUp) << true << TextPosition{2, 0};
    QTest::newRow("a line break in the needle never matches")
        << text << "one\nthree" << TextPosition{} << TextPosition{} << whole << 0u << true << none;
    QTest::newRow("a CR LF in the needle never matches")
        << text << "one\r\nthree" << TextPosition{} << TextPosition{} << whole << 0u << true
        << none;
    QTest::newRow("empty needle matches at the start character")
        << "\nab"
        << "" << TextPosition{0, 0} << TextPosition{} << whole << 0u << false << TextPosition{1, 0};
    QTest::newRow("empty text finds nothing")
        << ""
        << "" << TextPosition{} << TextPosition{} << whole << 0u << true << none;
}

void TestTextSearch::findInRange() {
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(TextPosition, start);
    QFETCH(TextPosition, begin);
    QFETCH(TextPosition, end);
    QFETCH(unsigned, flags);
    QFETCH(bool, wrap);
    QFETCH(TextPosition, found);
    const std::vector<std::string> lines = Lines(text);
    const int count = static_cast<int>(lines.size());
    if (end == TextPosition{-1, -1}) end = {count - 1, static_cast<int>(lines.back().size())};
    CTextSearch search(count, [&lines](int line) { return std::string_view(lines[line]); });
    TextPosition match{-1, -1};
    const bool ok =
        search.FindInRange(needle.toLatin1().toStdString(), start, begin, end, flags, wrap, match);
    QCOMPARE(ok, (found != TextPosition{-1, -1}));
    if (ok) QCOMPARE(match, found);
}

QTEST_APPLESS_MAIN(TestTextSearch)
#include "tst_TextSearch.moc"
