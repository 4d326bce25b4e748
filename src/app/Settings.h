#pragma once

#include <QList>
#include <QString>
#include <utility>

// The settings file (see SettingsLocation and SettingsFile): every value is read at
// start-up and written at the moment the user chooses it, all keys of one choice in
// one write. Every value lives in one section, DataSection.

// The section of the settings file that holds every value of the program.
inline const QString DataSection = QStringLiteral("DATA");

// The value of the key, with leading and trailing spaces and one pair of enclosing
// quotes removed; "" when the file, the section or the key is missing.
QString ReadIniValue(const QString& section, const QString& key);

// True when the settings file holds the key, even with an empty value.
bool IniKeyExists(const QString& section, const QString& key);

// Sets the key, creating the file, the section or the key as needed; every other line
// of the file stays as it was. The file is replaced as a whole, so a crash at any
// moment leaves either the old file or the new one. A CR or LF in the value is written
// as a space. A write that fails leaves the file as it was and is reported to the
// user in a message box naming the file and the reason.
void WriteIniValue(const QString& section, const QString& key, const QString& value);
// Sets several keys (key, value) in one write, as one user action.
void WriteIniValues(const QString& section, const QList<std::pair<QString, QString>>& values);

// The stored form of the desktop text: every CR LF pair becomes "%r", and back.
// A lone CR or LF, and a "%R", stay as they are; there is no escape for "%".
QString encodeRGNText(const QString& text);
QString decodeRGNText(const QString& text);
