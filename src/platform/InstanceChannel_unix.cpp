#include "InstanceChannel.h"

#include "RuntimeFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

const QByteArray OpenRequest = QByteArrayLiteral("open\n");
const QByteArray QuitRequest = QByteArrayLiteral("quit\n");
const QByteArray Confirmed = QByteArrayLiteral("ok\n");
// A request is one short line; anything longer is not ours.
constexpr qsizetype MaxRequestLength = 64;
// After a failed accept (no descriptor left), the pause before listening again.
constexpr int RetryMs = 250;
// A busy instance is asked again after this pause.
constexpr int BusyRetryMs = 50;

bool socketAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof(address.sun_path))) {
        return false;
    }
    std::copy(native.begin(), native.end(), address.sun_path);
    return true;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Waits until the descriptor is ready for the events or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(std::max<qint64>(0, deadline.remainingTime())));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

// Connects without blocking; -1 with errno set on failure (EAGAIN: the listener's
// backlog is full).
int connectTo(const QString& path)
{
    sockaddr_un address;
    if (!socketAddress(path, address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = newSocket();
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        return fd;
    }
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
}

// True when the peer closes the connection before the deadline; what it sends
// meanwhile is ignored.
bool waitUntilClosed(int fd, const QDeadlineTimer& deadline)
{
    char buffer[64];
    while (waitFor(fd, POLLIN, deadline)) {
        const ssize_t count = ::read(fd, buffer, sizeof(buffer));
        if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
            return true;
        }
    }
    return false;
}

bool sameUser(int fd)
{
    ucred peer{};
    socklen_t length = sizeof(peer);
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

} // namespace

struct InstanceChannel::State
{
    struct Client
    {
        int fd = -1;
        QSocketNotifier* notifier = nullptr;
        QTimer* deadline = nullptr;
        QByteArray received;
    };

    InstanceChannel* channel = nullptr;
    QString path;
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QTimer* retry = nullptr;
    // Tells when the socket file goes away while nothing fails (removed by hand, or by
    // a clean-up of the runtime folder), so that it is made anew at once.
    QFileSystemWatcher* watcher = nullptr;
    // The socket file this channel made; another one at the path is not its own.
    dev_t device = 0;
    ino_t inode = 0;
    std::vector<Client> clients;
    // Clients that asked the program to end: answered, and closed when it has.
    std::vector<int> ending;

    bool answered() const;
    bool bindAndListen();
    bool ownsSocketFile() const;
    void stopListening();
    void acceptClients();
    void pause();
    void listenAgain();
    void socketFileChanged();
    void readClient(int clientFd);
    void dropClient(int clientFd);
};

bool InstanceChannel::State::answered() const
{
    const int probe = connectTo(path);
    if (probe < 0) {
        return false;
    }
    ::close(probe);
    return true;
}

bool InstanceChannel::State::bindAndListen()
{
    stopListening();
    sockaddr_un address;
    if (!socketAddress(path, address)) {
        return false;
    }
    // The socket is made in a private folder of its own, given its mode there, and
    // moved into place: nobody else can connect in between.
    const QString folder = QFileInfo(path).absolutePath();
    QByteArray privateFolder = QFile::encodeName(folder + QStringLiteral("/.deskword-XXXXXX"));
    if (::mkdtemp(privateFolder.data()) == nullptr) {
        return false;
    }
    const QByteArray staging = privateFolder + "/socket";
    sockaddr_un stagingAddress;
    const int listener = newSocket();
    bool ok = listener >= 0 && socketAddress(QFile::decodeName(staging), stagingAddress) &&
              ::bind(listener, reinterpret_cast<const sockaddr*>(&stagingAddress),
                     sizeof(stagingAddress)) == 0 &&
              ::chmod(staging.constData(), S_IRWXU | S_ISVTX) == 0 &&
              ::listen(listener, SOMAXCONN) == 0 &&
              ::rename(staging.constData(), address.sun_path) == 0;
    ::unlink(staging.constData());
    ::rmdir(privateFolder.constData());
    struct stat info
    {
    };
    ok = ok && ::stat(address.sun_path, &info) == 0;
    if (!ok) {
        if (listener >= 0) {
            ::close(listener);
        }
        return false;
    }
    fd = listener;
    device = info.st_dev;
    inode = info.st_ino;
    notifier = new QSocketNotifier(fd, QSocketNotifier::Read, channel);
    QObject::connect(notifier, &QSocketNotifier::activated, channel, [this] { acceptClients(); });
    if (watcher == nullptr) {
        watcher = new QFileSystemWatcher(channel);
        QObject::connect(watcher, &QFileSystemWatcher::fileChanged, channel,
                         [this] { socketFileChanged(); });
    }
    watcher->addPath(path);
    return true;
}

