// Mouse selection, scrolling while selecting, the drag of the selection and the cursor
// shapes of the text view, driven by real mouse events.
#include "ViewTestSupport.h"

#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QtTest>

namespace {

QPoint MarginPoint(CTextView& view, int row) {
    return {10, row * view.LineHeight() + view.LineHeight() / 2};
}

// A point in the right half of the cell of a position.
QPoint RightHalf(CTextView& view, TextPosition position) {
    return view.TextToClient(position) + QPoint(view.CharWidth() - 1, view.LineHeight() / 2);
}

} // namespace

class TestTextViewMouse : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clickRoundsToTheNearerSide();
    void dragSelectsByCharacter();
    void shiftClickExtendsFromAnchor();
    void controlClickSelectsWords();
    void doubleClickSelectsWord();
    void marginSelectsWholeLines();
    void controlClickInMarginSelectsAll();
    void clickInsideSelectionOnlyMovesCaret();
    void dragOfSelectionCopiesTextOnly();
    void changesDuringDragMoveTheDragRange();
    void rightClickMovesCaretOutsideSelection();
    void autoScrollWhileSelecting_data();
    void autoScrollWhileSelecting();
    void losingFocusEndsMouseSelection();
    void cursorShapes();

private:
    CTextBuffer* m_buffer = nullptr;
    CTextView* m_view = nullptr;
};

void TestTextViewMouse::init() {
    m_buffer = new CTextBuffer;
    SetBufferText(*m_buffer, "alpha beta_2 gamma\n\tdelta\n\nlast line");
    m_view = new CTextView;
    QVERIFY(ShowFocusedView(*m_view, *m_buffer));
}

void TestTextViewMouse::cleanup() {
    delete m_view;
    delete m_buffer;
}

void TestTextViewMouse::clickRoundsToTheNearerSide() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 2}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 2}));
    QVERIFY(!m_view->HasSelection());
    QVERIFY(!m_view->IsMouseSelecting());
    QTest::mouseClick(vp, Qt::LeftButton, {}, RightHalf(*m_view, {0, 2}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 3}));
    // Past the line's end and below the last line.
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(vp->width() - 5, 5));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 18}));
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(60, vp->height() - 5));
    QCOMPARE(m_view->CaretPosition().line, 3);
    // The remembered column comes from the click.
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 9}));
    QTest::keyClick(m_view, Qt::Key_Down);
    QTest::keyClick(m_view, Qt::Key_Down);
    QTest::keyClick(m_view, Qt::Key_Down);
    QCOMPARE(m_view->CaretPosition(), (TextPosition{3, 9}));
}

void TestTextViewMouse::dragSelectsByCharacter() {
    QWidget* vp = m_view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 1}));
    QVERIFY(m_view->IsMouseSelecting());
    QTest::mouseMove(vp, PointAt(*m_view, {1, 3}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 3}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {1, 3}));
    QVERIFY(!m_view->IsMouseSelecting());
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 1}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{1, 3}));
    QCOMPARE(m_view->Anchor(), (TextPosition{0, 1}));
    // Backwards.
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {3, 4}));
    QTest::mouseMove(vp, PointAt(*m_view, {3, 1}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {3, 1}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{3, 1}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 4}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{3, 1}));
}

void TestTextViewMouse::shiftClickExtendsFromAnchor() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 6}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {3, 2}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 6}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 2}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {0, 2}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 2}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{0, 6}));
}

void TestTextViewMouse::controlClickSelectsWords() {
    QWidget* vp = m_view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::ControlModifier, PointAt(*m_view, {0, 8}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 6}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{0, 12})); // the underscore and digit belong to it
    QTest::mouseMove(vp, PointAt(*m_view, {0, 15}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{0, 18}));
    QTest::mouseMove(vp, PointAt(*m_view, {0, 2}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::ControlModifier, PointAt(*m_view, {0, 2}));
    // Whole words at both ends: the anchor's word stays selected.
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{0, 12}));
}

