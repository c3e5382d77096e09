#pragma once

#include <string_view>

class ChangeContext;

// Hint bits passed with every change broadcast. The buffer sends exactly these
// combinations: HintReset; HintSingleLine|HintHorzRange for a change within one line;
// HintHorzRange|HintVertRange when lines were added or removed; HintLineFlags|HintSingleLine
// for a flag change.
enum BufferHint : unsigned {
    HintHorzRange = 0x0001,
    HintVertRange = 0x0002,
    HintSingleLine = 0x0100,
    HintLineFlags = 0x0200,
    HintReset = 0x1000,
};

// What a view is to its buffer. The buffer keeps a list of these in attach order, owns
// none of them, and tells each of them about every change.
class CBufferObserver {
public:
    virtual ~CBufferObserver() = default;

    // `source` is the view whose command made the change, or null. `context` is null for
    // HintReset and flag changes. `line` is the changed line, or -1 after a reset.
    virtual void OnBufferChanged(CBufferObserver* source, const ChangeContext* context,
                                 unsigned hints, int line) = 0;

    // Called on the source view when an undo group it opened closes; `text` is the text of
    // the group's last record. The group is still open during the call, so a change made
    // from here (the auto-indent after Enter) starts an undo group of its own.
    virtual void OnEditActionDone(int action, std::string_view text) = 0;
};
