#include "CommandDialog.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QStringList& HistoryList() {
    static QStringList history;
    return history;
}

} // namespace

CCommandDialog::CCommandDialog(QChar initial, QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Send command to console..."));
    m_field = new QLineEdit(this);
    m_field->setMaxLength(MaxLength);
    m_field->setMinimumWidth(m_field->fontMetrics().averageCharWidth() * 48);
    if (!initial.isNull()) m_field->setText(QString(initial));
    m_field->installEventFilter(this);
    auto* label = new QLabel(QStringLiteral("C&ommand:"), this);
    label->setBuddy(m_field);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_field);
    layout->addWidget(buttons);
    m_field->setFocus();
}

QString CCommandDialog::Command() const {
    return m_field->text();
}

const QStringList& CCommandDialog::History() {
    return HistoryList();
}

void CCommandDialog::Remember(const QString& command) {
    QStringList& history = HistoryList();
    history.removeAll(command);
    history.prepend(command);
    while (history.size() > HistorySize)
        history.removeLast();
}

bool CCommandDialog::eventFilter(QObject* watched, QEvent* event) {
    // The window manager's focus may select the whole field; the typed character must
    // stay with the caret after it, so that the next key adds to it.
    if (watched == m_field && event->type() == QEvent::FocusIn) {
        QMetaObject::invokeMethod(
            m_field,
            [field = m_field] {
                field->deselect();
                field->end(false);
            },
            Qt::QueuedConnection);
    }
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            ShowHistoryEntry(m_historyIndex + (key == Qt::Key_Up ? 1 : -1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CCommandDialog::ShowHistoryEntry(int index) {
    const QStringList& history = History();
    if (index < -1 || index >= history.size()) return;
    if (m_historyIndex == -1) m_draft = m_field->text();
    m_historyIndex = index;
    m_field->setText(index == -1 ? m_draft : history[index]);
}
