// Drawing of the text view: rows of the invalid region, each line in coloured segments,
// the selection, the placeholder box of bytes without a printable character, the caret.
#include "TextView.h"

#include "TextLayout.h"

#include "framework/Windows1252.h"

#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>

void CTextView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    const int lineHeight = LineHeight();
    const int lineCount = LineCount();
    NormaliseSelection();

    // Only the rows of the invalid region; every pixel of them is painted once.
    const QRect dirty = event->rect().intersected(client);
    const int firstRow = std::max(dirty.top(), 0) / lineHeight;
    const int lastRow = std::max(dirty.bottom(), 0) / lineHeight;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int top = row * lineHeight;
        const long long line = static_cast<long long>(m_firstVisibleLine) + row;
        const int drawn = line < lineCount ? static_cast<int>(line) : -1;
        DrawMargin(painter, QRect(0, top, MarginWidth(), lineHeight), drawn);
        DrawLine(painter,
                 QRect(MarginWidth(), top, std::max(client.width() - MarginWidth(), 0), lineHeight),
                 drawn);
    }
    if (m_caretShown && m_caretBlinkOn && m_caretRect.intersects(dirty)) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(m_caretRect, Qt::black);
    }
}

void CTextView::DrawMargin(QPainter& painter, const QRect& rect, int) {
    painter.fillRect(rect, ColourOf(ColourBackground));
}

void CTextView::FillCell(QPainter& painter, QRect& rect, const QColor& colour) {
    const int width = CharWidth();
    painter.fillRect(QRect(rect.left(), rect.top(), std::min(width, rect.width()), rect.height()),
                     colour);
    rect.setLeft(rect.left() + width);
}

void CTextView::DrawLine(QPainter& painter, const QRect& rect, int line) {
    if (line < 0) {
        painter.fillRect(rect, ColourOf(ColourEmptyArea));
        return;
    }
    QColor background;
    QColor lineText;
    bool fillAfterEnd = false;
    LineColours(line, background, lineText, fillAfterEnd);
    if (!background.isValid()) background = ColourOf(ColourBackground);
    const bool selectionVisible = IsSelectionVisible();
    const QColor restColour = fillAfterEnd ? background : ColourOf(ColourEmptyArea);

    const std::string_view text = LineView(line);
    const int length = static_cast<int>(text.size());
    QRect rest = rect;
    if (length == 0) {
        if (selectionVisible && IsInsideSelection({line, 0}))
            FillCell(painter, rest, ColourOf(ColourSelectionBackground));
        if (rest.width() > 0) painter.fillRect(rest, restColour);
        return;
    }

    // One span buffer for all lines, grown when a longer line needs it: a line of a
    // million bytes asks for three million spans, far too many for the stack.
    const std::size_t room = 3 * std::size_t(length);
    if (m_spans.size() < room) m_spans.resize(room);
    int count = 0;
    const ::LineCookie cookie =
        ComputeLineColours(LineCookie(line - 1), line, m_spans.data(), count);
    m_cookies.Store(line, cookie);
    count = std::clamp(count, 0, static_cast<int>(room));

    // Segments: normal text up to the first span, then each span up to the next one. Span
    // starts outside the line or going backwards are held to the line and to the order.
    // Segments right of the row are not drawn at all.
    const int visibleEnd = m_firstVisibleColumn + std::max(rect.width(), 0) / CharWidth() + 1;
    int column = 0;
    int segmentStart = 0;
    int colour = ColourNormalText;
    for (int i = 0; i <= count && column < visibleEnd; ++i) {
        const int segmentEnd =
            i < count ? std::clamp(int(m_spans[std::size_t(i)].start), segmentStart, length)
                      : length;
        const int italic = IsItalic(colour);
        const int bold = IsBold(colour);
        FontFor(italic, bold);
        const RunColours colours{background, lineText.isValid() ? lineText : ColourOf(colour)};
        DrawSegment(painter, column, rect, 2 * italic + bold, colours, text, segmentStart,
                    segmentEnd - segmentStart, line);
        if (i < count) {
            segmentStart = segmentEnd;
            colour = m_spans[std::size_t(i)].colour;
        }
    }

    const long long end =
        rect.left() + static_cast<long long>(CharWidth()) * (column - m_firstVisibleColumn);
    rest.setLeft(static_cast<int>(std::clamp<long long>(end, rect.left(), rect.right() + 1)));
    if (rest.width() <= 0) return;
    if (selectionVisible && IsInsideSelection({line, length}))
        FillCell(painter, rest, ColourOf(ColourSelectionBackground));
    if (rest.width() > 0) painter.fillRect(rest, restColour);
}

