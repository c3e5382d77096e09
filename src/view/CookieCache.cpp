#include "CookieCache.h"

void CCookieCache::Create(int lineCount) {
    m_checkpoints.clear();
    m_window.clear();
    m_windowFirst = 0;
    m_computedBelow = 0;
    m_lineCount = std::max(lineCount, 0);
    m_checkpoints.reserve(std::size_t(m_lineCount / Spacing));
    m_exists = true;
}

void CCookieCache::Free() {
    std::vector<LineCookie>().swap(m_checkpoints);
    std::vector<LineCookie>().swap(m_window);
    m_windowFirst = 0;
    m_computedBelow = 0;
    m_lineCount = 0;
    m_exists = false;
}

int CCookieCache::NearestKept(int line, LineCookie& cookie) const {
    const int checkpoints = std::max(line + 1, 0) / Spacing;
    int kept = checkpoints * Spacing - 1;
    cookie = checkpoints > 0 ? m_checkpoints[std::size_t(checkpoints - 1)] : 0;
    if (!m_window.empty() && m_windowFirst <= line) {
        const int last = std::min(line, WindowEnd() - 1);
        if (last > kept) {
            kept = last;
            cookie = m_window[std::size_t(last - m_windowFirst)];
        }
    }
    return kept;
}

void CCookieCache::Store(int line, LineCookie cookie) {
    if (line < 0 || line >= m_lineCount || line > m_computedBelow) return;
    if (line == m_computedBelow) {
        ++m_computedBelow;
        if (IsCheckpointLine(line)) m_checkpoints.push_back(cookie);
    } else if (IsCheckpointLine(line)) {
        m_checkpoints[std::size_t(line / Spacing)] = cookie;
    }
    if (line >= m_windowFirst && line < WindowEnd()) {
        m_window[std::size_t(line - m_windowFirst)] = cookie;
        return;
    }
    if (line != WindowEnd()) {
        m_window.clear();
        m_windowFirst = line;
    } else if (m_window.size() >= std::size_t(WindowLines)) {
        // Halving keeps the window's moves to one shift per WindowLines / 2 lines.
        m_window.erase(m_window.begin(), m_window.begin() + WindowLines / 2);
        m_windowFirst += WindowLines / 2;
    }
    m_window.push_back(cookie);
}

void CCookieCache::MarkStaleFrom(int line) {
    m_computedBelow = std::clamp(line, 0, m_computedBelow);
    m_checkpoints.resize(std::size_t(m_computedBelow / Spacing));
    if (m_windowFirst >= m_computedBelow) {
        m_window.clear();
        m_windowFirst = 0;
    } else if (WindowEnd() > m_computedBelow) {
        m_window.resize(std::size_t(m_computedBelow - m_windowFirst));
    }
}

void CCookieCache::Resize(int lineCount, int firstChanged) {
    MarkStaleFrom(firstChanged);
    m_lineCount = std::max(lineCount, 0);
    MarkStaleFrom(m_lineCount);
}
