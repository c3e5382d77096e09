#include "TextView.h"

#include "TextLayout.h"

#include "buffer/TextBuffer.h"
#include "framework/AcceleratorTable.h"
#include "framework/CommandIds.h"
#include "framework/Windows1252.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QScrollBar>

#include <cmath>
#include <cstdint>
#include <cstring>

CTextView::CTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    // Both bars always show and are disabled when there is nothing to scroll.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollBarAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollBarAction(Qt::Horizontal, action); });
    m_accelerators = LoadAccelerators(IDR_TEXTVIEW_ACCEL);
    RegisterCommands();
    RegisterSearchCommands();
    RegisterPrintCommands();
    ResetView();
}

CTextView::~CTextView() {
    if (m_buffer) m_buffer->DetachView(this);
}

void CTextView::AttachToBuffer(CTextBuffer* buffer) {
    if (m_buffer) m_buffer->DetachView(this);
    m_buffer = buffer ? buffer : LocateBuffer();
    if (m_buffer) m_buffer->AttachView(this);
    ResetView();
    UpdateVertScrollBar(false);
    UpdateHorzScrollBar(false);
}

void CTextView::DetachFromBuffer() {
    if (!m_buffer) return;
    m_buffer->DetachView(this);
    m_buffer = nullptr;
    ResetView();
}

void CTextView::OnInitialUpdate() {
    AttachToBuffer(nullptr);
    AlignWithSiblingPanes();
}

void CTextView::ResetView() {
    m_firstVisibleLine = 0;
    m_firstVisibleColumn = 0;
    m_lineHeight = -1;
    m_charWidth = -1;
    m_tabSize = 4;
    m_screenLines = -1;
    m_screenChars = -1;
    m_widestLine = -1;
    m_rememberedColumn = -1;
    m_anchor = {};
    DropFonts();
    m_cookies.Free();
    m_widths.Free();
    m_caret = {};
    m_selStart = {};
    m_selEnd = {};
    if (m_mouseSelecting) EndMouseSelection();
    m_pendingDrag = false;
    m_deferHorzScrollUpdate = false;
    UpdateCaret();
    m_showSelectionUnfocused = false;
    m_lastSearchValid = false;
    m_bookmarksExist = false;
    m_print.header = false;
    m_print.footer = true;
    viewport()->update();
}

// Lines --------------------------------------------------------------------------------

int CTextView::LineCount() const {
    return m_buffer ? std::max(m_buffer->LineCount(), 1) : 1;
}

std::uint32_t CTextView::LineFlags(int line) const {
    if (!m_buffer || line < 0 || line >= m_buffer->LineCount()) return 0;
    return m_buffer->LineFlags(line);
}

int CTextView::VisualLineLength(int line) {
    return AdvanceColumn(LineView(line), 0, m_tabSize);
}

// A line's visual length is its byte length when it holds no tab, and at most the tab size
// times it otherwise. Lines read from a file lie one after the other in memory, so one search
// over the range's bytes usually shows that none holds a tab; else only the lines that could
// be wider than the range's longest one are read.
int CTextView::WidestInLines(int first, int end) const {
    std::vector<int> lengths(std::size_t(std::max(end - first, 0)));
    int widest = 0;
    const char* const bytes = lengths.empty() ? nullptr : LineText(first);
    const char* bytesEnd = bytes;
    bool adjacent = bytes != nullptr;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        lengths[i] = LineLength(first + int(i));
        widest = std::max(widest, lengths[i]);
        if (!adjacent) continue;
        // At most a line end between one line's bytes and the next line's.
        const char* text = LineText(first + int(i));
        adjacent = std::uintptr_t(text) - std::uintptr_t(bytesEnd) <= 2;
        bytesEnd = text + lengths[i];
    }
    if (adjacent && !std::memchr(bytes, '\t', std::size_t(bytesEnd - bytes))) return widest;
    const long long mostCellsPerByte = std::max(m_tabSize, 1);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] * mostCellsPerByte <= widest) continue;
        const std::string_view text(LineText(first + int(i)), std::size_t(lengths[i]));
        widest = std::max(widest, AdvanceColumn(text, 0, m_tabSize));
    }
    return widest;
}

int CTextView::WidestLineLength() {
    if (m_widestLine < 0) {
        if (!m_widths.Exists()) m_widths.Create(LineCount());
        m_widestLine =
            m_widths.Widest([this](int first, int end) { return WidestInLines(first, end); });
    }
    return m_widestLine;
}

// Metrics and fonts --------------------------------------------------------------------

