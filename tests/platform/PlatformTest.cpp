#include "TestMain.h"

#include "platform/Platform.h"

#include <QTest>

// In a Wayland session with an X server the program runs on X11, unless the user
// named a platform.
class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    void testChoose_data()
    {
        QTest::addColumn<QByteArray>("qpa");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("XWayland") << QByteArray() << QByteArray(":0") << QByteArray("wayland-0")
                                  << QByteArray() << QByteArray("xcb");
        QTest::newRow("Wayland session type, X server")
            << QByteArray() << QByteArray(":1") << QByteArray() << QByteArray("wayland")
            << QByteArray("xcb");
        QTest::newRow("user's choice wins")
            << QByteArray("wayland") << QByteArray(":0") << QByteArray("wayland-0")
            << QByteArray("wayland") << QByteArray();
        QTest::newRow("Wayland alone") << QByteArray() << QByteArray() << QByteArray("wayland-0")
                                       << QByteArray("wayland") << QByteArray();
        QTest::newRow("plain X11") << QByteArray() << QByteArray(":0") << QByteArray()
                                   << QByteArray("x11") << QByteArray();
        QTest::newRow("nothing") << QByteArray() << QByteArray() << QByteArray() << QByteArray()
                                 << QByteArray();
    }

    void testChoose()
    {
        QFETCH(QByteArray, qpa);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, expected);
        QCOMPARE(Platform::choose(qpa, display, wayland, session), expected);
    }
};

DESKWORD_TEST_MAIN(PlatformTest)
#include "PlatformTest.moc"
