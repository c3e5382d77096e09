// Pagination in printer rows: whole lines per page, over-tall lines continued.
#include "view/PageLayout.h"

#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::vector<PageStart>)

class TestPageLayout : public QObject {
    Q_OBJECT

private slots:
    void pages_data() {
        QTest::addColumn<std::vector<int>>("rows");
        QTest::addColumn<int>("pageRows");
        QTest::addColumn<std::vector<PageStart>>("starts");
        using Starts = std::vector<PageStart>;
        QTest::newRow("a page exactly full") << std::vector{1, 2, 1} << 4 << Starts{{0, 0}};
        QTest::newRow("the line that passes the bottom starts the next page")
            << std::vector{1, 2, 2} << 4 << Starts{{0, 0}, {2, 0}};
        QTest::newRow("a line of a whole page after a full one")
            << std::vector{4, 4, 1} << 4 << Starts{{0, 0}, {1, 0}, {2, 0}};
        QTest::newRow("an over-tall line starts a page and continues")
            << std::vector{1, 7, 1} << 3 << Starts{{0, 0}, {1, 0}, {1, 3}, {1, 6}};
        QTest::newRow("an over-tall line of whole pages leaves the next line a new page")
            << std::vector{1, 6, 1} << 3 << Starts{{0, 0}, {1, 0}, {1, 3}, {2, 0}};
        QTest::newRow("the first line over-tall")
            << std::vector{5} << 2 << Starts{{0, 0}, {0, 2}, {0, 4}};
        QTest::newRow("a page shorter than a row holds one row")
            << std::vector{1, 2} << 0 << Starts{{0, 0}, {1, 0}, {1, 1}};
        QTest::newRow("rows below one count as one")
            << std::vector{0, -3, 1} << 2 << Starts{{0, 0}, {2, 0}};
    }
    void pages() {
        QFETCH(std::vector<int>, rows);
        QFETCH(int, pageRows);
        QFETCH(std::vector<PageStart>, starts);
        CPageLayout layout;
        layout.Layout(int(rows.size()), pageRows,
                      [&](int line) { return rows[std::size_t(line)]; });
        QCOMPARE(layout.PageCount(), int(starts.size()));
        for (int page = 1; page <= layout.PageCount(); ++page) {
            QVERIFY(layout.Start(page) == starts[std::size_t(page - 1)]);
            const PageStart end = page < layout.PageCount() ? starts[std::size_t(page)]
                                                            : PageStart{int(rows.size()), 0};
            QVERIFY(layout.End(page) == end);
        }
        // Pages outside the layout are empty, at its end.
        const PageStart after{int(rows.size()), 0};
        QVERIFY(layout.Start(0) == after && layout.Start(layout.PageCount() + 1) == after);
    }
};

QTEST_APPLESS_MAIN(TestPageLayout)
#include "tst_PageLayout.moc"
