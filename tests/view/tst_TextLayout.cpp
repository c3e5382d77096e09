// Column arithmetic of lines and the per-line caches of the view, without a widget.
#include "view/LineCache.h"
#include "view/LineLengthCache.h"
#include "view/TextLayout.h"

#include <QtTest>

#include <cstdint>
#include <string>

class TestTextLayout : public QObject {
    Q_OBJECT

private slots:
    void charIndexAtColumn_data();
    void charIndexAtColumn();
    void expandLineText_data();
    void expandLineText();
    void cacheMarksStaleAndResizes();
    void widestFollowsStaleLines();
};

void TestTextLayout::charIndexAtColumn_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("index");
    QTest::newRow("halfway into a tab stays before it") << QByteArray("\tab") << 2 << 0;
    QTest::newRow("inside a leading tab, near its end") << QByteArray("\tab") << 3 << 1;
    QTest::newRow("at the end of a tab") << QByteArray("\tab") << 4 << 1;
    QTest::newRow("past the end gives the length") << QByteArray("abc") << 50 << 3;
    QTest::newRow("empty line") << QByteArray("") << 5 << 0;
    QTest::newRow("tab after text") << QByteArray("ab\tc") << 4 << 3;
}

void TestTextLayout::charIndexAtColumn() {
    QFETCH(QByteArray, line);
    QFETCH(int, column);
    QFETCH(int, index);
    QCOMPARE(CharIndexAtColumn(line.toStdString(), column, 4), index);
}

void TestTextLayout::expandLineText_data() {
    QTest::addColumn<QByteArray>("run");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<int>("skip");
    QTest::addColumn<int>("maxCells");
    QTest::addColumn<QByteArray>("cells");
    QTest::newRow("tab at column 3 is one space")
        << QByteArray("\tx") << 3 << 0 << 10 << QByteArray(" x");
    QTest::newRow("tab at column 4 is four spaces")
        << QByteArray("\tx") << 4 << 0 << 10 << QByteArray("    x");
    QTest::newRow("skipped cells fall inside a tab")
        << QByteArray("a\tb") << 0 << 2 << 10 << QByteArray("  b");
    QTest::newRow("only what fits") << QByteArray("abcdef") << 0 << 1 << 3 << QByteArray("bcd");
    QTest::newRow("nothing fits") << QByteArray("abc") << 0 << 0 << 0 << QByteArray("");
}

void TestTextLayout::expandLineText() {
    QFETCH(QByteArray, run);
    QFETCH(int, startColumn);
    QFETCH(int, skip);
    QFETCH(int, maxCells);
    QFETCH(QByteArray, cells);
    std::string expanded = "left over";
    ExpandLineText(run.toStdString(), startColumn, 4, skip, maxCells, expanded);
    QCOMPARE(QByteArray::fromStdString(expanded), cells);
}

void TestTextLayout::cacheMarksStaleAndResizes() {
    CLineCache<std::uint32_t, 0xFFFFFFFFu> cache;
    cache.Create(100);
    for (std::uint32_t line = 0; line < 100; ++line)
        cache.Set(int(line), line);
    cache.MarkStaleFrom(40);
    QCOMPARE(cache.Get(39), 39u);
    QCOMPARE(cache.Get(40), 0xFFFFFFFFu);
    QCOMPARE(cache.Get(99), 0xFFFFFFFFu);
    // Storing a later line leaves the lines between it and the stale mark not computed.
    cache.Set(60, 1234u);
    QCOMPARE(cache.Get(50), 0xFFFFFFFFu);
    QCOMPARE(cache.Get(60), 1234u);
    QCOMPARE(cache.Get(61), 0xFFFFFFFFu);
    cache.MarkStale(10);
    QCOMPARE(cache.Get(10), 0xFFFFFFFFu);
    QCOMPARE(cache.Get(11), 11u);
    QCOMPARE(cache.Get(-1), 0xFFFFFFFFu);
    QCOMPARE(cache.Get(100), 0xFFFFFFFFu);
    cache.Set(100, 5u); // out of range: ignored
    cache.Set(-3, 5u);
    QCOMPARE(cache.Get(99), 0xFFFFFFFFu);
    // Resizing keeps the entries above the changed line.
    CLineCache<std::int32_t, -1> lengths;
    lengths.Create(10);
    for (int line = 0; line < 10; ++line)
        lengths.Set(line, line * 10);
    lengths.Resize(15, 4);
    QCOMPARE(lengths.Length(), 15);
    QCOMPARE(lengths.Get(3), 30);
    QCOMPARE(lengths.Get(4), -1);
    QCOMPARE(lengths.Get(14), -1);
    lengths.Resize(2, 8);
    QCOMPARE(lengths.Length(), 2);
    QCOMPARE(lengths.Get(1), 10);
    QCOMPARE(lengths.Get(2), -1);
}

void TestTextLayout::widestFollowsStaleLines() {
    std::vector<std::int32_t> lengths(10000, 5);
    lengths[9000] = 80;
    int measured = 0;
    const CLineLengthCache::Measure measure = [&](int line) {
        ++measured;
        return lengths[std::size_t(line)];
    };
    CLineLengthCache cache;
    cache.Create(10000);
    QCOMPARE(cache.Widest(measure), 80);
    QCOMPARE(measured, 10000);
    measured = 0;
    QCOMPARE(cache.Widest(measure), 80);
    QCOMPARE(measured, 0);
    lengths[9000] = 3;
    cache.MarkStale(9000);
    QCOMPARE(cache.Widest(measure), 5);
    QCOMPARE(measured, 1);
    lengths.insert(lengths.begin() + 100, 200);
    cache.Resize(10001, 100);
    QCOMPARE(cache.Widest(measure), 200);
    QCOMPARE(cache.LengthOf(5000, measure), 5);
    QCOMPARE(cache.LengthOf(20000, measure), 0);
}

QTEST_APPLESS_MAIN(TestTextLayout)
#include "tst_TextLayout.moc"
