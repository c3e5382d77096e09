#include "TextBuffer.h"

#include "StringTable.h"

#include <algorithm>

void CTextBuffer::ResetUndoState() {
    m_undo.clear();
    m_lastGroupStart = -1;
    m_undoPos = 0;
    m_savedUndoPos = 0;
    m_groupOpen = false;
    m_groupRecorded = false;
    m_groupStartPending = false;
    m_undoLimit = DefaultUndoLimit;
}

void CTextBuffer::OpenUndoGroup(bool merge) {
    m_groupOpen = true;
    m_groupRecorded = false;
    m_groupStartPending = !(merge && m_undoPos > 0);
}

void CTextBuffer::CloseUndoGroup(CBufferObserver* source) {
    // Only a group that recorded something is reported: an empty one (a click that moved
    // nothing, a cancelled drag) must not replay the previous record's action.
    if (source && m_groupRecorded && m_undoPos > 0) {
        // The group still counts as open during the call: a record the view adds from it
        // joins no outer bracket, and the pending start makes it a group of its own.
        m_groupStartPending = true;
        const UndoRecord& last = m_undo[m_undoPos - 1];
        source->OnEditActionDone(last.action, last.text.text);
    }
    m_groupOpen = false;
}

void CTextBuffer::AddUndoRecord(bool insertion, TextPosition start, TextPosition end, int action,
                                TextLines text) {
    if (m_undoPos < static_cast<int>(m_undo.size())) {
        if (m_savedUndoPos > m_undoPos)
            m_savedUndoPos = -1; // the saved text was in the discarded redo tail
        m_undo.erase(m_undo.begin() + m_undoPos, m_undo.end());
        while (m_lastGroupStart >= m_undoPos ||
               (m_lastGroupStart >= 0 && !m_undo[m_lastGroupStart].StartsGroup()))
            --m_lastGroupStart;
    }
    if (static_cast<int>(m_undo.size()) >= m_undoLimit) DropOldestGroup();

    UndoRecord record;
    record.flags = insertion ? std::uint32_t(UndoInsertion) : 0u;
    if (m_groupStartPending || m_undo.empty()) {
        record.flags |= UndoGroupStart;
        m_groupStartPending = false;
        m_lastGroupStart = static_cast<int>(m_undo.size());
    }
    record.start = start;
    record.end = end;
    record.action = action;
    record.text = std::move(text);
    m_undo.push_back(std::move(record));
    m_undoPos = static_cast<int>(m_undo.size());
    m_groupRecorded = true;
}

// Drops the oldest whole group, but never the group that is still being built: the limit
// bounds closed groups, so one long command (a block indent of many lines) stays undoable.
void CTextBuffer::DropOldestGroup() {
    const bool oldestIsOpen = m_lastGroupStart == 0 && m_groupOpen && !m_groupStartPending;
    if (oldestIsOpen) return;
    std::size_t next = 1;
    while (next < m_undo.size() && !m_undo[next].StartsGroup())
        ++next;
    m_undo.erase(m_undo.begin(), m_undo.begin() + next);
    m_lastGroupStart = std::max(-1, m_lastGroupStart - static_cast<int>(next));
    m_undoPos -= static_cast<int>(next);
    if (m_savedUndoPos >= 0)
        m_savedUndoPos =
            m_savedUndoPos >= static_cast<int>(next) ? m_savedUndoPos - static_cast<int>(next) : -1;
}

bool CTextBuffer::UndoGroup(TextPosition& position) {
    if (!HasUndo() || m_readOnly) return false;
    while (m_undoPos > 0) {
        const UndoRecord& record = m_undo[--m_undoPos];
        if (record.IsInsertion()) {
            DeleteLines(nullptr, record.start, record.end);
            position = record.start;
        } else {
            position = InsertLines(nullptr, record.start, record.text);
        }
        if (record.StartsGroup()) break;
    }
    UpdateModifiedAfterUndo();
    return true;
}

bool CTextBuffer::RedoGroup(TextPosition& position) {
    if (!HasRedo() || m_readOnly) return false;
    const int count = static_cast<int>(m_undo.size());
    do {
        const UndoRecord& record = m_undo[m_undoPos++];
        if (record.IsInsertion()) {
            position = InsertLines(nullptr, record.start, record.text);
        } else {
            DeleteLines(nullptr, record.start, record.end);
            position = record.start;
        }
    } while (m_undoPos < count && !m_undo[m_undoPos].StartsGroup());
    UpdateModifiedAfterUndo();
    return true;
}

void CTextBuffer::UpdateModifiedAfterUndo() {
    if (m_modified && m_savedUndoPos == m_undoPos) MarkModified(false);
    if (!m_modified && m_savedUndoPos != m_undoPos) MarkModified(true);
}

std::string CTextBuffer::UndoLabel() const {
    std::string label;
    int i = m_undoPos - 1;
    while (i > 0 && !m_undo[i].StartsGroup())
        --i;
    if (i >= 0) ActionLabel(m_undo[i].action, label);
    return label;
}

std::string CTextBuffer::RedoLabel() const {
    std::string label;
    if (HasRedo()) ActionLabel(m_undo[m_undoPos].action, label);
    return label;
}

bool CTextBuffer::ActionLabel(int action, std::string& text) const {
    // String ids of the labels by action code; "Delete" sits out of order at 8623.
    static constexpr unsigned kLabelIds[] = {8619, 8620, 8621, 8622, 8624, 8625,
                                             8626, 8627, 8628, 8623, 8629};
    text.clear();
    if (action == ActionInsertScript) {
        text = "Insert Script";
        return true;
    }
    if (action < 0 || action >= static_cast<int>(std::size(kLabelIds))) return false;
    const char* label = LoadResString(kLabelIds[action]);
    if (!label) return false;
    text = label;
    return true;
}
