#pragma once

#include "edit/EditView.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>

#include <string_view>

class CQuilletDoc;

// The view of every script window: the edit view with SphereScript colours, a strip of
// line numbers over the left margin, the caret position for the status bar, Goto, a
// context menu that inserts code templates, its own File Open, and three lines per
// mouse-wheel notch.
class CQuilletView : public CEditView {
    Q_OBJECT

public:
    // The strip of line numbers is never narrower than this; it widens to fit the number
    // of the last line, with a column for bookmark marks at its left.
    static constexpr int MinimumNumberStripWidth = 38;
    static constexpr int BookmarkColumnWidth = 12;

    explicit CQuilletView(CQuilletDoc& document, QWidget* parent = nullptr);

    CQuilletDoc& Document() const { return m_document; }
    CTextBuffer* LocateBuffer() override;
    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override;
    void ResetView() override;
    // The script's file, or its title until it is saved.
    QString PrintDocumentName() const override;
    ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                    int& count) override;
    ::LineCookie ComputeRunCookie(::LineCookie cookie, int first, int end) override;

    // Inserts `text` at the caret as one undo step "Insert Script", the caret staying in
    // front of it; over a selection, replaces the selection and leaves the new text
    // selected. Used by the code templates and the pickers.
    void InsertAtCaret(std::string_view text);

    // "Ln %d, Col %d" for the caret, or "Sel: %d,%d-%d,%d" for a selection.
    QString StatusPaneText();

    QColor NumberTextColour() const { return m_numberText; }
    QColor NumberBackground() const { return m_numberBackground; }
    // The height of a row of the number strip: the height of the text's lines, so that
    // each number stands beside its line.
    int NumberRowHeight() { return LineHeight(); }
    int NumberStripWidth() const { return m_numberStripWidth; }
    QColor BookmarkColour() const { return m_bookmarkColour; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void RegisterScriptCommands();
    void OnFileOpen();
    void OnArtPicker();
    void OnGoto();
    void ShowContextMenu(QPoint globalPos);
    void ShowContextMenuAtCaret();
    void ScrollSideways(int columns);
    void DrawNumberStrip(QPainter& painter);
    void DrawBookmarkMark(QPainter& painter, const QRect& row, std::uint32_t flags);
    void FitNumberStrip();

    CQuilletDoc& m_document;
    QColor m_numberText;
    QColor m_numberBackground;
    QFont m_numberFont;
    QFont m_bookmarkFont;
    QColor m_bookmarkColour;
    int m_numberStripWidth = MinimumNumberStripWidth;
    int m_digitWidth = 0;     // the widest digit of the number font
    int m_wheelRemainder = 0; // wheel travel short of a notch, from fine-grained devices
    int m_sideWheelRemainder = 0;
};
