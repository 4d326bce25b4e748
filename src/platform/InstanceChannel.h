#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// The line between a running instance and a second start of the program: the running
// one listens on a local socket named after its settings file, and a second start
// asks it to open its editor before it ends. Two programs with different settings
// files never hear each other.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    // key: the settings file's path.
    explicit InstanceChannel(const QString& key, QObject* parent = nullptr);

    // Starts listening. A socket left behind by a crashed instance is replaced; one
    // that a live program answers on is left to it (false).
    bool listen();

    // Asks the instance listening for the key to open its editor; true when it
    // confirmed the request. Waits at most timeoutMs milliseconds in all.
    static bool requestOpen(const QString& key, int timeoutMs = 2000);

    // The socket's path: in the user's runtime folder, named after the key's hash.
    static QString serverName(const QString& key);

signals:
    // A second start asked for the editor.
    void openRequested();

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* client);

    QString m_key;
    QLocalServer* m_server = nullptr;
};
