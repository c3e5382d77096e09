#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include <utility>

namespace {

FileDialogHandler& CurrentHandler() {
    static FileDialogHandler handler;
    return handler;
}

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    if (request.folder)
        return QFileDialog::getExistingDirectory(parent, request.title, request.initialPath);
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFilterFromWindows(request.filter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The initial path names a folder with a pattern ("dir/*.scp") or a file name.
    const QFileInfo initial(request.initialPath);
    if (!request.initialPath.isEmpty() && initial.absoluteDir().exists())
        dialog.setDirectory(initial.absolutePath());
    if (!initial.fileName().contains(u'*')) dialog.selectFile(initial.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString AskFileName(QWidget* parent, const FileDialogRequest& request) {
    if (const FileDialogHandler& handler = CurrentHandler()) return handler(parent, request);
    return RunFileDialog(parent, request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

QString QtFilterFromWindows(const QString& filter) {
    const QStringList parts = filter.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        name.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << name;
    }
    return filters.join(QStringLiteral(";;"));
}
