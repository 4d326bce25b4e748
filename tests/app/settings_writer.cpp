// Writes the settings file of a program placed in FOLDER under NAME.
//   settings_writer FOLDER NAME KEY VALUE  writes KEY once in section DATA, then
//                                          prints what reading KEY gives.
//   settings_writer FOLDER NAME --loop     writes TEXT = writerText(1), (2), ... until
//                                          killed, printing n after each write.
#include "WriterText.h"
#include "app/Settings.h"
#include "app/SettingsLocation.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        return 2;
    }
    SettingsLocation::setProgramForTesting(args[1], args[2]);
    QTextStream out(stdout);
    if (args[3] == u"--loop") {
        for (int n = 1;; ++n) {
            WriteIniValue(QStringLiteral("DATA"), QStringLiteral("TEXT"), writerText(n));
            out << n << Qt::endl;
        }
    }
    if (args.size() < 5) {
        return 2;
    }
    WriteIniValue(QStringLiteral("DATA"), args[3], args[4]);
    out << ReadIniValue(QStringLiteral("DATA"), args[3]) << Qt::endl;
    return 0;
}
