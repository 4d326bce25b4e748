#include "Settings.h"

#include "SettingsFile.h"

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
    return trimSpaces(SettingsFile::document().value(section, key)).toString();
}

bool IniKeyExists(const QString& section, const QString& key)
{
    return SettingsFile::document().contains(section, key);
}

void WriteIniValue(const QString& section, const QString& key, const QString& value)
{
    SettingsFile::write({{section, key, value}});
}

void WriteIniValues(const QString& section, const QList<std::pair<QString, QString>>& values)
{
    QList<SettingsFile::Change> changes;
    for (const auto& [key, value] : values) {
        changes.append({section, key, value});
    }
    SettingsFile::write(changes);
}

QString encodeRGNText(const QString& text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("%r"));
}

QString decodeRGNText(const QString& text)
{
    return QString(text).replace(QStringLiteral("%r"), QStringLiteral("\r\n"));
}
