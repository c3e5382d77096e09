#pragma once

#include "BufferObserver.h"
#include "ChangeContext.h"
#include "LineEnds.h"
#include "LineStore.h"
#include "TextPosition.h"
#include "UndoRecord.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Line flag bits: 0..9 are the numbered bookmarks (one line each), 19 the plain bookmark.
constexpr std::uint32_t NumberedBookmarkFlag(int n) {
    return 1u << n;
}
constexpr std::uint32_t BookmarkFlag = 0x80000;

// The text of one document: an array of single-byte lines with per-line flags, read from
// and written to a file, edited through insert and delete primitives that are broadcast
// to every attached view, with undo and redo. It shows no user interface: every failure
// is a false result.
//
// Positions passed in are expected inside the text; a position outside it makes the
// operation fail (or return nothing) rather than touch memory it does not own.
class CTextBuffer {
public:
    CTextBuffer();
    virtual ~CTextBuffer();
    CTextBuffer(const CTextBuffer&) = delete;
    CTextBuffer& operator=(const CTextBuffer&) = delete;

    // Content and file. The caller empties the buffer with ClearAll before filling it.
    bool ResetToEmpty(int style = StyleDOS);
    // `style` -1 detects the line-end style from the first 32768 bytes. Only a regular
    // file is read. On failure (a file too large for memory included) the buffer keeps
    // what it held and nobody is notified.
    bool ReadFromFile(const std::string& path, int style = -1);
    // `style` -1 uses the buffer's style. Writes a temporary file beside the target and
    // renames it over the target, so the old file survives any failure; a target with
    // other names (hard links) gets the new bytes in place once the copy is on disk.
    bool WriteToFile(const std::string& path, int style = -1, bool clearModified = true);
    // Why the last ReadFromFile or WriteToFile failed, as a short English text such as
    // "Permission denied"; empty after a success.
    const std::string& LastError() const { return m_lastError; }
    void ClearAll();

    int LineCount() const { return m_store.Count(); }
    int LineLength(int line) const;
    // The line's bytes, not zero-terminated; valid until the next change.
    const char* LineText(int line) const;
    std::string_view Line(int line) const {
        return line >= 0 && line < LineCount() ? m_store.Line(line) : std::string_view();
    }
    // fn(Line(line)) for each line of [first, end) that exists, in order; faster than
    // asking for the lines one by one.
    template <typename Fn> void ForEachLine(int first, int end, Fn&& fn) const {
        m_store.ForEachLine(std::max(first, 0), std::min(end, LineCount()), fn);
    }
    std::uint32_t LineFlags(int line) const;
    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    int LineEndStyleOf() const { return m_lineEndStyle; }
    bool IsModified() const { return m_modified; }

    // Editing primitives without undo records. Every edit either happens whole or, when
    // memory runs out, fails and leaves the text as it was.
    bool RawInsert(CBufferObserver* source, TextPosition at, std::string_view text,
                   TextPosition& end);
    bool RawDelete(CBufferObserver* source, TextPosition start, TextPosition end);

    // The same edits with an undo record (see the undo section below).
    bool InsertTextAt(CBufferObserver* source, TextPosition at, std::string_view text,
                      TextPosition& end, int action, bool record = true);
    bool DeleteRange(CBufferObserver* source, TextPosition start, TextPosition end, int action);

    // The range's text with lines joined by `lineEnd` (CR LF unless given).
    std::string CopyRange(TextPosition start, TextPosition end,
                          std::string_view lineEnd = "\r\n") const;

    // Exact lines, for text that must come back byte for byte (a copy pasted inside the
    // program): a CR inside a line stays a byte of that line instead of a line break.
    TextLines CopyLines(TextPosition start, TextPosition end) const;
    bool InsertLinesAt(CBufferObserver* source, TextPosition at, TextLines lines, TextPosition& end,
                       int action, bool record = true);

    // A new line before `at`, or at the end when `at` is -1; flags 0.
    void InsertLineRecord(std::string_view bytes, int at = -1);
    void AppendToLineText(int line, std::string_view bytes);

