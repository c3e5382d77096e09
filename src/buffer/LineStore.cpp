#include "LineStore.h"

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

// Vectors grow geometrically, also when the room is asked for a few entries at a time.
template <typename T> void ReserveMore(std::vector<T>& vector, std::size_t more) {
    if (vector.capacity() - vector.size() >= more) return;
    vector.reserve(std::max(vector.size() + more, vector.size() * 3 / 2));
}

} // namespace

LineStore::LineStore(int segmentBits) : m_segmentBits(segmentBits), m_slots(1, kOwnTag) {}

LineStore::~LineStore() {
    FreeAll();
}

void LineStore::Swap(LineStore& other) noexcept {
    // Both stores keep their own segment size: a store only ever swaps with one made alike.
    m_slots.swap(other.m_slots);
    m_own.swap(other.m_own);
    m_freeOwn.swap(other.m_freeOwn);
    m_segmentStarts.swap(other.m_segmentStarts);
    m_file.swap(other.m_file);
    std::swap(m_fileLineEndBytes, other.m_fileLineEndBytes);
    std::swap(m_fileLineEnd, other.m_fileLineEnd);
    std::swap(m_flaggedLines, other.m_flaggedLines);
}

int LineStore::SegmentOf(int slot) const {
    return static_cast<int>(std::upper_bound(m_segmentStarts.begin(), m_segmentStarts.end(), slot) -
                            m_segmentStarts.begin());
}

LineStore::OwnLine LineStore::MakeLine(std::string_view bytes, std::size_t extraCapacity) {
    const std::int32_t capacity = CapacityFor(std::int64_t(bytes.size() + extraCapacity));
    char* text = static_cast<char*>(std::malloc(std::size_t(capacity)));
    if (!text) throw std::bad_alloc();
    if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
    return {text, std::int32_t(bytes.size()), capacity, kNotFromFile, 0, true};
}

void LineStore::FreeLine(OwnLine& line) noexcept {
    if (line.owned) std::free(line.text);
    line.text = nullptr;
    line.length = line.capacity = 0;
    line.owned = false;
}

void LineStore::ReserveInLine(OwnLine& line, std::int32_t newLength) {
    if (newLength <= line.capacity) return;
    const std::int32_t capacity = CapacityFor(newLength);
    char* text = static_cast<char*>(std::malloc(std::size_t(capacity)));
    if (!text) throw std::bad_alloc();
    if (line.length > 0) std::memcpy(text, line.text, std::size_t(line.length));
    if (line.owned) std::free(line.text);
    line.text = text;
    line.capacity = capacity;
    line.owned = true;
}

void LineStore::ReserveOwn(std::size_t count) {
    if (m_freeOwn.size() >= count) return;
    ReserveMore(m_own, count - m_freeOwn.size());
}

std::uint32_t LineStore::AddOwn(const OwnLine& line) noexcept {
    std::uint32_t index;
    if (!m_freeOwn.empty()) {
        index = m_freeOwn.back();
        m_freeOwn.pop_back();
        m_own[index] = line;
    } else {
        index = static_cast<std::uint32_t>(m_own.size());
        m_own.push_back(line); // the room was reserved
    }
    if (line.flags) ++m_flaggedLines;
    return index | kOwnTag;
}

void LineStore::ReleaseOwn(std::uint32_t slot) noexcept {
    OwnLine& line = m_own[slot & kIndexMask];
    if (line.flags) --m_flaggedLines;
    FreeLine(line);
    line.flags = 0;
    m_freeOwn.push_back(slot & kIndexMask); // the room was reserved
}

LineStore::OwnLine& LineStore::Own(int line) {
    std::uint32_t& slot = m_slots[std::size_t(line)];
    if (!IsOwn(slot)) {
        ReserveOwn(1);
        const std::uint64_t offset = FileOffset(line);
        const std::int32_t length = Length(line);
        slot = AddOwn({m_file.get() + offset, length, length, offset, 0, false});
    }
    return m_own[slot & kIndexMask];
}

void LineStore::SetFlags(int line, std::uint32_t flags) {
    if (flags == Flags(line)) return;
    OwnLine& own = Own(line);
    m_flaggedLines += (flags != 0) - (own.flags != 0);
    own.flags = flags;
}

void LineStore::PrepareInsert(int at, std::size_t count) {
    // The line before the new ones must know its length without the line that followed it.
    if (at > 0) Own(at - 1);
    ReserveOwn(count);
    ReserveMore(m_slots, count);
}

void LineStore::Insert(int at, std::vector<OwnLine>& lines) noexcept {
    // Made in place of the reserved room: the slots go in with one move of the tail.
    const std::size_t count = lines.size();
    m_slots.insert(m_slots.begin() + at, count, 0);
    for (std::size_t i = 0; i < count; ++i)
        m_slots[std::size_t(at) + i] = AddOwn(lines[i]);
    lines.clear();
    for (int& start : m_segmentStarts)
        if (start >= at) start += static_cast<int>(count);
}

void LineStore::PrepareErase(int from, int to) {
    if (from > 0) Own(from - 1);
    ReserveMore(m_freeOwn, std::size_t(to - from));
}

void LineStore::Erase(int from, int to) noexcept {
    if (to <= from) return;
    for (int line = from; line < to; ++line)
        if (IsOwn(m_slots[std::size_t(line)])) ReleaseOwn(m_slots[std::size_t(line)]);
    m_slots.erase(m_slots.begin() + from, m_slots.begin() + to);
    const int removed = to - from;
    for (int& start : m_segmentStarts)
        if (start >= from) start = std::max(from, start - removed);
}

void LineStore::FreeAll() noexcept {
    for (OwnLine& line : m_own)
        FreeLine(line);
}

void LineStore::Clear() noexcept {
    FreeAll();
    m_slots.assign(1, kOwnTag);
    std::vector<OwnLine>().swap(m_own);
    std::vector<std::uint32_t>().swap(m_freeOwn);
    m_segmentStarts.clear();
    m_file.reset();
    m_fileLineEndBytes = {};
    m_fileLineEnd = 0;
    m_flaggedLines = 0;
}

int LineStore::FileRun(int line, std::string_view& bytes) const {
    const int count = Count();
    if (IsOwn(m_slots[std::size_t(line)])) return line;
    int end = line + 1;
    while (end < count && !IsOwn(m_slots[std::size_t(end)]))
        ++end;
    const std::uint64_t from = FileOffset(line);
    std::uint64_t to = NextFileOffset(end - 1);
    if (end == count) to -= m_fileLineEnd; // the last line has no line end
    bytes = std::string_view(m_file.get() + from, std::size_t(to - from));
    return end;
}

void LineStore::StartFile(std::unique_ptr<char[]> block, std::string_view lineEnd) {
    Clear();
    m_slots.clear();
    m_file = std::move(block);
    m_fileLineEndBytes = lineEnd;
    m_fileLineEnd = static_cast<std::uint32_t>(lineEnd.size());
}

void LineStore::AddFileLine(std::uint64_t offset) {
    const std::size_t segment = std::size_t(offset >> m_segmentBits);
    while (m_segmentStarts.size() < segment)
        m_segmentStarts.push_back(static_cast<int>(m_slots.size()));
    m_slots.push_back(
        static_cast<std::uint32_t>(offset - (std::uint64_t(segment) << m_segmentBits)));
}

void LineStore::FinishFile(std::uint64_t size) {
    AddFileLine(size + m_fileLineEnd);
}
