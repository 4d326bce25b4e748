#include "TestMain.h"

#include "WriterText.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
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

const auto everyone = QFileDevice::Permissions(0x7777);
const auto readAndRunByAll = QFileDevice::Permissions(0x7755);

// The lines of the writer's error output that are messages to the user.
QStringList messagesOf(const QByteArray& errorOutput)
{
    QStringList messages;
    for (const QString& line : QString::fromUtf8(errorOutput).split(u'\n')) {
        if (line.startsWith(QStringLiteral("message: "))) {
            messages.append(line.mid(9));
        }
    }
    return messages;
}

// The settings writer, copied into `folder` (readable and runnable by every user),
// started there: as user 65534 when the test runs as root, for whom no folder is
// read-only. The build folder may lie where that user cannot go (a clone inside a
// 0700 folder), so nothing the writer needs is taken from there.
class Writer : public QProcess
{
public:
    Writer(const QString& folder, const QString& configFolder, bool asOtherUser = true)
    {
        m_program = folder + QStringLiteral("/settings_writer");
        QFile::remove(m_program);
        QFile::copy(QStringLiteral(SETTINGS_WRITER), m_program);
        QFile::setPermissions(m_program, readAndRunByAll);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
        // The leak checker's suppressions, where the writer can read them.
        QString leakOptions = environment.value(QStringLiteral("LSAN_OPTIONS"));
        const QRegularExpression suppressions(QStringLiteral("suppressions=([^:]*)"));
        if (const auto match = suppressions.match(leakOptions); match.hasMatch()) {
            const QString copy = folder + QStringLiteral("/lsan.supp");
            QFile::remove(copy);
            QFile::copy(match.captured(1), copy);
            QFile::setPermissions(copy, readAndRunByAll);
            leakOptions.replace(match.capturedStart(1), match.capturedLength(1), copy);
            environment.insert(QStringLiteral("LSAN_OPTIONS"), leakOptions);
        }
        setProcessEnvironment(environment);
        if (asOtherUser && geteuid() == 0) {
            setChildProcessModifier([] {
                if (setgid(65534) != 0 || setuid(65534) != 0) {
                    _exit(99);
                }
            });
        }
    }
    ~Writer() override { waitForFinished(30000); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool run(const QStringList& arguments, int timeout = 30000)
    {
        start(m_program, arguments);
        return waitForFinished(timeout);
    }

private:
    QString m_program;
};

// A memory file system where there is one: the kill test needs no disk, and syncing
// a loaded disk only makes it slow.
QString memoryFolderTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/deskword-XXXXXX")
                                           : QDir::tempPath() + QStringLiteral("/deskword-XXXXXX");
}

// A base folder every user can enter, holding "program" and "config".
struct Folders
{
    explicit Folders(const QString& baseTemplate = QDir::tempPath() +
                                                   QStringLiteral("/deskword-XXXXXX"))
        : base(baseTemplate)
    {
    }
    QTemporaryDir base;
    QString program = base.filePath(QStringLiteral("program"));
    QString config = base.filePath(QStringLiteral("config"));
    QString beside = program + QStringLiteral("/deskword.ini");
    QString inConfig = config + QStringLiteral("/deskword/deskword.ini");

    bool prepare(bool programWritable) const
    {
        return base.isValid() && QFile::setPermissions(base.path(), readAndRunByAll) &&
               QDir().mkpath(program) && QDir().mkpath(config) &&
               QFile::setPermissions(config, everyone) &&
               QFile::setPermissions(program,
                                     programWritable ? everyone : QFileDevice::Permissions(0x5555));
    }
    ~Folders() { QFile::setPermissions(program, everyone); }
};

} // namespace

