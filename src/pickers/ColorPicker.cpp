#include "ColorPicker.h"

#include "ClientSettings.h"
#include "DyeTub.h"
#include "HueListBox.h"
#include "HueListModel.h"
#include "HueText.h"
#include "ShadesBar.h"

#include "clientfiles/ClientFolder.h"
#include "framework/MessageBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

namespace {

// A canvas drawn by hand sits in a sunken frame of its own size.
QFrame* Framed(QWidget* canvas) {
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas);
    return frame;
}

} // namespace

CColorPicker::CColorPicker(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Quillet - Color Picker"));
    CreateControls();
    m_slider->setRange(0, CDyeTub::Shades - 1);
    if (ReadHues()) RefreshLabels();
    Redraw();
}

void CColorPicker::CreateControls() {
    m_tub = new CDyeTub(m_hues);
    connect(m_tub, &CDyeTub::CellClicked, this, &CColorPicker::OnTubClicked);
    auto* tubGroup = new QGroupBox(QStringLiteral("Dye Tub"));
    (new QVBoxLayout(tubGroup))->addWidget(Framed(m_tub), 0, Qt::AlignCenter);

    m_list = new CHueListBox;
    connect(m_list, &CHueListBox::HuePicked, this, &CColorPicker::OnHuePicked);
    m_filter = new QLineEdit;
    m_filter->setPlaceholderText(QStringLiteral("Search name or number"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, m_list, &CHueListBox::SetFilter);
    auto* listGroup = new QGroupBox(QStringLiteral("All Colors"));
    auto* listLayout = new QVBoxLayout(listGroup);
    listLayout->addWidget(m_list);
    listLayout->addWidget(m_filter);

    m_shades = new CShadesBar(m_hues);
    m_decimal = new QCheckBox(QStringLiteral("Decimal ( Gumps / Dialogs )"));
    connect(m_decimal, &QCheckBox::toggled, this, &CColorPicker::RefreshLabels);
    m_slider = new QSlider(Qt::Horizontal);
    m_slider->setTickPosition(QSlider::NoTicks);
    m_slider->setPageStep(1);
    m_slider->installEventFilter(this);
    m_code = new QLabel(QStringLiteral("Color Code: 0x0000"));
    m_name = new QLabel(QStringLiteral("<- Colorname ->"));
    m_insert = new QPushButton(QStringLiteral("&Insert"));
    m_insert->setDefault(true);
    connect(m_insert, &QPushButton::clicked, this, &CColorPicker::OnInsert);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(tubGroup, 0, 0, 1, 3);
    layout->addWidget(listGroup, 0, 3, 3, 1);
    layout->addWidget(Framed(m_shades), 1, 0, 1, 3);
    layout->addWidget(m_decimal, 2, 0, 1, 2);
    layout->addWidget(m_code, 2, 2);
    layout->addWidget(new QLabel(QStringLiteral("Brightness:")), 3, 0);
    layout->addWidget(m_slider, 3, 1);
    layout->addWidget(m_name, 3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_insert);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons, 3, 3);
}

// On failure the list stays empty and the labels keep their first texts; the dialog stays
// open, so that the user can still insert a number.
bool CColorPicker::ReadHues() {
    const std::string path = FindClientFile(ClientFolderFromSettingsFile(), "HUES.MUL");
    if (path.empty() || !m_hues.Load(path)) {
        ShowMessage(this,
                    QStringLiteral("Could not open HUES.MUL.\nCheck the Ultima Online Directory"),
                    QStringLiteral("File Error"), QMessageBox::Critical);
        return false;
    }
    m_list->Hues().SetHues(m_hues);
    return true;
}

void CColorPicker::OnTubClicked(int cell) {
    m_selected = CDyeTub::HueOf(cell, m_slider->value());
    RefreshLabels();
    Redraw();
}

// The selection keeps its tub cell and takes the new shade.
void CColorPicker::OnSliderReleased() {
    const int shade = m_slider->value();
    m_brightness = shade + 1;
    if (const int cell = CDyeTub::CellOf(m_selected); cell >= 0)
        m_selected = CDyeTub::HueOf(cell, shade);
    RefreshLabels();
    Redraw();
}

// A hue of the tub moves the slider to its shade; any other leaves the slider alone.
void CColorPicker::OnHuePicked(int hue) {
    m_selected = hue;
    if (CDyeTub::CellOf(hue) >= 0) {
        m_slider->setValue((hue - 1) % CDyeTub::Shades);
        m_brightness = m_slider->value() + 1;
    }
    RefreshLabels();
    Redraw();
}

void CColorPicker::OnInsert() {
    m_insertion = HueInsertionText(m_selected + 1, m_decimal->isChecked());
    accept();
}

void CColorPicker::RefreshLabels() {
    m_code->setText(HueCodeLabel(m_selected + 1, m_decimal->isChecked()));
    m_name->setText(HueDisplayName(m_hues.Name(m_selected)));
}

void CColorPicker::Redraw() {
    m_tub->Show(m_brightness - 1, m_selected);
    m_shades->SetHue(m_selected);
}

// The slider applies its position when the mouse lets go of it, after dragging the handle
// or clicking beside it alike; keys alone move it without applying.
bool CColorPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_slider && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        OnSliderReleased();
    // Enter in the search field goes to the list of what was found instead of inserting.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_list->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
