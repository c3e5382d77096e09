#include "TextBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool IsSingleBit(std::uint32_t bit) {
    return bit != 0 && (bit & (bit - 1)) == 0;
}

const char kNoBytes[1] = {0};

} // namespace

CTextBuffer::CTextBuffer() = default;

CTextBuffer::~CTextBuffer() = default;

int CTextBuffer::LineLength(int line) const {
    return (line >= 0 && line < LineCount()) ? m_store.Length(line) : 0;
}

const char* CTextBuffer::LineText(int line) const {
    return (line >= 0 && line < LineCount()) ? m_store.Text(line) : kNoBytes;
}

std::uint32_t CTextBuffer::LineFlags(int line) const {
    return (line >= 0 && line < LineCount()) ? m_store.Flags(line) : 0;
}

bool CTextBuffer::IsValidPosition(TextPosition pos) const {
    return pos.line >= 0 && pos.line < LineCount() && pos.ch >= 0 &&
           pos.ch <= m_store.Length(pos.line);
}

void CTextBuffer::InsertLineRecord(std::string_view bytes, int at) {
    if (at < 0 || at > LineCount()) at = LineCount();
    std::vector<OwnLine> lines{LineStore::MakeLine(bytes)};
    try {
        m_store.PrepareInsert(at, 1);
    } catch (const std::bad_alloc&) {
        LineStore::FreeLine(lines.front());
        throw;
    }
    m_store.Insert(at, lines);
}

void CTextBuffer::AppendToLineText(int line, std::string_view bytes) {
    if (line < 0 || line >= LineCount() || bytes.empty()) return;
    OwnLine& own = m_store.Own(line);
    const std::int32_t newLength = own.length + std::int32_t(bytes.size());
    LineStore::ReserveInLine(own, newLength);
    std::memcpy(own.text + own.length, bytes.data(), bytes.size());
    own.length = newLength;
}

void CTextBuffer::ClearAll() {
    m_store.Clear();
    ResetUndoState();
}

bool CTextBuffer::ResetToEmpty(int style) {
    if (style < StyleDOS || style > StyleMAC) style = StyleDOS;
    InsertLineRecord({});
    m_lineEndStyle = style;
    m_readOnly = false;
    m_modified = false;
    ResetUndoState();
    BroadcastChange(nullptr, nullptr, HintReset, -1);
    return true;
}

void CTextBuffer::ChangeLineFlag(int line, std::uint32_t bit, bool set, bool removeFromOthers) {
    if (!IsSingleBit(bit)) return;
    if (line == -1) {
        line = FirstLineWithFlag(bit);
        removeFromOthers = false;
    }
    if (line < 0 || line >= LineCount()) return;
    const std::uint32_t old = m_store.Flags(line);
    const std::uint32_t flags = set ? (old | bit) : (old & ~bit);
    if (flags == old) return;
    try { // a line that was never flagged needs a record of its own first
        m_store.Own(line);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (removeFromOthers && set) {
        const int other = FirstLineWithFlag(bit);
        if (other >= 0) {
            m_store.SetFlags(other, m_store.Flags(other) & ~bit);
            BroadcastChange(nullptr, nullptr, HintLineFlags | HintSingleLine, other);
        }
    }
    m_store.SetFlags(line, flags);
    BroadcastChange(nullptr, nullptr, HintLineFlags | HintSingleLine, line);
}

int CTextBuffer::FirstLineWithFlag(std::uint32_t bit) const {
    if (!IsSingleBit(bit) || m_store.FlaggedLines() == 0) return -1;
    for (int i = 0; i < LineCount(); ++i)
        if (m_store.Flags(i) & bit) return i;
    return -1;
}

int CTextBuffer::NextBookmarkedLine(int line) const {
    if (m_store.FlaggedLines() == 0) return -1;
    const int count = LineCount();
    int from = (LineFlags(line) & BookmarkFlag) ? line + 1 : line;
    for (int i = std::max(from, 0); i < count; ++i)
        if (m_store.Flags(i) & BookmarkFlag) return i;
    for (int i = 0; i < count; ++i)
        if (m_store.Flags(i) & BookmarkFlag) return i;
    return -1;
}

int CTextBuffer::PrevBookmarkedLine(int line) const {
    if (m_store.FlaggedLines() == 0) return -1;
    const int count = LineCount();
    int from = (LineFlags(line) & BookmarkFlag) ? line - 1 : line;
    for (int i = std::min(from, count - 1); i >= 0; --i)
        if (m_store.Flags(i) & BookmarkFlag) return i;
    for (int i = count - 1; i >= 0; --i)
        if (m_store.Flags(i) & BookmarkFlag) return i;
    return -1;
}

void CTextBuffer::AttachView(CBufferObserver* view) {
    if (view) m_views.push_back(view);
}

void CTextBuffer::DetachView(CBufferObserver* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    const std::size_t index = std::size_t(it - m_views.begin());
    m_views.erase(it);
    // Keep every running broadcast on the same next observer: the entries behind the
    // removed one have moved down by one.
    for (Broadcast* b = m_broadcast; b; b = b->outer) {
        if (index >= b->end) continue;
        --b->end;
        if (index < b->next) --b->next;
    }
}

void CTextBuffer::BroadcastChange(CBufferObserver* source, const ChangeContext* context,
                                  unsigned hints, int line) {
    // Every observer attached when the change began is told once, even when one of them
    // detaches itself or another while it is being told; one attached meanwhile is not.
    Broadcast broadcast{0, m_views.size(), m_broadcast};
    m_broadcast = &broadcast;
    struct Restore {
        CTextBuffer* buffer;
        ~Restore() { buffer->m_broadcast = buffer->m_broadcast->outer; }
    } restore{this};
    while (broadcast.next < broadcast.end)
        m_views[broadcast.next++]->OnBufferChanged(source, context, hints, line);
}

void CTextBuffer::MarkModified(bool modified) {
    m_modified = modified;
}
