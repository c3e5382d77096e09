#include "FindInFilesDialog.h"

#include "framework/FileDialog.h"
#include "framework/MessageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CFindInFilesDialog::CFindInFilesDialog(const FindInFilesOptions& options, QWidget* parent)
    : QDialog(parent), m_text(new QLineEdit(options.text)), m_folder(new QLineEdit(options.folder)),
      m_types(new QLineEdit(options.fileTypes)),
      m_wholeWord(new QCheckBox(QStringLiteral("Match &whole word only"))),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"))),
      m_find(new QPushButton(QStringLiteral("&Find"))) {
    setWindowTitle(QStringLiteral("Find in Files"));
    m_wholeWord->setChecked(options.wholeWord);
    m_matchCase->setChecked(options.matchCase);
    m_text->selectAll();

    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CFindInFilesDialog::ChooseFolder);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), m_text);
    auto* folderLabel = new QLabel(QStringLiteral("In f&older:"));
    folderLabel->setBuddy(m_folder);
    form->addRow(folderLabel, folderRow);
    form->addRow(QStringLiteral("File &types:"), m_types);
    form->addRow(m_wholeWord);
    form->addRow(m_matchCase);

    auto* buttons = new QDialogButtonBox;
    m_find->setDefault(true);
    buttons->addButton(m_find, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto enableFind = [this] { m_find->setEnabled(!m_text->text().isEmpty()); };
    connect(m_text, &QLineEdit::textChanged, this, enableFind);
    enableFind();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

FindInFilesOptions CFindInFilesDialog::Options() const {
    return {m_text->text(), m_wholeWord->isChecked(), m_matchCase->isChecked(),
            m_folder->text().trimmed(), m_types->text().trimmed()};
}

void CFindInFilesDialog::accept() {
    const QString folder = m_folder->text().trimmed();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        ShowMessage(this, QStringLiteral("The folder '%1' does not exist.").arg(folder), QString(),
                    QMessageBox::Warning);
        m_folder->setFocus();
        return;
    }
    QDialog::accept();
}

void CFindInFilesDialog::ChooseFolder() {
    FileDialogRequest request;
    request.folder = true;
    request.title = QStringLiteral("Find in Folder");
    request.initialPath = m_folder->text();
    const QString chosen = AskFileName(this, request);
    if (!chosen.isEmpty()) m_folder->setText(QDir::toNativeSeparators(chosen));
}
