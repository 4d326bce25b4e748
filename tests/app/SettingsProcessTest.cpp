#include "TestMain.h"

#include "WriterText.h"
#include "app/IniDocument.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The settings file as the kill test starts it, with TEXT holding the given text.
QByteArray fileWithText(const QString& text)
{
    return "; written by hand\r\n[Other]\r\nTEXT=other\r\n\r\n[DATA]\r\nFontBold=True\r\nTEXT=" +
           text.toUtf8() + "\r\nXPOS=150\r\n";
}

} // namespace

// The settings file as other processes see it: where a program in a read-only folder
// keeps it, and that a write killed at any moment leaves a whole file.
class SettingsProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void testLocation_data()
    {
        const QByteArray oldFile("[DATA]\nTEXT=old\n");
        const QByteArray newFile("[DATA]\nTEXT=new\n");
        const QByteArray none;
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<int>("fileMode"); // 0: no file beside the program
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QByteArray>("besideAfter");
        QTest::addColumn<QByteArray>("inConfigAfter");

        QTest::newRow("writable folder") << true << 0 << "new" << newFile << none;
        QTest::newRow("read-only folder") << false << 0 << "new" << none << newFile;
        QTest::newRow("read-only folder, writable file")
            << false << 0666 << "new" << newFile << none;
        QTest::newRow("writable folder, read-only file")
            << true << 0444 << "old" << oldFile << none;
        QTest::newRow("read-only folder, read-only file")
            << false << 0444 << "new" << oldFile << newFile;
    }

    // Runs the writer as an unprivileged user when the test runs as root, for whom no
    // folder is read-only.
    void testLocation()
    {
        QFETCH(bool, folderWritable);
        QFETCH(int, fileMode);
        QFETCH(QString, readBack);
        QFETCH(QByteArray, besideAfter);
        QFETCH(QByteArray, inConfigAfter);

        QTemporaryDir base;
        QVERIFY(base.isValid());
        const QString program = base.filePath(QStringLiteral("program"));
        const QString config = base.filePath(QStringLiteral("config"));
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(config));
        const auto everyone = QFileDevice::Permissions(0x7777);
        QVERIFY(QFile::setPermissions(base.path(), QFileDevice::Permissions(0x7755)));
        QVERIFY(QFile::setPermissions(config, everyone));
        const QString beside = program + QStringLiteral("/deskword.ini");
        const QString inConfig = config + QStringLiteral("/deskword/deskword.ini");
        if (fileMode != 0) {
            QVERIFY(writeAll(beside, "[DATA]\nTEXT=old\n"));
            const int owner = (fileMode >> 6) & 7;
            const int group = (fileMode >> 3) & 7;
            const int other = fileMode & 7;
            QVERIFY(QFile::setPermissions(
                beside,
                QFileDevice::Permissions((owner << 12) | (owner << 8) | (group << 4) | other)));
        }
        QVERIFY(QFile::setPermissions(program, folderWritable ? everyone
                                                              : QFileDevice::Permissions(0x5555)));
        const auto restore = qScopeGuard([&] { QFile::setPermissions(program, everyone); });

        QProcess writer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        writer.setProcessEnvironment(environment);
        if (geteuid() == 0) {
            writer.setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0) {
                    _exit(99);
                }
            });
        }
        writer.start(
            QStringLiteral(SETTINGS_WRITER),
            {program, QStringLiteral("deskword"), QStringLiteral("TEXT"), QStringLiteral("new")});
        QVERIFY2(writer.waitForFinished(20000), qPrintable(writer.errorString()));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(writer.readAllStandardOutput()).trimmed(), readBack);

        QCOMPARE(QFile::exists(beside), !besideAfter.isNull());
        QCOMPARE(readAll(beside), besideAfter);
        QCOMPARE(QFile::exists(inConfig), !inConfigAfter.isNull());
        QCOMPARE(readAll(inConfig), inConfigAfter);
    }

    // Kills a process that writes TEXT over and over, at a random moment of a write,
    // for a few seconds; every time the file must be the one before that write or the
    // one after it, byte for byte.
    void testKilledWriteLeavesWholeFile()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("deskword.ini"));
        QVERIFY(writeAll(path, fileWithText(writerText(0))));

        QRandomGenerator random(7);
        QElapsedTimer clock;
        clock.start();
        int rounds = 0;
        int midWrite = 0;
        qint64 writeMicroseconds = 2000;
        while (clock.elapsed() < 3000 || rounds < 5) {
            QProcess writer;
            writer.start(QStringLiteral(SETTINGS_WRITER),
                         {folder.path(), QStringLiteral("deskword"), QStringLiteral("--loop")});
            QVERIFY2(writer.waitForStarted(10000), qPrintable(writer.errorString()));
            // Wait for one to three finished writes, measuring how long one takes.
            int written = 0;
            const int wanted = random.bounded(1, 4);
            QElapsedTimer sinceFirst;
            while (written < wanted) {
                QVERIFY(writer.waitForReadyRead(10000));
                while (writer.canReadLine()) {
                    written = writer.readLine().trimmed().toInt();
                    if (written == 1) {
                        sinceFirst.start();
                    }
                }
            }
            if (written > 1) {
                writeMicroseconds = sinceFirst.nsecsElapsed() / 1000 / (written - 1);
            }
            // The random moment to kill at, anywhere within the next write.
            QThread::usleep(static_cast<unsigned long>(random.bounded(writeMicroseconds + 1)));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            while (writer.canReadLine()) {
                written = writer.readLine().trimmed().toInt();
            }

            const QByteArray bytes = readAll(path);
            const int n = writerTextNumber(IniDocument::fromBytes(bytes).value(u"DATA", u"TEXT"));
            QVERIFY2(n == written || n == written + 1,
                     qPrintable(QStringLiteral("round %1: wrote %2, file holds %3")
                                    .arg(rounds)
                                    .arg(written)
                                    .arg(n)));
            QCOMPARE(bytes, fileWithText(writerText(n)));
            midWrite += n == written ? 1 : 0;
            ++rounds;
        }
        qInfo("%d kills, %d of them before the write they interrupted was in place", rounds,
              midWrite);
    }
};

DESKWORD_TEST_MAIN(SettingsProcessTest)
#include "SettingsProcessTest.moc"
