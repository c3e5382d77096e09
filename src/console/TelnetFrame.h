#pragma once

#include "ConsoleSocket.h"
#include "ConsoleText.h"

#include "framework/CommandTarget.h"

#include <QColor>
#include <QMdiSubWindow>
#include <QString>

class CConsolePane;

// A console window: connects at once to the server of the "Telnet" settings, shows what
// the server sends in colour, and sends the commands the user types into the command
// dialog, each followed by a CR. Every failure shows in the pane.
class CTelnetFrame : public QMdiSubWindow, public CCommandTarget {
    Q_OBJECT

public:
    explicit CTelnetFrame(QWidget* parent = nullptr);
    ~CTelnetFrame() override;

    CConsolePane& Pane() const { return *m_pane; }
    // The connection has been made (and stays so marked after the server closes it).
    bool IsConnected() const { return m_connected; }

    // Appends one of the console's own texts; its CR LF pairs end lines.
    void AppendText(const QColor& colour, bool bold, const QString& text);
    // Runs the command dialog with `initial` already typed; OK sends the command and a CR.
    void RunCommandDialog(QChar initial = QChar());

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void RegisterCommands();
    void OnConnected();
    void OnConnectFailed(int error);
    void OnReceived(const QByteArray& chunk);
    void OnClosed(int error);
    void OnTyped(int code);
    void SendSavedPasswordAfterPrompt(const QByteArray& chunk);

    CConsolePane* m_pane;
    CConsoleSocket m_socket;
    CConsoleText m_text;
    bool m_connected = false;
    bool m_commandSent = false;  // a login name may have gone out
    bool m_passwordSent = false; // the saved password goes out once per connection
};
