#include "PreferencePages.h"

#include "GradientCaption.h"
#include "IniFile.h"

#include "framework/FileDialog.h"
#include "framework/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

void Store(const char* section, const char* key, const QString& value) {
    SettingsStore().SetValue(section, key, value.toUtf8().toStdString(), true);
}

QLineEdit* AddField(QFormLayout& form, const QString& label, const char* section, const char* key) {
    auto* field = new QLineEdit(SettingsText(section, key));
    form.addRow(label, field);
    return field;
}

// A field with a "..." button at its right; the button is returned for its action.
QPushButton* AddBrowseRow(QFormLayout& form, const QString& label, QLineEdit* field) {
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    auto* row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(browse);
    form.addRow(label, row);
    return browse;
}

QValidator* DigitsOnly(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

} // namespace

CPreferencePage::CPreferencePage(const QString& caption, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new CGradientCaption(caption, this));
    layout->addStretch();
}

QFormLayout* CPreferencePage::AddGroup(const QString& title) {
    auto* group = new QGroupBox(title, this);
    auto* form = new QFormLayout(group);
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(layout->count() - 1, group); // above the closing stretch
    return form;
}

CGeneralTopic::CGeneralTopic(QWidget* parent)
    : CPreferencePage(QStringLiteral("General Preferences"), parent) {}

CInputTopic::CInputTopic(QWidget* parent)
    : CPreferencePage(QStringLiteral("Input Devices"), parent) {}

CGeneralUser::CGeneralUser(QWidget* parent)
    : CPreferencePage(QStringLiteral("General\tUser Information"), parent) {
    QFormLayout* form = AddGroup(QStringLiteral("User / Author"));
    m_name = AddField(*form, QStringLiteral("Author Name:"), "User", "UserName");
    m_company = AddField(*form, QStringLiteral("Company Name:"), "User", "UserCompany");
    m_internet = AddField(*form, QStringLiteral("Internet Address:"), "User", "UserInternet");
    auto* note = new QLabel(
        QStringLiteral("The internet address can be either a URL or an e-mail address."));
    note->setWordWrap(true);
    form->addRow(note);
}

void CGeneralUser::OnOK() {
    Store("User", "UserName", m_name->text());
    Store("User", "UserCompany", m_company->text());
    Store("User", "UserInternet", m_internet->text());
}

CGeneralDirectory::CGeneralDirectory(QWidget* parent)
    : CPreferencePage(QStringLiteral("General\tDirectories"), parent) {
    QFormLayout* form = AddGroup(QStringLiteral("Directories"));
    m_client = AddFolderField(*form, QStringLiteral("Ultima Online:"),
                              QStringLiteral("Please choose the Ultima Online Directory:"));
    m_server = AddFolderField(*form, QStringLiteral("SphereServer:"),
                              QStringLiteral("Please choose the SphereServer Directory:"));
    m_axis = AddFolderField(*form, QStringLiteral("Axis:"),
                            QStringLiteral("Please choose the Axis Directory:"));
    m_client->setText(SettingsText("UO", "Ultima Online"));
    m_server->setText(SettingsText("UO", "SphereServer"));
    m_axis->setText(SettingsText("UO", "Axis"));
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    form->addRow(line);
    m_program = new QLineEdit(SettingsText("UO", "Ultima Online Client"));
    connect(AddBrowseRow(*form, QStringLiteral("UO Client:"), m_program), &QPushButton::clicked,
            this, &CGeneralDirectory::ChooseClientProgram);
}

QLineEdit* CGeneralDirectory::AddFolderField(QFormLayout& form, const QString& label,
                                             const QString& title) {
    auto* field = new QLineEdit;
    connect(AddBrowseRow(form, label, field), &QPushButton::clicked, this, [this, field, title] {
        FileDialogRequest request;
        request.folder = true;
        request.title = title;
        request.initialPath = field->text();
        const QString folder = AskFileName(this, request);
        if (!folder.isEmpty()) field->setText(QDir::toNativeSeparators(folder));
    });
    return field;
}

