#pragma once

#include "CookieCache.h"
#include "FontTemplate.h"
#include "PageLayout.h"
#include "PrintedLine.h"
#include "WidestLineCache.h"

#include "buffer/BufferObserver.h"
#include "buffer/ColourSpan.h"
#include "buffer/TextBuffer.h"
#include "buffer/TextPosition.h"
#include "buffer/UndoRecord.h"
#include "framework/CommandTarget.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CAcceleratorTable;
struct CPrintInfo;
struct PrintJobOptions;
class QDrag;
class QFontMetricsF;
class QMimeData;
class QPainter;
class QPrinter;
class QRectF;

// The read-only view of a text buffer: draws its lines in a fixed-pitch font with a plain
// 45-pixel margin at the left, keeps a caret and a selection, moves them by keys and mouse,
// copies to the clipboard, starts drags of the selection and sets bookmarks. Several views
// may show one buffer, each with its own caret, selection, scroll position and caches.
//
// Every byte of a line takes one cell (a tab its expanded cells). Bytes are shown through
// Windows-1252; a byte with no printable character is drawn as a box of one cell.
class CTextView : public QAbstractScrollArea, public CBufferObserver, public CCommandTarget {
    Q_OBJECT

public:
    static constexpr int Margin = 45; // the left margin's width unless a subclass widens it

    explicit CTextView(QWidget* parent = nullptr);
    ~CTextView() override;

    // Buffer. With null, AttachToBuffer takes LocateBuffer().
    void AttachToBuffer(CTextBuffer* buffer = nullptr);
    void DetachFromBuffer();
    CTextBuffer* Buffer() const { return m_buffer; }
    // What a frame calls once the view is in place: attach to the located buffer and align
    // with the neighbouring splitter panes.
    virtual void OnInitialUpdate();
    virtual void ResetView();

    // Lines; without a buffer the view shows one empty line. A line's bytes and length are
    // read for every line of a colouring pass, so they are inline rather than virtual.
    virtual int LineCount() const;
    // The line's bytes and length; empty (and null) outside the text.
    std::string_view LineView(int line) const {
        return m_buffer ? m_buffer->Line(line) : std::string_view();
    }
    int LineLength(int line) const { return static_cast<int>(LineView(line).size()); }
    const char* LineText(int line) const { return LineView(line).data(); }
    virtual int VisualLineLength(int line);
    virtual std::uint32_t LineFlags(int line) const;
    // fn(LineView(line)) for the lines [first, end) in order, as a colouring pass reads them.
    template <typename Fn> void ForEachLineView(int first, int end, Fn&& fn) const {
        if (m_buffer) m_buffer->ForEachLine(first, end, fn);
    }

    // Metrics, measured from the font on first use.
    int LineHeight();
    int CharWidth();
    int TabSize() const { return m_tabSize; }
    int MarginWidth() const { return m_marginWidth; }
    // Widens or narrows the left margin (never below Margin); the text moves with it.
    void SetMarginWidth(int width);
    int ScreenLines();
    int ScreenChars();
    int WidestLineLength();

    const QFont& FontFor(bool italic, bool bold);
    void SetViewFont(const FontTemplate& font);
    const FontTemplate& ViewFont() const { return m_fontTemplate; }

    int VisualColumn(int line, int ch) const;
    int CharIndexAtColumn(int line, int column) const;
    TextPosition ClientToText(QPoint point);
    QPoint TextToClient(TextPosition position);

    // The colouring state at the end of a line; 0 for a negative line.
    ::LineCookie LineCookie(int line);

    // Scrolling.
    int FirstVisibleLine() const { return m_firstVisibleLine; }
    int FirstVisibleColumn() const { return m_firstVisibleColumn; }
    void ScrollToLine(int line, bool trackScrollBar);
    void ScrollToColumn(int column, bool trackScrollBar);
    void UpdateVertScrollBar(bool positionOnly);
    void UpdateHorzScrollBar(bool positionOnly);
    void EnsureVisible(TextPosition position);
    void InvalidateLines(int first, int last = -1);

