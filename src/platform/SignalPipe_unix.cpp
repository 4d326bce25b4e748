#include "SignalPipe.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> endSignals = {SIGTERM, SIGHUP, SIGINT};

// The pipe the handler writes to; -1 while not installed.
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

bool SignalPipe::install()
{
    if (signalPipe[0] >= 0) {
        return true;
    }
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : endSignals) {
        ::sigaction(number, &action, nullptr);
    }
    return true;
}

void SignalPipe::uninstall()
{
    if (signalPipe[0] < 0) {
        return;
    }
    for (const int number : endSignals) {
        ::signal(number, SIG_DFL);
    }
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

int SignalPipe::readEnd()
{
    return signalPipe[0];
}

bool SignalPipe::drain()
{
    std::array<char, 64> bytes;
    bool any = false;
    while (signalPipe[0] >= 0 && ::read(signalPipe[0], bytes.data(), bytes.size()) > 0) {
        any = true;
    }
    return any;
}
