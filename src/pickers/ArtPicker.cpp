#include "ArtPicker.h"

#include "ArtCanvas.h"
#include "ClientSettings.h"

#include "framework/MessageBox.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString FileError(const char* file) {
    return QStringLiteral("Could not open %1.\nCheck the Ultima Online Directory")
        .arg(QLatin1String(file));
}

} // namespace

CArtPicker::CArtPicker(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quillet - Art Picker"));

    auto* arts = new QGroupBox(QStringLiteral("Arts"), this);
    auto* landscape = new QRadioButton(QStringLiteral("&Landscape"), arts);
    auto* statics = new QRadioButton(QStringLiteral("&Statics"), arts);
    auto* characters = new QRadioButton(QStringLiteral("&Charactertests"), arts);
    landscape->setEnabled(false);
    characters->setEnabled(false);
    statics->setChecked(true);
    m_left = new QToolButton(arts);
    m_right = new QToolButton(arts);
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    for (QToolButton* button : {m_left, m_right}) {
        button->setAutoRepeat(true);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this,
                [this, button] { Scroll(button == m_right ? 1 : -1); });
    }
    m_canvas = new CArtCanvas(*this, arts);

    auto* top = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(landscape), static_cast<QWidget*>(statics),
                            static_cast<QWidget*>(characters)})
        top->addWidget(widget);
    top->addStretch();
    top->addWidget(m_left);
    top->addWidget(m_right);
    auto* artsLayout = new QVBoxLayout(arts);
    artsLayout->addLayout(top);
    artsLayout->addWidget(m_canvas);

    m_decimal = new QCheckBox(QStringLiteral("Decimal ( Gump/Dialog )"), this);
    m_label = new QLabel(QStringLiteral("ID: 0x0000"), this);
    m_label->setMinimumWidth(
        m_label->fontMetrics().horizontalAdvance(QStringLiteral("ID: 0x00000")));
    m_insert = new QPushButton(QStringLiteral("&Insert"), this);
    m_insert->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    connect(m_decimal, &QCheckBox::toggled, this, &CArtPicker::RefreshLabel);
    connect(m_insert, &QPushButton::clicked, this, &CArtPicker::OnInsert);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_decimal);
    bottom->addWidget(m_label);
    bottom->addStretch();
    bottom->addWidget(m_insert);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(arts);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ArtOpening opening = OpenClientArt(ClientFolderFromSettingsFile());
    if (opening.failure != ArtOpening::Failure::None) {
        ShowMessage(
            parent,
            FileError(opening.failure == ArtOpening::Failure::Index ? "ARTIDX.MUL" : "ART.MUL"),
            QStringLiteral("File Error"), QMessageBox::Critical);
        return;
    }
    m_source = std::move(opening.source);
    m_insert->setEnabled(!StaticIds().empty());
    m_canvas->setFocus();
}

CArtPicker::~CArtPicker() = default;

const std::vector<std::uint16_t>& CArtPicker::StaticIds() const {
    static const std::vector<std::uint16_t> none;
    return m_source ? m_source->StaticIds() : none;
}

void CArtPicker::Scroll(int steps) {
    // A step is one column; the last screen shows the last 50 ids.
    const int last = std::max(int(StaticIds().size()) - Columns * Rows, 0);
    const int top = std::clamp(m_top + Rows * steps, 0, last);
    if (top == m_top) return;
    m_top = top;
    m_canvas->update();
}

void CArtPicker::PickAt(QPoint point) {
    if (point.x() < 0 || point.y() < 0 || point.x() >= Columns * CellPitch ||
        point.y() >= Rows * CellPitch)
        return;
    const int position = (point.x() / CellPitch) * Rows + point.y() / CellPitch + m_top;
    if (position >= int(StaticIds().size())) return;
    m_selected = position;
    RefreshLabel();
    m_canvas->update();
}

QImage CArtPicker::TileImage(int id, QRgb background) const {
    ArtTile tile;
    tile.fill(background & 0xFFFFFF);
    if (m_source) m_source->DrawTile(id, tile);
    QImage image(ArtTileSize, ArtTileSize, QImage::Format_RGB32);
    for (int y = 0; y < ArtTileSize; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < ArtTileSize; ++x)
            line[x] = 0xFF000000u | tile[std::size_t(y * ArtTileSize + x)];
    }
    return image;
}

QString CArtPicker::InsertionTextFor(int id, bool decimal) {
    return decimal ? QString::number(id) : u'0' + QString::number(id, 16);
}

QString CArtPicker::LabelFor(int id, bool decimal) {
    return decimal ? QString::asprintf("ID: %4d", id) : QString::asprintf("ID: 0x%04X", id);
}

void CArtPicker::RefreshLabel() {
    if (m_selected < int(StaticIds().size()))
        m_label->setText(LabelFor(StaticIds()[m_selected], m_decimal->isChecked()));
}

void CArtPicker::OnInsert() {
    if (m_selected >= int(StaticIds().size())) return;
    m_insertion = InsertionTextFor(StaticIds()[m_selected], m_decimal->isChecked());
    accept();
}
