#pragma once

#include <QObject>

class QSocketNotifier;

// Tells the program that it is asked to end: SIGTERM, SIGHUP or SIGINT (at logout,
// from a service manager, or Ctrl+C in a terminal), or the session manager's
// request to save (commitDataRequest) and the application's own quit. The signals
// come through SignalPipe (installed at the program's first line, or here); the event
// loop reads them and emits `requested`, once, so everything the program does about
// it runs as a normal event. One instance at a time; it restores the default signal
// handling when it is destroyed.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

signals:
    // The program should end as through its own Exit command.
    void requested();

private:
    void readSignals();
    void request();

    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;
};
