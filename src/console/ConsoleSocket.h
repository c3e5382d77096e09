#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Error numbers as the console reports them: the Windows Sockets numbering that server
// administrators know from the console's messages.
enum WsaError : int {
    WsaAddressNotAvailable = 10049,
    WsaConnectionAborted = 10053,
    WsaConnectionReset = 10054,
    WsaTimedOut = 10060,
    WsaConnectionRefused = 10061,
    WsaHostUnreachable = 10065,
    WsaHostNotFound = 11001,
};

// An errno value in that numbering (10000 + errno where no Windows name matches).
int WsaErrorFromErrno(int error);

// The console's TCP connection: connects without blocking, reports what arrives in reads
// of at most 4096 bytes, sends bytes in order, and tells an orderly close by the server
// (error 0) from a reset. Every notification comes from the event loop; nothing waits.
//
// A plain socket with notifiers rather than QTcpSocket, which reports a reset by the
// server as an ordinary close.
class CConsoleSocket : public QObject {
    Q_OBJECT

public:
    static constexpr int ReadSize = 4096;
    static constexpr int ConnectTimeoutMs = 10000;

    explicit CConsoleSocket(QObject* parent = nullptr);
    ~CConsoleSocket() override;

    // Looks the host up and tries its addresses in turn; Connected or ConnectFailed follows.
    // A port outside 1..65535 fails as an address that cannot be used.
    void ConnectToHost(const QString& host, int port);
    bool IsConnected() const { return m_state == State::Connected; }
    // Queues the bytes behind what is still unsent; false when there is no connection.
    bool Send(const QByteArray& bytes);
    // Closes without a notification.
    void Close();

signals:
    void Connected();
    void ConnectFailed(int error);
    void Received(const QByteArray& chunk);
    void Closed(int error);

private:
    enum class State { Idle, LookingUp, Connecting, Connected, Closed };

    void OnLookedUp(const QList<QHostAddress>& addresses, int error);
    void ConnectNextAddress();
    void OnConnectProgress();
    void FailConnect(int error);
    void OnReadable();
    void FlushOutgoing();
    void CloseWithError(int error);
    void ReleaseDescriptor();
    void WatchWritable();

    State m_state = State::Idle;
    int m_fd = -1;
    quint16 m_port = 0;
    int m_lookupId = -1;
    QList<QHostAddress> m_addresses;
    int m_lastError = 0;
    QByteArray m_outgoing;
    // Children of the socket, released with deleteLater: one may be the sender of the
    // notification that closes the connection.
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer m_timeout;
};
