#include "TestMain.h"

#include "platform/InstanceChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <future>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;

const QString SettingsA = QStringLiteral("/opt/a/deskword.ini");
const QString SettingsB = QStringLiteral("/opt/b/deskword.ini");

// What a crashed program leaves behind: a socket file that nobody listens on.
sockaddr_un addressOf(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy_n(native.begin(), std::min<qsizetype>(native.size(), sizeof(address.sun_path) - 1),
                address.sun_path);
    return address;
}

bool leaveDeadSocket(const QString& path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

// A client that connects and then says nothing; -1 when no connection was made.
int idleClient(const QString& path)
{
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// True when the listener has closed the client's connection.
bool closedByServer(int fd)
{
    pollfd entry{fd, POLLIN, 0};
    char byte = 0;
    return ::poll(&entry, 1, 0) == 1 && ::read(fd, &byte, 1) == 0;
}

void closeAll(std::vector<int>& fds)
{
    for (const int fd : fds) {
        ::close(fd);
    }
    fds.clear();
}

// Lowers the descriptor limit for its lifetime.
class DescriptorLimit
{
public:
    explicit DescriptorLimit(rlim_t soft)
    {
        ::getrlimit(RLIMIT_NOFILE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = soft;
        m_lowered = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &m_saved); }
    DescriptorLimit(const DescriptorLimit&) = delete;
    DescriptorLimit& operator=(const DescriptorLimit&) = delete;
    bool lowered() const { return m_lowered; }

private:
    rlimit m_saved{};
    bool m_lowered = false;
};

} // namespace

// The local socket between a running program and a second start, with the second
// start on another thread as it would be in another process.
class InstanceChannelTest : public QObject
{
    Q_OBJECT

private:
    // Runs fn on another thread while this thread's event loop serves the channels.
    template <class Fn> static auto elsewhere(Fn fn)
    {
        auto result = std::async(std::launch::async, fn);
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(result.wait_for(0ms) == std::future_status::ready, 20000);
        }();
        return result.get();
    }

    static bool requestOpen(const QString& key)
    {
        return elsewhere([key] { return InstanceChannel::requestOpen(key, 10000); });
    }

private slots:
    void testSecondStartIsHeardOnce()
    {
        InstanceChannel channel(SettingsA);
        QSignalSpy opened(&channel, &InstanceChannel::openRequested);
        QVERIFY(channel.listen());
        // Only the user may connect.
        struct stat info
        {
        };
        QCOMPARE(::stat(qPrintable(InstanceChannel::serverName(SettingsA)), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & 0777, 0700u);
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 2);
    }

    void testQuitIsConfirmedAndHeldUntilTheEnd()
    {
        auto channel = std::make_unique<InstanceChannel>(SettingsA);
        QSignalSpy quit(channel.get(), &InstanceChannel::quitRequested);
        QSignalSpy opened(channel.get(), &InstanceChannel::openRequested);
        QVERIFY(channel->listen());
        auto reply = std::async(std::launch::async, [] {
            return InstanceChannel::send(SettingsA, InstanceChannel::Request::Quit, 20000);
        });
        QTRY_COMPARE(quit.count(), 1);
        // The sender waits until the program has ended: here, until the channel goes.
        QCoreApplication::processEvents();
        QVERIFY(reply.wait_for(100ms) == std::future_status::timeout);
        channel.reset();
        QCOMPARE(reply.get(), InstanceChannel::Reply::Done);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(InstanceChannel::send(SettingsA, InstanceChannel::Request::Quit, 2000),
                 InstanceChannel::Reply::NoProgram);
    }

    // Idle clients get a short time, only a few are served at once, and a later start
    // still gets through once the idle ones are gone.
    void testIdleClientsAreCappedAndTimedOut()
    {
        InstanceChannel channel(SettingsA);
        QSignalSpy opened(&channel, &InstanceChannel::openRequested);
        QVERIFY(channel.listen());
        const QString path = InstanceChannel::serverName(SettingsA);
        std::vector<int> idle;
        for (int i = 0; i < InstanceChannel::MaxClients; ++i) {
            idle.push_back(idleClient(path));
            QVERIFY(idle.back() >= 0);
        }
        QTRY_COMPARE(channel.clientCount(), InstanceChannel::MaxClients);
        const int extra = idleClient(path);
        QVERIFY(extra >= 0);
        QTRY_VERIFY(closedByServer(extra));
        ::close(extra);
        QCOMPARE(channel.clientCount(), InstanceChannel::MaxClients);
        // The request waits out the idle clients' time.
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
        QTRY_COMPARE(channel.clientCount(), 0);
        for (const int fd : idle) {
            QVERIFY(closedByServer(fd));
        }
        closeAll(idle);
    }

    // Clients that take every descriptor make accepting fail; once they are gone the
    // channel listens again, on a socket file made anew if it was removed meanwhile
    // (which only the pause after the failure looks for).
    void testListensAgainAfterRunningOutOfDescriptors()
    {
        InstanceChannel channel(SettingsA);
        QSignalSpy opened(&channel, &InstanceChannel::openRequested);
        QVERIFY(channel.listen());
        const QString path = InstanceChannel::serverName(SettingsA);
        std::vector<int> idle;
        {
            const int open = int(QDir(QStringLiteral("/proc/self/fd")).count());
            const DescriptorLimit limit(rlim_t(open + 64));
            QVERIFY(limit.lowered());
            // Connections wait in the listener's backlog until every descriptor is taken.
            for (int fd = idleClient(path); fd >= 0; fd = idleClient(path)) {
                idle.push_back(fd);
            }
            QCOMPARE(errno, EMFILE);
            QVERIFY(idle.size() > 16);
            // The waiting connections make the listener readable: accepting fails now.
            QCoreApplication::processEvents();
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(QFile::remove(path));
            closeAll(idle);
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path), 5000);
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
    }

    // The socket file is marked for a clean-up of the runtime folder to leave alone;
    // removed anyway while nothing fails, it is made anew at once, and only while the
    // channel listens.
    void testSocketFileIsKept()
    {
        const QString path = InstanceChannel::serverName(SettingsA);
        {
            InstanceChannel channel(SettingsA);
            QSignalSpy opened(&channel, &InstanceChannel::openRequested);
            QVERIFY(channel.listen());
            struct stat info
            {
            };
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
            QVERIFY(S_ISSOCK(info.st_mode));
            QCOMPARE(info.st_mode & 07777, mode_t(S_IRWXU | S_ISVTX));
            for (int removal = 0; removal < 2; ++removal) {
                QVERIFY(QFile::remove(path));
                QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path), 5000);
                QVERIFY(requestOpen(SettingsA));
                QTRY_COMPARE(opened.count(), removal + 1);
            }
            channel.close();
            QVERIFY(!QFileInfo::exists(path));
            QCoreApplication::processEvents();
            QVERIFY(!QFileInfo::exists(path));
        }
        QVERIFY(!QFileInfo::exists(path));
    }

    void testSocketLeftByCrashIsReplaced()
    {
        const QString path = InstanceChannel::serverName(SettingsA);
        QVERIFY(leaveDeadSocket(path));
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!InstanceChannel::requestOpen(SettingsA, 2000));

        InstanceChannel channel(SettingsA);
        QSignalSpy opened(&channel, &InstanceChannel::openRequested);
        QVERIFY(channel.listen());
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
    }

    void testLiveListenerIsNotTakenOver()
    {
        InstanceChannel first(SettingsA);
        QSignalSpy firstOpened(&first, &InstanceChannel::openRequested);
        QVERIFY(first.listen());
        InstanceChannel second(SettingsA);
        QSignalSpy secondOpened(&second, &InstanceChannel::openRequested);
        QVERIFY(!second.listen());
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(firstOpened.count(), 1);
        QCOMPARE(secondOpened.count(), 0);
    }

    void testOtherSettingsFilesStayApart()
    {
        QVERIFY(InstanceChannel::serverName(SettingsA) != InstanceChannel::serverName(SettingsB));
        InstanceChannel a(SettingsA);
        QSignalSpy aOpened(&a, &InstanceChannel::openRequested);
        QVERIFY(a.listen());
        InstanceChannel b(SettingsB);
        QSignalSpy bOpened(&b, &InstanceChannel::openRequested);
        QVERIFY(b.listen());
        QVERIFY(requestOpen(SettingsB));
        QTRY_COMPARE(bOpened.count(), 1);
        QCOMPARE(aOpened.count(), 0);
    }

    void testForeignTextIsRefused()
    {
        InstanceChannel channel(SettingsA);
        QSignalSpy opened(&channel, &InstanceChannel::openRequested);
        QVERIFY(channel.listen());
        const QString name = InstanceChannel::serverName(SettingsA);
        // The listener drops a client that sends anything but the request, at once.
        for (const QByteArray& text : {QByteArray(100, 'x'), QByteArray("close\n")}) {
            const int client = idleClient(name);
            QVERIFY(client >= 0);
            QCOMPARE(::write(client, text.constData(), size_t(text.size())), ssize_t(text.size()));
            QTRY_VERIFY_WITH_TIMEOUT(closedByServer(client), 1000);
            ::close(client);
        }
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
    }
};

DESKWORD_TEST_MAIN(InstanceChannelTest)
#include "InstanceChannelTest.moc"
