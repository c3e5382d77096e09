#include "ConsoleSocket.h"

#include <QHostInfo>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Reads per wake-up: enough to keep up with a fast server, few enough that painting and
// input get their turn between them.
constexpr int kReadsPerWake = 16;

} // namespace

int WsaErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return 0;
    case ECONNREFUSED:
        return WsaConnectionRefused;
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN:
        return WsaHostUnreachable;
    case ETIMEDOUT:
        return WsaTimedOut;
    case ECONNRESET:
    case EPIPE:
        return WsaConnectionReset;
    case ECONNABORTED:
        return WsaConnectionAborted;
    case EACCES:
        return 10013;
    case EINVAL:
        return 10022;
    case EMFILE:
        return 10024;
    case EAFNOSUPPORT:
        return 10047;
    case EADDRINUSE:
        return 10048;
    case EADDRNOTAVAIL:
        return WsaAddressNotAvailable;
    case ENOBUFS:
        return 10055;
    case ENOTCONN:
        return 10057;
    default:
        return 10000 + error;
    }
}

CConsoleSocket::CConsoleSocket(QObject* parent) : QObject(parent) {
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(ConnectTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] { FailConnect(WsaTimedOut); });
}

CConsoleSocket::~CConsoleSocket() {
    Close();
}

void CConsoleSocket::ConnectToHost(const QString& host, int port) {
    Close();
    m_lastError = 0;
    if (port < 1 || port > 65535) {
        FailConnect(WsaAddressNotAvailable);
        return;
    }
    m_port = quint16(port);
    m_timeout.start();
    QHostAddress literal;
    if (literal.setAddress(host)) {
        OnLookedUp({literal}, 0);
        return;
    }
    if (host.trimmed().isEmpty()) {
        FailConnect(WsaHostNotFound);
        return;
    }
    m_state = State::LookingUp;
    m_lookupId = QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        m_lookupId = -1;
        OnLookedUp(info.addresses(), info.error() == QHostInfo::NoError ? 0 : WsaHostNotFound);
    });
}

void CConsoleSocket::OnLookedUp(const QList<QHostAddress>& addresses, int error) {
    if (error != 0 || addresses.isEmpty()) {
        FailConnect(WsaHostNotFound);
        return;
    }
    m_addresses = addresses;
    m_state = State::Connecting;
    ConnectNextAddress();
}

void CConsoleSocket::ConnectNextAddress() {
    ReleaseDescriptor();
    if (m_addresses.isEmpty()) {
        FailConnect(m_lastError != 0 ? m_lastError : WsaHostUnreachable);
        return;
    }
    const QHostAddress address = m_addresses.takeFirst();
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        auto* in = reinterpret_cast<sockaddr_in*>(&storage);
        in->sin_family = AF_INET;
        in->sin_port = htons(m_port);
        in->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(m_port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        length = sizeof(sockaddr_in6);
    }
    m_fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        m_lastError = WsaErrorFromErrno(errno);
        ConnectNextAddress();
        return;
    }
    // Commands are short lines typed by a person: each goes out at once.
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(m_fd, reinterpret_cast<sockaddr*>(&storage), length) == 0) {
        OnConnectProgress();
        return;
    }
    if (errno != EINPROGRESS) {
        m_lastError = WsaErrorFromErrno(errno);
        ConnectNextAddress();
        return;
    }
    WatchWritable();
}

// Writability first tells that a connection attempt has finished, later that there is
// room for more of what waits to be sent.
void CConsoleSocket::WatchWritable() {
    m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] {
        if (m_state == State::Connecting)
            OnConnectProgress();
        else
            FlushOutgoing();
    });
}

void CConsoleSocket::OnConnectProgress() {
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error != 0) {
        m_lastError = WsaErrorFromErrno(error);
        ConnectNextAddress();
        return;
    }
    m_timeout.stop();
    m_state = State::Connected;
    m_addresses.clear();
    if (m_writeNotifier) m_writeNotifier->setEnabled(false);
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &CConsoleSocket::OnReadable);
    emit Connected();
}

void CConsoleSocket::FailConnect(int error) {
    if (m_state == State::Connected || m_state == State::Closed) return;
    Close();
    emit ConnectFailed(error);
}

void CConsoleSocket::OnReadable() {
    char buffer[ReadSize];
    for (int i = 0; i < kReadsPerWake && m_state == State::Connected; ++i) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0) {
            emit Received(QByteArray(buffer, qsizetype(n)));
            continue;
        }
        if (n == 0) {
            CloseWithError(0); // the server closed in order
            return;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) CloseWithError(WsaErrorFromErrno(errno));
        return;
    }
}

bool CConsoleSocket::Send(const QByteArray& bytes) {
    if (m_state != State::Connected) return false;
    m_outgoing += bytes;
    FlushOutgoing();
    return true;
}

void CConsoleSocket::FlushOutgoing() {
    while (!m_outgoing.isEmpty() && m_state == State::Connected) {
        const ssize_t n =
            ::send(m_fd, m_outgoing.constData(), size_t(m_outgoing.size()), MSG_NOSIGNAL);
        if (n >= 0) {
            m_outgoing.remove(0, qsizetype(n));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        CloseWithError(WsaErrorFromErrno(errno));
        return;
    }
    if (m_state != State::Connected) return;
    // Wait for room only while something is left to send.
    if (!m_writeNotifier && !m_outgoing.isEmpty()) WatchWritable();
    if (m_writeNotifier) m_writeNotifier->setEnabled(!m_outgoing.isEmpty());
}

void CConsoleSocket::CloseWithError(int error) {
    Close();
    emit Closed(error);
}

void CConsoleSocket::Close() {
    if (m_lookupId >= 0) QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    m_timeout.stop();
    m_addresses.clear();
    m_outgoing.clear();
    ReleaseDescriptor();
    if (m_state != State::Idle) m_state = State::Closed;
}

void CConsoleSocket::ReleaseDescriptor() {
    // The notifiers stop watching before the descriptor they watch is closed.
    for (QSocketNotifier** notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (!*notifier) continue;
        (*notifier)->setEnabled(false);
        (*notifier)->deleteLater();
        *notifier = nullptr;
    }
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}