// `natural` measures the face as it is, `spaced` with the letter spacing that makes every
// glyph advance one cell; `cell` is the cell relative to a glyph's origin.
CTextView::CellGlyph CTextView::ClassifyGlyph(unsigned char byte, const QFontMetricsF& natural,
                                              const QFontMetricsF& spaced, const QRectF& cell) {
    const QChar ch = CharFromWindows1252(byte);
    // Format characters and marks draw nothing on their own; a zero advance would let the
    // caret step over a byte the user cannot see.
    const QChar::Category category = ch.category();
    if (!IsPrintableWindows1252(byte) || category == QChar::Other_Format ||
        category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
        natural.horizontalAdvance(QString(ch)) < 0.5)
        return CellGlyph::Box;
    if (!spaced.inFont(ch) || std::abs(spaced.horizontalAdvance(QString(ch)) - cell.width()) > 0.01)
        return CellGlyph::Alone;
    // Ink beyond the cell (accents above capitals, a dash wider than the cell) would be
    // wiped or left behind when a neighbouring cell or row is painted again.
    const QRectF ink = spaced.boundingRect(ch);
    return ink.isEmpty() || cell.contains(ink) ? CellGlyph::InRun : CellGlyph::Alone;
}

CTextView::CellGlyph CTextView::GlyphOf(FontSlot& slot, unsigned char byte) {
    CellGlyph& glyph = slot.glyphs[byte];
    if (glyph != CellGlyph::Unknown) return glyph;
    glyph = ClassifyGlyph(byte, *slot.natural, QFontMetricsF(*slot.font, viewport()), slot.cell);
    if (glyph == CellGlyph::InRun) {
        // A glyph of the face itself (the classification saw it in the font), so the face
        // has its index.
        const QChar ch = CharFromWindows1252(byte);
        int count = 1;
        if (!slot.face.glyphIndexesForChars(&ch, 1, &slot.glyphIndex[byte], &count) || count != 1)
            glyph = CellGlyph::Alone;
    }
    return glyph;
}

namespace {

int LineHeightOf(const QFontMetricsF& metrics) {
    return std::max(1, int(std::ceil(metrics.height())));
}

} // namespace

void CTextView::MeasureFont() {
    const QFontMetricsF metrics(FontFor(false, false), viewport());
    m_charWidth = std::max(1, int(std::lround(metrics.horizontalAdvance(u'X'))));
    m_lineHeight = LineHeightOf(metrics);
}

int CTextView::LineHeight() {
    if (m_lineHeight < 0 || m_charWidth < 0) MeasureFont();
    return m_lineHeight;
}

int CTextView::CharWidth() {
    if (m_lineHeight < 0 || m_charWidth < 0) MeasureFont();
    return m_charWidth;
}

int CTextView::ScreenLines() {
    if (m_screenLines < 0) m_screenLines = std::max(0, viewport()->height() / LineHeight());
    return m_screenLines;
}

int CTextView::ScreenChars() {
    if (m_screenChars < 0)
        m_screenChars = std::max(0, (viewport()->width() - MarginWidth()) / CharWidth());
    return m_screenChars;
}

const QFont& CTextView::FontFor(bool italic, bool bold) {
    FontSlot& slot = m_fonts[std::size_t(2 * italic + bold)];
    if (slot.font) return *slot.font;
    QFont font = MakeViewFont(m_fontTemplate, italic, bold);
    // Every glyph must advance exactly one cell, which is the normal font's "X" rounded to
    // whole pixels; letter spacing absorbs a fractional or different advance.
    // Measured on the viewport, whose resolution decides the pixel size of a point size.
    const QFontMetricsF natural(font, viewport());
    const double advance = natural.horizontalAdvance(u'X');
    const int cell = (italic || bold) ? CharWidth() : std::max(1, int(std::lround(advance)));
    if (std::abs(advance - cell) > 0.001)
        font.setLetterSpacing(QFont::AbsoluteSpacing, cell - advance);
    const QFontMetricsF metrics(font, viewport());
    slot.ascent = int(std::ceil(metrics.ascent()));
    // The cell as seen from a glyph's origin on the baseline of the normal font.
    const bool normal = !italic && !bold;
    const int ascent = normal ? slot.ascent : m_fonts[0].ascent;
    const int height = normal ? LineHeightOf(metrics) : LineHeight();
    slot.cell = QRectF(0, -ascent, cell, height);
    slot.natural = natural;
    slot.face = QRawFont::fromFont(font);
    slot.glyphs.fill(CellGlyph::Unknown);
    slot.font = font;
    // The template keeps the style of the font made last.
    m_fontTemplate.italic = italic;
    m_fontTemplate.weight = bold ? 700 : 400;
    return *slot.font;
}

void CTextView::DropFonts() {
    for (FontSlot& slot : m_fonts)
        slot = FontSlot{};
}

void CTextView::SetViewFont(const FontTemplate& font) {
    m_fontTemplate = font;
    m_screenLines = -1;
    m_screenChars = -1;
    m_charWidth = -1;
    m_lineHeight = -1;
    DropFonts();
    UpdateVertScrollBar(false);
    UpdateHorzScrollBar(false);
    UpdateCaret();
    viewport()->update();
}

// Columns and points -------------------------------------------------------------------

int CTextView::VisualColumn(int line, int ch) const {
    return VisualColumnOf(LineView(line), ch, m_tabSize);
}

int CTextView::CharIndexAtColumn(int line, int column) const {
    return ::CharIndexAtColumn(LineView(line), column, m_tabSize);
}

