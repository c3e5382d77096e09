// The edit view as a drop target: text dropped from outside, moves and copies inside one
// view through the platform's drag loop, the drop caret, scrolling at the edges, the
// refusals (no text, files, read-only buffer), and the exact lines that copies and drags
// carry inside the program.
#include "EditTestSupport.h"

#include "edit/EditView.h"
#include "framework/CommandIds.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QtTest>

namespace {

// Sends what the platform sends while a drag passes over the view, or is dropped there: the
// action taken, or IgnoreAction when the event was refused.
template <typename Event>
Qt::DropAction Send(QWidget* viewport, const QMimeData* data, QPoint point,
                    Qt::KeyboardModifiers keys = {},
                    Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction) {
    Event event(point, allowed, data, Qt::LeftButton, keys);
    QApplication::sendEvent(viewport, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

void Leave(QWidget* viewport) {
    QDragLeaveEvent leave;
    QApplication::sendEvent(viewport, &leave);
}

// The offscreen platform runs no drag loop; this view carries its own drag to `target` and
// drops it there, sending the events the platform would.
class DraggingEditView : public CEditView {
public:
    QPoint target;
    Qt::KeyboardModifiers keys;

    Qt::DropAction RunDragLoop(QDrag& drag) override {
        const QMimeData* data = drag.mimeData();
        const Qt::DropActions allowed = DragEffects();
        if (Send<QDragEnterEvent>(viewport(), data, target, keys, allowed) == Qt::IgnoreAction ||
            Send<QDragMoveEvent>(viewport(), data, target, keys, allowed) == Qt::IgnoreAction) {
            Leave(viewport());
            return Qt::IgnoreAction;
        }
        return Send<QDropEvent>(viewport(), data, target, keys, allowed);
    }
};

// A frame that takes every drag its children turn away.
class DropFrame : public QMainWindow {
public:
    bool entered = false;
    DropFrame() {
        setAcceptDrops(true);
        statusBar();
    }
    void dragEnterEvent(QDragEnterEvent* event) override {
        entered = true;
        event->acceptProposedAction();
    }
};

} // namespace

class TestEditViewDrop : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_shown.reset(); }

    void dropFromAnotherProgram();
    void refusals_data();
    void refusals();
    void dragScrollZones_data();
    void dragScrollZones();
    void hoveringAtAnEdgeKeepsScrolling();
    void exactLinesSurviveCopiesAndDrags();

private:
    // Sends a drag event for `data` over the cell of `position`.
    template <typename Event>
    Qt::DropAction At(const QMimeData* data, TextPosition position,
                      Qt::KeyboardModifiers keys = {}) {
        return Send<Event>(m_view->viewport(), data, PointAt(*m_view, position), keys);
    }

    std::unique_ptr<Shown<DraggingEditView>> m_shown;
    CTextBuffer* m_buffer = nullptr;
    DraggingEditView* m_view = nullptr;
};

void TestEditViewDrop::init() {
    m_shown = std::make_unique<Shown<DraggingEditView>>("alpha beta gamma\nsecond line");
    m_buffer = &m_shown->buffer;
    m_view = &m_shown->view;
    QVERIFY(m_shown->shown);
}