void CTextView::DrawSegment(QPainter& painter, int& column, const QRect& clip, int slot,
                            const RunColours& colours, std::string_view line, int offset, int count,
                            int lineIndex) {
    if (count <= 0) return;
    const std::string_view run = line.substr(std::size_t(offset), std::size_t(count));
    if (!IsSelectionVisible()) {
        DrawTextRun(painter, column, clip, slot, colours, run);
        return;
    }
    auto relative = [&](TextPosition p) {
        if (p.line > lineIndex) return count;
        if (p.line < lineIndex) return 0;
        return std::clamp(p.ch - offset, 0, count);
    };
    const int begin = relative(m_drawnSelStart);
    const int end = std::max(relative(m_drawnSelEnd), begin);
    DrawTextRun(painter, column, clip, slot, colours, run.substr(0, std::size_t(begin)));
    if (begin < end) {
        const RunColours selected{ColourOf(ColourSelectionBackground),
                                  ColourOf(ColourSelectionText)};
        DrawTextRun(painter, column, clip, slot, selected,
                    run.substr(std::size_t(begin), std::size_t(end - begin)));
    }
    DrawTextRun(painter, column, clip, slot, colours, run.substr(std::size_t(end)));
}

void CTextView::DrawTextRun(QPainter& painter, int& column, const QRect& clip, int slot,
                            const RunColours& colours, std::string_view run) {
    if (run.empty()) return;
    const int width = CharWidth();
    const int endColumn = AdvanceColumn(run, column, m_tabSize);
    // Only the cells that fit in the row, plus one.
    const int firstVisible = m_firstVisibleColumn;
    const int visibleEnd = firstVisible + std::max(clip.width(), 0) / width + 1;
    const int skip = std::max(0, firstVisible - column);
    const int maxCells = std::min(endColumn, visibleEnd) - (column + skip);
    if (maxCells > 0) {
        ExpandLineText(run, column, m_tabSize, skip, maxCells, m_cells);
        const int x = clip.left() + width * (column + skip - firstVisible);
        const int cellCount = static_cast<int>(m_cells.size());
        painter.fillRect(QRect(x, clip.top(), width * cellCount, clip.height()).intersected(clip),
                         colours.background);
        painter.setPen(colours.text);
        painter.setFont(*m_fonts[std::size_t(slot)].font);
        DrawCells(painter, x, clip.top(), slot, m_cells);
    }
    column = endColumn;
}

void CTextView::DrawCells(QPainter& painter, int x, int top, int slot, std::string_view cells) {
    FontSlot& font = m_fonts[std::size_t(slot)];
    const int width = CharWidth();
    const int baseline = top + m_fonts[0].ascent;
    // Glyphs that advance exactly one cell go out as one run of glyphs placed cell by cell:
    // drawing them as a string would shape the same few bytes again on every paint.
    m_runGlyphs.clear();
    m_runPositions.clear();
    auto flush = [&] {
        if (m_runGlyphs.empty()) return;
        QGlyphRun run;
        run.setRawFont(font.face);
        run.setRawData(m_runGlyphs.data(), m_runPositions.data(),
                       static_cast<int>(m_runGlyphs.size()));
        painter.drawGlyphRun(QPointF(0, baseline), run);
        m_runGlyphs.clear();
        m_runPositions.clear();
    };
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
        const auto byte = static_cast<unsigned char>(cells[std::size_t(i)]);
        const int cellX = x + i * width;
        const CellGlyph glyph = GlyphOf(font, byte);
        if (glyph == CellGlyph::Box) {
            flush();
            DrawPlaceholder(painter, cellX, top);
        } else if (glyph == CellGlyph::Alone) {
            // A glyph of another width, from a fallback face or with ink beyond its cell
            // is drawn alone and kept inside its cell.
            flush();
            painter.save();
            painter.setClipRect(QRect(cellX, top, width, LineHeight()), Qt::IntersectClip);
            painter.drawText(QPoint(cellX, baseline), QString(CharFromWindows1252(byte)));
            painter.restore();
        } else if (byte != ' ') { // a space leaves its cell as the background made it
            m_runGlyphs.push_back(font.glyphIndex[byte]);
            m_runPositions.emplace_back(cellX, 0);
        }
    }
    flush();
}

void CTextView::DrawPlaceholder(QPainter& painter, int x, int top) {
    // A hollow box in the text colour, one cell wide, for a byte without a printable
    // character.
    const int width = CharWidth();
    const int height = LineHeight();
    const QRect box(x + 1, top + height / 5, std::max(width - 3, 0),
                    std::max(height * 3 / 5 - 1, 0));
    if (box.width() < 2 || box.height() < 2) {
        painter.fillRect(QRect(x, top, width, height), painter.pen().color());
        return;
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.restore();
}
