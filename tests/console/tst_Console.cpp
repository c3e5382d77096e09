// The console against a server on 127.0.0.1 that the test scripts: connecting, what is
// shown and in which colour, what is sent, typing, the saved password and the history.
#include "console/CommandDialog.h"
#include "console/ConsolePane.h"
#include "console/ConsoleText.h"
#include "console/TelnetFrame.h"
#include "framework/ModalDialog.h"
#include "framework/SettingsStore.h"
#include "prefs/IniFile.h"

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QtTest>

#include <memory>
#include <random>
#include <sys/socket.h>

namespace {

// A server that keeps each connection and what it sent, and a console opened with the
// "Telnet" settings given (by default: connected to that server).
struct Session : QTcpServer {
    QList<QTcpSocket*> peers;
    QMap<QTcpSocket*, QByteArray> received;
    std::unique_ptr<CTelnetFrame> console;

    explicit Session(int sendSpace = 0, int sendPassword = 0, QString host = "127.0.0.1",
                     int port = 0) {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* peer = nextPendingConnection();
            peers << peer;
            connect(peer, &QTcpSocket::readyRead,
                    [this, peer] { received[peer] += peer->readAll(); });
        });
        CIniFile& settings = SettingsStore();
        settings.SetValue("Telnet", "IP", host.toStdString(), true);
        settings.SetValueInt("Telnet", "Port", port != 0 ? port : serverPort(), true);
        settings.SetValueInt("Telnet", "Sendspace", sendSpace, true);
        settings.SetValueInt("Telnet", "Sendpassword", sendPassword, true);
        settings.SetValue("Telnet", "Password", "s\xC3\xA9same", true);
        console = std::make_unique<CTelnetFrame>();
        console->show();
    }
    bool Connected() {
        return QTest::qWaitFor([this] { return console->IsConnected() && !peers.isEmpty(); });
    }
    QTcpSocket& Peer() { return *peers[0]; }
    QByteArray From(int i) { return received.value(peers.value(i)); }
    QString Text() const { return console->Pane().toPlainText(); }
    // Colour and boldness of the first character of the last `text` in the pane.
    QString Look(const QString& text) const {
        QTextCursor cursor(console->Pane().document());
        cursor.setPosition(int(Text().lastIndexOf(text)) + 1);
        const QTextCharFormat format = cursor.charFormat();
        return format.foreground().color().name() +
               (format.fontWeight() > QFont::Normal ? " bold" : "");
    }
};

// Answers the command dialog with `command`; records what the field held when it opened.
struct DialogAnswer {
    QStringList opened;
    DialogHandler old;
    explicit DialogAnswer(const QString& command, bool ok = true)
        : old(SetDialogHandler([this, command, ok](QDialog& dialog) {
              QLineEdit* field = static_cast<CCommandDialog&>(dialog).CommandField();
              opened << field->text();
              field->setText(command);
              return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
          })) {}
    ~DialogAnswer() { SetDialogHandler(old); }
};

} // namespace

class TestConsole : public QObject {
    Q_OBJECT

private slots:
    // The space goes out alone, before any command; a second console has a connection
    // of its own.
    void connectsThenSendsTheSpaceAlone() {
        Session session(1);
        QVERIFY(session.Connected());
        QCOMPARE(session.Text(), QStringLiteral("Quillet Console Access\n\nTry to connect to "
                                                "127.0.0.1, %1...OK\n\n")
                                     .arg(session.serverPort()));
        QCOMPARE(session.Look("Try"), QStringLiteral("#0808c4"));
        QCOMPARE(session.Look("OK"), QStringLiteral("#0a640a bold"));
        QTRY_COMPARE(session.From(0), QByteArray(" "));
        DialogAnswer answer(QStringLiteral("save"));
        session.console->RunCommandDialog();
        QTRY_COMPARE(session.From(0), QByteArray(" save\r"));
        CTelnetFrame second;
        QTRY_COMPARE(session.From(1), QByteArray(" "));
        session.peers[1]->write("to the second\r\n");
        QTRY_VERIFY(second.Pane().toPlainText().endsWith("to the second\n"));
        QVERIFY(!session.Text().contains("second"));
    }

