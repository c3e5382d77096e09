#include "TextMatcher.h"

#include "buffer/LineEnds.h"
#include "view/TextSearch.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Upper-cased bytes of script text from the most to the least frequent; bytes missing here
// are rarer still. Candidates are found by the needle's rarest byte, so that few of them
// need comparing.
constexpr std::string_view kCommonBytes = " EAT0R=OI*NSCL_M1D2PG.45FHWU38,6B7V/Y9K\t[]<>X{}()-:";

std::size_t Commonness(char upper) {
    const std::size_t at = kCommonBytes.find(upper);
    return at == npos ? 0 : kCommonBytes.size() - at;
}

// The line ends in `text`, a range that starts at a line start and ends at a match (so no
// line end straddles either edge). Line-end bytes differ from each other, so occurrences
// never overlap and each place is judged alone. Blocks of fixed length let the compiler
// compare many bytes at once.
std::size_t CountLineEnds(std::string_view text, std::string_view lineEnd) {
    constexpr std::size_t kBlock = 64;
    const char* p = text.data();
    const std::size_t n = text.size();
    const char first = lineEnd[0];
    std::size_t count = 0, i = 0;
    if (lineEnd.size() == 1) {
        for (; i + kBlock <= n; i += kBlock) {
            unsigned char inBlock = 0;
            for (std::size_t k = 0; k < kBlock; ++k)
                inBlock += p[i + k] == first;
            count += inBlock;
        }
        for (; i < n; ++i)
            count += p[i] == first;
        return count;
    }
    const char second = lineEnd[1];
    for (; i + kBlock < n; i += kBlock) {
        unsigned char inBlock = 0;
        for (std::size_t k = 0; k < kBlock; ++k)
            inBlock += (p[i + k] == first) & (p[i + k + 1] == second);
        count += inBlock;
    }
    for (; i + 1 < n; ++i)
        count += (p[i] == first) & (p[i + 1] == second);
    return count;
}

// Where the line holding the end of `text` starts: after the last line end in `text`, or
// at 0. The last line-end byte is sought backwards, at memchr speed.
std::size_t StartOfLastLine(std::string_view text, std::string_view lineEnd) {
    for (std::size_t end = text.size(); end > 0;) {
        const void* hit = ::memrchr(text.data(), lineEnd.back(), end);
        if (!hit) return 0;
        const std::size_t after = std::size_t(static_cast<const char*>(hit) - text.data()) + 1;
        if (after >= lineEnd.size() && text.substr(after - lineEnd.size()).starts_with(lineEnd))
            return after;
        end = after - 1;
    }
    return 0;
}

} // namespace

// Where the needle could start in a text, found by the places of its rarest byte (one or two
// bytes, by case): one memchr per byte, each resumed after its own last hit, so that over a
// whole search each byte of the text is passed once per sought byte.
class CTextMatcher::Candidates {
public:
    Candidates(const CTextMatcher& matcher, std::string_view text)
        : m_data(text.data()), m_offset(matcher.m_rareAt), m_bytes(matcher.m_rareBytes) {
        const std::size_t size = matcher.m_needle.size();
        m_end = text.size() >= size ? text.size() - size + m_offset + 1 : 0;
        for (std::size_t i = 0; i < m_bytes.size(); ++i)
            m_next[i] = Seek(i, m_offset);
    }

    // Whether no start is left: for most lines as soon as they are looked at.
    bool None() const { return m_next[0] == npos && m_next[1] == npos; }

    // The next start at or after `from`, or npos.
    std::size_t NextFrom(std::size_t from) {
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            if (m_next[i] < from + m_offset) m_next[i] = Seek(i, from + m_offset);
        }
        const std::size_t i = m_next[1] < m_next[0] ? 1 : 0;
        const std::size_t hit = m_next[i];
        if (hit == npos) return npos;
        m_next[i] = Seek(i, hit + 1);
        return hit - m_offset;
    }

private:
    std::size_t Seek(std::size_t i, std::size_t from) const {
        if (from >= m_end) return npos;
        const void* hit = std::memchr(m_data + from, m_bytes[i], m_end - from);
        return hit ? std::size_t(static_cast<const char*>(hit) - m_data) : npos;
    }

    const char* m_data;
    std::size_t m_offset; // of the rare byte in the needle
    std::string_view m_bytes;
    std::size_t m_end = 0; // where the rare byte of a match can no longer be
    std::size_t m_next[2] = {npos, npos};
};

