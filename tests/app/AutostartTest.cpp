#include "TestMain.h"

#include "app/Autostart.h"
#include "app/frmMenu.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

// The session autostart entry in a temporary XDG_CONFIG_HOME: the menu item writes
// and removes it, and its check mark follows the file.
class AutostartTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> config;

    QString entryPath() const
    {
        return config->filePath(QStringLiteral("autostart/io.github.deskword.Deskword.desktop"));
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString& path, const QByteArray& contents)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    // desktop-file-validate's verdict on a file, empty when it accepts it.
    static QString validate(const QString& path)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("desktop-file-validate"), {path});
        if (!process.waitForFinished(20000)) {
            return QStringLiteral(
                "desktop-file-validate did not run (scripts/deps.sh installs it)");
        }
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return process.exitCode() == 0 && output.isEmpty() ? QString()
                                                           : output + QStringLiteral(" ");
    }

    // The Exec value of a written entry.
    static QString execOf(const QByteArray& entry)
    {
        for (const QByteArray& line : entry.split('\n')) {
            if (line.startsWith("Exec=")) {
                return QString::fromUtf8(line.mid(5));
            }
        }
        return {};
    }

private slots:
    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        QVERIFY(config->isValid());
        qputenv("XDG_CONFIG_HOME", config->path().toLocal8Bit());
        QCOMPARE(Autostart::filePath(), entryPath());
    }

    void menuItemWritesAndRemovesTheEntry()
    {
        auto menu = std::make_unique<frmMenu>();
        QVERIFY(!menu->mAutostart->isChecked());
        QVERIFY(!QFile::exists(entryPath()));

        // The config folder has no autostart folder yet: it is made.
        menu->mAutostart->trigger();
        QVERIFY(menu->mAutostart->isChecked());
        QVERIFY(QFile::exists(entryPath()));
        QCOMPARE(execOf(readFile(entryPath())), QCoreApplication::applicationFilePath());
        const QString verdict = validate(entryPath());
        QVERIFY2(verdict.isEmpty(), qPrintable(verdict + QString::fromUtf8(readFile(entryPath()))));
        // The autostart folder holds nothing else (no temporary file is left behind).
        QCOMPARE(QDir(config->filePath(QStringLiteral("autostart"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("io.github.deskword.Deskword.desktop")});

        menu->mAutostart->trigger();
        QVERIFY(!menu->mAutostart->isChecked());
        QVERIFY(!QFile::exists(entryPath()));
    }

    void checkMarkFollowsTheFile()
    {
        auto menu = std::make_unique<frmMenu>();
        const auto shownChecked = [&menu] {
            // What the user sees when the menu opens.
            emit menu->mpop->aboutToShow();
            return menu->mAutostart->isChecked();
        };
        QVERIFY(!shownChecked());

        writeFile(entryPath(), Autostart::entryText(QStringLiteral("/usr/bin/deskword")));
        QVERIFY(shownChecked());

        // Switched off by a desktop's session settings.
        writeFile(entryPath(),
                  Autostart::entryText(QStringLiteral("/usr/bin/deskword")) + "Hidden=true\n");
        QVERIFY(!shownChecked());
        writeFile(entryPath(), Autostart::entryText(QStringLiteral("/usr/bin/deskword")) +
                                   "X-GNOME-Autostart-enabled=false\n");
        QVERIFY(!shownChecked());

        // Choosing the item over a switched-off entry switches it on again.
        menu->mAutostart->trigger();
        QVERIFY(menu->mAutostart->isChecked());
        QVERIFY(Autostart::isEnabled());
        QVERIFY(!readFile(entryPath()).contains("Hidden"));

        QVERIFY(QFile::remove(entryPath()));
        QVERIFY(!shownChecked());
    }

    void entryThatCannotBeWrittenLeavesTheItemUnchecked()
    {
        // A plain file where the autostart folder would be.
        writeFile(config->filePath(QStringLiteral("autostart")), "not a folder");
        auto menu = std::make_unique<frmMenu>();
        menu->mAutostart->trigger();
        QVERIFY(!menu->mAutostart->isChecked());
        QVERIFY(!Autostart::isEnabled());
    }

    void execNamesAnyPathExactly()
    {
        // Paths with characters that Exec reserves are quoted; the written entry stays
        // valid for each.
        const QList<std::pair<QString, QString>> cases = {
            {QStringLiteral("/opt/deskword/deskword"), QStringLiteral("/opt/deskword/deskword")},
            {QStringLiteral("/home/a b/deskword"), QStringLiteral("\"/home/a b/deskword\"")},
            {QStringLiteral("/tmp/$x`y\"/deskword"),
             QStringLiteral("\"/tmp/\\\\$x\\\\`y\\\\\"/deskword\"")},
            {QStringLiteral("/tmp/back\\slash/dw"),
             QStringLiteral("\"/tmp/back\\\\\\\\slash/dw\"")},
            {QStringLiteral("/tmp/100%/dw"),
             QStringLiteral("/bin/sh -c \"exec \\\\\"\\\\$0\\\\\"\" /tmp/100%%/dw")},
        };
        for (const auto& [path, exec] : cases) {
            QCOMPARE(Autostart::execValue(path), exec);
            writeFile(entryPath(), Autostart::entryText(path));
            const QString verdict = validate(entryPath());
            QVERIFY2(verdict.isEmpty(), qPrintable(path + QStringLiteral(": ") + verdict));
        }
    }

    // GLib's own launcher (as GNOME, XFCE and Cinnamon start the session's entries)
    // starts the program the entry names, wherever it lies.
    void glibLauncherStartsTheProgram()
    {
        const QString python = QStringLiteral("/usr/bin/python3");
        const char* launch = "import sys, gi\n"
                             "gi.require_version('Gio', '2.0')\n"
                             "from gi.repository import Gio\n"
                             "info = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])\n"
                             "sys.exit(0 if info.launch([], None) else 1)\n";
        QTemporaryDir folder;
        const QString marker = folder.filePath(QStringLiteral("started"));
        for (const QString& place : {QStringLiteral("plain"), QStringLiteral("100%"),
                                     QStringLiteral("50% a b"), QStringLiteral("%u $x \"q\"")}) {
            const QString program = folder.filePath(place + QStringLiteral("/deskword"));
            writeFile(program, "#!/bin/sh\necho \"$0\" > '" + QFile::encodeName(marker) + "'\n");
            QVERIFY(QFile::setPermissions(program,
                                          QFile::permissions(program) | QFileDevice::ExeOwner));
            writeFile(entryPath(), Autostart::entryText(program));
            QFile::remove(marker);
            QProcess launcher;
            launcher.setProcessChannelMode(QProcess::ForwardedChannels);
            launcher.start(python,
                           {QStringLiteral("-c"), QString::fromLatin1(launch), entryPath()});
            QVERIFY2(launcher.waitForFinished(20000) && launcher.exitCode() == 0,
                     qPrintable(place + QStringLiteral(": GLib did not launch the entry")));
            QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(marker), qPrintable(place), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(readFile(marker), QFile::encodeName(program) + "\n", 10000);
        }
    }
};

DESKWORD_TEST_MAIN(AutostartTest)
#include "AutostartTest.moc"