    void failuresShowInThePane_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port"); // -1: a port nobody listens on
        QTest::addColumn<int>("error");
        QTest::newRow("refused") << "127.0.0.1" << -1 << 10061;
        QTest::newRow("host not found") << "no-such-host.invalid" << 2593 << 11001;
        QTest::newRow("empty host") << "" << 2593 << 11001;
        QTest::newRow("port out of range") << "127.0.0.1" << 70000 << 10049;
    }
    void failuresShowInThePane() {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(int, error);
        if (port < 0) port = Session().serverPort(); // closed again at once
        Session session(0, 0, host, port);
        QTRY_VERIFY(session.Text().endsWith(
            QStringLiteral("...FAILED\nWSA ERROR: An unknown error occurred. (%1)\n\n")
                .arg(error)));
        QCOMPARE(session.Look("FAILED"), QStringLiteral("#960000 bold"));
        QCOMPARE(session.Look("WSA"), QStringLiteral("#960000"));
        DialogAnswer answer(QStringLiteral("x"));
        emit session.console->Pane().Typed(13); // Enter waits for a connection
        QVERIFY(answer.opened.isEmpty());
    }

    // Each read takes one colour: WARNING wins over ERROR; case counts. Markup is text.
    void receivedChunks_data() {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QString>("look");
        QTest::newRow("plain") << QByteArray("06:43:World saved\r\n") << "#000000";
        QTest::newRow("error") << QByteArray("06:43:ERROR:Undefined keyword 'zz'.\r\n")
                               << "#960000";
        QTest::newRow("warning wins") << QByteArray("ERROR:a\r\n02:59:WARNING:b\r\n") << "#fa9600";
        QTest::newRow("case counts") << QByteArray("a warning\r\n") << "#000000";
        QTest::newRow("markup is text") << QByteArray("<b>bold</b> &amp; 100%\r\n") << "#000000";
        QTest::newRow("4,000 bytes whole") << QByteArray(3998, 'w') + "\r\n"
                                           << "#000000";
    }
    void receivedChunks() {
        QFETCH(QByteArray, chunk);
        QFETCH(QString, look);
        Session session;
        QVERIFY(session.Connected());
        session.Peer().write(chunk);
        const QString shown = QString::fromLatin1(chunk).replace("\r\n", "\n");
        QTRY_VERIFY(session.Text().endsWith(shown));
        QCOMPARE(session.Look(shown.left(4)), look);
    }

    void closeMessages_data() {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("look");
        QTest::newRow("orderly close") << false << "Connection was aborted due to a unknown error."
                                       << "#060a9e bold";
        QTest::newRow("reset") << true << "Connection was reseted by remote side."
                               << "#fa9600 bold";
    }
    void closeMessages() {
        QFETCH(bool, reset);
        QFETCH(QString, message);
        QFETCH(QString, look);
        Session session;
        QVERIFY(session.Connected());
        const linger abortive{1, 0};
        if (reset)
            setsockopt(int(session.Peer().socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                       sizeof abortive);
        session.Peer().close();
        QTRY_VERIFY(session.Text().endsWith("\n" + message + "\n"));
        QCOMPARE(session.Look(message), look);
    }

    // From the space to the small z a key starts a command with that character; braces do
    // nothing; Enter starts an empty one. The command goes out with one CR; a cancelled
    // dialog sends nothing; nothing typed shows in the pane.
    void typingAndSending_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("a letter") << int('a') << true << QStringList{"a"};
        QTest::newRow("a space") << int(' ') << true << QStringList{" "};
        QTest::newRow("a brace") << int('{') << true << QStringList();
        QTest::newRow("Enter") << 13 << true << QStringList{""};
        QTest::newRow("cancelled") << int('s') << false << QStringList{"s"};
    }
    void typingAndSending() {
        QFETCH(int, key);
        QFETCH(bool, ok);
        QFETCH(QStringList, opened);
        const QByteArray sent = ok && !opened.isEmpty() ? "cmd\r" : "";
        Session session;
        QVERIFY(session.Connected());
        const QString before = session.Text();
        DialogAnswer answer(QStringLiteral("cmd"), ok);
        emit session.console->Pane().Typed(key);
        QCOMPARE(answer.opened, opened);
        QTest::qWait(50);
        QCOMPARE(session.From(0), sent);
        QCOMPARE(session.Text(), before);
    }

    // With the option on, the saved password answers the "Password:" that follows the
    // login name, once, and never shows.
    void savedPassword_data() {
        QTest::addColumn<int>("option");
        QTest::newRow("on") << 1;
        QTest::newRow("off") << 0;
    }
    void savedPassword() {
        QFETCH(int, option);
        const QByteArray sent = option == 1 ? "admin\rs\xE9same\r" : "admin\r";
        Session session(0, option);
        QVERIFY(session.Connected());
        session.Peer().write("Login:\r\nPassword:\r\n"); // before the name: not answered
        QTRY_VERIFY(session.Text().endsWith("Password:\n"));
        DialogAnswer answer(QStringLiteral("admin"));
        session.console->RunCommandDialog();
        session.Peer().write("Password:\r\n");
        session.Peer().write("Password:\r\n");
        QTRY_COMPARE(session.From(0), sent);
        QTest::qWait(50);
        QCOMPARE(session.From(0), sent);
        QVERIFY(!session.Text().contains(QStringLiteral("same")));
    }

    // A burst of 12,000 lines in writes of random size: the pane holds the last 10,000,
    // whole, however the reads cut them.
    void paneKeepsTheLastLines() {
        Session session;
        QVERIFY(session.Connected());
        QByteArray burst;
        for (int i = 0; i < 12000; ++i)
            burst += "06:43:line " + QByteArray::number(i) + "\r\n";
        std::mt19937 random(8);
        for (qsizetype at = 0, n = 0; at < burst.size(); at += n) {
            n = std::uniform_int_distribution<qsizetype>(1, 9000)(random);
            session.Peer().write(burst.mid(at, n));
            session.Peer().flush();
        }
        QTRY_VERIFY(session.Text().endsWith(QStringLiteral("line 11999\n")));
        const QTextDocument& document = *session.console->Pane().document();
        QCOMPARE(document.blockCount(), CConsolePane::MaximumLines);
        QCOMPARE(document.firstBlock().text(), QStringLiteral("06:43:line 2001"));
    }

    // Line ends of every kind, split or not; control bytes show; a backspace erases the
    // character before it on its line only.
    void decodingAndBackspace_data() {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF split between reads") << QByteArrayList{"a\r", "\nb"} << "a\nb";
        QTest::newRow("lone CR and lone LF") << QByteArrayList{"a\rb\nc\r\r\nd"} << "a\nb\nc\n\nd";
        QTest::newRow("controls show")
            << QByteArrayList{QByteArray("a\0b\x1b\x7f\t", 6)} << "a\u25A1b\u25A1\u25A1\t";
        QTest::newRow("progress") << QByteArrayList{"0%", "\b\b10%", "\b\b\b100%"} << "100%";
        QTest::newRow("no erasing across lines") << QByteArrayList{"ab\r\n\b\bc"} << "ab\nc";
        QTest::newRow("Windows-1252") << QByteArrayList{"\x80 \xA9"} << "\u20AC \u00A9";
        QTest::newRow("a read longer than the pane")
            << QByteArrayList{"old\r\n", QByteArray("a\r\n").repeated(10000) + "\b\bz"}
            << QString("a\n").repeated(9999) + "z";
    }
    void decodingAndBackspace() {
        QFETCH(QByteArrayList, reads);
        QFETCH(QString, shown);
        CConsoleText decoder;
        CConsolePane pane;
        for (const QByteArray& read : reads)
            pane.AppendText(decoder.Decode(read));
        QCOMPARE(pane.toPlainText(), shown);
    }

    // Newest first, each once; Up and Down walk them and come back to what was typed.
    void commandHistory() {
        for (const char* command : {"a", "b", "c", "b"})
            CCommandDialog::Remember(QString::fromLatin1(command));
        CCommandDialog dialog(QChar(u'x'));
        QStringList seen;
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down,
                            Qt::Key_Down, Qt::Key_Down}) {
            QTest::keyClick(dialog.CommandField(), key);
            seen << dialog.CommandField()->text();
        }
        QCOMPARE(seen, (QStringList{"b", "c", "a", "c", "b", "x", "x"}));
    }
};

QTEST_MAIN(TestConsole)
#include "tst_Console.moc"