// The settings file as other processes see it: where a program in a read-only folder
// keeps it, that a write killed at any moment leaves a whole file, and that a full
// disk leaves the old file.
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
        QTest::addColumn<QString>("message"); // how the one message starts, if any

        const QString moved = QStringLiteral("プログラムのフォルダーに書き込めないため");
        const QString failed = QStringLiteral("設定ファイルを保存できませんでした。");
        QTest::newRow("writable folder") << true << 0 << "new" << newFile << none << "";
        QTest::newRow("read-only folder") << false << 0 << "new" << none << newFile << "";
        // Never written in place: the file moves to the configuration folder.
        QTest::newRow("read-only folder, writable file")
            << false << 0666 << "new" << oldFile << newFile << moved;
        QTest::newRow("writable folder, read-only file")
            << true << 0444 << "old" << oldFile << none << failed;
        QTest::newRow("read-only folder, read-only file")
            << false << 0444 << "new" << oldFile << newFile << moved;
    }

    void testLocation()
    {
        QFETCH(bool, folderWritable);
        QFETCH(int, fileMode);
        QFETCH(QString, readBack);
        QFETCH(QByteArray, besideAfter);
        QFETCH(QByteArray, inConfigAfter);
        QFETCH(QString, message);

        Folders folders;
        QVERIFY(folders.prepare(true));
        if (fileMode != 0) {
            QVERIFY(writeAll(folders.beside, "[DATA]\nTEXT=old\n"));
            const int owner = (fileMode >> 6) & 7;
            const int group = (fileMode >> 3) & 7;
            const int other = fileMode & 7;
            QVERIFY(QFile::setPermissions(
                folders.beside,
                QFileDevice::Permissions((owner << 12) | (owner << 8) | (group << 4) | other)));
        }
        QVERIFY(folders.prepare(folderWritable));

        Writer writer(folders.base.path(), folders.config);
        QVERIFY2(writer.run({folders.program, QStringLiteral("deskword"), QStringLiteral("TEXT"),
                             QStringLiteral("new")}),
                 qPrintable(writer.errorString()));
        const QByteArray errors = writer.readAllStandardError();
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(writer.readAllStandardOutput()).trimmed(), readBack);

        QCOMPARE(QFile::exists(folders.beside), !besideAfter.isNull());
        QCOMPARE(readAll(folders.beside), besideAfter);
        QCOMPARE(QFile::exists(folders.inConfig), !inConfigAfter.isNull());
        QCOMPARE(readAll(folders.inConfig), inConfigAfter);
        const QStringList messages = messagesOf(errors);
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(messages[0].startsWith(message), qPrintable(messages[0]));
        }

        // Said once: the next write goes to the same file without a word.
        if (message.startsWith(QStringLiteral("プログラム"))) {
            QVERIFY(writer.run({folders.program, QStringLiteral("deskword"), QStringLiteral("XPOS"),
                                QStringLiteral("15")}));
            QVERIFY(messagesOf(writer.readAllStandardError()).isEmpty());
            QCOMPARE(readAll(folders.inConfig), inConfigAfter + "XPOS=15\n");
        }
    }

    // Kills a process that writes TEXT over and over at a random moment of a write,
    // many times: every time the file must be the one before that write or the one
    // after it, byte for byte. A read-only program folder with a writable file in it
    // is not written in place either.
    void testKilledWriteLeavesWholeFile_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<int>("rounds");
        QTest::newRow("writable folder") << true << 30;
        QTest::newRow("read-only folder, writable file") << false << 200;
    }

    void testKilledWriteLeavesWholeFile()
    {
        QFETCH(bool, folderWritable);
        QFETCH(int, rounds);
        Folders folders(memoryFolderTemplate());
        QVERIFY(folders.prepare(true));
        QVERIFY(writeAll(folders.beside, fileWithText(writerText(0))));
        QVERIFY(QFile::setPermissions(folders.beside, everyone));
        QVERIFY(folders.prepare(folderWritable));

        Writer writer(folders.base.path(), folders.config);
        QVERIFY2(writer.run({folders.program, QStringLiteral("deskword"), QStringLiteral("--kill"),
                             QString::number(rounds)},
                            120000),
                 qPrintable(writer.errorString()));
        const QByteArray errors = writer.readAllStandardError();
        QVERIFY2(writer.exitCode() == 0, errors.constData());
        const QStringList counts =
            QString::fromUtf8(writer.readAllStandardOutput()).trimmed().split(u' ');
        QCOMPARE(counts.size(), 3);
        QCOMPARE(counts[0].toInt(), rounds);
        QVERIFY2(counts[1].toInt() == rounds, errors.constData());
        qInfo("%d kills, %s of them before the write they interrupted was in place", rounds,
              qPrintable(counts[2]));
        if (!folderWritable) {
            QCOMPARE(readAll(folders.beside), fileWithText(writerText(0)));
        }

        // The next start removes whatever temporary files the kills left.
        const QString written = folderWritable ? folders.beside : folders.inConfig;
        const QDir writtenFolder = QFileInfo(written).absoluteDir();
        const auto files = QDir::Files | QDir::Hidden | QDir::System;
        qInfo("%lld temporary files left by the kills",
              static_cast<long long>(writtenFolder.entryList(files).size() - 1));
        QVERIFY(writer.run({folders.program, QStringLiteral("deskword"), QStringLiteral("--start"),
                            QStringLiteral("0")}));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(writtenFolder.entryList(files), QStringList{QStringLiteral("deskword.ini")});
    }

    // On a full disk (a 64 KiB memory file system of the test's own, so only as root
    // and where mount namespaces are allowed) a write keeps the old file byte for
    // byte, leaves no temporary file, and tells the user once, naming the file and
    // the reason.
    void testFullDiskKeepsTheFile_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("short value") << "new";
        QTest::newRow("value over 16 KiB") << QStringLiteral("長い文字列").repeated(1200);
    }

    void testFullDiskKeepsTheFile()
    {
        QFETCH(QString, value);
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (geteuid() != 0 || unshare.isEmpty()) {
            QSKIP("needs root and unshare for a file system of its own");
        }
        Folders folders;
        QVERIFY(folders.prepare(true));
        const QString original = folders.base.filePath(QStringLiteral("original.ini"));
        const QByteArray before = fileWithText(writerText(5));
        QVERIFY(writeAll(original, before));
        Writer writer(folders.base.path(), folders.config, false);
        const QString script = QStringLiteral(
            R"(mount -t tmpfs -o size=64k,mode=0777 deskword-full "$1" || exit 90
cp "$2" "$1/deskword.ini" && chmod 0666 "$1/deskword.ini" || exit 91
head -c 1000000 /dev/zero >"$1/filler" 2>/dev/null
"$3" "$1" deskword TEXT "$4" >"$5/out" 2>"$5/err"
echo $? >"$5/status"
cp "$1/deskword.ini" "$5/after.ini"
ls -A "$1" >"$5/listing")");
        writer.start(unshare, {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                               QStringLiteral("private"), QStringLiteral("sh"),
                               QStringLiteral("-c"), script, QStringLiteral("sh"), folders.program,
                               original, folders.base.filePath(QStringLiteral("settings_writer")),
                               value, folders.base.path()});
        QVERIFY(writer.waitForFinished(30000));
        if (writer.exitCode() == 90) {
            QSKIP("no memory file system can be mounted here");
        }
        QCOMPARE(writer.exitCode(), 0);
        const auto file = [&](const char* name) {
            return readAll(folders.base.filePath(QString::fromLatin1(name)));
        };
        QCOMPARE(file("status").trimmed(), QByteArray("0"));
        QCOMPARE(file("after.ini"), before);
        QCOMPARE(file("listing"), QByteArray("deskword.ini\nfiller\n"));
        QCOMPARE(QString::fromUtf8(file("out")).trimmed(), writerText(5));
        const QStringList messages = messagesOf(file("err"));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("設定ファイルを保存できませんでした。")) &&
                     messages[0].contains(folders.program + QStringLiteral("/deskword.ini")) &&
                     messages[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))),
                 qPrintable(messages[0]));
    }
};

DESKWORD_TEST_MAIN(SettingsProcessTest)
#include "SettingsProcessTest.moc"