    // Splitter panes: views placed in a grid of QSplitters (a splitter of rows holding
    // splitters of columns, or the other way round). Panes in one row share the first
    // visible line, panes in one column the first visible column.
    CTextView* SiblingView(int row, int column) const;
    void SyncSiblingPanes(bool vertical);
    void FollowSiblingPane(CTextView* sibling, bool vertical);

    // Caret and selection.
    TextPosition CaretPosition() const { return m_caret; }
    void SetCaretPosition(TextPosition position);
    // A jump: the caret goes to `position`, the selection collapses there with the anchor,
    // and the view scrolls to it.
    void JumpTo(TextPosition position);
    TextPosition Anchor() const { return m_anchor; }
    void SetAnchor(TextPosition position) { m_anchor = position; }
    void SetSelection(TextPosition start, TextPosition end);
    void SelectionBounds(TextPosition& start, TextPosition& end);
    bool HasSelection() const { return m_selStart != m_selEnd; }
    void NormaliseSelection();
    bool IsInsideSelection(TextPosition position) const;
    bool SelectFoundText(TextPosition position, int length);
    // The selected text when the selection lies inside one line, else empty: what the
    // search dialogs propose.
    QString SingleLineSelection();
    void UpdateCaret();
    void SuspendCaret();
    void ResumeCaret();
    // Where the caret is drawn, and whether it is shown (blinking) at all.
    QRect CaretRect() const { return m_caretRect; }
    bool IsCaretShown() const { return m_caretShown; }
    TextPosition WordStartLeft(TextPosition position) const;
    TextPosition WordEndRight(TextPosition position) const;
    bool IsMouseSelecting() const { return m_mouseSelecting; }
    // While this view's own drag runs; a drop into the view then comes from itself.
    bool IsDragSourceActive() const { return m_dragSourceActive; }
    // The range handed out by the last PrepareDragData; it moves with every change while
    // the drag runs.
    TextPosition DragRangeStart() const { return m_dragStart; }
    TextPosition DragRangeEnd() const { return m_dragEnd; }

    // Set by the edit view around bulk changes: change notifications then leave the
    // horizontal scroll bar alone.
    void SetDeferHorzScrollUpdate(bool defer) { m_deferHorzScrollUpdate = defer; }
    // Set while a search dialog is open, so that the selection shows without the focus.
    void SetShowSelectionUnfocused(bool show);

    // Search (TextViewSearch.cpp). `flags` are SearchFlags; `found` receives the position of
    // the match's first byte. FindTextFrom searches the whole text.
    bool FindTextFrom(std::string_view text, TextPosition start, unsigned flags, bool wrap,
                      TextPosition& found);
    bool FindTextInRange(std::string_view text, TextPosition start, TextPosition begin,
                         TextPosition end, unsigned flags, bool wrap, TextPosition& found);
    // The last search of the Find dialog, used by Find Next and Find Previous.
    bool IsLastSearchValid() const { return m_lastSearchValid; }
    unsigned LastSearchFlags() const { return m_lastSearchFlags; }
    const QString& LastSearchText() const { return m_lastSearchText; }

    // Clipboard and drag data: the text of a range, bytes and Unicode meeting through
    // Windows-1252, and beside it the range's exact lines in the program's own format
    // (LinesMimeType), so that a line holding a CR byte comes back as it was.
    static const QString LinesMimeType;
    // The largest text that one paste inserts; the buffer refuses more.
    static constexpr qsizetype MaxInsertionBytes = std::numeric_limits<std::int32_t>::max() / 2;
    virtual bool ClipboardHasText() const;
    // Null, and false, for an empty range. A range of many lines is read in slices while
    // windows repaint, with a progress window once that takes long; null, and false, when
    // the text changed meanwhile.
    QMimeData* RangeMimeData(TextPosition start, TextPosition end) const;
    bool CopyRangeToClipboard(TextPosition start, TextPosition end);
    // The exact lines that `data` carries; false when it has none or they are malformed.
    static bool LinesFromMimeData(const QMimeData* data, TextLines& lines);
    // The selection as drag data (the drag range remembers it); null without a selection.
    virtual QMimeData* PrepareDragData();
    virtual Qt::DropActions DragEffects() const { return Qt::CopyAction; }
    virtual void OnDragSourceDone(Qt::DropAction) {}
    // The platform's drag-and-drop loop for a drag of this view; returns the drop's effect.
    virtual Qt::DropAction RunDragLoop(QDrag& drag);

