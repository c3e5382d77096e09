#include "ChangeContext.h"

void ChangeContext::AdjustPosition(TextPosition& pos) const {
    if (pos.line < m_start.line) return;
    if (m_kind == Kind::Insertion) {
        if (pos.line > m_start.line) {
            pos.line += m_end.line - m_start.line;
        } else if (pos.ch > m_start.ch) {
            pos.line = m_end.line;
            pos.ch += m_end.ch - m_start.ch;
        }
        return;
    }
    if (pos.line > m_end.line) {
        pos.line -= m_end.line - m_start.line;
    } else if (pos.line == m_end.line && pos.ch >= m_end.ch) {
        pos.line = m_start.line;
        pos.ch = m_start.ch + (pos.ch - m_end.ch);
    } else if (pos.line == m_start.line) {
        if (pos.ch > m_start.ch) pos.ch = m_start.ch;
    } else {
        pos = m_start;
    }
}
