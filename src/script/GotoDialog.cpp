#include "GotoDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

int GotoTargetLine(int n, int origin, int caretLine, int lineCount) {
    const int last = std::max(lineCount, 1) - 1;
    n = std::max(n, 0);
    switch (origin) {
    case GotoFromCurrent:
        return std::clamp(caretLine, 0, last) + std::min(n, last - std::clamp(caretLine, 0, last));
    case GotoFromEnd:
        return last - std::min(n, last);
    default:
        return std::clamp(n, 1, last + 1) - 1;
    }
}

CGotoDialog::CGotoDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Goto..."));

    m_line = new QLineEdit(this);
    m_line->setMaxLength(9);
    m_line->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_line));
    auto* lineBox = new QGroupBox(QStringLiteral("Line"), this);
    (new QVBoxLayout(lineBox))->addWidget(m_line);

    auto* originBox = new QGroupBox(QStringLiteral("From Position"), this);
    auto* originLayout = new QVBoxLayout(originBox);
    const QString labels[] = {QStringLiteral("&Beginning of file"),
                              QStringLiteral("C&urrent Position"),
                              QStringLiteral("End of file ( back from )")};
    for (int i = 0; i < 3; ++i) {
        m_origins[i] = new QRadioButton(labels[i], originBox);
        originLayout->addWidget(m_origins[i]);
    }
    m_origins[GotoFromBeginning]->setChecked(true);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* fields = new QVBoxLayout;
    fields->addWidget(lineBox);
    fields->addWidget(originBox);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addWidget(buttons);
    m_line->setFocus();
}

int CGotoDialog::LineNumber() const {
    return m_line->text().toInt();
}

int CGotoDialog::Origin() const {
    for (int i = 0; i < 3; ++i) {
        if (m_origins[i]->isChecked()) return i;
    }
    return GotoFromBeginning;
}
