#include "SphereIniProperties.h"

#include "PageTree.h"
#include "SphereIniGeneral.h"
#include "SphereIniText.h"

#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "framework/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTreeWidth = 150;

// A file that starts with the UTF-8 byte order mark holds UTF-8 text; other files, and
// a value that is no valid UTF-8, are Windows-1252 like the scripts.
QString DecodeValue(std::string_view bytes, bool utf8) {
    if (utf8) {
        const QByteArray raw(bytes.data(), qsizetype(bytes.size()));
        const QString text = QString::fromUtf8(raw);
        if (text.toUtf8() == raw) return text;
    }
    return TextFromWindows1252(bytes);
}

// Characters that Windows-1252 cannot hold become '?'.
std::string EncodeValue(const QString& text, bool utf8) {
    return utf8 ? text.toUtf8().toStdString() : Windows1252FromText(text, '?');
}

std::string FileName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

CSphereINIProperties::CSphereINIProperties(const QString& path, QWidget* parent)
    : QDialog(parent), m_path(path) {
    setWindowTitle(QStringLiteral("Properties of Sphere.INI"));

    auto* pages = new QStackedWidget(this);
    m_tree = new CPageTree(*pages, this);
    m_tree->setFixedWidth(kTreeWidth);
    m_general = new CSphereINIGeneral(pages);
    m_tree->AddPage(QStringLiteral("Basic Sphere Info"), m_general);
    m_tree->ExpandAll();
    m_tree->ShowPage(m_general);

    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_help = new QPushButton(QStringLiteral("&Help"), this);
    m_editAsText = new QPushButton(QStringLiteral("Edit as &Text"), this);
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, &CSphereINIProperties::Apply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_editAsText, &QPushButton::clicked, this, &CSphereINIProperties::EditAsText);

    auto* body = new QHBoxLayout;
    body->addWidget(m_tree);
    body->addWidget(pages, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_editAsText);
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

bool CSphereINIProperties::ReadFile() {
    CTextBuffer text;
    if (!text.ReadFromFile(FileName(m_path))) {
        ShowMessage(
            parentWidget(),
            QStringLiteral("Could not read '%1'.\n\n%2")
                .arg(QDir::toNativeSeparators(m_path), QString::fromLocal8Bit(text.LastError())),
            QString(), QMessageBox::Critical);
        return false;
    }
    m_utf8 = HasUtf8Bom(text);
    m_general->ShowValues([&](const char* key) -> std::optional<QString> {
        const std::optional<SphereIniSpot> spot = FindSphereIniValue(text, key);
        if (!spot) return std::nullopt;
        return DecodeValue(text.Line(spot->line).substr(spot->start, spot->end - spot->start),
                           m_utf8);
    });
    return true;
}

void CSphereINIProperties::Apply() {
    std::vector<std::pair<std::string, std::string>> changes;
    for (const auto& [key, text] : m_general->ChangedValues())
        changes.emplace_back(key, EncodeValue(text, m_utf8));
    std::string error;
    if (!WriteSphereIniValues(FileName(m_path), changes, error)) {
        // The dialog stays open with what the user typed.
        ShowMessage(this,
                    QStringLiteral("Could not save '%1'.\n\n%2")
                        .arg(QDir::toNativeSeparators(m_path), QString::fromLocal8Bit(error)),
                    QString(), QMessageBox::Critical);
        return;
    }
    accept();
}

void CSphereINIProperties::EditAsText() {
    reject();
    if (CWinApp* app = CWinApp::Instance()) app->OpenDocumentFile(m_path);
}
