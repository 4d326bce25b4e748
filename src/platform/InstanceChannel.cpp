#include "InstanceChannel.h"

#include "RuntimeFile.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace {

const QByteArray OpenRequest = QByteArrayLiteral("open\n");
const QByteArray OpenConfirmed = QByteArrayLiteral("ok\n");
// A request is one short line; anything longer is not ours.
constexpr qint64 MaxRequestLength = 64;
constexpr int ProbeTimeoutMs = 1000;

} // namespace

InstanceChannel::InstanceChannel(const QString& key, QObject* parent)
    : QObject(parent), m_key(key), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::onNewConnection);
}

QString InstanceChannel::serverName(const QString& key)
{
    return RuntimeFile::path(key, QStringLiteral(".socket"));
}

bool InstanceChannel::listen()
{
    const QString name = serverName(m_key);
    // A live program answers on the socket and keeps it; a socket file left by a
    // crash refuses the connection and is replaced. (Qt's listen would replace either:
    // with access options it binds elsewhere and renames over the name.)
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(ProbeTimeoutMs)) {
        probe.abort();
        return false;
    }
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool InstanceChannel::requestOpen(const QString& key, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(serverName(key));
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return false;
    }
    socket.write(OpenRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime()))) {
            return false;
        }
    }
    return socket.readLine() == OpenConfirmed;
}

void InstanceChannel::onNewConnection()
{
    while (QLocalSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { onReadyRead(client); });
    }
}

void InstanceChannel::onReadyRead(QLocalSocket* client)
{
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > MaxRequestLength) {
            client->abort();
        }
        return;
    }
    const QByteArray request = client->readLine(MaxRequestLength);
    if (request != OpenRequest) {
        client->abort();
        return;
    }
    client->write(OpenConfirmed);
    client->flush();
    client->disconnectFromServer();
    emit openRequested();
}