    // Colours and fonts per colour index.
    virtual QColor ColourOf(int index) const;
    // Invalid colours mean "none": the background then comes from ColourOf.
    virtual void LineColours(int line, QColor& background, QColor& text, bool& fillAfterEnd);
    virtual bool IsItalic(int) const { return false; }
    virtual bool IsBold(int) const { return false; }

    // The colouring hook: the cookie of `line` from the cookie of the line before. With
    // `spans` (room for 3 x LineLength spans, count 0 on entry) it also adds the line's
    // colour spans in ascending order of start.
    virtual ::LineCookie ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                            int& count);
    // The cookie of line `end - 1` from the cookie of the line before `first`: what
    // ComputeLineColours gives line after line without spans, which is what this class does.
    // A view that colours a line from its bytes alone runs its scanner over the lines in one
    // loop, so that colouring a long text costs little more than scanning it.
    virtual ::LineCookie ComputeRunCookie(::LineCookie cookie, int first, int end);
    // The buffer this view shows when none is given to AttachToBuffer.
    virtual CTextBuffer* LocateBuffer() { return nullptr; }

    void OnBufferChanged(CBufferObserver* source, const ChangeContext* context, unsigned hints,
                         int line) override;
    void OnEditActionDone(int, std::string_view) override {}

    // Printing (TextViewPrint.cpp). A print job calls OnBeginPrinting, then OnPrepareDC and
    // OnPrint for each page while OnPrepareDC lets it go on, then OnEndPrinting; `dc` is a
    // painter active on the printer. The pages are laid out once per job, on its first page.
    virtual void OnBeginPrinting(QPainter& dc, CPrintInfo& info);
    virtual void OnPrepareDC(QPainter& dc, CPrintInfo& info);
    virtual void OnPrint(QPainter& dc, CPrintInfo& info);
    virtual void OnEndPrinting(QPainter& dc, CPrintInfo& info);
    virtual void PrintPageHeader(QPainter& dc, int page);
    virtual void PrintPageFooter(QPainter& dc, int page);
    // Empty in this class; a subclass that gives a text gets a header band on every page.
    virtual void PageHeaderText(int page, QString& text);
    // "Page %d/%d".
    virtual void PageFooterText(int page, QString& text);
    // 0 outside a print job.
    int PrintPageCount() const { return m_print.pages.PageCount(); }
    bool IsPrinting() const { return m_print.running; }
    // The file or title that print jobs and PDF files are named after; empty in this class.
    virtual QString PrintDocumentName() const { return {}; }

    // The print commands (TextViewPrintCommands.cpp). Prints on the shared printer without
    // a dialog; false, after telling the user why, when nothing was printed.
    bool PrintDirect();

signals:
    // The caret or the selection may have moved (the status pane follows it).
    void CaretMoved();

