#include "HueListBox.h"

#include "HueListModel.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

class CHueItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // A row looks the same whatever the reason for drawing it; only the selection shows.
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect item = option.rect;
        painter->save();
        painter->fillRect(item, Qt::white);
        if (option.state & QStyle::State_Selected) {
            painter->setPen(QPen(Qt::black, 0, Qt::DotLine));
            painter->drawRect(item.adjusted(0, 0, -1, -1));
        }
        const QRect box(QPoint(item.left() + 3, item.top() + 2),
                        QPoint(item.right() - 60, item.bottom() - 2));
        const QColor colour = index.data(CHueListModel::ColourRole).value<QColor>();
        painter->fillRect(box, Qt::black);
        painter->fillRect(box.adjusted(1, 1, -1, -1), colour.isValid() ? colour : Qt::white);
        // The row is always white, so the number is always black.
        painter->setPen(Qt::black);
        painter->setFont(option.font);
        painter->drawText(QRect(QPoint(item.left() + 80, item.top() + 1),
                                QPoint(item.right() - 2, item.bottom())),
                          Qt::AlignHCenter | Qt::AlignTop, index.data().toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {0, option.fontMetrics.height() + 2};
    }
};

} // namespace

CHueListBox::CHueListBox(QWidget* parent) : QListView(parent), m_model(new CHueListModel(this)) {
    setModel(m_model);
    setItemDelegate(new CHueItemDelegate(this));
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedWidth(RowWidth + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
}

void CHueListBox::SetFilter(const QString& text) {
    const QModelIndex current = currentIndex();
    const int hue = current.isValid() ? m_model->HueAt(current.row()) : -1;
    m_refiltering = true;
    m_model->SetFilter(text);
    if (const int row = hue >= 0 ? m_model->RowOf(hue) : -1; row >= 0)
        setCurrentIndex(m_model->index(row));
    m_refiltering = false;
}

// The selection, not the current row: focus alone makes a row current without picking it.
void CHueListBox::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    QListView::selectionChanged(selected, deselected);
    if (!m_refiltering && !selected.isEmpty())
        emit HuePicked(m_model->HueAt(selected.indexes().first().row()));
}
