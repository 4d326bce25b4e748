#pragma once

#include <QObject>
#include <QString>
#include <memory>

// The line between a running instance and a later start of the program: the running
// one listens on a local socket named after its settings file, and a later start
// sends it one request line (open the editor, or end) before it ends. Two programs
// with different settings files never hear each other.
//
// The socket is only the user's: its file is 0700 and a client of another user is
// dropped at once. A client gets a short time to send its line, and only a few are
// served at once; any further connection is closed at once, so idle clients cannot
// use up the program's descriptors. When accepting fails (no descriptor left), the
// channel pauses and listens again. Whenever the socket file goes away while the
// channel listens, it is made anew at once; it carries the sticky bit, so a periodic
// clean-up of the runtime folder leaves it alone.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Request
    {
        Open,
        Quit
    };

    // What the running instance answered.
    enum class Reply
    {
        Done,      // it confirmed the request
        NoProgram, // nothing listens for the key
        NoAnswer   // a program listens but did not confirm in time
    };

    // Clients served at once, and the time each has to send its request.
    static constexpr int MaxClients = 8;
    static constexpr int ClientTimeoutMs = 2000;

    // key: the settings file's path.
    explicit InstanceChannel(const QString& key, QObject* parent = nullptr);
    ~InstanceChannel() override;
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Starts listening. A socket left behind by a crashed instance is replaced; one
    // that a live program answers on is left to it (false).
    bool listen();
    // Stops listening and removes the socket file. A client that asked the program to
    // end stays connected until the channel is destroyed or the process ends, so it
    // learns when that has happened.
    void close();

    // Sends the request to the instance listening for the key and waits at most
    // timeoutMs milliseconds in all for its confirmation. A busy instance (its
    // clients all taken) is asked again until the time is up. For Quit, once
    // confirmed, it also waits (within the same time) until the instance has ended.
    static Reply send(const QString& key, Request request, int timeoutMs = 5000);
    // Asks the instance to open its editor; true when it confirmed.
    static bool requestOpen(const QString& key, int timeoutMs = 5000);

    // The socket's path: in the user's runtime folder, named after the key's hash.
    static QString serverName(const QString& key);

    // Clients connected and not yet answered.
    int clientCount() const;

signals:
    // A later start asked for the editor.
    void openRequested();
    // A later start asked the program to end as its Exit does.
    void quitRequested();

private:
    struct State;
    std::unique_ptr<State> m_state;
};