void TestTextViewMouse::doubleClickSelectsWord() {
    QWidget* vp = m_view->viewport();
    // Real double clicks arrive as press, release, press, double click, release.
    const QPoint point = PointAt(*m_view, {1, 3});
    QTest::mouseClick(vp, Qt::LeftButton, {}, point);
    QTest::mousePress(vp, Qt::LeftButton, {}, point);
    QTest::mouseDClick(vp, Qt::LeftButton, {}, point);
    QVERIFY(m_view->IsMouseSelecting());
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{1, 1}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{1, 6}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 6}));
    // Dragging on extends by whole words.
    QTest::mouseMove(vp, PointAt(*m_view, {0, 14}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 14}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 13}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{1, 6}));
    // On a byte that is no word character, after another one, the selection is empty.
    QTest::mouseDClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {1, 0}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {1, 0}));
    QVERIFY(!m_view->HasSelection());
}

void TestTextViewMouse::marginSelectsWholeLines() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 1));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{1, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{2, 0}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{2, 0}));
    // Dragging down in the margin extends by lines; the last line ends at its end.
    QTest::mousePress(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 1));
    QTest::mouseMove(vp, MarginPoint(*m_view, 2));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{1, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 0}));
    QTest::mouseMove(vp, MarginPoint(*m_view, 3));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 3));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{1, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 9}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{3, 9}));
    // Upwards from a line keeps that whole line.
    QTest::mousePress(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 2));
    QTest::mouseMove(vp, MarginPoint(*m_view, 0));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 0));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 0}));
    // Leaving the margin turns the line selection into a character selection.
    QTest::mousePress(vp, Qt::LeftButton, {}, MarginPoint(*m_view, 0));
    QTest::mouseMove(vp, PointAt(*m_view, {1, 3}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {1, 3}));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{1, 3}));
}

void TestTextViewMouse::controlClickInMarginSelectsAll() {
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      MarginPoint(*m_view, 2));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 0}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{3, 9}));
    QVERIFY(!m_view->IsMouseSelecting());
}

void TestTextViewMouse::clickInsideSelectionOnlyMovesCaret() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 2}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {0, 12}));
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 7}));
    QVERIFY(m_view->HasSelection());
    QVERIFY(!m_view->IsMouseSelecting());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 7}));
    QCOMPARE(m_view->CaretPosition(), (TextPosition{0, 7}));
    QVERIFY(!m_view->HasSelection());
    QCOMPARE(m_view->Anchor(), (TextPosition{0, 2}));
}

void TestTextViewMouse::dragOfSelectionCopiesTextOnly() {
    SetBufferText(*m_buffer, "one caf\xe9 two");
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 4}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {0, 8}));
    QString dragged;
    Qt::DropActions actions;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        if (auto* drag = m_view->findChild<QDrag*>()) {
            seen = true;
            dragged = drag->mimeData()->text();
            actions = drag->supportedActions();
            QVERIFY(drag->mimeData()->hasFormat(QStringLiteral("text/plain")));
        }
        // Ends the drag where the platform runs one; otherwise an ordinary release.
        QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 6}));
    });
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 5}));
    QTest::mouseMove(vp, PointAt(*m_view, {0, 6}));
    QTRY_VERIFY(seen);
    QCOMPARE(dragged, QString::fromUtf8("caf\u00e9"));
    QCOMPARE(actions, Qt::DropActions(Qt::CopyAction));
    // The drag that went nowhere left text and selection alone.
    QCOMPARE(m_buffer->Line(0), std::string_view("one caf\xe9 two"));
    QCOMPARE(SelectionStartOf(*m_view), (TextPosition{0, 4}));
    QCOMPARE(SelectionEndOf(*m_view), (TextPosition{0, 8}));
}

namespace {

// A view whose drag loop inserts text before the dragged range, as a drop would.
class CDropInsideView : public CTextView {
public:
    Qt::DropAction RunDragLoop(QDrag&) override {
        TextPosition end;
        Buffer()->InsertTextAt(nullptr, {0, 0}, "ab\r\n", end, 1);
        duringDrag = {DragRangeStart(), DragRangeEnd()};
        return Qt::CopyAction;
    }
    std::pair<TextPosition, TextPosition> duringDrag;
};

} // namespace

