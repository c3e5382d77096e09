#include "QuilletView.h"

#include "CodeTemplates.h"
#include "GotoDialog.h"
#include "QuilletDoc.h"
#include "ScriptFileDialog.h"
#include "SphereScanner.h"

#include "StringTable.h"
#include "buffer/TextBuffer.h"
#include "buffer/UndoRecord.h"
#include "framework/CommandAction.h"
#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "framework/SettingsStore.h"
#include "framework/WinApp.h"
#include "pickers/ArtPicker.h"
#include "pickers/ColorPicker.h"
#include "prefs/IniFile.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The string of the status pane while text is selected ("Sel: %d,%d-%d,%d").
constexpr unsigned kSelectionPaneText = ID_INDICATOR_CARET + 1;
constexpr int kWheelNotch = 120;
constexpr int kLinesPerNotch = 3;
constexpr int kColumnsPerNotch = 6;

// A colour stored as 0x00BBGGRR.
QColor ColourFromSetting(int value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// Update handlers run on every menu in the tree before it shows.
void UpdateMenuTree(CCommandTarget& target, QMenu& menu) {
    UpdateCommandActions(target, menu.actions());
    for (QAction* action : menu.actions()) {
        if (QMenu* submenu = action->menu()) UpdateMenuTree(target, *submenu);
    }
}

} // namespace

CQuilletView::CQuilletView(CQuilletDoc& document, QWidget* parent)
    : CEditView(parent), m_document(document) {
    CIniFile& settings = SettingsStore();
    int background = settings.GetValueInt("Quillet", "crLBackground");
    int text = settings.GetValueInt("Quillet", "crLTextColor");
    if (background == 0 && text == 0) {
        background = 0x800001; // dark blue
        text = 0xFFFFFF;
    }
    m_numberBackground = ColourFromSetting(background);
    m_numberText = ColourFromSetting(text);
    m_numberFont = QFont(QStringLiteral("Arial"));
    m_numberFont.setStyleHint(QFont::SansSerif);
    m_numberFont.setPixelSize(14);
    const QFontMetrics metrics(m_numberFont);
    for (char digit = '0'; digit <= '9'; ++digit)
        m_digitWidth = std::max(m_digitWidth, metrics.horizontalAdvance(QChar(digit)));
    m_bookmarkFont = m_numberFont;
    m_bookmarkFont.setPixelSize(10);
    m_bookmarkFont.setBold(true);
    m_bookmarkColour = QColor(255, 215, 0); // gold: stands out on the strip's usual blue

    SetViewFont(document.ViewFont());
    RegisterScriptCommands();
}

QString CQuilletView::PrintDocumentName() const {
    return m_document.PathName().isEmpty() ? m_document.Title() : m_document.PathName();
}

CTextBuffer* CQuilletView::LocateBuffer() {
    return &m_document.Buffer();
}

void CQuilletView::OnBufferChanged(CBufferObserver* source, const ChangeContext* context,
                                   unsigned hints, int line) {
    CEditView::OnBufferChanged(source, context, hints, line);
    if (hints & HintVertRange) FitNumberStrip();
}

void CQuilletView::ResetView() {
    CEditView::ResetView();
    FitNumberStrip();
}

// The strip widens to show every digit of the last line's number; the text view's margin
// widens with it, keeping its 7 pixels beside the numbers.
void CQuilletView::FitNumberStrip() {
    const int digits = int(QString::number(std::max(LineCount(), 1)).size());
    const int width =
        std::max(int(MinimumNumberStripWidth), BookmarkColumnWidth + digits * m_digitWidth + 3);
    if (width == m_numberStripWidth) return;
    m_numberStripWidth = width;
    SetMarginWidth(width + (Margin - MinimumNumberStripWidth));
}

::LineCookie CQuilletView::ComputeLineColours(::LineCookie cookie, int line, ColourSpan* spans,
                                              int& count) {
    return ScanSphereLine(LineText(line), LineLength(line), cookie, spans,
                          spans ? &count : nullptr);
}

::LineCookie CQuilletView::ComputeRunCookie(::LineCookie cookie, int first, int end) {
    ForEachLineView(first, end, [&cookie](std::string_view text) {
        cookie = ScanSphereLine(text.data(), int(text.size()), cookie, nullptr, nullptr);
    });
    return cookie;
}

