#pragma once

#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/SettingsStore.h"
#include "prefs/IniFile.h"

#include "TestFiles.h"

#include <QString>
#include <QStringList>

#include <string>

// Records every message box and answers it with `answer`, until destroyed.
class MessageRecorder {
public:
    // Answers in turn; the last answer repeats.
    explicit MessageRecorder(QList<QMessageBox::StandardButton> answers = {QMessageBox::Ok})
        : m_old(SetMessageHandler([this, answers](QWidget*, const QString& text,
                                                  const QString& caption, QMessageBox::Icon,
                                                  QMessageBox::StandardButtons) {
              texts << text;
              captions << caption;
              return answers.value(texts.size() - 1, answers.last());
          })) {}
    explicit MessageRecorder(QMessageBox::StandardButton answer)
        : MessageRecorder(QList<QMessageBox::StandardButton>{answer}) {}
    ~MessageRecorder() { SetMessageHandler(m_old); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QStringList texts;
    QStringList captions;

private:
    MessageHandler m_old;
};

// Answers every file dialog with `path` (the empty text cancels), until destroyed.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(const QString& path)
        : m_old(SetFileDialogHandler([this, path](QWidget*, const FileDialogRequest& request) {
              requests << request.initialPath;
              return path;
          })) {}
    ~FileDialogAnswer() { SetFileDialogHandler(m_old); }
    FileDialogAnswer(const FileDialogAnswer&) = delete;
    FileDialogAnswer& operator=(const FileDialogAnswer&) = delete;

    QStringList requests;

private:
    FileDialogHandler m_old;
};

// The settings store holds nothing that a test relies on: every value read by the
// script document and view is emptied.
inline void ClearScriptSettings() {
    CIniFile& settings = SettingsStore();
    for (const char* key : {"UserName", "UserCompany", "UserInternet"})
        settings.SetValue("User", key, "", true);
    for (const char* key : {"crLBackground", "crLTextColor"})
        settings.SetValue("Quillet", key, "", true);
    for (const char* key : {"SphereServer", "Axis", "Ultima Online", "Ultima Online Client"})
        settings.SetValue("UO", key, "", true);
}

// The buffer's text with CR LF between lines.
template <class Buffer> std::string AllText(const Buffer& buffer) {
    const int last = buffer.LineCount() - 1;
    return buffer.CopyRange({0, 0}, {last, buffer.LineLength(last)});
}
