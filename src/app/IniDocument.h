#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// The text of a settings file in INI form: "[section]" headers and "key=value" lines.
// Section and key names are matched without regard to letter case, and only the first
// section of a name counts. Changing a value touches nothing but that value's line (or
// adds one line, or a section at the end), so comments, blank lines, other sections,
// unknown keys and their order stay exactly as they were.
class IniDocument
{
public:
    // Line by line: a line that is valid UTF-8 is read as UTF-8, any other line as
    // Shift-JIS, the form of a settings file written on a Japanese system. CR LF, LF
    // and CR alone each end a line. A UTF-8 byte-order mark is kept.
    static IniDocument fromBytes(QByteArrayView bytes);
    // Every line the document did not change comes back byte for byte, with its own
    // line end; changed and added lines are UTF-8.
    QByteArray toBytes() const;

    // The text after the key's "=", without surrounding blanks and without one pair
    // of single or double quotes that enclose all of it. Empty when the section or
    // the key is missing.
    QString value(QStringView section, QStringView key) const;
    // True when the section holds the key, whatever its value (an empty one too).
    bool contains(QStringView section, QStringView key) const;

    // Sets the key's value, adding the key after the section's last entry, or the
    // section at the end of the document, when it is missing. An existing key keeps
    // its spelling and everything up to its value. Line breaks in the value are
    // written as spaces, so a value never spans lines and can never add a key.
    // Returns false, and changes nothing, for names that cannot be written as a
    // header or a key: empty, holding a line break, a section holding "]", a key
    // holding "=" or starting with "[" or ";".
    bool setValue(QStringView section, QStringView key, QStringView value);

private:
    struct Line
    {
        QString text;
        QByteArray end; // "\r\n", "\n", "\r", or empty on an unterminated last line
        QByteArray raw; // the line's bytes as read
        bool changed = false;
    };

    qsizetype findSection(QStringView section) const;
    qsizetype findKey(qsizetype header, QStringView key) const;
    QByteArray lineBreak() const;

    QList<Line> m_lines;
    bool m_byteOrderMark = false;
};