bool InstanceChannel::State::ownsSocketFile() const
{
    struct stat info
    {
    };
    return fd >= 0 && ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           info.st_dev == device && info.st_ino == inode;
}

void InstanceChannel::State::stopListening()
{
    if (fd < 0) {
        return;
    }
    delete notifier;
    notifier = nullptr;
    if (watcher != nullptr) {
        watcher->removePath(path);
    }
    if (ownsSocketFile()) {
        ::unlink(QFile::encodeName(path).constData());
    }
    ::close(fd);
    fd = -1;
}

void InstanceChannel::State::acceptClients()
{
    for (;;) {
        const int client = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                pause();
            }
            return;
        }
        if (int(clients.size()) >= MaxClients || !sameUser(client)) {
            ::close(client);
            continue;
        }
        Client entry{client,
                     new QSocketNotifier(client, QSocketNotifier::Read, channel),
                     new QTimer(channel),
                     {}};
        QObject::connect(entry.notifier, &QSocketNotifier::activated, channel,
                         [this, client] { readClient(client); });
        entry.deadline->setSingleShot(true);
        QObject::connect(entry.deadline, &QTimer::timeout, channel,
                         [this, client] { dropClient(client); });
        entry.deadline->start(ClientTimeoutMs);
        clients.push_back(entry);
    }
}

void InstanceChannel::State::pause()
{
    if (notifier != nullptr) {
        notifier->setEnabled(false);
    }
    retry->start(RetryMs);
}

void InstanceChannel::State::listenAgain()
{
    // The socket file may have gone meanwhile (removed by hand, or a cleaner of the
    // runtime folder): then the channel makes it anew.
    if (ownsSocketFile()) {
        notifier->setEnabled(true);
        acceptClients();
    } else if (!bindAndListen()) {
        retry->start(RetryMs);
    }
}

void InstanceChannel::State::socketFileChanged()
{
    if (fd < 0 || ownsSocketFile()) {
        return;
    }
    // A changed file is watched no more; the new one is watched once made.
    watcher->removePath(path);
    if (!bindAndListen()) {
        retry->start(RetryMs);
    }
}

void InstanceChannel::State::readClient(int clientFd)
{
    const auto found = std::find_if(clients.begin(), clients.end(),
                                    [clientFd](const Client& c) { return c.fd == clientFd; });
    if (found == clients.end()) {
        return;
    }
    char buffer[MaxRequestLength];
    const ssize_t count = ::read(clientFd, buffer, sizeof(buffer));
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (count <= 0) {
        dropClient(clientFd);
        return;
    }
    found->received.append(buffer, count);
    if (!found->received.contains('\n')) {
        if (found->received.size() >= MaxRequestLength) {
            dropClient(clientFd);
        }
        return;
    }
    const QByteArray request = found->received;
    if (request != OpenRequest && request != QuitRequest) {
        dropClient(clientFd);
        return;
    }
    // A few bytes always fit into a fresh socket's buffer.
    [[maybe_unused]] const ssize_t written =
        ::write(clientFd, Confirmed.constData(), size_t(Confirmed.size()));
    if (request == QuitRequest) {
        // The connection stays open until the process ends: the client learns from
        // its close that the program has ended.
        found->notifier->setEnabled(false);
        found->deadline->stop();
        found->notifier->deleteLater();
        found->deadline->deleteLater();
        ending.push_back(clientFd);
        clients.erase(found);
        emit channel->quitRequested();
        return;
    }
    dropClient(clientFd);
    emit channel->openRequested();
}

