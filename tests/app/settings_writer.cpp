// Writes the settings file of a program placed in FOLDER under NAME.
//   settings_writer FOLDER NAME KEY VALUE     writes KEY once in section DATA, then
//                                             prints what reading KEY gives.
//   settings_writer FOLDER NAME --kill ROUNDS  ROUNDS times: a child process writes
//                                             TEXT = writerText(n), n + 1, ... and is
//                                             killed at a random moment of a write;
//                                             then the file must be the one before
//                                             that write or the one after it, byte for
//                                             byte. Prints "<rounds> <whole files>
//                                             <kills before the write was in place>".
//   settings_writer FOLDER NAME --start 0      removes what interrupted writes left,
//                                             as start-up does.
// The file must start as fileWithText(writerText(0)) (WriterText.h). Every message
// the program would show goes to the error output, one line each, starting with
// "message: ".
#include "WriterText.h"
#include "app/IniDocument.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"
#include "forms/App.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>
#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Reads the numbers of the writes the child finished, until `wanted` of them (0:
// until the pipe ends); returns the last one, or `last` when none came.
int readWritten(int pipe, int last, int wanted)
{
    int count = 0;
    int n = 0;
    while ((wanted == 0 || count < wanted) && ::read(pipe, &n, sizeof n) == sizeof n) {
        last = n;
        ++count;
    }
    return last;
}

int killLoop(int rounds)
{
    const QString path = SettingsLocation::filePath();
    QRandomGenerator random(7);
    QTextStream err(stderr);
    int inFile = 0;
    int whole = 0;
    int midWrite = 0;
    qint64 writeNanoseconds = 2000000;
    for (int round = 0; round < rounds; ++round) {
        int pipe[2];
        if (::pipe(pipe) != 0) {
            return 3;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipe[0]);
            for (int n = inFile + 1;; ++n) {
                WriteIniValue(QStringLiteral("DATA"), QStringLiteral("TEXT"), writerText(n));
                if (::write(pipe[1], &n, sizeof n) != sizeof n) {
                    ::_exit(4);
                }
            }
        }
        ::close(pipe[1]);
        // One to three finished writes, measuring how long one takes; then the kill
        // at a random moment within the next write.
        QElapsedTimer clock;
        int written = readWritten(pipe[0], inFile, 1);
        clock.start();
        const int more = random.bounded(0, 3);
        if (more > 0) {
            written = readWritten(pipe[0], written, more);
            writeNanoseconds = clock.nsecsElapsed() / more;
        }
        std::this_thread::sleep_for(std::chrono::nanoseconds(random.bounded(writeNanoseconds + 1)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        written = readWritten(pipe[0], written, 0);
        ::close(pipe[0]);

        const QByteArray bytes = readAll(path);
        inFile = writerTextNumber(IniDocument::fromBytes(bytes).value(u"DATA", u"TEXT"));
        if ((inFile == written || inFile == written + 1) &&
            bytes == fileWithText(writerText(inFile))) {
            ++whole;
        } else {
            err << "round " << round << ": wrote " << written << ", file holds " << inFile << " in "
                << bytes.size() << " bytes" << Qt::endl;
            inFile = written;
        }
        midWrite += inFile == written ? 1 : 0;
    }
    QTextStream(stdout) << rounds << ' ' << whole << ' ' << midWrite << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        return 2;
    }
    App::setMessageBoxHandler([](const QString& text) {
        QTextStream(stderr) << "message: " << QString(text).replace(u'\n', u'|') << Qt::endl;
    });
    SettingsLocation::setProgramForTesting(args[1], args[2]);
    if (args[3] == u"--kill") {
        return killLoop(args[4].toInt());
    }
    if (args[3] == u"--start") {
        SettingsFile::removeInterruptedWrites();
        return 0;
    }
    WriteIniValue(QStringLiteral("DATA"), args[3], args[4]);
    QTextStream(stdout) << ReadIniValue(QStringLiteral("DATA"), args[3]) << Qt::endl;
    return 0;
}
