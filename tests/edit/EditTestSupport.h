#pragma once

#include "../view/ViewTestSupport.h"

#include "framework/MessageBox.h"
#include "framework/ModalDialog.h"
#include "framework/Profile.h"
#include "framework/Windows1252.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// The buffer's lines joined with `lineBreak`.
inline std::string Text(const CTextBuffer& buffer, char lineBreak = '\n') {
    std::string text;
    for (int line = 0; line < buffer.LineCount(); ++line) {
        if (line > 0) text += lineBreak;
        text += buffer.Line(line);
    }
    return text;
}

// Selects from `start` to `end`, with the anchor at `start` and the caret at `end`.
inline void Select(CTextView& view, TextPosition start, TextPosition end) {
    view.SetAnchor(start);
    view.SetSelection(start, end);
    view.SetCaretPosition(end);
}

// Sets the view's text written with '|' at the caret and '^' at the anchor of a selection.
inline void SetMarkedText(CTextView& view, const QString& marked) {
    const auto position = [&](QChar marker, QChar other) {
        const QString text = QString(marked).remove(other);
        const qsizetype at = text.indexOf(marker);
        const QString before = text.left(at);
        return TextPosition{int(before.count('\n')), int(at - before.lastIndexOf('\n') - 1)};
    };
    SetBufferText(*view.Buffer(), QString(marked).remove('|').remove('^').toStdString());
    const TextPosition caret = position('|', '^');
    Select(view, marked.contains('^') ? position('^', '|') : caret, caret);
}

// The view's text (as Windows-1252) with the selection in brackets, or with '|' at the caret
// when there is none.
inline QString MarkedText(CTextView& view) {
    const bool selection = view.HasSelection();
    const TextPosition start = selection ? SelectionStartOf(view) : view.CaretPosition();
    const TextPosition end = selection ? SelectionEndOf(view) : TextPosition{-1, -1};
    QString text;
    for (int line = 0; line < view.Buffer()->LineCount(); ++line) {
        QString content = TextFromWindows1252(view.Buffer()->Line(line));
        if (line == end.line) content.insert(end.ch, ']');
        if (line == start.line) content.insert(start.ch, selection ? '[' : '|');
        text += (line ? "\n" : "") + content;
    }
    return text;
}

// Every message box the code shows, answered with OK instead of waiting for the user.
class MessageRecorder {
public:
    MessageRecorder() {
        m_previous =
            SetMessageHandler([this](QWidget*, const QString& text, const QString&,
                                     QMessageBox::Icon icon, QMessageBox::StandardButtons) {
                messages << text;
                icons << icon;
                return QMessageBox::Ok;
            });
    }
    ~MessageRecorder() { SetMessageHandler(m_previous); }

    QStringList messages;
    QList<QMessageBox::Icon> icons;

private:
    MessageHandler m_previous;
};

// Points the framework profile, which a default QSettings reads, at a fresh temporary folder
// for the lifetime of the object.
class TemporaryProfile {
public:
    TemporaryProfile() {
        SetRegistryKey(QStringLiteral("Brindles Quillet"), QStringLiteral("Brindle's Quillet"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

private:
    QTemporaryDir m_dir;
};

// What a dialog test works on: a private profile, recorded messages, and a view of type
// `View` shown with the focus on a buffer. Members go in reverse order, the view first.
template <typename View> struct DialogFixture {
    TemporaryProfile profile;
    MessageRecorder messages;
    CTextBuffer buffer;
    View view;
};

// Presses `key` with `modifiers` on `target` and hands the modal dialog of type `Dialog`
// that it opens to `drive` instead of running its modal loop; a dialog still open afterwards
// is cancelled. False when no such dialog opened.
template <typename Dialog>
bool OpenDialog(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers,
                const std::function<void(Dialog&)>& drive) {
    bool opened = false;
    const DialogHandler previous = SetDialogHandler([&](QDialog& dialog) {
        dialog.show();
        if (auto* typed = qobject_cast<Dialog*>(&dialog)) {
            opened = true;
            drive(*typed);
        }
        if (dialog.isVisible()) dialog.reject();
        return dialog.result();
    });
    QTest::keyClick(target, key, modifiers);
    SetDialogHandler(previous);
    return opened;
}

// The named child of a dialog, which must exist.
template <typename Widget> Widget* Child(QWidget& parent, const char* name) {
    auto* child = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!child) qFatal("no child named %s", name);
    return child;
}

inline void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Child<QAbstractButton>(dialog, name), Qt::LeftButton);
}
