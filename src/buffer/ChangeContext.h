#pragma once

#include "TextPosition.h"

// Describes one insertion or deletion for the duration of a broadcast, so that every view
// can move the positions it keeps (caret, selection, drop marks, first visible line) to
// where the same text is after the change.
class ChangeContext {
public:
    enum class Kind { Insertion, Deletion };

    ChangeContext(Kind kind, TextPosition start, TextPosition end)
        : m_kind(kind), m_start(start), m_end(end) {}

    Kind kind() const { return m_kind; }
    TextPosition start() const { return m_start; }
    TextPosition end() const { return m_end; }

    // A position exactly at an insertion point stays in front of the inserted text; a
    // position inside a deleted range moves to the range's start.
    void AdjustPosition(TextPosition& pos) const;

private:
    Kind m_kind;
    TextPosition m_start;
    TextPosition m_end;
};
