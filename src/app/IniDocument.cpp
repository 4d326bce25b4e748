#include "IniDocument.h"

#include "ShiftJis.h"

#include <QStringDecoder>
#include <optional>

namespace {

const QByteArray utf8ByteOrderMark("\xEF\xBB\xBF");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r';
}

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

// The name of a "[name]" header line; a header without its closing bracket runs to
// the end of the line.
std::optional<QStringView> headerName(QStringView line)
{
    QStringView text = trimBlanks(line);
    if (!text.startsWith(u'[')) {
        return std::nullopt;
    }
    text = text.sliced(1);
    const qsizetype close = text.indexOf(u']');
    return trimBlanks(close < 0 ? text : text.first(close));
}

// Blank lines and ";" comments hold no entry.
bool holdsEntry(QStringView line)
{
    const QStringView text = trimBlanks(line);
    return !text.isEmpty() && !text.startsWith(u';');
}

// The key of an entry line: the text before "=", or the whole line when it has none.
QStringView keyOf(QStringView line)
{
    const qsizetype equals = line.indexOf(u'=');
    return trimBlanks(equals < 0 ? line : line.first(equals));
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString decodeLine(QByteArrayView bytes)
{
    // Stateless: a sequence cut off at the end is an error too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = fromShiftJis(bytes);
    }
    return text;
}

} // namespace

IniDocument IniDocument::fromBytes(QByteArrayView bytes)
{
    IniDocument document;
    if (bytes.startsWith(utf8ByteOrderMark)) {
        document.m_byteOrderMark = true;
        bytes = bytes.sliced(utf8ByteOrderMark.size());
    }
    // CR and LF never occur inside a UTF-8 or Shift-JIS character, so the bytes can
    // be split into lines before they are decoded.
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        Line line;
        line.raw = bytes.sliced(start, end - start).toByteArray();
        line.text = decodeLine(line.raw);
        if (end < bytes.size()) {
            const bool crlf =
                bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.end = bytes.sliced(end, crlf ? 2 : 1).toByteArray();
        }
        start = end + line.end.size();
        document.m_lines.append(std::move(line));
    }
    return document;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes = m_byteOrderMark ? utf8ByteOrderMark : QByteArray();
    for (const Line& line : m_lines) {
        bytes += line.changed ? line.text.toUtf8() : line.raw;
        bytes += line.end;
    }
    return bytes;
}

QString IniDocument::value(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(trimBlanks(section));
    const qsizetype entry = header < 0 ? -1 : findKey(header, trimBlanks(key));
    if (entry < 0) {
        return QString();
    }
    const QStringView line = m_lines[entry].text;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return QString();
    }
    QStringView text = trimBlanks(line.sliced(equals + 1));
    if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
        text.back() == text.front()) {
        text = text.sliced(1, text.size() - 2);
    }
    return text.toString();
}

bool IniDocument::setValue(QStringView section, QStringView key, QStringView value)
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    const auto breaksLine = [](QStringView name) {
        return name.contains(u'\r') || name.contains(u'\n');
    };
    if (section.isEmpty() || breaksLine(section) || section.contains(u']') || key.isEmpty() ||
        breaksLine(key) || key.contains(u'=') || key.startsWith(u'[') || key.startsWith(u';')) {
        return false;
    }
    QString text = value.toString();
    text.replace(u'\r', u' ').replace(u'\n', u' ');

    const QByteArray newline = lineBreak();
    const auto added = [&newline](QString lineText) {
        return Line{std::move(lineText), newline, QByteArray(), true};
    };
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && m_lines.last().end.isEmpty()) {
            m_lines.last().end = newline;
        }
        m_lines.append(added(u'[' + section.toString() + u']'));
        m_lines.append(added(key.toString() + u'=' + text));
        return true;
    }

    const qsizetype entry = findKey(header, key);
    if (entry >= 0) {
        m_lines[entry].changed = true;
        QString& line = m_lines[entry].text;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            line = trimBlanks(line).toString() + u'=' + text;
            return true;
        }
        qsizetype valueStart = equals + 1;
        while (valueStart < line.size() && isBlank(line[valueStart])) {
            ++valueStart;
        }
        line = line.first(valueStart) + text;
        return true;
    }

    // After the section's last entry, so blank lines and comments that lead to the
    // next section stay with it.
    qsizetype insertAt = header + 1;
    for (qsizetype i = header + 1; i < m_lines.size() && !headerName(m_lines[i].text); ++i) {
        if (holdsEntry(m_lines[i].text)) {
            insertAt = i + 1;
        }
    }
    if (m_lines[insertAt - 1].end.isEmpty()) {
        m_lines[insertAt - 1].end = newline;
    }
    m_lines.insert(insertAt, added(key.toString() + u'=' + text));
    return true;
}

bool IniDocument::contains(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(trimBlanks(section));
    return header >= 0 && findKey(header, trimBlanks(key)) >= 0;
}

qsizetype IniDocument::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = headerName(m_lines[i].text);
        if (name && sameName(*name, section)) {
            return i;
        }
    }
    return -1;
}

qsizetype IniDocument::findKey(qsizetype header, QStringView key) const
{
    for (qsizetype i = header + 1; i < m_lines.size() && !headerName(m_lines[i].text); ++i) {
        if (holdsEntry(m_lines[i].text) && sameName(keyOf(m_lines[i].text), key)) {
            return i;
        }
    }
    return -1;
}

// New lines end like the document's first line does; a new document uses "\n".
QByteArray IniDocument::lineBreak() const
{
    for (const Line& line : m_lines) {
        if (!line.end.isEmpty()) {
            return line.end;
        }
    }
    return QByteArrayLiteral("\n");
}
