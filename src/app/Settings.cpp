#include "Settings.h"

#include "IniDocument.h"
#include "SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QStringView trimSpaces(QStringView text)
{
    while (text.startsWith(u' ')) {
        text = text.sliced(1);
    }
    while (text.endsWith(u' ')) {
        text.chop(1);
    }
    return text;
}

} // namespace

QString ReadIniValue(const QString& section, const QString& key)
{
    QFile file(SettingsLocation::filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const IniDocument document = IniDocument::fromBytes(file.readAll());
    return trimSpaces(document.value(section, key)).toString();
}

void WriteIniValue(const QString& section, const QString& key, const QString& value)
{
    const QString path = SettingsLocation::filePath();
    const QFileInfo info(path);
    QByteArray before;
    if (info.exists()) {
        QFile file(path);
        // Never replace a file that could not be read: its other keys would be lost.
        if (!info.isWritable() || !file.open(QIODevice::ReadOnly)) {
            return;
        }
        before = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            return;
        }
    }
    IniDocument document = IniDocument::fromBytes(before);
    if (!document.setValue(section, key, value)) {
        return;
    }
    const QByteArray after = document.toBytes();
    if (info.exists() && after == before) {
        return;
    }
    QDir().mkpath(info.absolutePath());
    QSaveFile file(path);
    // Only a writable file in a read-only folder is written in place.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(after) == after.size()) {
        file.commit();
    }
}

QString encodeRGNText(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("%r"));
}

QString decodeRGNText(const QString& text)
{
    return QString(text).replace(QStringLiteral("%r"), QStringLiteral("\r\n"));
}
