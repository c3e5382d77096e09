#pragma once

#include <QString>

class QWidget;

// The open-file dialog for scripts: it starts in the SphereServer folder of the settings
// showing the *.scp files and offers sphere.ini and all files too. The chosen path, or
// the empty text when the user cancelled.
QString AskScriptFileName(QWidget* parent);