void InstanceChannel::State::dropClient(int clientFd)
{
    const auto found = std::find_if(clients.begin(), clients.end(),
                                    [clientFd](const Client& c) { return c.fd == clientFd; });
    if (found == clients.end()) {
        return;
    }
    found->notifier->setEnabled(false);
    found->deadline->stop();
    // Inside their own signals: deleted once control is back in the event loop.
    found->notifier->deleteLater();
    found->deadline->deleteLater();
    ::close(found->fd);
    clients.erase(found);
    if (retry->isActive() && notifier != nullptr && !notifier->isEnabled()) {
        // A descriptor came free: no need to wait for the retry.
        retry->stop();
        listenAgain();
    }
}

InstanceChannel::InstanceChannel(const QString& key, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>())
{
    m_state->channel = this;
    m_state->path = serverName(key);
    m_state->retry = new QTimer(this);
    m_state->retry->setSingleShot(true);
    connect(m_state->retry, &QTimer::timeout, this, [this] { m_state->listenAgain(); });
}

InstanceChannel::~InstanceChannel()
{
    for (const State::Client& client : m_state->clients) {
        delete client.notifier;
        delete client.deadline;
        ::close(client.fd);
    }
    for (const int client : m_state->ending) {
        ::close(client);
    }
    m_state->stopListening();
}

QString InstanceChannel::serverName(const QString& key)
{
    return RuntimeFile::path(key, QStringLiteral(".socket"));
}

bool InstanceChannel::listen()
{
    // A live program answers on the socket and keeps it; a socket file left by a
    // crash refuses the connection and is replaced.
    if (m_state->answered()) {
        return false;
    }
    ::unlink(QFile::encodeName(m_state->path).constData());
    return m_state->bindAndListen();
}

void InstanceChannel::close()
{
    m_state->retry->stop();
    while (!m_state->clients.empty()) {
        m_state->dropClient(m_state->clients.front().fd);
    }
    m_state->stopListening();
}

int InstanceChannel::clientCount() const
{
    return int(m_state->clients.size());
}

InstanceChannel::Reply InstanceChannel::send(const QString& key, Request request, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const QString path = serverName(key);
    const QByteArray& line = request == Request::Quit ? QuitRequest : OpenRequest;
    for (;;) {
        const int fd = connectTo(path);
        if (fd < 0 && errno != EAGAIN) {
            return errno == ENOENT || errno == ECONNREFUSED || errno == ENAMETOOLONG
                       ? Reply::NoProgram
                       : Reply::NoAnswer;
        }
        const bool sent =
            fd >= 0 && waitFor(fd, POLLOUT, deadline) &&
            ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) == ssize_t(line.size());
        QByteArray reply;
        if (sent) {
            char buffer[8];
            while (!reply.contains('\n') && waitFor(fd, POLLIN, deadline)) {
                const ssize_t count = ::read(fd, buffer, sizeof(buffer));
                if (count > 0) {
                    reply.append(buffer, count);
                } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
                    break;
                }
            }
        }
        if (reply == Confirmed) {
            const bool done = request != Request::Quit || waitUntilClosed(fd, deadline);
            ::close(fd);
            return done ? Reply::Done : Reply::NoAnswer;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        // Closed without an answer, or no room to connect: the instance serves as many
        // clients as it will. Asked again shortly.
        if (deadline.remainingTime() <= BusyRetryMs) {
            return Reply::NoAnswer;
        }
        waitFor(-1, 0, QDeadlineTimer(BusyRetryMs));
    }
}

bool InstanceChannel::requestOpen(const QString& key, int timeoutMs)
{
    return send(key, Request::Open, timeoutMs) == Reply::Done;
}
