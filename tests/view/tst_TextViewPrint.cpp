// Printing of the text view, checked in the PDF files it writes: page breaks, wrapping,
// tabs, margins, bands, the end of a job and the colour option.
#include "PdfText.h"
#include "ViewTestSupport.h"

#include "view/PrintInfo.h"
#include "view/PrintJob.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QSettings>
#include <QtTest>

#include <climits>

namespace {

// Colours every line as a comment; gives a header when `header` has a text.
class CPrintView : public CTextView {
public:
    QString header;
    ::LineCookie ComputeLineColours(::LineCookie cookie, int, ColourSpan* spans,
                                    int& count) override {
        if (spans) spans[count++] = {0, ColourComment};
        return cookie;
    }
    void PageHeaderText(int page, QString& text) override {
        text = header.isEmpty() ? QString() : header.arg(page);
    }
};

QByteArray Lines(int count) {
    return QByteArray::fromStdString(NumberedLines(count));
}

constexpr double kMm = 72 / 25.4; // in points

// Where words are expected: on which page, and at which column of the text.
using Places = QMap<QString, QPoint>;

} // namespace

class TestTextViewPrint : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
    int m_pageRows = 0;          // rows of text a page holds
    int m_longRows = 0;          // rows of the 300-character line of words
    double m_cell = 0;           // points
    int m_rowCells = 0;          // cells of a full row
    QByteArray m_long = "longs"; // 300 characters in words

    PdfText Print(const QByteArray& text, const QString& header = {}, bool colours = false) {
        CTextBuffer buffer;
        CPrintView view;
        view.header = header;
        view.SetViewFont(TestFont());
        view.AttachToBuffer(&buffer);
        SetBufferText(buffer, text.toStdString());
        PrintJobOptions options;
        options.syntaxColours = colours;
        QString error;
        QFile::remove(m_pdf);
        ExportPdf(view, m_pdf, options, error);
        return PdfText(m_pdf);
    }

