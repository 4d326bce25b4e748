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

QString Autostart::execValue(const QString& executable)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quote = std::any_of(executable.begin(), executable.end(),
                                   [](QChar c) { return reserved.contains(c); });
    QString argument;
    for (QChar c : executable) {
        if (c == QLatin1Char('%')) {
            // A field code starts with %; a percent sign of its own is doubled.
            argument += QStringLiteral("%%");
        } else if (quote && QStringLiteral("\"`$\\").contains(c)) {
            argument += QLatin1Char('\\') + c;
        } else {
            argument += c;
        }
    }
    if (quote) {
        argument = QLatin1Char('"') + argument + QLatin1Char('"');
    }
    // The value is a string in the desktop entry's own escaping, which doubles every
    // backslash and writes line breaks as \n.
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    argument.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    argument.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    argument.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return argument;
}
