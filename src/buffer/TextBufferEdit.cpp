#include "TextBuffer.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Texts beyond this size could overflow a line's 32-bit length; they are refused.
constexpr std::size_t kMaxInsert = std::numeric_limits<std::int32_t>::max() / 2;

} // namespace

// Edits allocate before they change anything, so running out of memory (a huge paste)
// leaves the text as it was and the edit fails, instead of ending the program.
bool CTextBuffer::RawInsert(CBufferObserver* source, TextPosition at, std::string_view text,
                            TextPosition& end) {
    if (m_readOnly || !IsValidPosition(at) || text.size() > kMaxInsert) return false;
    try {
        end = InsertLines(source, at, SplitAtLineBreaks(text));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool CTextBuffer::RawDelete(CBufferObserver* source, TextPosition start, TextPosition end) {
    if (m_readOnly || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    try {
        DeleteLines(source, start, end);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

TextPosition CTextBuffer::InsertLines(CBufferObserver* source, TextPosition at,
                                      const TextLines& text) {
    const int pieceCount = text.PieceCount();
    const std::string_view firstPiece = text.Piece(0);
    TextPosition end;
    unsigned hints;
    if (pieceCount == 1) {
        OwnLine& first = m_store.Own(at.line);
        const auto n = std::int32_t(firstPiece.size());
        LineStore::ReserveInLine(first, first.length + n);
        std::memmove(first.text + at.ch + n, first.text + at.ch, first.length - at.ch);
        if (n > 0) std::memcpy(first.text + at.ch, firstPiece.data(), n);
        first.length += n;
        end = {at.line, at.ch + n};
        hints = HintSingleLine | HintHorzRange;
    } else {
        // The new lines and all room are made first; the text changes only once nothing
        // more can fail. The tail after the insertion point ends the last new line.
        std::vector<OwnLine> added;
        try {
            added.reserve(pieceCount - 1);
            for (int i = 1; i < pieceCount - 1; ++i)
                added.push_back(LineStore::MakeLine(text.Piece(i)));
            const std::int32_t tailLength = m_store.Length(at.line) - at.ch;
            OwnLine lastLine = LineStore::MakeLine(text.Piece(pieceCount - 1), tailLength);
            std::memcpy(lastLine.text + lastLine.length, m_store.Text(at.line) + at.ch, tailLength);
            end = {at.line + pieceCount - 1, lastLine.length};
            lastLine.length += tailLength;
            added.push_back(lastLine);
            m_store.PrepareInsert(at.line + 1, added.size());
            LineStore::ReserveInLine(m_store.Own(at.line), at.ch + std::int32_t(firstPiece.size()));
        } catch (const std::bad_alloc&) {
            for (OwnLine& line : added)
                LineStore::FreeLine(line);
            throw;
        }
        OwnLine& first = m_store.Own(at.line);
        if (!firstPiece.empty())
            std::memcpy(first.text + at.ch, firstPiece.data(), firstPiece.size());
        first.length = at.ch + std::int32_t(firstPiece.size());
        m_store.Insert(at.line + 1, added);
        hints = HintHorzRange | HintVertRange;
    }
    const ChangeContext context(ChangeContext::Kind::Insertion, at, end);
    BroadcastChange(source, &context, hints, at.line);
    AfterChange();
    return end;
}

void CTextBuffer::DeleteLines(CBufferObserver* source, TextPosition start, TextPosition end) {
    unsigned hints;
    if (start.line == end.line) {
        OwnLine& first = m_store.Own(start.line);
        std::memmove(first.text + start.ch, first.text + end.ch, first.length - end.ch);
        first.length -= end.ch - start.ch;
        hints = HintSingleLine | HintHorzRange;
    } else {
        // The end line's tail joins the start line; the room for it and for the removal
        // comes before anything changes.
        m_store.PrepareErase(start.line + 1, end.line + 1);
        const std::int32_t tailLength = m_store.Length(end.line) - end.ch;
        OwnLine& first = m_store.Own(start.line);
        LineStore::ReserveInLine(first, start.ch + tailLength);
        std::memcpy(first.text + start.ch, m_store.Text(end.line) + end.ch, tailLength);
        first.length = start.ch + tailLength;
        m_store.Erase(start.line + 1, end.line + 1);
        hints = HintHorzRange | HintVertRange;
    }
    const ChangeContext context(ChangeContext::Kind::Deletion, start, end);
    BroadcastChange(source, &context, hints, start.line);
    AfterChange();
}

void CTextBuffer::AfterChange() {
    if (!m_modified) MarkModified(true);
}

bool CTextBuffer::InsertTextAt(CBufferObserver* source, TextPosition at, std::string_view text,
                               TextPosition& end, int action, bool record) {
    if (text.size() > kMaxInsert) return false;
    try {
        return InsertLinesAt(source, at, SplitAtLineBreaks(text), end, action, record);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CTextBuffer::InsertLinesAt(CBufferObserver* source, TextPosition at, TextLines lines,
                                TextPosition& end, int action, bool record) {
    if (m_readOnly || !IsValidPosition(at) || lines.text.size() > kMaxInsert) return false;
    for (const LinePiece& piece : lines.pieces)
        if (piece.offset < 0 || piece.length < 0 ||
            std::size_t(piece.offset) + std::size_t(piece.length) > lines.text.size())
            return false;
    try {
        end = InsertLines(source, at, lines);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The record keeps the text as it was passed in, cut into the lines it made.
    if (record) Record(source, true, at, end, action, std::move(lines));
    return true;
}

bool CTextBuffer::DeleteRange(CBufferObserver* source, TextPosition start, TextPosition end,
                              int action) {
    if (m_readOnly || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    // Joined with CR LF like CopyRange, with the line structure kept beside it.
    TextLines removed;
    try {
        removed.text = JoinRange(start, end, "\r\n", &removed.pieces);
        DeleteLines(source, start, end);
    } catch (const std::bad_alloc&) {
        return false;
    }
    Record(source, false, start, end, action, std::move(removed));
    return true;
}

std::string CTextBuffer::JoinRange(TextPosition start, TextPosition end, std::string_view lineEnd,
                                   std::vector<LinePiece>* pieces) const {
    std::string result;
    if (start.line == end.line) {
        result.assign(m_store.Text(start.line) + start.ch, end.ch - start.ch);
        return result;
    }
    std::size_t size = 0;
    for (int i = start.line; i <= end.line; ++i)
        size += m_store.Length(i) + lineEnd.size();
    result.reserve(size);
    if (pieces) pieces->reserve(end.line - start.line + 1);
    for (int i = start.line; i <= end.line; ++i) {
        const std::int32_t from = (i == start.line) ? start.ch : 0;
        const std::int32_t to = (i == end.line) ? end.ch : m_store.Length(i);
        if (i != start.line) result += lineEnd;
        if (pieces) pieces->push_back({std::int32_t(result.size()), to - from});
        result.append(m_store.Text(i) + from, to - from);
    }
    return result;
}

TextLines CTextBuffer::CopyLines(TextPosition start, TextPosition end) const {
    TextLines lines;
    if (IsValidPosition(start) && IsValidPosition(end) && !(end < start))
        lines.text = JoinRange(start, end, "\r\n", &lines.pieces);
    return lines;
}

std::string CTextBuffer::CopyRange(TextPosition start, TextPosition end,
                                   std::string_view lineEnd) const {
    if (!IsValidPosition(start) || !IsValidPosition(end) || end < start) return {};
    return JoinRange(start, end, lineEnd, nullptr);
}
