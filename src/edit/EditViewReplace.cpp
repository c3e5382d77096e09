// The Replace command of the edit view: the dialog with its settings in the profile section
// "Editor\Replace", and the block tracked while the dialog is open.
#include "EditView.h"
#include "ReplaceDialog.h"

#include "framework/ModalDialog.h"
#include "framework/Profile.h"

namespace {

const QString ReplaceSection = QStringLiteral("Editor/Replace");

} // namespace

void CEditView::SetCoalescedUpdates(bool coalesce) {
    if (coalesce) {
        viewport()->setUpdatesEnabled(false);
        SetDeferHorzScrollUpdate(true);
        return;
    }
    SetDeferHorzScrollUpdate(false);
    viewport()->setUpdatesEnabled(true);
    UpdateVertScrollBar(false);
    UpdateHorzScrollBar(false);
    UpdateCaret();
    viewport()->update();
}

void CEditView::OnReplace() {
    if (!AllowEdit()) return;
    FindOptions options;
    options.matchCase = GetProfileInt(ReplaceSection, QStringLiteral("MatchCase"), 0) != 0;
    options.wholeWord = GetProfileInt(ReplaceSection, QStringLiteral("WholeWord"), 0) != 0;
    options.text = GetProfileString(ReplaceSection, QStringLiteral("FindWhat"));
    const QString replaceWith = GetProfileString(ReplaceSection, QStringLiteral("ReplaceWith"));

    ReplaceScope scope;
    if (HasSelection()) {
        SelectionBounds(scope.blockStart, scope.blockEnd);
        StartReplaceTracking(scope.blockStart, scope.blockEnd);
        scope.hasSelection = true;
        scope.begin = scope.blockStart;
    } else {
        scope.begin = CaretPosition();
    }

    CReplaceDialog dialog(this, options, replaceWith, scope);
    SetShowSelectionUnfocused(true);
    RunModalDialog(dialog);
    SetShowSelectionUnfocused(false);

    // The block the user had selected is selected again, with whatever was replaced in it.
    if (m_replaceTracking) {
        SetAnchor(m_trackedStart);
        SetSelection(m_trackedStart, m_trackedEnd);
        SetCaretPosition(m_trackedEnd);
        StopReplaceTracking();
    }

    const FindOptions& chosen = dialog.Options();
    WriteProfileInt(ReplaceSection, QStringLiteral("MatchCase"), chosen.matchCase);
    WriteProfileInt(ReplaceSection, QStringLiteral("WholeWord"), chosen.wholeWord);
    WriteProfileString(ReplaceSection, QStringLiteral("FindWhat"), chosen.text);
    WriteProfileString(ReplaceSection, QStringLiteral("ReplaceWith"), dialog.ReplaceWith());
}
