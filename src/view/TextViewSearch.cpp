// Search of the text view: the engine over the view's lines, the Find dialog command, Find
// Next and Find Previous with the view's last search, and the profile section
// "Editor\Find" that carries the last search over to the next run.
#include "FindDialog.h"
#include "TextSearch.h"
#include "TextView.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "framework/Profile.h"
#include "framework/Windows1252.h"

namespace {

const QString FindSection = QStringLiteral("Editor/Find");

} // namespace

bool CTextView::FindTextInRange(std::string_view text, TextPosition start, TextPosition begin,
                                TextPosition end, unsigned flags, bool wrap, TextPosition& found) {
    CTextSearch search(LineCount(), [this](int line) { return LineView(line); });
    return search.FindInRange(text, start, begin, end, flags, wrap, found);
}

bool CTextView::FindTextFrom(std::string_view text, TextPosition start, unsigned flags, bool wrap,
                             TextPosition& found) {
    const int last = LineCount() - 1;
    return FindTextInRange(text, start, {0, 0}, {last, LineLength(last)}, flags, wrap, found);
}

void CTextView::RegisterSearchCommands() {
    OnCommand(ID_EDIT_FIND, [this](unsigned) { OnEditFind(); });
    const UpdateHandler whileLastSearchValid = [this](CCommandUI& ui) {
        ui.Enable(m_lastSearchValid);
    };
    OnCommand(
        ID_EDIT_REPEAT, [this](unsigned) { OnEditRepeat(); }, whileLastSearchValid);
    OnCommand(
        ID_EDIT_FIND_PREVIOUS, [this](unsigned) { OnEditFindPrevious(); }, whileLastSearchValid);
}

QString CTextView::SingleLineSelection() {
    if (!HasSelection()) return {};
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start.line != end.line) return {};
    return TextFromWindows1252(
        LineView(start.line).substr(std::size_t(start.ch), std::size_t(end.ch - start.ch)));
}

void CTextView::OnEditFind() {
    FindOptions options;
    if (m_lastSearchValid) {
        options.text = m_lastSearchText;
        options.matchCase = m_lastSearchFlags & FindMatchCase;
        options.wholeWord = m_lastSearchFlags & FindWholeWord;
        options.directionUp = m_lastSearchFlags & FindDirectionUp;
    } else {
        options.matchCase = GetProfileInt(FindSection, QStringLiteral("MatchCase"), 0) != 0;
        options.wholeWord = GetProfileInt(FindSection, QStringLiteral("WholeWord"), 0) != 0;
        options.text = GetProfileString(FindSection, QStringLiteral("FindWhat"));
    }
    // A selection inside one line proposes the selected text.
    if (const QString selected = SingleLineSelection(); !selected.isEmpty())
        options.text = selected;

    CFindDialog dialog(this, options, m_caret);
    SetShowSelectionUnfocused(true);
    RunModalDialog(dialog);
    SetShowSelectionUnfocused(false);

    // Whatever closed the dialog, what it holds is the last search.
    const FindOptions& chosen = dialog.Options();
    m_lastSearchValid = true;
    m_lastSearchText = chosen.text;
    m_lastSearchFlags = chosen.Flags();
    WriteProfileInt(FindSection, QStringLiteral("MatchCase"), chosen.matchCase);
    WriteProfileInt(FindSection, QStringLiteral("WholeWord"), chosen.wholeWord);
    WriteProfileString(FindSection, QStringLiteral("FindWhat"), chosen.text);
}

void CTextView::OnEditRepeat() {
    if (!m_lastSearchValid) return;
    std::string bytes;
    TextPosition found;
    if (SearchBytes(m_lastSearchText, bytes) &&
        FindTextFrom(bytes, m_caret, m_lastSearchFlags, true, found))
        SelectFoundText(found, static_cast<int>(bytes.size()));
    else
        ShowCannotFindMessage(this, m_lastSearchText);
}

void CTextView::OnEditFindPrevious() {
    m_lastSearchFlags ^= FindDirectionUp;
    OnEditRepeat();
    m_lastSearchFlags ^= FindDirectionUp;
}