    // Flags. `line` -1 means the first line holding the bit. Only single bits are taken.
    void ChangeLineFlag(int line, std::uint32_t bit, bool set, bool removeFromOthers = true);
    int FirstLineWithFlag(std::uint32_t bit) const;
    // The next or previous line with the plain bookmark, wrapping once; -1 if none.
    int NextBookmarkedLine(int line) const;
    int PrevBookmarkedLine(int line) const;

    // Views. The buffer never owns them; changes reach them in attach order.
    void AttachView(CBufferObserver* view);
    void DetachView(CBufferObserver* view);
    void BroadcastChange(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line);

    // The base keeps the flag in the buffer; a document's buffer may keep it elsewhere.
    virtual void MarkModified(bool modified);

    // Undo and redo. Callers check HasUndo / HasRedo first and then move the caret to
    // the returned position.
    bool HasUndo() const { return m_undoPos > 0; }
    bool HasRedo() const { return m_undoPos < static_cast<int>(m_undo.size()); }
    bool UndoGroup(TextPosition& position);
    bool RedoGroup(TextPosition& position);
    // Bracket several edits into one undo step. With `merge`, the edits join the group
    // that ends at the undo position (typing uses this).
    void OpenUndoGroup(bool merge);
    void CloseUndoGroup(CBufferObserver* source);
    std::string UndoLabel() const;
    std::string RedoLabel() const;
    virtual bool ActionLabel(int action, std::string& text) const;

    const std::deque<UndoRecord>& UndoRecords() const { return m_undo; }
    int UndoPosition() const { return m_undoPos; }
    // At least one record; ResetToEmpty and ReadFromFile restore the default. A smaller
    // limit trims the history when the next record is added.
    void SetUndoLimit(int limit) { m_undoLimit = limit < 1 ? 1 : limit; }

    static constexpr int DefaultUndoLimit = 1024;

private:
    using OwnLine = LineStore::OwnLine;

    bool IsValidPosition(TextPosition pos) const;

    // Inserts text already cut into lines; shared by RawInsert, undo and redo so that
    // they all put back exactly the lines they were given.
    TextPosition InsertLines(CBufferObserver* source, TextPosition at, const TextLines& text);
    void DeleteLines(CBufferObserver* source, TextPosition start, TextPosition end);
    // The range's text joined by `lineEnd`; with `pieces`, also where each line lies in it.
    std::string JoinRange(TextPosition start, TextPosition end, std::string_view lineEnd,
                          std::vector<LinePiece>* pieces) const;
    void AfterChange();

    bool Fail(std::string reason);
    bool LoadFile(int fd, std::size_t sizeHint, int style);

    void ResetUndoState();
    void Record(CBufferObserver* source, bool insertion, TextPosition start, TextPosition end,
                int action, TextLines text);
    void AddUndoRecord(bool insertion, TextPosition start, TextPosition end, int action,
                       TextLines text);
    bool DropOldestGroup();
    void UpdateModifiedAfterUndo();

    LineStore m_store;
    std::vector<CBufferObserver*> m_views;
    // The broadcasts under way, innermost first: where each one is in m_views.
    struct Broadcast {
        std::size_t next;
        std::size_t end;
        Broadcast* outer;
    };
    Broadcast* m_broadcast = nullptr;
    bool m_readOnly = false;
    bool m_modified = false;
    int m_lineEndStyle = StyleDOS;
    std::string m_lastError;

    std::deque<UndoRecord> m_undo; // trimmed at the front, so not a vector
    int m_lastGroupStart = -1;     // index of the newest record that starts a group
    int m_undoPos = 0;
    int m_savedUndoPos = 0; // -1 once the saved state can no longer be reached
    int m_undoLimit = DefaultUndoLimit;
    bool m_groupOpen = false;
    bool m_groupRecorded = false; // the open group has added a record
    bool m_groupStartPending = false;
};
