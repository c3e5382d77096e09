#include "Preferences.h"

#include "IniFile.h"
#include "PageTree.h"
#include "PreferencePages.h"

#include "framework/MessageBox.h"
#include "framework/SettingsStore.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

CPreferences::CPreferences(QWidget* parent, Page first) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Preferences"));
    m_stack = new QStackedWidget(this);
    m_tree = new CPageTree(*m_stack, this);
    m_tree->setFixedWidth(
        m_tree->fontMetrics().horizontalAdvance(QStringLiteral("General Preferences")) + 60);

    m_pages[GeneralPage] = new CGeneralTopic;
    m_pages[UserPage] = new CGeneralUser;
    m_pages[DirectoriesPage] = new CGeneralDirectory;
    m_pages[ConsolePage] = new CGeneralTelnet;
    m_pages[InputPage] = new CInputTopic;
    m_pages[MousePage] = new CInputMouse;
    QTreeWidgetItem* general =
        m_tree->AddPage(QStringLiteral("General Preferences"), m_pages[GeneralPage]);
    m_tree->AddPage(QStringLiteral("User Information"), m_pages[UserPage], general);
    m_tree->AddPage(QStringLiteral("Directories"), m_pages[DirectoriesPage], general);
    m_tree->AddPage(QStringLiteral("Console"), m_pages[ConsolePage], general);
    QTreeWidgetItem* input = m_tree->AddPage(QStringLiteral("Input Devices"), m_pages[InputPage]);
    m_tree->AddPage(QStringLiteral("Mouse"), m_pages[MousePage], input);
    m_tree->ExpandAll();
    m_tree->ShowPage(m_pages[first]);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    apply->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole); // no help yet
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferences::Apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* panes = new QHBoxLayout;
    panes->addWidget(m_tree);
    panes->addWidget(m_stack, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes);
    layout->addWidget(buttons);
    resize(560, 360);
}

CPreferencePage* CPreferences::VisiblePage() const {
    return static_cast<CPreferencePage*>(m_stack->currentWidget());
}

void CPreferences::Apply() {
    for (Page page : {UserPage, DirectoriesPage, ConsolePage})
        m_pages[page]->OnOK();
    CIniFile& settings = SettingsStore();
    // A file that holds a console password is for its owner's eyes only.
    const std::string password = settings.GetValue("Telnet", "Password");
    if (!settings.Save(!password.empty() && password != "0")) {
        const QString path = QDir::toNativeSeparators(QString::fromStdString(settings.GetPath()));
        ShowMessage(this,
                    QStringLiteral("Could not save '%1'.\n\n%2")
                        .arg(path, QString::fromStdString(settings.SaveError())),
                    QString(), QMessageBox::Critical);
    }
    accept();
}