protected:
    // Drawing; `line` -1 is the area below the last line.
    virtual void DrawLine(QPainter& painter, const QRect& rect, int line);
    virtual void DrawMargin(QPainter& painter, const QRect& rect, int line);

    // Caret moves; `extend` is the Shift state.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void MoveUp(bool extend) { MoveVertically(extend, false); }
    void MoveDown(bool extend) { MoveVertically(extend, true); }
    void MovePageUp(bool extend);
    void MovePageDown(bool extend);
    void MoveLineHome(bool extend);
    void MoveLineEnd(bool extend);
    void MoveTextStart(bool extend);
    void MoveTextEnd(bool extend);
    void ScrollLineUp();
    void ScrollLineDown();
    void SelectAll();
    void FinishMove(bool extend);
    // FinishMove without taking the caret's column as the remembered one.
    void FinishVerticalMove(bool extend);

    // Printing: the pages of a job, the height of a line on paper (all its rows, one printer
    // line for an empty line), and the print dialog (false when the user cancelled).
    void LayoutPages(QPainter& dc, CPrintInfo& info);
    int PrintedLineHeight(QPainter& dc, int line);
    bool OnPreparePrinting(QPrinter& printer, PrintJobOptions& options);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool) override { return false; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    // How a byte is drawn: with its neighbours in one run of glyphs (its glyph advances
    // exactly one cell and its ink stays inside the cell), alone and clipped to its cell, or
    // as a box (no printable character, or a character that draws nothing, such as a soft
    // hyphen).
    // Unknown until the byte is first drawn in that font: measuring all 256 glyphs of each
    // variant up front would load glyphs a script never shows, at every start.
    enum class CellGlyph : unsigned char { Unknown, InRun, Alone, Box };
    struct FontSlot {
        std::optional<QFont> font;
        std::optional<QFontMetricsF> natural; // the face without the spacing to the cell
        QRawFont face;                        // the face a run of InRun glyphs is drawn with
        QRectF cell;                          // the cell as seen from a glyph's origin
        int ascent = 0;
        std::array<CellGlyph, 256> glyphs{};
        std::array<quint32, 256> glyphIndex{}; // of each InRun byte in `face`
    };
    static CellGlyph ClassifyGlyph(unsigned char byte, const QFontMetricsF& natural,
                                   const QFontMetricsF& spaced, const QRectF& cell);
    CellGlyph GlyphOf(FontSlot& slot, unsigned char byte);
    struct RunColours {
        QColor background;
        QColor text;
    };

    enum class CursorKind { None, Arrow, IBeam, Margin };

    // The state of a print job, from its first page to its end.
    struct PrintState {
        bool running = false;
        bool header = false;     // a header band above the text
        bool footer = true;      // a footer band below it
        bool headerBand = false; // this job's: the header flag, or a header text given
        bool colours = false;
        std::optional<QFont> font;
        int lineHeight = 0; // the printer line, in device units
        QRect pageRect;
        QRect printRect; // the page less the margins and the bands
        CPageLayout pages;
        std::optional<CPrintedLine> line; // the layout of the line at hand
        int lineLaidOut = -1;             // which line that is
        std::string cells;                // its bytes with tabs expanded
        std::vector<ColourSpan> spans;
    };
    QRect PrintRectangle(const QPaintDevice& device) const;
    // A header or footer text centred in its band, between the print rectangle's edges.
    void DrawBandText(QPainter& dc, const QString& text, int top, int height,
                      Qt::Alignment vertical) const;
    // Puts `line` into the print state's line layout, coloured when the job prints colours.
    void SetPrintedLine(int line);
    QList<QTextLayout::FormatRange> PrintedColours(int line, std::string_view text);
    int PrintedRows(int line);
    void RegisterPrintCommands();
    bool PrintOnSharedPrinter(bool direct);
    void OnFilePrintPreview();
    void OnFileExportPdf();

    void MeasureFont();
    void DropFonts();
    void InvalidateMetrics();
    int WidestInLines(int first, int end) const;
    void UpdateWidthsAfterChange(const ChangeContext* context, int lineCount, int firstChanged);
    void DrawSegment(QPainter& painter, int& column, const QRect& clip, int slot,
                     const RunColours& colours, std::string_view line, int offset, int count,
                     int lineIndex);
    void DrawTextRun(QPainter& painter, int& column, const QRect& clip, int slot,
                     const RunColours& colours, std::string_view run);
    void DrawCells(QPainter& painter, int x, int top, int slot, std::string_view cells);
    void DrawPlaceholder(QPainter& painter, int x, int top);
    bool IsSelectionVisible() const { return m_hasFocus || m_showSelectionUnfocused; }
    void FillCell(QPainter& painter, QRect& rect, const QColor& colour);

    void OnScrollBarAction(Qt::Orientation orientation, int action);
    void SetScrollBar(Qt::Orientation orientation, bool positionOnly, int maximum, int page,
                      int position);
    bool FindPanePlace(int& row, int& column) const;
    void AlignWithSiblingPanes();

    void RegisterCommands();
    void RegisterSearchCommands();
    void OnEditFind();
    void OnEditRepeat();
    void OnEditFindPrevious();
    void RegisterMoveCommand(unsigned id, void (CTextView::*move)(bool));
    void OnEditCopy();
    void ToggleNumberedBookmark(int n);
    void GoToNumberedBookmark(int n);
    void ToggleBookmark();
    void GoToBookmarkedLine(int line);
    void GoToPlainBookmark(bool next);
    void MoveVertically(bool extend, bool down);
    void ClearBookmarks();

    TextPosition RoundedClientToText(QPoint point);
    TextPosition NextLineStart(int line) const;
    // The whole words from the anchor to `position`, in either direction.
    void WordRangeTo(TextPosition position, TextPosition& start, TextPosition& end) const;
    void StartMouseSelection(bool wordMode, bool lineMode);
    void EndMouseSelection();
    void UpdateCursorShape(QPoint point);
    void SetCursorKind(CursorKind kind);
    void StartDrag();
    void AutoScroll();
    void InvalidateCaretRect();

    bool m_caretSuppressed = false;
    int m_lineHeight = -1;
    int m_charWidth = -1;
    int m_tabSize = 4;
    int m_screenLines = -1;
    int m_screenChars = -1;
    int m_widestLine = -1;
    int m_rememberedColumn = -1;
    bool m_hasFocus = false;
    TextPosition m_anchor;
    FontTemplate m_fontTemplate;
    std::array<FontSlot, 4> m_fonts;
    CCookieCache m_cookies;
    CWidestLineCache m_widths;
    bool m_pendingDrag = false;
    bool m_dragSourceActive = false;
    bool m_mouseSelecting = false;
    bool m_wordMode = false;
    bool m_lineMode = false;
    QBasicTimer m_selectTimer; // scrolls while the mouse selects, every 100 ms
    TextPosition m_drawnSelStart;
    TextPosition m_drawnSelEnd;
    TextPosition m_caret;
    TextPosition m_selStart;
    TextPosition m_selEnd;
    bool m_bookmarksExist = false;
    CTextBuffer* m_buffer = nullptr;
    const CAcceleratorTable* m_accelerators = nullptr;
    bool m_deferHorzScrollUpdate = false;
    TextPosition m_dragStart;
    TextPosition m_dragEnd;
    bool m_showSelectionUnfocused = false;
    int m_firstVisibleLine = 0;
    int m_firstVisibleColumn = 0;
    int m_marginWidth = Margin;
    PrintState m_print;

    bool m_lastSearchValid = false;
    unsigned m_lastSearchFlags = 0;
    QString m_lastSearchText; // as typed; see SearchBytes

    // Drawing buffers, reused from line to line and grown when a longer line needs them.
    std::vector<ColourSpan> m_spans;
    std::string m_cells; // the visible cells of a run, tabs expanded
    // A stretch of cells drawn as one glyph run: its glyphs and their origins.
    std::vector<quint32> m_runGlyphs;
    std::vector<QPointF> m_runPositions;
    QPoint m_lastMousePos; // where the mouse was last seen while selecting
    QPoint m_dragPressPos; // where the button went down inside the selection
    QBasicTimer m_caretTimer;
    QRect m_caretRect;
    bool m_caretShown = false;
    bool m_caretBlinkOn = true;
    CursorKind m_cursorKind = CursorKind::None;
};
