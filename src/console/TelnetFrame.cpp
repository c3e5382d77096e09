#include "TelnetFrame.h"

#include "CommandDialog.h"
#include "ConsolePane.h"

#include "framework/CommandIds.h"
#include "framework/ModalDialog.h"
#include "framework/SettingsStore.h"
#include "framework/Windows1252.h"
#include "prefs/IniFile.h"

#include <QCloseEvent>
#include <QLineEdit>

namespace {

const QColor kBlue(8, 8, 196);
const QColor kGreen(10, 100, 10);
const QColor kRed(150, 0, 0);
const QColor kOrange(250, 150, 0);
const QColor kDarkBlue(6, 10, 158);
const QColor kBlack(0, 0, 0);

} // namespace

CTelnetFrame::CTelnetFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Console"));
    m_pane = new CConsolePane(this);
    setWidget(m_pane);
    connect(m_pane, &CConsolePane::Typed, this, &CTelnetFrame::OnTyped);
    connect(&m_socket, &CConsoleSocket::Connected, this, &CTelnetFrame::OnConnected);
    connect(&m_socket, &CConsoleSocket::ConnectFailed, this, &CTelnetFrame::OnConnectFailed);
    connect(&m_socket, &CConsoleSocket::Received, this, &CTelnetFrame::OnReceived);
    connect(&m_socket, &CConsoleSocket::Closed, this, &CTelnetFrame::OnClosed);
    RegisterCommands();

    const QString host = SettingsText("Telnet", "IP");
    const int port = SettingsStore().GetValueInt("Telnet", "Port");
    AppendText(kBlue, false, QStringLiteral("Quillet Console Access\r\n\r\n"));
    AppendText(kBlue, false, QStringLiteral("Try to connect to %1, %2...").arg(host).arg(port));
    m_socket.ConnectToHost(host, port);
}

CTelnetFrame::~CTelnetFrame() = default;

void CTelnetFrame::RegisterCommands() {
    // The pane's text can be copied; everything else of the console's menu belongs to the
    // main window or stays disabled.
    OnCommand(
        ID_EDIT_COPY, [this](unsigned) { m_pane->copy(); },
        [this](CCommandUI& ui) { ui.Enable(m_pane->textCursor().hasSelection()); });
    OnCommand(ID_EDIT_SELECT_ALL, [this](unsigned) { m_pane->selectAll(); });
}

void CTelnetFrame::AppendText(const QColor& colour, bool bold, const QString& text) {
    m_pane->AppendText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), colour,
                       bold);
}

void CTelnetFrame::OnConnected() {
    m_connected = true;
    AppendText(kGreen, true, QStringLiteral("OK\r\n\r\n"));
    // The server takes a connection for its console only when the first thing it reads is
    // one space on its own.
    if (SettingsStore().GetValueInt("Telnet", "Sendspace") != 0) m_socket.Send(" ");
}

void CTelnetFrame::OnConnectFailed(int error) {
    AppendText(kRed, true, QStringLiteral("FAILED\r\n"));
    const QString line =
        error == WsaHostUnreachable
            ? QStringLiteral(
                  "WSA ERROR: Could not reach host. Check your internet connection. (%1)")
            : QStringLiteral("WSA ERROR: An unknown error occurred. (%1)");
    AppendText(kRed, false, line.arg(error));
    AppendText(kRed, false, QStringLiteral("\r\n\r\n"));
}

void CTelnetFrame::OnReceived(const QByteArray& chunk) {
    const ConsoleChunkKind kind = ClassifyChunk(chunk);
    const QColor colour = kind == ConsoleChunkKind::Warning ? kOrange
                          : kind == ConsoleChunkKind::Error ? kRed
                                                            : QColor();
    m_pane->AppendStreamed(m_text.Decode(chunk), colour);
    SendSavedPasswordAfterPrompt(chunk);
}

// With "Send saved password" on, the password answers the server's "Password:" that
// follows the login name, once per connection; the server does not echo it.
void CTelnetFrame::SendSavedPasswordAfterPrompt(const QByteArray& chunk) {
    if (m_passwordSent || !m_commandSent) return;
    if (SettingsStore().GetValueInt("Telnet", "Sendpassword") != 1) return;
    if (!chunk.trimmed().endsWith("Password:")) return;
    m_passwordSent = true;
    const std::string password =
        Windows1252FromSetting(SettingsStore().GetValue("Telnet", "Password"));
    m_socket.Send(QByteArray::fromStdString(password) + '\r');
}

void CTelnetFrame::OnClosed(int error) {
    AppendText(kBlack, true, QStringLiteral("\r\n"));
    if (error == WsaConnectionAborted)
        AppendText(kRed, true, QStringLiteral("Connection was aborted due to timeout."));
    else if (error == WsaConnectionReset)
        AppendText(kOrange, true, QStringLiteral("Connection was reseted by remote side."));
    else
        AppendText(kDarkBlue, true,
                   QStringLiteral("Connection was aborted due to a unknown error."));
    AppendText(kBlack, true, QStringLiteral("\r\n"));
}

void CTelnetFrame::OnTyped(int code) {
    // From the space to the small z a character starts a command; the braces, the bar and
    // the tilde do not. Enter opens an empty command once connected.
    if (code >= 0x20 && code <= 'z')
        RunCommandDialog(QChar(code));
    else if (code == 13 && m_connected)
        RunCommandDialog();
}

void CTelnetFrame::RunCommandDialog(QChar initial) {
    CCommandDialog dialog(initial, this);
    if (RunModalDialog(dialog) != QDialog::Accepted) return;
    const QString command = dialog.Command();
    if (!command.isEmpty()) CCommandDialog::Remember(command);
    m_commandSent = true;
    m_socket.Send(QByteArray::fromStdString(Windows1252FromText(command)) + '\r');
}

void CTelnetFrame::closeEvent(QCloseEvent* event) {
    m_socket.Close();
    QMdiSubWindow::closeEvent(event);
}