void TestEditViewDrop::dropFromAnotherProgram() {
    m_view->SetCaretPosition({1, 3});
    QMimeData text;
    text.setText(QString::fromUtf8("\u00e9t\u4e2d\u00e9\nnext "));
    const QMimeData* data = &text;
    QCOMPARE(At<QDragEnterEvent>(data, {0, 6}), Qt::MoveAction);
    QVERIFY(m_view->IsDropCaretShown());
    QCOMPARE(m_view->DropPosition(), (TextPosition{0, 6}));
    QVERIFY(!m_view->IsCaretShown());
    // The drop caret is a thin grey bar at the drop position.
    const QImage image = Snapshot(*m_view);
    const QPoint caret = m_view->TextToClient({0, 6}) + QPoint(0, m_view->LineHeight() / 2);
    QCOMPARE(image.pixelColor(caret + QPoint(1, 0)), QColor(Qt::gray));
    QVERIFY(image.pixelColor(caret + QPoint(2, 0)) != QColor(Qt::gray));
    // Control makes the drop a copy; the drop position follows the mouse.
    QCOMPARE(At<QDragMoveEvent>(data, {1, 2}, Qt::ControlModifier), Qt::CopyAction);
    QCOMPARE(m_view->DropPosition(), (TextPosition{1, 2}));
    QCOMPARE(At<QDropEvent>(data, {0, 6}), Qt::MoveAction);
    QVERIFY(!m_view->IsDropCaretShown());
    // The character with no Windows-1252 byte is left out; the LF is a line break.
    QCOMPARE(MarkedText(*m_view),
             QString::fromUtf8("alpha [\u00e9t\u00e9\nnext ]beta gamma\nsecond line"));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 5}));
    QCOMPARE(m_buffer->UndoLabel(), std::string("Drag And Drop"));
    m_view->ExecuteCommand(ID_EDIT_UNDO);
    QCOMPARE(Text(*m_buffer), std::string("alpha beta gamma\nsecond line"));
}

void TestEditViewDrop::refusals_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("entered"); // the view takes the drag when it enters
    QTest::newRow("an image is no text") << "image/png" << false << false;
    QTest::newRow("files from a file manager are no text") << "text/uri-list" << false << false;
    QTest::newRow("text over a read-only buffer") << "text/plain" << true << true;
}

void TestEditViewDrop::refusals() {
    QFETCH(QString, format);
    QFETCH(bool, readOnly);
    QFETCH(bool, entered);
    QMimeData data;
    if (format == "text/uri-list")
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/home/user/other.scp"))});
    data.setData(format, "x");
    if (format != "image/png") data.setText(QStringLiteral("file:///home/user/other.scp"));
    m_buffer->SetReadOnly(readOnly);
    // What the view turns away goes on to its frame.
    DropFrame frame;
    auto* view = new CEditView;
    frame.setCentralWidget(view);
    view->AttachToBuffer(m_buffer);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QWidget* vp = view->viewport();
    Send<QDragEnterEvent>(vp, &data, PointAt(*view, {0, 1}));
    QCOMPARE(view->IsDropCaretShown(), entered);
    QCOMPARE(frame.entered, !entered);
    QCOMPARE(frame.statusBar()->currentMessage(), readOnly ? "Read-only" : "");
    Send<QDragMoveEvent>(vp, &data, PointAt(*view, {0, 2}));
    QVERIFY(!view->IsDropCaretShown());
    Send<QDropEvent>(vp, &data, PointAt(*view, {0, 2}));
    QCOMPARE(Text(*m_buffer), std::string("alpha beta gamma\nsecond line"));
}

void TestEditViewDrop::dragScrollZones_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("top edge scrolls up one line") << QPoint(200, 2) << 9 << 3;
    QTest::newRow("bottom edge scrolls down one line") << QPoint(200, -3) << 11 << 3;
    QTest::newRow("left of the margin plus 5 scrolls left") << QPoint(47, 100) << 10 << 2;
    QTest::newRow("right edge scrolls right") << QPoint(-2, 100) << 10 << 4;
    QTest::newRow("corner scrolls vertically") << QPoint(10, 1) << 9 << 3;
    QTest::newRow("middle does nothing") << QPoint(200, 100) << 10 << 3;
}

void TestEditViewDrop::dragScrollZones() {
    QFETCH(QPoint, point);
    QFETCH(int, line);
    QFETCH(int, column);
    SetBufferText(*m_buffer, NumberedLines(200) + "\n" + std::string(300, 'w'));
    m_view->ScrollToLine(10, true);
    m_view->ScrollToColumn(3, true);
    const QSize size = m_view->viewport()->size();
    if (point.x() < 0) point.rx() += size.width();
    if (point.y() < 0) point.ry() += size.height();
    m_view->DragScroll(point);
    QCOMPARE(m_view->FirstVisibleLine(), line);
    QCOMPARE(m_view->FirstVisibleColumn(), column);
    QCOMPARE(m_view->IsDropCaretShown(), line != 10 || column != 3);
    m_view->HideDropCaret();
}