private slots:
    void initTestCase() {
        if (!HasPopplerTools()) QSKIP("pdftotext and pdftoppm (poppler-utils) are not installed");
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        for (int word = 0; word < 59; ++word)
            m_long += " w" + QByteArray::number(word).rightJustified(3, '0');
        const PdfText lines = Print(Lines(400));
        QList<double> tops;
        for (const PdfWord& word : lines.words)
            if (word.page == 1 && word.text == QLatin1String("line")) tops << word.box.top();
        m_pageRows = int(tops.size());
        m_cell = lines.Find(QStringLiteral("line")).box.width() / 4;
        m_rowCells = int((lines.pageSize.width() - 20 * kMm) / m_cell);
        // The rows that fit between the 10 mm margins less a footer band of 1.5 rows.
        const double fit = (lines.pageSize.height() - 20 * kMm) / (tops.value(1) - tops[0]) - 1.5;
        QVERIFY(m_pageRows <= fit + 0.01 && m_pageRows > fit - 1);
        QSet<double> rows;
        for (const PdfWord& word : Print(m_long).words)
            rows << word.box.top();
        m_longRows = int(rows.size());
        QVERIFY(m_longRows > 1);
    }

    void pages_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Places>("places");
        const QByteArray full = Lines(m_pageRows - 1) + "\n";
        const QByteArray wrapped = Lines(m_pageRows - m_longRows) + "\n" + m_long;
        const QByteArray empties = Lines(m_pageRows - 3) + "\n\n\n";
        // Words one short of a row, so that each takes a row of its own.
        QByteArray tall = "first\n";
        for (int row = 0; row < 2 * m_pageRows + 3; ++row)
            tall += QByteArray::number(row).rightJustified(m_rowCells - 1, '0') + ' ';
        QTest::newRow("one line prints one page") << QByteArray("last") << Places{{"last", {1, 0}}};
        QTest::newRow("a page exactly full") << full + "last" << Places{{"last", {1, 0}}};
        QTest::newRow("the line passing the bottom starts the next page")
            << full + "line\nlast" << Places{{"last", {2, 0}}};
        QTest::newRow("a wrapped line fits with all its rows")
            << wrapped << Places{{"longs", {1, 0}}};
        QTest::newRow("a wrapped line one row short moves whole")
            << "line\n" + wrapped << Places{{"longs", {2, 0}}};
        QTest::newRow("empty lines take one row each")
            << empties + "last" << Places{{"last", {1, 0}}};
        QTest::newRow("one empty line more") << empties + "\nlast" << Places{{"last", {2, 0}}};
        QTest::newRow("tabs print as spaces to the next multiple of 4")
            << QByteArray("\tx\nabc\ty\nabcd\tz\nab\t\tt")
            << Places{{"x", {1, 4}}, {"y", {1, 4}}, {"z", {1, 8}}, {"t", {1, 8}}};
        QTest::newRow("a 300-character line wraps at word breaks") << m_long << Places{};
        QTest::newRow("a word wider than the page breaks inside it")
            << QByteArray(400, 'A') + " B" << Places{};
        QTest::newRow("a line taller than a page continues on the next pages")
            << tall + "\nafter"
            << Places{{"first", {1, 0}}, {tall.mid(6, m_rowCells - 1), {2, 0}}, {"after", {4, 0}}};
    }
    void pages() {
        QFETCH(QByteArray, text);
        QFETCH(Places, places);
        const PdfText printed = Print(text);
        const QStringList words =
            QString::fromLatin1(text).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        QCOMPARE(printed.Texts().join(""), words.join(""));          // nothing lost
        if (!text.startsWith('A')) QCOMPARE(printed.Texts(), words); // no word broken
        int lastPage = 1;
        for (auto [word, place] : places.asKeyValueRange()) {
            const PdfWord found = printed.Find(word);
            const int column = qRound((found.box.left() - 10 * kMm) / m_cell);
            QCOMPARE(QPoint(found.page, column), place);
            lastPage = std::max(lastPage, place.x());
        }
        QCOMPARE(printed.footers.size(), lastPage);
        QVERIFY(printed.FootersCountPages());
    }

    void marginsAndBands_data() {
        QTest::addColumn<QVariant>("sides"); // hundredths of a millimetre, left and right
        QTest::addColumn<QVariant>("ends");  // top and bottom
        QTest::addColumn<QString>("header");
        QTest::addColumn<QPointF>("inside"); // the top left corner inside the margins, in points
        const QPointF tenMm(10 * kMm, 10 * kMm);
        QTest::newRow("10 mm by default") << QVariant() << QVariant() << "" << tenMm;
        QTest::newRow("margins from the profile")
            << QVariant(2500) << QVariant(4000) << "" << QPointF(25 * kMm, 40 * kMm);
        QTest::newRow("negative margins, or wider than the page, are none")
            << QVariant(-500) << QVariant(100000) << "" << QPointF();
        QTest::newRow("a header band above the text") << QVariant() << QVariant() << "H%1" << tenMm;
    }
    void marginsAndBands() {
        QFETCH(QVariant, sides);
        QFETCH(QVariant, ends);
        QFETCH(QString, header);
        QFETCH(QPointF, inside);
        QSettings settings;
        settings.beginGroup(QStringLiteral("Editor/PageSetup"));
        for (const char* key : {"LeftMargin", "RightMargin", "TopMargin", "BottomMargin"})
            settings.setValue(key, key[0] == 'L' || key[0] == 'R' ? sides : ends);
        const PdfText printed = Print("MMMM\nNNNN", header);
        settings.remove(QString());
        const QRectF text = printed.Find(QStringLiteral("MMMM")).box;
        const double row = printed.Find(QStringLiteral("NNNN")).box.top() - text.top();
        const double top = inside.y() + (header.isEmpty() ? 0 : 1.5 * row);
        QVERIFY(qAbs(text.left() - inside.x()) < 1);
        QVERIFY(text.top() >= top - 0.5 && text.bottom() <= top + row);
        const QRectF head = printed.Find(QStringLiteral("H1")).box;
        QVERIFY(header.isEmpty() || (head.top() >= inside.y() - 0.5 && head.bottom() <= top));
        // The footer sits centred at the bottom of the area inside the margins.
        const double bottom = printed.pageSize.height() - inside.y();
        const QRectF footer = printed.firstFooter;
        QVERIFY(footer.bottom() <= bottom + 0.5 && footer.top() >= bottom - row - 0.5);
        QVERIFY(qAbs(footer.center().x() - printed.pageSize.width() / 2) < 2);
    }

    void pagesPastTheEndEndTheJob() {
        CTextBuffer buffer;
        CTextView view;
        view.SetViewFont(TestFont());
        view.AttachToBuffer(&buffer);
        SetBufferText(buffer, NumberedLines(m_pageRows * 3 / 2)); // two pages whatever the paper
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        QPdfWriter writer(&device);
        QPainter painter(&writer);
        for (const int page : {0, 1, 2, 3, INT_MAX}) {
            CPrintInfo info{QRect(0, 0, writer.width(), writer.height()), page};
            view.OnBeginPrinting(painter, info);
            view.OnPrepareDC(painter, info);
            QCOMPARE(view.PrintPageCount(), 2);
            QCOMPARE(info.continuePrinting, page == 1 || page == 2);
            view.OnPrint(painter, info); // draws nothing past the end, without failing
            view.OnEndPrinting(painter, info);
        }
    }

    void syntaxColoursArePrintedOnlyWhenAsked() {
        for (const bool colours : {false, true}) {
            Print("// a comment in green", {}, colours);
            const QString png = m_dir.filePath(QStringLiteral("page"));
            ToolOutput("pdftoppm", {"-png", "-r", "150", "-singlefile", m_pdf, png});
            const QImage image(png + QStringLiteral(".png"));
            QVERIFY(!image.isNull());
            int green = 0;
            for (int y = 0; y < image.height() / 8; ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    green += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
                }
            }
            QCOMPARE(green > 0, colours);
        }
    }
};

QTEST_MAIN(TestTextViewPrint)
#include "tst_TextViewPrint.moc"
