#include "SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> endSignals = {SIGTERM, SIGHUP, SIGINT};

// The pipe the signal handler writes to; -1 while no SessionEnd exists.
int signalPipe[2] = {-1, -1};

extern "C" void onEndSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    // A full pipe already holds a request: the byte may be dropped.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionEnd::SessionEnd(QObject* parent) : QObject(parent)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignals);
        struct sigaction action = {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int number : endSignals) {
            ::sigaction(number, &action, nullptr);
        }
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { request(); });
    }
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, this, &SessionEnd::request);
    }
}

SessionEnd::~SessionEnd()
{
    if (m_notifier == nullptr) {
        return;
    }
    for (const int number : endSignals) {
        ::signal(number, SIG_DFL);
    }
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SessionEnd::readSignals()
{
    std::array<char, 64> bytes;
    bool any = false;
    while (::read(signalPipe[0], bytes.data(), bytes.size()) > 0) {
        any = true;
    }
    if (any) {
        request();
    }
}

void SessionEnd::request()
{
    if (m_requested) {
        return;
    }
    m_requested = true;
    // What is stored must be what the user sees: the window system may have moved a
    // window (a drop just before the signal) in events not handled yet.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        QGuiApplication::sync();
    }
    emit requested();
}
