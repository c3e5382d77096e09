#include "Document.h"

#include "CommandIds.h"
#include "FileDialog.h"
#include "MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <algorithm>

CDocument::CDocument() {
    OnCommand(ID_FILE_SAVE, [this](unsigned) { DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this](unsigned) { DoSave(QString()); });
}

CDocument::~CDocument() = default;

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_pathName.clear();
    m_diskSize = -1;
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString&) {
    DeleteContents();
    SetModifiedFlag(false);
    return true;
}

void CDocument::SetModifiedFlag(bool modified) {
    if (m_modified == modified) return;
    m_modified = modified;
    emit ModifiedChanged(modified);
}

void CDocument::SetTitle(const QString& title) {
    if (m_title == title) return;
    m_title = title;
    emit TitleChanged();
}

void CDocument::SetPathName(const QString& path) {
    const QFileInfo info(path);
    m_pathName = QDir::cleanPath(info.absoluteFilePath());
    NoteFileOnDisk();
    SetTitle(info.fileName());
    emit FileUsed(m_pathName);
}

void CDocument::SetSaveFilter(const QString& filter, const QString& suffix) {
    m_saveFilter = filter;
    m_saveSuffix = suffix;
}

bool CDocument::DoFileSave() {
    if (m_pathName.isEmpty()) return DoSave(QString());
    if (ChangedOnDisk() && !ConfirmOverwriteChangedFile()) return false;
    return DoSave(m_pathName);
}

bool CDocument::DoSave(const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        QString initial = m_pathName;
        if (initial.isEmpty()) {
            initial = m_title;
            if (!m_saveSuffix.isEmpty()) initial += u'.' + m_saveSuffix;
        }
        FileDialogRequest request;
        request.save = true;
        request.initialPath = initial;
        request.filter = m_saveFilter;
        request.defaultSuffix = m_saveSuffix;
        target = AskFileName(DialogParent(), request);
        if (target.isEmpty()) return false;
    }
    if (!OnSaveDocument(target)) {
        QString text = QStringLiteral("Could not save '%1'.").arg(QDir::toNativeSeparators(target));
        const QString reason = LastFileError();
        if (!reason.isEmpty()) text += QStringLiteral("\n\n") + reason;
        ShowMessage(DialogParent(), text, QString(), QMessageBox::Critical);
        return false;
    }
    SetPathName(target);
    return true;
}

bool CDocument::SaveModified() {
    if (!m_modified) return true;
    const QString name = m_pathName.isEmpty() ? m_title : QDir::toNativeSeparators(m_pathName);
    switch (ShowMessage(DialogParent(), QStringLiteral("Save changes to %1?").arg(name), QString(),
                        QMessageBox::Warning,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return DoFileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CDocument::AddView(QWidget* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CDocument::RemoveView(QWidget* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

QWidget* CDocument::DialogParent() const {
    // A document still being opened has a view whose window is not shown yet.
    QWidget* window = m_views.empty() ? nullptr : m_views.front()->window();
    return window && window->isVisible() ? window : QApplication::activeWindow();
}

void CDocument::NoteFileOnDisk() {
    const QFileInfo info(m_pathName);
    m_diskTime = info.exists() ? info.lastModified() : QDateTime();
    m_diskSize = info.exists() ? info.size() : -1;
}

bool CDocument::ChangedOnDisk() const {
    const QFileInfo info(m_pathName);
    // A file deleted meanwhile is simply written anew: nothing of anybody's text is lost.
    if (!info.exists() || m_diskSize < 0) return false;
    return info.lastModified() != m_diskTime || info.size() != m_diskSize;
}

bool CDocument::ConfirmOverwriteChangedFile() {
    const QString text =
        QStringLiteral("The file %1 has been changed by another program since it was opened "
                       "or saved.\n\nDo you want to replace it with this document?")
            .arg(QDir::toNativeSeparators(m_pathName));
    return ShowMessage(DialogParent(), text, QString(), QMessageBox::Warning,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
