#include "Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

// The program's desktop entry, built into the program from packaging/.
const QString EntryResource = QStringLiteral(":/io.github.deskword.Deskword.desktop");

// The value of a key in the [Desktop Entry] group, empty when it is not there.
QString entryValue(const QString& text, const QString& key)
{
    bool inEntry = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inEntry = trimmed == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (inEntry && equals > 0 && trimmed.left(equals).trimmed() == key) {
            return trimmed.mid(equals + 1).trimmed();
        }
    }
    return {};
}

} // namespace

QString Autostart::entryId()
{
    return QStringLiteral("io.github.deskword.Deskword");
}

QString Autostart::filePath()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config + QStringLiteral("/autostart/") + entryId() + QStringLiteral(".desktop");
}

bool Autostart::isEnabled()
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    return entryValue(text, QStringLiteral("Hidden")) != QStringLiteral("true") &&
           entryValue(text, QStringLiteral("X-GNOME-Autostart-enabled")) != QStringLiteral("false");
}

bool Autostart::enable(const QString& executable)
{
    const QString path = filePath();
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(entryText(executable));
    return file.commit();
}

bool Autostart::disable()
{
    const QString path = filePath();
    QFile::remove(path);
    return !QFileInfo::exists(path);
}

QByteArray Autostart::entryText(const QString& executable)
{
    QFile resource(EntryResource);
    QString entry;
    if (resource.open(QIODevice::ReadOnly)) {
        entry = QString::fromUtf8(resource.readAll());
    }
    QStringList lines;
    bool inEntry = false;
    for (const QString& line : entry.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
        }
        // The session starts this very program, and never a copy found on PATH.
        if (!(inEntry && (line.startsWith(QStringLiteral("Exec=")) ||
                          line.startsWith(QStringLiteral("TryExec=")) ||
                          line.startsWith(QStringLiteral("Hidden="))))) {
            lines.append(line);
        }
        if (line == QStringLiteral("[Desktop Entry]")) {
            lines.append(QStringLiteral("Exec=") + execValue(executable));
        }
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

namespace {

// One argument of an Exec line: quoted where it holds characters that Exec reserves,
// with the characters that are special inside quotes escaped. A percent sign of its
// own is doubled (a field code starts with %).
QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quote =
        std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    QString written;
    for (QChar c : argument) {
        if (c == QLatin1Char('%')) {
            written += QStringLiteral("%%");
        } else if (quote && QStringLiteral("\"`$\\").contains(c)) {
            written += QLatin1Char('\\') + c;
        } else {
            written += c;
        }
    }
    return quote ? QLatin1Char('"') + written + QLatin1Char('"') : written;
}

} // namespace

QString Autostart::execValue(const QString& executable)
{
    // GLib's launcher (GNOME, XFCE, Cinnamon) looks the program up before it turns
    // %% back into %, and finds no program at a path with a percent sign: such a
    // path is handed to the shell as an argument instead, which GLib reads right.
    const QStringList arguments = executable.contains(QLatin1Char('%'))
                                      ? QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                                    QStringLiteral("exec \"$0\""), executable}
                                      : QStringList{executable};
    QStringList written;
    for (const QString& argument : arguments) {
        written.append(execArgument(argument));
    }
    QString value = written.join(QLatin1Char(' '));
    // The value is a string in the desktop entry's own escaping, which doubles every
    // backslash and writes line breaks as \n.
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    value.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    value.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return value;
}
