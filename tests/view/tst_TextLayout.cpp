// Column arithmetic of lines, without a widget.
#include "view/TextLayout.h"

#include <QtTest>

#include <string>

class TestTextLayout : public QObject {
    Q_OBJECT

private slots:
    void charIndexAtColumn_data();
    void charIndexAtColumn();
    void expandLineText_data();
    void expandLineText();
};

void TestTextLayout::charIndexAtColumn_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("index");
    QTest::newRow("halfway into a tab stays before it") << QByteArray("\tab") << 2 << 0;
    QTest::newRow("inside a leading tab, near its end") << QByteArray("\tab") << 3 << 1;
    QTest::newRow("past the end gives the length") << QByteArray("abc") << 50 << 3;
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

QTEST_APPLESS_MAIN(TestTextLayout)
#include "tst_TextLayout.moc"