TextPosition CTextView::ClientToText(QPoint point) {
    const int line = std::clamp(point.y() / LineHeight() + m_firstVisibleLine, 0, LineCount() - 1);
    const int column =
        std::max(0, (point.x() - MarginWidth()) / CharWidth() + m_firstVisibleColumn);
    return {line, CharIndexAtCell(LineView(line), column, m_tabSize)};
}

QPoint CTextView::TextToClient(TextPosition position) {
    return {CharWidth() * (VisualColumn(position.line, position.ch) - m_firstVisibleColumn) +
                MarginWidth(),
            LineHeight() * (position.line - m_firstVisibleLine)};
}

// Colouring ----------------------------------------------------------------------------

QColor CTextView::ColourOf(int index) const {
    switch (index) {
    case ColourEmptyArea:
    case ColourBackground:
        return palette().color(QPalette::Base);
    case ColourNormalText:
        return palette().color(QPalette::Text);
    case ColourSelectionMargin:
        return palette().color(QPalette::Button);
    case ColourSelectionBackground:
        return QColor(0, 0, 0);
    case ColourSelectionText:
        return QColor(255, 255, 255);
    case ColourFlowKeyword:
        return QColor(6, 10, 128);
    case ColourComment:
        return QColor(0, 127, 0);
    case ColourTriggerMark:
        return QColor(132, 8, 8);
    default:
        return QColor(255, 0, 0);
    }
}

void CTextView::LineColours(int, QColor& background, QColor& text, bool& fillAfterEnd) {
    background = QColor();
    text = QColor();
    fillAfterEnd = false;
}

::LineCookie CTextView::ComputeLineColours(::LineCookie, int, ColourSpan*, int&) {
    return 0;
}

::LineCookie CTextView::LineCookie(int line) {
    if (!m_cookies.Exists()) m_cookies.Create(LineCount());
    return m_cookies.CookieOf(line, [this](::LineCookie before, int first, int end) {
        return ComputeRunCookie(before, first, end);
    });
}

::LineCookie CTextView::ComputeRunCookie(::LineCookie cookie, int first, int end) {
    for (int line = first; line < end; ++line) {
        int count = 0;
        cookie = ComputeLineColours(cookie, line, nullptr, count);
    }
    return cookie;
}

// Change notification ------------------------------------------------------------------

void CTextView::OnBufferChanged(CBufferObserver*, const ChangeContext* context, unsigned hints,
                                int line) {
    if (hints & HintReset) {
        ResetView();
        UpdateVertScrollBar(false);
        UpdateHorzScrollBar(false);
        return;
    }
    int firstChanged = line;
    if (hints & HintSingleLine) {
        if (m_cookies.Exists()) m_cookies.MarkStaleFrom(line);
        if (m_widths.Exists()) m_widths.MarkStale(line);
    } else {
        firstChanged = std::max(line, 0);
        const int count = LineCount();
        if (m_cookies.Exists()) m_cookies.Resize(count, firstChanged);
        if (m_widths.Exists()) UpdateWidthsAfterChange(context, count, firstChanged);
    }
    InvalidateLines(firstChanged, -1);
    if (context) {
        context->AdjustPosition(m_caret);
        context->AdjustPosition(m_selStart);
        context->AdjustPosition(m_selEnd);
        context->AdjustPosition(m_anchor);
        if (m_dragSourceActive) {
            context->AdjustPosition(m_dragStart);
            context->AdjustPosition(m_dragEnd);
        }
        TextPosition top{m_firstVisibleLine, 0};
        context->AdjustPosition(top);
        m_firstVisibleLine = top.line;
        UpdateCaret();
    }
    if (hints & HintVertRange) UpdateVertScrollBar(false);
    if (hints & HintHorzRange) {
        m_widestLine = -1;
        if (!m_deferHorzScrollUpdate) UpdateHorzScrollBar(false);
    }
}

// An insertion turns its first line into the lines up to its end, a deletion its lines into
// one; the widths of the lines around them stay. Without a context every line from the
// changed one on is measured again.
void CTextView::UpdateWidthsAfterChange(const ChangeContext* context, int lineCount,
                                        int firstChanged) {
    if (context) {
        const int span = context->end().line - context->start().line + 1;
        const bool insertion = context->kind() == ChangeContext::Kind::Insertion;
        const int removed = insertion ? 1 : span;
        const int added = insertion ? span : 1;
        if (context->start().line == firstChanged &&
            m_widths.Length() - removed + added == lineCount) {
            m_widths.Replace(firstChanged, removed, added);
            return;
        }
    }
    m_widths.Resize(lineCount, firstChanged);
}

// Widget events ------------------------------------------------------------------------

void CTextView::SetMarginWidth(int width) {
    width = std::max(width, int(Margin));
    if (width == m_marginWidth) return;
    m_marginWidth = width;
    m_screenChars = -1;
    UpdateHorzScrollBar(false);
    UpdateCaret();
    viewport()->update();
}

void CTextView::resizeEvent(QResizeEvent*) {
    m_screenLines = -1;
    m_screenChars = -1;
    UpdateVertScrollBar(false);
    UpdateHorzScrollBar(false);
}

void CTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) viewport()->update();
}