void CQuilletView::RegisterScriptCommands() {
    OnCommand(ID_FILE_OPEN, [this](unsigned) { OnFileOpen(); });
    OnCommand(ID_EDIT_GOTO, [this](unsigned) { OnGoto(); });
    OnCommand(
        ID_INDICATOR_CARET, [](unsigned) {},
        [this](CCommandUI& ui) { ui.SetText(StatusPaneText()); });
    OnCommand(ID_TOOLS_ART_PICKER, [this](unsigned) { OnArtPicker(); });
    OnCommandRange(ID_INSERT_HEADER_ITEM, ID_INSERT_NODISPOSE, [this](unsigned id) {
        if (const CodeTemplate* code = FindCodeTemplate(id)) InsertAtCaret(code->text);
    });
    OnCommand(ID_TOOLS_COLOR_PICKER, [this](unsigned) {
        CColorPicker picker(this);
        if (RunModalDialog(picker) == QDialog::Accepted) InsertAtCaret(picker.InsertionText());
    });
}

void CQuilletView::InsertAtCaret(std::string_view text) {
    CTextBuffer* buffer = Buffer();
    if (!buffer) return;
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start == end) {
        TextPosition after;
        buffer->InsertTextAt(this, start, text, after, ActionInsertScript);
    } else {
        ReplaceSelectionText(text);
    }
}

QString CQuilletView::StatusPaneText() {
    TextPosition start;
    TextPosition end;
    SelectionBounds(start, end);
    if (start == end)
        return QString::asprintf(LoadResString(ID_INDICATOR_CARET), start.line + 1, start.ch + 1);
    return QString::asprintf(LoadResString(kSelectionPaneText), start.ch + 1, start.line + 1,
                             end.ch + 1, end.line + 1);
}

void CQuilletView::OnArtPicker() {
    CArtPicker picker(this);
    if (picker.IsReady() && RunModalDialog(picker) == QDialog::Accepted)
        InsertAtCaret(picker.InsertionText().toStdString());
}

void CQuilletView::OnFileOpen() {
    const QString path = AskScriptFileName(this);
    if (!path.isEmpty() && CWinApp::Instance()) CWinApp::Instance()->OpenDocumentFile(path);
}

void CQuilletView::OnGoto() {
    CGotoDialog dialog(this);
    if (RunModalDialog(dialog) != QDialog::Accepted) return;
    const int target =
        GotoTargetLine(dialog.LineNumber(), dialog.Origin(), CaretPosition().line, LineCount());
    // The target becomes the first visible line; the old selection goes, so that typing
    // lands at the new place.
    ScrollToLine(target, true);
    JumpTo({target, 0});
}

void CQuilletView::paintEvent(QPaintEvent* event) {
    CEditView::paintEvent(event);
    QPainter painter(viewport());
    DrawNumberStrip(painter);
}

void CQuilletView::DrawNumberStrip(QPainter& painter) {
    const int height = viewport()->height();
    const int rowHeight = NumberRowHeight();
    painter.fillRect(QRect(0, 0, m_numberStripWidth, height), m_numberBackground);

    const int first = FirstVisibleLine();
    const int rows =
        std::min(height / rowHeight + (height % rowHeight ? 1 : 0), LineCount() - first);
    for (int i = 0; i < rows; ++i) {
        const QRect row(0, i * rowHeight, m_numberStripWidth, rowHeight);
        painter.setFont(m_numberFont);
        painter.setPen(m_numberText);
        painter.drawText(row.adjusted(0, 0, -3, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(first + 1 + i));
        if (const std::uint32_t flags = LineFlags(first + i)) DrawBookmarkMark(painter, row, flags);
    }
}

// A numbered bookmark shows its digit in a small box, a plain one a dot.
void CQuilletView::DrawBookmarkMark(QPainter& painter, const QRect& row, std::uint32_t flags) {
    const int size = std::min(BookmarkColumnWidth - 2, row.height() - 2);
    const QRect box(1, row.top() + (row.height() - size) / 2, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_bookmarkColour);
    for (int n = 0; n <= 9; ++n) {
        if (!(flags & NumberedBookmarkFlag(n))) continue;
        painter.drawRoundedRect(box, 2, 2);
        painter.setFont(m_bookmarkFont);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, QString::number(n));
        painter.restore();
        return;
    }
    if (flags & BookmarkFlag) painter.drawEllipse(box.adjusted(1, 1, -1, -1));
    painter.restore();
}

