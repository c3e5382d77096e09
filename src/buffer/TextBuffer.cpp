#include "TextBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Capacities are rounded up to whole 16-byte steps, with room for at least one more byte,
// so that typing into a line reallocates rarely.
std::int32_t CapacityFor(std::int64_t length) {
    return static_cast<std::int32_t>((length / 16 + 1) * 16);
}

bool IsSingleBit(std::uint32_t bit) {
    return bit != 0 && (bit & (bit - 1)) == 0;
}

const char kNoBytes[1] = {0};

} // namespace

CTextBuffer::CTextBuffer() = default;

CTextBuffer::~CTextBuffer() {
    FreeAllLines();
}

int CTextBuffer::LineLength(int line) const {
    return (line >= 0 && line < LineCount()) ? m_lines[line].length : 0;
}

const char* CTextBuffer::LineText(int line) const {
    return (line >= 0 && line < LineCount()) ? m_lines[line].text : kNoBytes;
}

std::uint32_t CTextBuffer::LineFlags(int line) const {
    return (line >= 0 && line < LineCount()) ? m_lines[line].flags : 0;
}

bool CTextBuffer::IsValidPosition(TextPosition pos) const {
    return pos.line >= 0 && pos.line < LineCount() && pos.ch >= 0 &&
           pos.ch <= m_lines[pos.line].length;
}

CTextBuffer::LineRecord CTextBuffer::MakeLine(std::string_view bytes, std::size_t extraCapacity) {
    const std::int32_t capacity = CapacityFor(std::int64_t(bytes.size() + extraCapacity));
    char* text = static_cast<char*>(std::malloc(capacity));
    if (!text) throw std::bad_alloc();
    if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
    return {text, std::int32_t(bytes.size()), capacity, 0, true};
}

void CTextBuffer::FreeLine(LineRecord& line) {
    if (line.owned) std::free(line.text);
    line.text = nullptr;
    line.length = line.capacity = 0;
}

void CTextBuffer::FreeAllLines() {
    for (LineRecord& line : m_lines)
        FreeLine(line);
    m_lines.clear();
    m_fileBlocks.clear();
}

void CTextBuffer::ReserveInLine(LineRecord& line, std::int32_t newLength) {
    if (newLength <= line.capacity) return;
    const std::int32_t capacity = CapacityFor(newLength);
    char* text = static_cast<char*>(std::malloc(capacity));
    if (!text) throw std::bad_alloc();
    if (line.length > 0) std::memcpy(text, line.text, line.length);
    if (line.owned) std::free(line.text);
    line.text = text;
    line.capacity = capacity;
    line.owned = true;
}

void CTextBuffer::AppendToLine(LineRecord& line, std::string_view bytes) {
    if (bytes.empty()) return;
    const std::int32_t newLength = line.length + std::int32_t(bytes.size());
    ReserveInLine(line, newLength);
    std::memcpy(line.text + line.length, bytes.data(), bytes.size());
    line.length = newLength;
}

void CTextBuffer::InsertLineRecord(std::string_view bytes, int at) {
    LineRecord line = MakeLine(bytes);
    if (at < 0 || at > LineCount())
        m_lines.push_back(line);
    else
        m_lines.insert(m_lines.begin() + at, line);
}

void CTextBuffer::AppendToLineText(int line, std::string_view bytes) {
    if (line >= 0 && line < LineCount()) AppendToLine(m_lines[line], bytes);
}

void CTextBuffer::ClearAll() {
    FreeAllLines();
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
    const std::uint32_t flags = set ? (m_lines[line].flags | bit) : (m_lines[line].flags & ~bit);
    if (flags == m_lines[line].flags) return;
    if (removeFromOthers && set) {
        const int other = FirstLineWithFlag(bit);
        if (other >= 0) {
            m_lines[other].flags &= ~bit;
            BroadcastChange(nullptr, nullptr, HintLineFlags | HintSingleLine, other);
        }
    }
    m_lines[line].flags = flags;
    BroadcastChange(nullptr, nullptr, HintLineFlags | HintSingleLine, line);
}

int CTextBuffer::FirstLineWithFlag(std::uint32_t bit) const {
    if (!IsSingleBit(bit)) return -1;
    for (int i = 0; i < LineCount(); ++i)
        if (m_lines[i].flags & bit) return i;
    return -1;
}

int CTextBuffer::NextBookmarkedLine(int line) const {
    const int count = LineCount();
    int from = (LineFlags(line) & BookmarkFlag) ? line + 1 : line;
    for (int i = std::max(from, 0); i < count; ++i)
        if (m_lines[i].flags & BookmarkFlag) return i;
    for (int i = 0; i < count; ++i)
        if (m_lines[i].flags & BookmarkFlag) return i;
    return -1;
}

int CTextBuffer::PrevBookmarkedLine(int line) const {
    const int count = LineCount();
    int from = (LineFlags(line) & BookmarkFlag) ? line - 1 : line;
    for (int i = std::min(from, count - 1); i >= 0; --i)
        if (m_lines[i].flags & BookmarkFlag) return i;
    for (int i = count - 1; i >= 0; --i)
        if (m_lines[i].flags & BookmarkFlag) return i;
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