void TestEditViewDrop::hoveringAtAnEdgeKeepsScrolling() {
    SetBufferText(*m_buffer, NumberedLines(200));
    m_view->ScrollToLine(100, true);
    QWidget* vp = m_view->viewport();
    // The mouse rests near the bottom edge: no further move events arrive.
    QMimeData data;
    data.setText(QStringLiteral("x"));
    Send<QDragEnterEvent>(vp, &data, QPoint(200, vp->height() - 2));
    QTRY_VERIFY(m_view->FirstVisibleLine() >= 103);
    // Leaving stops the scrolling and puts the view's own caret back where it was.
    Leave(vp);
    QVERIFY(!m_view->IsDropCaretShown());
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 0}));
    QVERIFY(m_view->IsCaretShown());
    const int line = m_view->FirstVisibleLine();
    QTest::qWait(200);
    QCOMPARE(m_view->FirstVisibleLine(), line);
}

void TestEditViewDrop::exactLinesSurviveCopiesAndDrags() {
    // The plain model: the text as one string with this byte between lines. The lines end in
    // a CR byte (a file with CR CR LF line ends), hold a lone LF, a CR inside.
    constexpr char Break = '\x1e';
    const std::string original = std::string("one\r") + Break + "two\r" + Break + Break + "a\nb" +
                                 Break + "c\rd\r" + Break + "end";
    std::string model;
    const auto position = [&](int offset) {
        const auto before = std::string_view(model).substr(0, std::size_t(offset));
        const std::size_t lineStart = before.rfind(Break) + 1; // npos + 1 is 0
        return TextPosition{int(std::count(before.begin(), before.end(), Break)),
                            offset - int(lineStart)};
    };
    enum Way { Copy, Cut, DragMove, DragCopy };
    QRandomGenerator random(1969);
    for (int round = 0; round < 80; ++round) {
        model = original;
        SetBufferText(*m_buffer, model, Break);
        const int size = int(model.size());
        const int s = random.bounded(size);
        const int e = s + 1 + random.bounded(size - s);
        const std::string piece = model.substr(std::size_t(s), std::size_t(e - s));
        Select(*m_view, position(s), position(e));
        const auto way = Way(random.bounded(4));
        int t = random.bounded(size + 1);
        int steps = 1;                   // undo steps the change takes
        if (way == Copy || way == Cut) { // paste anywhere
            QTest::keyClick(m_view, way == Copy ? Qt::Key_C : Qt::Key_X, Qt::ControlModifier);
            if (way == Cut) {
                model.erase(std::size_t(s), piece.size());
                t = random.bounded(int(model.size()) + 1);
                steps = 2;
            }
            m_view->JumpTo(position(t));
            QTest::keyClick(m_view, Qt::Key_V, Qt::ControlModifier);
            model.insert(std::size_t(t), piece);
        } else {
            m_view->target = PointAt(*m_view, position(t));
            m_view->keys = way == DragCopy ? Qt::ControlModifier : Qt::NoModifier;
            const QPoint from = PointAt(*m_view, position(s));
            QTest::mousePress(m_view->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(m_view->viewport(), from + QPoint(20, 0));
            QTest::mouseRelease(m_view->viewport(), Qt::LeftButton, {}, from + QPoint(20, 0));
            if (t >= s && t < e) { // onto the dragged text: only the caret moves there
                steps = 0;
                QCOMPARE(m_view->CaretPosition(), position(t));
            } else {
                model.insert(std::size_t(t), piece);
                if (way == DragMove) model.erase(std::size_t(t < s ? e : s), piece.size());
                QCOMPARE(m_buffer->UndoLabel(), std::string("Drag And Drop"));
            }
        }
        const QString where = QStringLiteral("round %1, way %2").arg(round).arg(way);
        QVERIFY2(Text(*m_buffer, Break) == model, qPrintable(where));
        for (int step = 0; step < steps; ++step)
            m_view->ExecuteCommand(ID_EDIT_UNDO);
        QVERIFY2(!m_buffer->HasUndo() && Text(*m_buffer, Break) == original, qPrintable(where));
    }
}

QTEST_MAIN(TestEditViewDrop)
#include "tst_EditViewDrop.moc"