void CQuilletView::mousePressEvent(QMouseEvent* event) {
    // The caret goes to the clicked place first, so that a template lands where the user
    // pointed.
    CEditView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) ShowContextMenu(event->globalPosition().toPoint());
}

void CQuilletView::ShowContextMenu(QPoint globalPos) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(MakeCommandAction(QStringLiteral("Cu&t"), ID_EDIT_CUT, menu));
    menu->addAction(MakeCommandAction(QStringLiteral("&Copy"), ID_EDIT_COPY, menu));
    menu->addAction(MakeCommandAction(QStringLiteral("&Paste"), ID_EDIT_PASTE, menu));
    menu->addSeparator();
    AddInsertCodeItems(*menu->addMenu(QStringLiteral("&Insert Code")));
    menu->addSeparator();
    menu->addAction(
        MakeCommandAction(QStringLiteral("Go to &Definition\tF12"), ID_EDIT_GOTO_DEFINITION, menu));
    menu->addAction(MakeCommandAction(QStringLiteral("Find All &References\tShift+F12"),
                                      ID_EDIT_FIND_REFERENCES, menu));
    UpdateMenuTree(*this, *menu);
    connect(menu, &QMenu::triggered, this,
            [this](QAction* action) { ExecuteCommand(CommandIdOf(action)); });
    menu->popup(globalPos);
}

void CQuilletView::wheelEvent(QWheelEvent* event) {
    event->accept();
    QPoint delta = event->angleDelta();
    // Shift turns the wheel sideways, as in every other program.
    if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = {delta.y(), 0};
    m_wheelRemainder += delta.y();
    m_sideWheelRemainder += delta.x();
    // A wheel notch scrolls three lines; finer devices add up to a notch first.
    while (std::abs(m_wheelRemainder) >= kWheelNotch) {
        const bool up = m_wheelRemainder > 0;
        for (int i = 0; i < kLinesPerNotch; ++i)
            ExecuteCommand(up ? ID_EDIT_SCROLL_UP : ID_EDIT_SCROLL_DOWN);
        m_wheelRemainder += up ? -kWheelNotch : kWheelNotch;
    }
    int columns = 0;
    while (std::abs(m_sideWheelRemainder) >= kWheelNotch) {
        const bool left = m_sideWheelRemainder > 0;
        columns += left ? -kColumnsPerNotch : kColumnsPerNotch;
        m_sideWheelRemainder += left ? -kWheelNotch : kWheelNotch;
    }
    if (columns != 0) ScrollSideways(columns);
}

// Scrolls by columns no further than the scroll bar reaches (the longest line's end).
void CQuilletView::ScrollSideways(int columns) {
    const int first = FirstVisibleColumn();
    const int last = std::max(first, WidestLineLength() - ScreenChars());
    ScrollToColumn(std::clamp(first + columns, 0, columns > 0 ? last : first), true);
}

void CQuilletView::keyPressEvent(QKeyEvent* event) {
    // Accepting the Menu key here keeps the platform from sending a second request.
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    if (menuKey || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        event->accept();
        ShowContextMenuAtCaret();
        return;
    }
    CEditView::keyPressEvent(event);
}

void CQuilletView::contextMenuEvent(QContextMenuEvent* event) {
    // The right button shows the menu when it is pressed; the Menu key comes here.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->ignore();
        return;
    }
    event->accept();
    ShowContextMenuAtCaret();
}

// From the keyboard the menu opens below the caret, scrolled into view first.
void CQuilletView::ShowContextMenuAtCaret() {
    EnsureVisible(CaretPosition());
    const QPoint below = TextToClient(CaretPosition()) + QPoint(0, LineHeight());
    ShowContextMenu(viewport()->mapToGlobal(below));
}
