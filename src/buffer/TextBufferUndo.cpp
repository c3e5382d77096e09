#include "TextBuffer.h"

#include "StringTable.h"

#include <algorithm>
#include <new>

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

void CTextBuffer::Record(CBufferObserver* source, bool insertion, TextPosition start,
                         TextPosition end, int action, TextLines text) {
    const bool ownGroup = !m_groupOpen;
    if (ownGroup) OpenUndoGroup(false);
    try {
        AddUndoRecord(insertion, start, end, action, std::move(text));
    } catch (const std::bad_alloc&) {
        // The change is made but has no record, so the older records no longer fit the
        // text: the history is given up rather than replayed at the wrong places.
        m_undo.clear();
        m_lastGroupStart = -1;
        m_undoPos = 0;
        m_savedUndoPos = -1;
    }
    if (ownGroup) CloseUndoGroup(source);
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
    while (static_cast<int>(m_undo.size()) >= m_undoLimit && DropOldestGroup()) {
    }

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
// False when there is nothing it may drop.
bool CTextBuffer::DropOldestGroup() {
    const bool oldestIsOpen = m_lastGroupStart == 0 && m_groupOpen && !m_groupStartPending;
    if (oldestIsOpen || m_undo.empty()) return false;
    std::size_t next = 1;
    while (next < m_undo.size() && !m_undo[next].StartsGroup())
        ++next;
    m_undo.erase(m_undo.begin(), m_undo.begin() + next);
    m_lastGroupStart = std::max(-1, m_lastGroupStart - static_cast<int>(next));
    m_undoPos -= static_cast<int>(next);
    if (m_savedUndoPos >= 0)
        m_savedUndoPos =
            m_savedUndoPos >= static_cast<int>(next) ? m_savedUndoPos - static_cast<int>(next) : -1;
    return true;
}

// Without memory for a step, undo and redo stop at that record and fail. The position
// may then lie inside a group, which the next undo or redo completes.
bool CTextBuffer::UndoGroup(TextPosition& position) {
    if (!HasUndo() || m_readOnly) return false;
    bool ok = true;
    try {
        while (m_undoPos > 0) {
            const UndoRecord& record = m_undo[m_undoPos - 1];
            if (record.IsInsertion()) {
                DeleteLines(nullptr, record.start, record.end);
                position = record.start;
            } else {
                position = InsertLines(nullptr, record.start, record.text);
            }
            --m_undoPos;
            if (record.StartsGroup()) break;
        }
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    UpdateModifiedAfterUndo();
    return ok;
}

bool CTextBuffer::RedoGroup(TextPosition& position) {
    if (!HasRedo() || m_readOnly) return false;
    const int count = static_cast<int>(m_undo.size());
    bool ok = true;
    try {
        do {
            const UndoRecord& record = m_undo[m_undoPos];
            if (record.IsInsertion()) {
                position = InsertLines(nullptr, record.start, record.text);
            } else {
                DeleteLines(nullptr, record.start, record.end);
                position = record.start;
            }
            ++m_undoPos;
        } while (m_undoPos < count && !m_undo[m_undoPos].StartsGroup());
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    UpdateModifiedAfterUndo();
    return ok;
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
