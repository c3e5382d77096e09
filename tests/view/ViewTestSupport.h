#pragma once

#include "buffer/TextBuffer.h"
#include "view/TextView.h"

#include <QImage>
#include <QKeySequence>
#include <QTest>

#include <string>
#include <string_view>
#include <vector>

// Fills the buffer with the lines of `text` (split at `lineBreak`, bytes kept as they are)
// and tells the attached views about the reset.
inline void SetBufferText(CTextBuffer& buffer, std::string_view text, char lineBreak = '\n') {
    buffer.ClearAll();
    for (std::size_t start = 0, end = 0; end != std::string_view::npos; start = end + 1) {
        end = text.find(lineBreak, start);
        buffer.InsertLineRecord(text.substr(start, end - start));
    }
    buffer.BroadcastChange(nullptr, nullptr, HintReset, -1);
}

// Lines "line 0" to "line N-1".
inline std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += (i > 0 ? "\nline " : "line ") + std::to_string(i);
    return text;
}

// A face installed by the project's dependencies, so that metrics do not depend on the
// machine's default monospace face.
inline FontTemplate TestFont() {
    FontTemplate font;
    font.faceName = QStringLiteral("DejaVu Sans Mono");
    font.height = 14;
    return font;
}

// Shows the view attached to the buffer, at the given size, with the keyboard focus.
inline bool ShowFocusedView(CTextView& view, CTextBuffer& buffer, QSize size = {600, 400}) {
    view.SetViewFont(TestFont());
    view.AttachToBuffer(&buffer);
    view.resize(size);
    view.show();
    view.activateWindow();
    view.setFocus();
    return QTest::qWaitForWindowActive(&view) && view.hasFocus();
}

// A buffer holding `text` and a view of it, shown with the keyboard focus when `shown`.
template <class View = CTextView> struct Shown {
    CTextBuffer buffer;
    View view;
    bool shown;
    explicit Shown(std::string_view text, QSize size = {600, 400})
        : shown((SetBufferText(buffer, text), ShowFocusedView(view, buffer, size))) {}
};

// Presses keys written as QKeySequence strokes, such as "Ctrl+Shift+Right,Home,PgDown".
inline void PressKeys(QWidget* widget, const QString& keys) {
    for (const QString& stroke : keys.split(u',', Qt::SkipEmptyParts)) {
        const QKeySequence sequence(stroke);
        QVERIFY2(sequence.count() == 1 && sequence[0].key() != Qt::Key_unknown, qPrintable(stroke));
        QTest::keyClick(widget, sequence[0].key(), sequence[0].keyboardModifiers());
    }
}

// The ends of the selection in order.
inline TextPosition SelectionStartOf(CTextView& view) {
    TextPosition start, end;
    view.SelectionBounds(start, end);
    return start;
}

inline TextPosition SelectionEndOf(CTextView& view) {
    TextPosition start, end;
    view.SelectionBounds(start, end);
    return end;
}

// The point at the left part of the cell of a position, so that a click there lands on it.
inline QPoint PointAt(CTextView& view, TextPosition position) {
    return view.TextToClient(position) + QPoint(1, view.LineHeight() / 2);
}

// The offscreen platform runs no drag loop: a drag of this view ends as `outcome` says.
template <class View> class CDragOutcome : public View {
public:
    Qt::DropAction outcome = Qt::IgnoreAction;
    Qt::DropAction RunDragLoop(QDrag&) override { return outcome; }
};

// The viewport as the user sees it.
inline QImage Snapshot(CTextView& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The colour of the first pixel of the cell (line row, visual column) that differs from
// `background`, or `background` when the cell is empty.
inline QColor CellInk(CTextView& view, const QImage& image, int row, int column,
                      QColor background) {
    const int width = view.CharWidth();
    const int height = view.LineHeight();
    const int left = CTextView::Margin + column * width;
    for (int y = row * height; y < (row + 1) * height && y < image.height(); ++y) {
        for (int x = left; x < left + width && x < image.width(); ++x) {
            if (image.pixelColor(x, y) != background) return image.pixelColor(x, y);
        }
    }
    return background;
}

inline bool CellHasInk(CTextView& view, const QImage& image, int row, int column,
                       QColor background) {
    return CellInk(view, image, row, column, background) != background;
}

// The colour of the middle pixel of a cell.
inline QColor CellColour(CTextView& view, const QImage& image, int row, int column) {
    return image.pixelColor(CTextView::Margin + column * view.CharWidth() + view.CharWidth() / 2,
                            row * view.LineHeight() + 1);
}
