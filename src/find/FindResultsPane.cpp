#include "FindResultsPane.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The match of a line row on a yellow ground, readable also in a selected row.
class CMatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QPoint match = index.data(CFindResultsModel::MatchRole).toPoint();
        if (match.y() <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget* widget = item.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                               .adjusted(kTextMargin, 0, -kTextMargin, 0);
        const QFontMetrics metrics(item.font);
        const bool selected = item.state & QStyle::State_Selected;
        const QColor normal =
            item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        const QString pieces[3] = {text.left(match.x()), text.mid(match.x(), match.y()),
                                   text.mid(match.x() + match.y())};
        painter->save();
        painter->setFont(item.font);
        int x = area.left();
        for (int i = 0; i < 3; ++i) {
            const int width = metrics.horizontalAdvance(pieces[i]);
            if (i == 1)
                painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2),
                                  QColor(255, 226, 64));
            painter->setPen(i == 1 ? QColor(Qt::black) : normal);
            painter->drawText(QRect(x, area.top(), width + 1, area.height()),
                              Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, pieces[i]);
            x += width;
        }
        painter->restore();
    }

private:
    static constexpr int kTextMargin = 3;
};

QString Plural(std::size_t count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

CFindResultsPane::CFindResultsPane(QWidget* parent)
    : QDockWidget(QStringLiteral("Find Results"), parent), m_model(new CFindResultsModel(this)),
      m_view(new QTreeView), m_status(new QLabel), m_stop(new QPushButton(QStringLiteral("Stop"))) {
    setObjectName(QStringLiteral("FindResults"));
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);

    m_view->setModel(m_model);
    m_view->setHeaderHidden(true);
    m_view->setUniformRowHeights(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setItemDelegate(new CMatchDelegate(m_view));
    m_view->header()->setStretchLastSection(false);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_stop->setEnabled(false);

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->addWidget(m_status, 1);
    top->addWidget(m_stop);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
    setWidget(body);

    connect(m_stop, &QPushButton::clicked, this, &CFindResultsPane::StopRequested);
    connect(m_view, &QTreeView::activated, this,
            [this](const QModelIndex& index) { Choose(index, true); });
}

void CFindResultsPane::setVisible(bool visible) {
    if (visible) UseListFont(); // before the pane is laid out to show
    QDockWidget::setVisible(visible);
}

void CFindResultsPane::UseListFont() {
    if (m_listFontSet) return;
    m_listFontSet = true;
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void CFindResultsPane::BeginSearch(const QString& description) {
    m_description = description;
    m_lines = 0;
    m_model->Clear();
    m_status->setText(QStringLiteral("Searching for %1...").arg(description));
    m_stop->setEnabled(true);
    show();
    raise();
}

void CFindResultsPane::AddFound(const QList<FoundFile>& files, std::size_t searchedFiles) {
    UseListFont(); // the column width below is measured in it
    const int first = m_model->rowCount();
    m_model->Append(files);
    for (int row = first; row < m_model->rowCount(); ++row) {
        m_view->expand(m_model->index(row, 0));
        m_lines += std::size_t(m_model->rowCount(m_model->index(row, 0)));
    }
    // Rows are single lines in a fixed-pitch font: the column is as wide as the longest.
    m_view->setColumnWidth(0, m_view->indentation() * 2 +
                                  m_view->fontMetrics().horizontalAdvance(QLatin1Char('x')) *
                                      (m_model->LongestText() + 2));
    m_status->setText(QStringLiteral("Searching for %1... %2 searched, %3 so far")
                          .arg(m_description, Plural(searchedFiles, "file", "files"),
                               Plural(m_lines, "match", "matches")));
}

void CFindResultsPane::EndSearch(const FindInFilesSummary& summary) {
    QString text = QStringLiteral("%1 in %2 (%3 searched) for %4")
                       .arg(Plural(summary.matchingLines, "match", "matches"),
                            Plural(summary.matchingFiles, "file", "files"),
                            Plural(summary.searchedFiles, "file", "files"), m_description);
    if (summary.unreadable > 0)
        text += QStringLiteral("; %1 could not be read")
                    .arg(Plural(summary.unreadable, "file or folder", "files or folders"));
    if (summary.truncated)
        text += QStringLiteral("; only the first %1 are listed").arg(CFindInFilesJob::kMaxLines);
    else if (summary.stopped)
        text += QStringLiteral("; stopped");
    m_status->setText(text + QLatin1Char('.'));
    m_stop->setEnabled(false);
}

bool CFindResultsPane::Step(bool forward) {
    // The matches in order, as the tree shows them.
    QList<QModelIndex> matches;
    for (int file = 0; file < m_model->rowCount(); ++file) {
        const QModelIndex parent = m_model->index(file, 0);
        for (int line = 0; line < m_model->rowCount(parent); ++line)
            matches << m_model->index(line, 0, parent);
    }
    if (matches.isEmpty()) return false;
    const QModelIndex current = m_view->currentIndex();
    qsizetype at = matches.indexOf(current);
    if (at < 0) {
        // From a file row (or nothing), the next match is that file's first.
        at = current.isValid() && !current.parent().isValid()
                 ? matches.indexOf(m_model->index(0, 0, current)) - (forward ? 1 : 0)
                 : (forward ? -1 : 0);
    }
    const qsizetype count = matches.size();
    const QModelIndex next = matches[((at + (forward ? 1 : -1)) % count + count) % count];
    m_view->setCurrentIndex(next);
    m_view->scrollTo(next);
    Choose(next, false);
    return true;
}

void CFindResultsPane::Choose(const QModelIndex& index, bool focusScript) {
    CFindResultsModel::Location location;
    if (m_model->LocationOf(index, location)) emit ResultChosen(location, focusScript);
}
