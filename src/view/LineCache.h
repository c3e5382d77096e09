#pragma once

#include <algorithm>
#include <vector>

// A per-line side table of the view (line cookies, visual lengths): one value per line,
// each either computed or not. Marking every line from some line on as not computed is
// O(1): entries at or after the watermark count as not computed whatever they hold, and
// are filled with the "not computed" value only when a later entry is stored. A value equal
// to `NotComputed` reads as not computed wherever it is.
template <typename T, T NotComputed> class CLineCache {
public:
    bool Exists() const { return m_exists; }
    int Length() const { return static_cast<int>(m_values.size()); }
    // Every line from here on is not computed.
    int FirstStaleLine() const { return m_validBelow; }

    void Create(int lineCount) {
        m_values.assign(std::size_t(std::max(lineCount, 0)), NotComputed);
        m_validBelow = 0;
        m_exists = true;
    }
    void Free() {
        std::vector<T>().swap(m_values);
        m_validBelow = 0;
        m_exists = false;
    }

    // NotComputed for a line outside the table or not yet computed.
    T Get(int line) const {
        return line >= 0 && line < m_validBelow ? m_values[std::size_t(line)] : NotComputed;
    }
    void Set(int line, T value) {
        if (line < 0 || line >= Length()) return;
        if (line >= m_validBelow) {
            std::fill(m_values.begin() + m_validBelow, m_values.begin() + line, NotComputed);
            m_validBelow = line + 1;
        }
        m_values[std::size_t(line)] = value;
    }

    void MarkStale(int line) {
        if (line >= 0 && line < m_validBelow) m_values[std::size_t(line)] = NotComputed;
    }
    void MarkStaleFrom(int line) { m_validBelow = std::clamp(line, 0, m_validBelow); }

    // Gives the table `lineCount` entries, keeping those before `firstChanged`; the others
    // are not computed.
    void Resize(int lineCount, int firstChanged) {
        MarkStaleFrom(firstChanged);
        m_values.resize(std::size_t(std::max(lineCount, 0)));
        m_validBelow = std::min(m_validBelow, Length());
    }

private:
    std::vector<T> m_values;
    int m_validBelow = 0; // entries from here on are not computed
    bool m_exists = false;
};