CTextMatcher::CTextMatcher(std::string_view needle, unsigned flags)
    : m_needle(needle), m_flags(flags) {
    if (m_needle.find_first_of("\r\n") != npos) m_needle.clear();
    const bool matchCase = flags & FindMatchCase;
    for (int byte = 0; byte < 256; ++byte) {
        const char value = static_cast<char>(byte);
        m_fold[std::size_t(byte)] = matchCase ? value : UpperCaseByte(value);
    }
    for (char& byte : m_needle)
        byte = m_fold[static_cast<unsigned char>(byte)];
    if (m_needle.empty()) return;

    for (std::size_t k = 1; k < m_needle.size(); ++k) {
        if (Commonness(UpperCaseByte(m_needle[k])) < Commonness(UpperCaseByte(m_needle[m_rareAt])))
            m_rareAt = k;
    }
    for (int byte = 0; byte < 256; ++byte) {
        if (m_fold[std::size_t(byte)] == m_needle[m_rareAt]) m_rareBytes += static_cast<char>(byte);
    }

    m_border.assign(m_needle.size(), 0);
    for (std::size_t k = 1, border = 0; k < m_needle.size(); ++k) {
        while (border > 0 && m_needle[k] != m_needle[border])
            border = m_border[border - 1];
        if (m_needle[k] == m_needle[border]) ++border;
        m_border[k] = border;
    }
}

std::size_t CTextMatcher::Find(std::string_view text, std::size_t from,
                               Candidates& candidates) const {
    const std::size_t size = m_needle.size();
    if (size == 0 || text.size() < size || from > text.size() - size) return npos;
    // Bytes compared beyond those passed over, before the linear search takes over.
    constexpr std::size_t kCompareSlack = 4096;
    const bool wholeWord = m_flags & FindWholeWord;
    std::size_t compared = 0;
    for (std::size_t at; (at = candidates.NextFrom(from)) != npos;) {
        std::size_t k = 0;
        while (k < size && m_fold[static_cast<unsigned char>(text[at + k])] == m_needle[k])
            ++k;
        if (k == size && (!wholeWord || IsWholeWordAt(text, at, size))) return at;
        compared += k;
        if (compared > 4 * (at - from) + kCompareSlack) return FindLinear(text, at + 1);
    }
    return npos;
}

// Knuth-Morris-Pratt over the compared bytes; an occurrence that is no whole word goes on
// as a partial match, so overlapping occurrences are all seen.
std::size_t CTextMatcher::FindLinear(std::string_view text, std::size_t from) const {
    const std::size_t size = m_needle.size();
    const bool wholeWord = m_flags & FindWholeWord;
    std::size_t k = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char byte = m_fold[static_cast<unsigned char>(text[i])];
        while (k > 0 && byte != m_needle[k])
            k = m_border[k - 1];
        if (byte == m_needle[k]) ++k;
        if (k < size) continue;
        const std::size_t at = i + 1 - size;
        if (!wholeWord || IsWholeWordAt(text, at, size)) return at;
        k = m_border[size - 1];
    }
    return npos;
}

int CTextMatcher::FindInLine(std::string_view line, int from) const {
    const std::size_t start = std::size_t(std::max(from, 0));
    if (start >= line.size()) return -1;
    const std::string_view rest = line.substr(start);
    Candidates candidates(*this, rest);
    if (candidates.None()) return -1;
    const std::size_t at = Find(rest, 0, candidates);
    return at == npos ? -1 : int(start + at);
}

int CTextMatcher::ForEachMatchingLine(std::string_view text,
                                      const std::function<bool(const LineMatch&)>& found) const {
    const std::string_view lineEnd = LineEndBytes(DetectLineEndStyle(text));
    const std::size_t size = m_needle.size();
    int matching = 0;
    int line = 0;              // the number of the line that starts at `lineStart`
    std::size_t lineStart = 0; // where the search goes on
    Candidates candidates(*this, text);
    for (std::size_t at; (at = Find(text, lineStart, candidates)) != npos;) {
        // A match holds no CR or LF, so no line end straddles it.
        const std::string_view before = text.substr(lineStart, at - lineStart);
        line += int(CountLineEnds(before, lineEnd));
        lineStart += StartOfLastLine(before, lineEnd);
        const std::size_t lineEndAt = std::min(text.find(lineEnd, at + size), text.size());
        ++matching;
        const LineMatch match{line, text.substr(lineStart, lineEndAt - lineStart),
                              int(at - lineStart), int(size)};
        if (!found(match) || lineEndAt == text.size()) break;
        lineStart = lineEndAt + lineEnd.size();
        ++line;
    }
    return matching;
}
