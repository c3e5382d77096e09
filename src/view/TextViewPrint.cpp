// Printing of the text view: the printer font, the page layout made on the first page of a
// job, the lines of each page, and the header and footer bands.
#include "PrintInfo.h"
#include "TextLayout.h"
#include "TextView.h"

#include "framework/Profile.h"
#include "framework/Windows1252.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <climits>
#include <cmath>

namespace {

// Hundredths of a millimetre in an inch.
constexpr int kHimetricPerInch = 2540;
// What a byte without a printable character prints as, as the screen draws a box for it.
constexpr char16_t kPlaceholder = u'\u25A1';

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return 0;
    return int(std::lround(double(number) * numerator / denominator));
}

int MarginSetting(const char* key, int dpi) {
    const int himetric =
        GetProfileInt(QStringLiteral("Editor\\PageSetup"), QLatin1String(key), 1000);
    // A negative margin would put text off the paper.
    return MulDiv(std::max(himetric, 0), dpi, kHimetricPerInch);
}

QString PrintableText(std::string_view cells) {
    QString text(qsizetype(cells.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char cell : cells) {
        const auto byte = static_cast<unsigned char>(cell);
        *out++ = IsPrintableWindows1252(byte) ? CharFromWindows1252(byte) : QChar(kPlaceholder);
    }
    return text;
}

} // namespace

void CTextView::OnBeginPrinting(QPainter& dc, CPrintInfo& info) {
    m_print.running = true;
    m_print.colours = info.syntaxColours;
    // Half the size that the ratio of the resolutions alone would give. A font sized in
    // points keeps its size, as the printer sizes points itself.
    QFont font = FontFor(false, false);
    // The screen's letter spacing fits glyphs to whole screen pixels; it means nothing here.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    if (font.pixelSize() > 0) {
        const int screenDpi = viewport()->logicalDpiY();
        const int printerDpi = dc.device() ? dc.device()->logicalDpiY() : screenDpi;
        font.setPixelSize(std::max(1, MulDiv(font.pixelSize(), printerDpi, 2 * screenDpi)));
    }
    m_print.font = font;
    dc.setFont(font);
}

QRect CTextView::PrintRectangle(const QPaintDevice& device) const {
    const QRect& page = m_print.pageRect;
    const int band = m_print.lineHeight + m_print.lineHeight / 2;
    const int headerBand = m_print.headerBand ? band : 0;
    const int footerBand = m_print.footer ? band : 0;
    QRect rect = page.adjusted(MarginSetting("LeftMargin", device.logicalDpiX()),
                               MarginSetting("TopMargin", device.logicalDpiY()) + headerBand,
                               -MarginSetting("RightMargin", device.logicalDpiX()),
                               -MarginSetting("BottomMargin", device.logicalDpiY()) - footerBand);
    // Margins that leave no room for a row of text are not applied.
    if (rect.width() < m_print.lineHeight || rect.height() < m_print.lineHeight)
        rect = page.adjusted(0, headerBand, 0, -footerBand);
    return rect;
}

void CTextView::LayoutPages(QPainter& dc, CPrintInfo& info) {
    QPaintDevice* device = dc.device();
    if (!m_print.font) OnBeginPrinting(dc, info); // a job that skipped it gets its font too
    m_print.pageRect = info.rectDraw.normalized();
    m_print.lineHeight = std::max(1, int(std::ceil(QFontMetricsF(*m_print.font, device).height())));
    QString header;
    PageHeaderText(1, header);
    m_print.headerBand = m_print.header || !header.isEmpty();
    m_print.printRect = PrintRectangle(*device);
    m_print.line.emplace(*m_print.font, device, m_print.printRect.width(), m_print.lineHeight);
    m_print.lineLaidOut = -1;
    m_print.pages.Layout(
        LineCount(), m_print.printRect.height() / m_print.lineHeight,
        [&](int line) { return PrintedLineHeight(dc, line) / m_print.lineHeight; });
}

int CTextView::PrintedRows(int line) {
    if (LineLength(line) == 0) return 1;
    SetPrintedLine(line);
    return m_print.line->RowCount();
}

int CTextView::PrintedLineHeight(QPainter&, int line) {
    const long long height = static_cast<long long>(PrintedRows(line)) * m_print.lineHeight;
    return static_cast<int>(std::min<long long>(height, INT_MAX));
}

void CTextView::SetPrintedLine(int line) {
    // A line over several pages is laid out once for all of them.
    if (line == m_print.lineLaidOut) return;
    m_print.lineLaidOut = line;
    const std::string_view text = LineView(line);
    ExpandLineText(text, 0, m_tabSize, 0, INT_MAX, m_print.cells);
    const QList<QTextLayout::FormatRange> colours =
        m_print.colours ? PrintedColours(line, text) : QList<QTextLayout::FormatRange>();
    m_print.line->SetText(PrintableText(m_print.cells), colours);
}