// The program starts from the Ultima Online folder: only its file name is kept.
void CGeneralDirectory::ChooseClientProgram() {
    FileDialogRequest request;
    request.initialPath = QStringLiteral("client.exe");
    request.filter = QStringLiteral("Program files (*.exe)|*.exe|");
    request.defaultSuffix = QStringLiteral("exe");
    const QString chosen = AskFileName(this, request);
    if (!chosen.isEmpty()) m_program->setText(QFileInfo(chosen).fileName());
}

void CGeneralDirectory::OnOK() {
    Store("UO", "Ultima Online", m_client->text());
    Store("UO", "SphereServer", m_server->text());
    Store("UO", "Axis", m_axis->text());
    Store("UO", "Ultima Online Client", m_program->text());
}

CGeneralTelnet::CGeneralTelnet(QWidget* parent)
    : CPreferencePage(QStringLiteral("General\tConsole"), parent) {
    QFormLayout* server = AddGroup(QStringLiteral("Server / Port"));
    m_host = AddField(*server, QStringLiteral("Host address:"), "Telnet", "IP");
    m_port = AddField(*server, QStringLiteral("Port:"), "Telnet", "Port");
    m_port->setValidator(DigitsOnly(m_port));
    QFormLayout* connection = AddGroup(QStringLiteral("Connection"));
    m_sendSpace = new QCheckBox(QStringLiteral("Send a space bar key to the server"));
    m_sendPassword = new QCheckBox(QStringLiteral("Send saved password to the server:"));
    m_password = new QLineEdit;
    m_password->setEchoMode(QLineEdit::Password);
    connection->addRow(m_sendSpace);
    connection->addRow(m_sendPassword);
    connection->addRow(m_password);

    CIniFile& settings = SettingsStore();
    m_sendSpace->setChecked(settings.GetValueInt("Telnet", "Sendspace") != 0);
    const bool sendPassword = settings.GetValueInt("Telnet", "Sendpassword") != 0;
    m_sendPassword->setChecked(sendPassword);
    m_password->setText(sendPassword ? SettingsText("Telnet", "Password") : QString());
    m_password->setEnabled(sendPassword);
    // Checking the box starts a new password; unchecking keeps what was typed, unused.
    connect(m_sendPassword, &QCheckBox::toggled, this, [this](bool on) {
        m_password->setEnabled(on);
        if (on) m_password->clear();
    });
}

void CGeneralTelnet::OnOK() {
    Store("Telnet", "IP", m_host->text());
    Store("Telnet", "Port", m_port->text());
    CIniFile& settings = SettingsStore();
    const bool sendPassword = m_sendPassword->isChecked();
    settings.SetValueInt("Telnet", "Sendpassword", sendPassword ? 1 : 0, true);
    Store("Telnet", "Password", sendPassword ? m_password->text() : QStringLiteral("0"));
    settings.SetValueInt("Telnet", "Sendspace", m_sendSpace->isChecked() ? 1 : 0, true);
}

CInputMouse::CInputMouse(QWidget* parent)
    : CPreferencePage(QStringLiteral("Input Devices\tMouse"), parent) {
    QFormLayout* wheel = AddGroup(QStringLiteral("Mousewheel"));
    auto* lines = new QLineEdit;
    lines->setValidator(DigitsOnly(lines));
    wheel->addRow(QStringLiteral("Lines to scroll:"), lines);
    wheel->addRow(new QCheckBox(QStringLiteral("If mousewheel is spinned faster, scroll faster")));
    QFormLayout* buttons = AddGroup(QStringLiteral("Additional Mouse Buttons"));
    for (int n = 3; n <= 5; ++n) {
        auto* list = new QComboBox;
        list->addItem(QStringLiteral("<none>"));
        buttons->addRow(QStringLiteral("Mouse Button %1:").arg(n), list);
    }
    for (QWidget* control : findChildren<QWidget*>())
        if (!qobject_cast<CGradientCaption*>(control)) control->setEnabled(false);
}
