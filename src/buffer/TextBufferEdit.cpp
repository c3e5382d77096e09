#include "TextBuffer.h"

#include <cstring>
#include <limits>

namespace {

// Texts beyond this size could overflow a line's 32-bit length; they are refused.
constexpr std::size_t kMaxInsert = std::numeric_limits<std::int32_t>::max() / 2;

} // namespace

bool CTextBuffer::RawInsert(CBufferObserver* source, TextPosition at, std::string_view text,
                            TextPosition& end) {
    if (m_readOnly || !IsValidPosition(at) || text.size() > kMaxInsert) return false;
    end = InsertLines(source, at, SplitAtLineBreaks(text));
    return true;
}

bool CTextBuffer::RawDelete(CBufferObserver* source, TextPosition start, TextPosition end) {
    if (m_readOnly || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    DeleteLines(source, start, end);
    return true;
}

TextPosition CTextBuffer::InsertLines(CBufferObserver* source, TextPosition at,
                                      const TextLines& text) {
    LineRecord& first = m_lines[at.line];
    const int pieceCount = text.PieceCount();
    TextPosition end;
    unsigned hints;
    if (pieceCount == 1) {
        const std::string_view piece = text.Piece(0);
        const auto n = std::int32_t(piece.size());
        ReserveInLine(first, first.length + n);
        std::memmove(first.text + at.ch + n, first.text + at.ch, first.length - at.ch);
        if (n > 0) std::memcpy(first.text + at.ch, piece.data(), n);
        first.length += n;
        end = {at.line, at.ch + n};
        hints = HintSingleLine | HintHorzRange;
    } else {
        // The tail after the insertion point moves to the end of the last new line; all
        // new lines go into the array in one insertion.
        const std::string tail(first.text + at.ch, first.length - at.ch);
        first.length = at.ch;
        AppendToLine(first, text.Piece(0));

        std::vector<LineRecord> added;
        added.reserve(pieceCount - 1);
        for (int i = 1; i < pieceCount - 1; ++i)
            added.push_back(MakeLine(text.Piece(i)));
        const std::string_view last = text.Piece(pieceCount - 1);
        LineRecord lastLine = MakeLine(last, tail.size());
        std::memcpy(lastLine.text + lastLine.length, tail.data(), tail.size());
        lastLine.length += std::int32_t(tail.size());
        added.push_back(lastLine);
        m_lines.insert(m_lines.begin() + at.line + 1, added.begin(), added.end());

        end = {at.line + pieceCount - 1, std::int32_t(last.size())};
        hints = HintHorzRange | HintVertRange;
    }
    const ChangeContext context(ChangeContext::Kind::Insertion, at, end);
    BroadcastChange(source, &context, hints, at.line);
    AfterChange();
    return end;
}

void CTextBuffer::DeleteLines(CBufferObserver* source, TextPosition start, TextPosition end) {
    LineRecord& first = m_lines[start.line];
    unsigned hints;
    if (start.line == end.line) {
        std::memmove(first.text + start.ch, first.text + end.ch, first.length - end.ch);
        first.length -= end.ch - start.ch;
        hints = HintSingleLine | HintHorzRange;
    } else {
        const LineRecord& lastLine = m_lines[end.line];
        const std::string tail(lastLine.text + end.ch, lastLine.length - end.ch);
        first.length = start.ch;
        for (int i = start.line + 1; i <= end.line; ++i)
            FreeLine(m_lines[i]);
        m_lines.erase(m_lines.begin() + start.line + 1, m_lines.begin() + end.line + 1);
        AppendToLine(m_lines[start.line], tail);
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
    return InsertLinesAt(source, at, SplitAtLineBreaks(text), end, action, record);
}

bool CTextBuffer::InsertLinesAt(CBufferObserver* source, TextPosition at, TextLines lines,
                                TextPosition& end, int action, bool record) {
    if (m_readOnly || !IsValidPosition(at) || lines.text.size() > kMaxInsert) return false;
    for (const LinePiece& piece : lines.pieces)
        if (piece.offset < 0 || piece.length < 0 ||
            std::size_t(piece.offset) + std::size_t(piece.length) > lines.text.size())
            return false;
    end = InsertLines(source, at, lines);
    if (!record) return true;
    // The record keeps the text as it was passed in, cut into the lines it made.
    const bool ownGroup = !m_groupOpen;
    if (ownGroup) OpenUndoGroup(false);
    AddUndoRecord(true, at, end, action, std::move(lines));
    if (ownGroup) CloseUndoGroup(source);
    return true;
}

bool CTextBuffer::DeleteRange(CBufferObserver* source, TextPosition start, TextPosition end,
                              int action) {
    if (m_readOnly || !IsValidPosition(start) || !IsValidPosition(end) || end < start) return false;
    // Joined with CR LF like CopyRange, with the line structure kept beside it.
    TextLines removed;
    removed.text = JoinRange(start, end, "\r\n", &removed.pieces);
    DeleteLines(source, start, end);
    const bool ownGroup = !m_groupOpen;
    if (ownGroup) OpenUndoGroup(false);
    AddUndoRecord(false, start, end, action, std::move(removed));
    if (ownGroup) CloseUndoGroup(source);
    return true;
}

std::string CTextBuffer::JoinRange(TextPosition start, TextPosition end, std::string_view lineEnd,
                                   std::vector<LinePiece>* pieces) const {
    std::string result;
    if (start.line == end.line) {
        result.assign(m_lines[start.line].text + start.ch, end.ch - start.ch);
        return result;
    }
    std::size_t size = 0;
    for (int i = start.line; i <= end.line; ++i)
        size += m_lines[i].length + lineEnd.size();
    result.reserve(size);
    if (pieces) pieces->reserve(end.line - start.line + 1);
    for (int i = start.line; i <= end.line; ++i) {
        const LineRecord& line = m_lines[i];
        const std::int32_t from = (i == start.line) ? start.ch : 0;
        const std::int32_t to = (i == end.line) ? end.ch : line.length;
        if (i != start.line) result += lineEnd;
        if (pieces) pieces->push_back({std::int32_t(result.size()), to - from});
        result.append(line.text + from, to - from);
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