QList<QTextLayout::FormatRange> CTextView::PrintedColours(int line, std::string_view text) {
    const int length = static_cast<int>(text.size());
    const std::size_t room = 3 * std::size_t(length);
    if (m_print.spans.size() < room) m_print.spans.resize(room);
    int count = 0;
    const ::LineCookie cookie =
        ComputeLineColours(LineCookie(line - 1), line, m_print.spans.data(), count);
    m_cookies.Store(line, cookie);
    count = std::clamp(count, 0, static_cast<int>(room));

    // Each span runs to the next one's start, in cells of the tab-expanded text; normal
    // text stays black, as paper is white whatever the screen's colours are.
    QList<QTextLayout::FormatRange> ranges;
    int start = 0;
    int startCell = 0;
    for (int i = 0; i < count; ++i) {
        const int spanStart = std::clamp(int(m_print.spans[std::size_t(i)].start), start, length);
        const int end = i + 1 < count ? std::clamp(int(m_print.spans[std::size_t(i + 1)].start),
                                                   spanStart, length)
                                      : length;
        startCell = AdvanceColumn(text.substr(std::size_t(start), std::size_t(spanStart - start)),
                                  startCell, m_tabSize);
        const int endCell =
            AdvanceColumn(text.substr(std::size_t(spanStart), std::size_t(end - spanStart)),
                          startCell, m_tabSize);
        const int colour = m_print.spans[std::size_t(i)].colour;
        if (colour != ColourNormalText && endCell > startCell) {
            QTextLayout::FormatRange range;
            range.start = startCell;
            range.length = endCell - startCell;
            range.format.setForeground(ColourOf(colour));
            ranges << range;
        }
        start = end;
        startCell = endCell;
    }
    return ranges;
}

void CTextView::OnPrepareDC(QPainter& dc, CPrintInfo& info) {
    // Laid out here rather than in the first OnPrint, so that a job asked to start past the
    // last page ends before it prints anything.
    if (!m_print.pages.Exists()) LayoutPages(dc, info);
    info.continuePrinting = info.currentPage >= 1 && info.currentPage <= PrintPageCount();
}

void CTextView::OnPrint(QPainter& dc, CPrintInfo& info) {
    if (!m_print.pages.Exists()) LayoutPages(dc, info);
    const int page = info.currentPage;
    if (page < 1 || page > PrintPageCount()) return;
    dc.setFont(*m_print.font);
    dc.setPen(Qt::black);
    if (m_print.headerBand) PrintPageHeader(dc, page);
    if (m_print.footer) PrintPageFooter(dc, page);

    const PageStart start = m_print.pages.Start(page);
    const PageStart end = m_print.pages.End(page);
    // The text may have lost lines since the layout was made (another window of the
    // document while a preview is open); the layout stays, the lines gone are not printed.
    const int lastLine = std::min(end.line, LineCount() - 1);
    int y = m_print.printRect.top();
    for (int line = start.line; line <= lastLine; ++line) {
        const int first = line == start.line ? start.row : 0;
        const int stop = line == end.line ? end.row : INT_MAX;
        if (first >= stop) break;
        if (LineLength(line) > 0) {
            SetPrintedLine(line);
            m_print.line->DrawRows(dc, QPointF(m_print.printRect.left(), y), first, stop);
            y += (std::min(stop, m_print.line->RowCount()) - first) * m_print.lineHeight;
        } else {
            y += m_print.lineHeight;
        }
    }
}

void CTextView::PrintPageHeader(QPainter& dc, int page) {
    QString text;
    PageHeaderText(page, text);
    const int band = m_print.lineHeight + m_print.lineHeight / 2;
    DrawBandText(dc, text, m_print.printRect.top() - band, band, Qt::AlignTop);
}

void CTextView::PrintPageFooter(QPainter& dc, int page) {
    QString text;
    PageFooterText(page, text);
    const int band = m_print.lineHeight + m_print.lineHeight / 2;
    DrawBandText(dc, text, m_print.printRect.top() + m_print.printRect.height(), band,
                 Qt::AlignBottom);
}

void CTextView::DrawBandText(QPainter& dc, const QString& text, int top, int height,
                             Qt::Alignment vertical) const {
    if (text.isEmpty()) return;
    const QRect band(m_print.printRect.left(), top, m_print.printRect.width(), height);
    dc.drawText(band, Qt::AlignHCenter | vertical | Qt::TextSingleLine, text);
}

void CTextView::PageHeaderText(int, QString& text) {
    text.clear();
}

void CTextView::PageFooterText(int page, QString& text) {
    text = QString::asprintf("Page %d/%d", page, PrintPageCount());
}

void CTextView::OnEndPrinting(QPainter&, CPrintInfo&) {
    m_print.font.reset();
    m_print.line.reset();
    m_print.lineLaidOut = -1;
    m_print.pages.Clear();
    m_print.lineHeight = 0;
    m_print.running = false;
}
