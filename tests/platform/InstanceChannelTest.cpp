#include "TestMain.h"

#include "platform/InstanceChannel.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString SettingsA = QStringLiteral("/opt/a/deskword.ini");
const QString SettingsB = QStringLiteral("/opt/b/deskword.ini");

// What a crashed program leaves behind: a socket file that nobody listens on.
bool leaveDeadSocket(const QString& path)
{
    const QByteArray native = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof(address.sun_path))) {
        return false;
    }
    std::copy(native.begin(), native.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

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
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 2);
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
        // The listener drops a client that sends anything but the request.
        const bool dropped = elsewhere([name] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (!socket.waitForConnected(10000)) {
                return false;
            }
            socket.write(QByteArray(100, 'x'));
            socket.waitForBytesWritten(10000);
            return socket.state() == QLocalSocket::UnconnectedState ||
                   socket.waitForDisconnected(10000);
        });
        QVERIFY(dropped);
        QVERIFY(requestOpen(SettingsA));
        QTRY_COMPARE(opened.count(), 1);
    }
};

DESKWORD_TEST_MAIN(InstanceChannelTest)
#include "InstanceChannelTest.moc"
