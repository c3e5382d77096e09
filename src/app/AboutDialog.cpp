#include "AboutDialog.h"

#include "framework/Icons.h"

#include "framework/MessageBox.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QString VersionLineText() {
    return QString::asprintf("Version: %d.%d.%d ( Build: %d )", QUILLET_VERSION_MAJOR,
                             QUILLET_VERSION_MINOR, QUILLET_VERSION_PATCH, QUILLET_BUILD_NUMBER);
}

CAboutDialog::CAboutDialog(QWidget* parent, const QString& historyPath) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Brindle's Quillet"));

    auto* picture = new QLabel(this);
    picture->setPixmap(RenderSvg(QStringLiteral(":/about.svg"), QSize(440, 96)));
    picture->setAlignment(Qt::AlignCenter);
    m_version = new QLabel(VersionLineText(), this);
    auto* credits = new QLabel(QStringLiteral("Written by the Quillet developers for SphereServer "
                                              "shard administrators.\n"
                                              "Built with Qt, for Linux and every platform Qt "
                                              "serves."),
                               this);
    m_history = new QPlainTextEdit(this);
    m_history->setReadOnly(true);
    m_history->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_history->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_history->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 9));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(m_version);
    layout->addWidget(credits);
    layout->addWidget(Separator(this));
    layout->addWidget(m_history, 1);
    layout->addWidget(Separator(this));
    layout->addWidget(buttons);
    resize(560, 540);

    LoadHistory(historyPath);
}

void CAboutDialog::LoadHistory(const QString& path) {
    // Each failed step has its own message; later steps still run, and the box opens
    // with whatever could be read.
    QFile file(path);
    if (!file.exists()) ShowMessage(this, QStringLiteral("Could not locate text."));
    const bool opened = file.open(QIODevice::ReadOnly);
    if (!opened) ShowMessage(this, QStringLiteral("Could not load text."));
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    if (bytes.isEmpty()) ShowMessage(this, QStringLiteral("Could not lock text."));
    QString text = QString::fromUtf8(bytes);
    text.remove(u'\r');
    m_history->setPlainText(text);
}

QString CAboutDialog::VersionLine() const {
    return m_version->text();
}

QString CAboutDialog::HistoryText() const {
    return m_history->toPlainText();
}
