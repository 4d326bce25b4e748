#include "TestMain.h"

#include "platform/SessionEnd.h"
#include "platform/SignalPipe.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <memory>

// The end signals reach the program as one event, after the handler has returned.
class SessionEndTest : public QObject
{
    Q_OBJECT

private slots:
    void testSignalsBecomeOneRequest_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("SIGTERM") << SIGTERM << SIGHUP;
        QTest::newRow("SIGHUP") << SIGHUP << SIGINT;
        QTest::newRow("SIGINT") << SIGINT << SIGTERM;
    }

    void testSignalsBecomeOneRequest()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        auto end = std::make_unique<SessionEnd>();
        QSignalSpy requested(end.get(), &SessionEnd::requested);
        QCOMPARE(std::raise(first), 0);
        // Nothing runs inside the handler: the request arrives through the event loop.
        QCOMPARE(requested.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, 10000);
        // The second signal's byte is in the pipe before raise returns, so one pass of
        // the event loop sees it.
        QCOMPARE(std::raise(second), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(requested.count(), 1);
    }

    // A signal that comes before anything listens (the program installs the pipe at
    // its first line) neither ends the process nor is lost.
    void testSignalBeforeTheListenerWaits()
    {
        QVERIFY(SignalPipe::install());
        QCOMPARE(std::raise(SIGTERM), 0);
        auto end = std::make_unique<SessionEnd>();
        QSignalSpy requested(end.get(), &SessionEnd::requested);
        QCOMPARE(requested.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, 10000);
    }

    // The application's quit is the end of the session too.
    void testQuitIsARequest()
    {
        SessionEnd end;
        QSignalSpy requested(&end, &SessionEnd::requested);
        QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit",
                                          Qt::DirectConnection));
        QCOMPARE(requested.count(), 1);
    }
};

DESKWORD_TEST_MAIN(SessionEndTest)
#include "SessionEndTest.moc"
