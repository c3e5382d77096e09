#include "ScriptFileDialog.h"

#include "framework/FileDialog.h"
#include "framework/SettingsStore.h"

QString AskScriptFileName(QWidget* parent) {
    // Without a server folder the dialog starts in the current folder.
    const QString folder = SettingsText("UO", "SphereServer");
    FileDialogRequest request;
    request.initialPath =
        folder.isEmpty() ? QStringLiteral("*.scp") : folder + QStringLiteral("/*.scp");
    request.filter = QStringLiteral(
        "SphereScript (*.scp)|*.scp|SphereINI (sphere.ini)|sphere.ini|All Files (*.*)|*.*||");
    request.defaultSuffix = QStringLiteral("scp");
    return AskFileName(parent, request);
}
