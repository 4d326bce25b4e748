// The settings file as start-up reads it (line by line, UTF-8 or Shift-JIS), the
// values it reads from it, and one change written and read back.

#include "FuzzEnvironment.h"
#include "app/IniDocument.h"
#include "app/SettingValues.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace {

// The keys start-up reads; DATA is the program's section.
const char* const StartupKeys[] = {
    "FontBold", "FontItalic",        "FontName",    "FontSize", "FontUnderline",
    "Color",    "FontStrikethrough", "XPOS",        "YPOS",     "XPOS2",
    "YPOS2",    "PICTURE",           "PICTUREFILE", "TEXT"};

// What reading gives back of a written value holds at least this: line breaks became
// spaces; blanks around it and one pair of quotes around all of it may be gone, and
// when there are none of those at its ends, it is all there.
bool readsBackAs(QString written, const QString& read)
{
    written.replace(u'\r', u' ').replace(u'\n', u' ');
    const auto blankOrQuote = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'"' || c == u'\'';
    };
    if (written.isEmpty() || (!blankOrQuote(written.front()) && !blankOrQuote(written.back()))) {
        return read == written;
    }
    return written.contains(read);
}

// The change to make: the input's last line as "section|key|value"; a line without
// two "|" is a new TEXT of DATA.
struct Change
{
    QString section;
    QString key;
    QString value;
};

Change changeFrom(QByteArrayView bytes)
{
    const qsizetype lastBreak = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
    const QString line = QString::fromUtf8(bytes.sliced(lastBreak + 1));
    const QStringList parts = line.split(u'|');
    if (parts.size() < 3) {
        return {QStringLiteral("DATA"), QStringLiteral("TEXT"), line};
    }
    return {parts[0], parts[1], parts.mid(2).join(u'|')};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    IniDocument document = IniDocument::fromBytes(bytes);
    // Unchanged, the document gives back its bytes exactly.
    FUZZ_CHECK(document.toBytes() == bytes);

    const QString section = QStringLiteral("DATA");
    for (const char* key : StartupKeys) {
        const QString name = QString::fromLatin1(key);
        const QString value = document.value(section, name);
        FUZZ_CHECK(value.isEmpty() || document.contains(section, name));
        (void)settingBool(value);
        (void)settingNumber(value);
        (void)settingInteger(value);
    }

    const Change change = changeFrom(bytes);
    if (!document.setValue(change.section, change.key, change.value)) {
        FUZZ_CHECK(document.toBytes() == bytes); // a refused change changes nothing
        return 0;
    }
    const QString read = document.value(change.section, change.key);
    FUZZ_CHECK(document.contains(change.section, change.key));
    FUZZ_CHECK(readsBackAs(change.value, read));
    // Each line is decoded on its own, and a byte-order mark that starts a line is no
    // part of it: a key that starts with one is another key once read again.
    if (change.key.trimmed().startsWith(QChar(0xFEFF))) {
        return 0;
    }
    // Written and read again, the document holds the same.
    const QByteArray written = document.toBytes();
    const IniDocument reread = IniDocument::fromBytes(written);
    FUZZ_CHECK(reread.value(change.section, change.key) == read);
    FUZZ_CHECK(reread.toBytes() == written);
    for (const char* key : StartupKeys) {
        const QString name = QString::fromLatin1(key);
        FUZZ_CHECK(reread.value(section, name) == document.value(section, name));
    }
    return 0;
}