void TestTextViewMouse::changesDuringDragMoveTheDragRange() {
    CDropInsideView view;
    QVERIFY(ShowFocusedView(view, *m_buffer));
    QWidget* vp = view.viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(view, {1, 1}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(view, {1, 4}));
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(view, {1, 2}));
    QTest::mouseMove(vp, PointAt(view, {1, 3}));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(view, {1, 3}));
    QCOMPARE(view.duringDrag.first, (TextPosition{2, 1}));
    QCOMPARE(view.duringDrag.second, (TextPosition{2, 4}));
    QVERIFY(!view.IsDragSourceActive());
    // The drop made during the drag is one undo step.
    QVERIFY(m_buffer->HasUndo());
    TextPosition undone;
    QVERIFY(m_buffer->UndoGroup(undone));
    QVERIFY(!m_buffer->HasUndo());
    QCOMPARE(m_buffer->Line(0), std::string_view("alpha beta_2 gamma"));
}

void TestTextViewMouse::rightClickMovesCaretOutsideSelection() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 0}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {0, 5}));
    QTest::mouseClick(vp, Qt::RightButton, {}, PointAt(*m_view, {0, 2}));
    QVERIFY(m_view->HasSelection());
    QTest::mouseClick(vp, Qt::RightButton, {}, PointAt(*m_view, {1, 2}));
    QVERIFY(!m_view->HasSelection());
    QCOMPARE(m_view->CaretPosition(), (TextPosition{1, 2}));
    QCOMPARE(m_view->Anchor(), (TextPosition{1, 2}));
}

void TestTextViewMouse::autoScrollWhileSelecting_data() {
    QTest::addColumn<int>("linesAbove"); // where the mouse goes, in line heights above the view
    QTest::addColumn<int>("step");       // lines scrolled per tick
    QTest::newRow("far above scrolls three lines a tick") << 2 << -3;
    QTest::newRow("just above scrolls one line a tick") << 0 << -1;
    QTest::newRow("far below scrolls three lines a tick") << -3 << 3;
}

void TestTextViewMouse::autoScrollWhileSelecting() {
    QFETCH(int, linesAbove);
    QFETCH(int, step);
    SetBufferText(*m_buffer, NumberedLines(300));
    m_view->ScrollToLine(100, true);
    QWidget* vp = m_view->viewport();
    const int lineHeight = m_view->LineHeight();
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {102, 2}));
    const TextPosition anchor = m_view->Anchor();
    const int y = linesAbove >= 0 ? -linesAbove * lineHeight - lineHeight / 2
                                  : vp->height() - (linesAbove + 1) * lineHeight;
    QTest::mouseMove(vp, QPoint(80, y));
    QTRY_VERIFY(m_view->FirstVisibleLine() != 100);
    const int scrolled = m_view->FirstVisibleLine() - 100;
    QCOMPARE(scrolled % step, 0);
    QVERIFY(scrolled / step >= 1);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(80, y));
    QVERIFY(!m_view->IsMouseSelecting());
    const int first = m_view->FirstVisibleLine();
    QTest::qWait(250);
    QCOMPARE(m_view->FirstVisibleLine(), first); // the timer ended with the selection
    // The selection runs from the anchor to the caret, which followed the mouse.
    const TextPosition caret = m_view->CaretPosition();
    QVERIFY(step < 0 ? caret.line < 100 : caret.line > 100 + m_view->ScreenLines());
    QCOMPARE(SelectionStartOf(*m_view), std::min(anchor, caret));
    QCOMPARE(SelectionEndOf(*m_view), std::max(anchor, caret));
}

void TestTextViewMouse::losingFocusEndsMouseSelection() {
    QWidget* vp = m_view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 1}));
    QVERIFY(m_view->IsMouseSelecting());
    m_view->clearFocus();
    QVERIFY(!m_view->IsMouseSelecting());
    QTest::mouseRelease(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 1}));
}

void TestTextViewMouse::cursorShapes() {
    QWidget* vp = m_view->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, PointAt(*m_view, {0, 0}));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::ShiftModifier, PointAt(*m_view, {0, 5}));
    auto hover = [&](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, vp->mapToGlobal(point), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        return vp->cursor().shape();
    };
    QCOMPARE(hover(MarginPoint(*m_view, 0)), Qt::BitmapCursor);
    QCOMPARE(hover(PointAt(*m_view, {0, 2})), Qt::ArrowCursor);
    QCOMPARE(hover(PointAt(*m_view, {1, 2})), Qt::IBeamCursor);
}

QTEST_MAIN(TestTextViewMouse)
#include "tst_TextViewMouse.moc"
