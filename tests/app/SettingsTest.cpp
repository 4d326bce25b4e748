#include "TestMain.h"

#include "app/SettingValues.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/SettingsLocation.h"
#include "forms/App.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString data = QStringLiteral("DATA");

// "; 設定ファイル\r\n[DATA]\r\nTEXT=日本語テキスト表示ゾーンｶﾀｶﾅ①\r\n" as a Japanese
// system writes it (code page 932): trail bytes 0x5C, 0x5D and 0x5B, half-width
// katakana and an NEC extension character.
const QByteArray shiftJisFile =
    QByteArray::fromHex("3b2090dd92e8837483408343838b0d0a5b444154415d0d0a544558543d"
                        "93fa967b8cea8365834c83588367955c8ea6835d815b8393b6c0b6c587400d0a");
const QString shiftJisText = QStringLiteral("日本語テキスト表示ゾーンｶﾀｶﾅ①");

// The font command's six keys, as one user action.
const QList<std::pair<QString, QString>> fontChoice = {
    {QStringLiteral("FontBold"), QStringLiteral("True")},
    {QStringLiteral("FontItalic"), QStringLiteral("False")},
    {QStringLiteral("FontName"), QStringLiteral("IPAGothic")},
    {QStringLiteral("FontSize"), QStringLiteral("24")},
    {QStringLiteral("FontStrikethrough"), QStringLiteral("False")},
    {QStringLiteral("FontUnderline"), QStringLiteral("True")}};

} // namespace

// ReadIniValue / WriteIniValue on a settings file in a private folder, the text
// coding, and the conversions start-up applies.
class SettingsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_messages;
    App::MessageBoxHandler m_previousMessageBox;

    QString path() const { return m_folder->filePath(QStringLiteral("deskword.ini")); }

    void writeFile(const QByteArray& bytes) const
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QByteArray fileBytes() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        SettingsLocation::setProgramForTesting(m_folder->path(), QStringLiteral("deskword"));
        m_messages.clear();
        m_previousMessageBox =
            App::setMessageBoxHandler([this](const QString& text) { m_messages.append(text); });
    }

    void cleanup()
    {
        AtomicFile::setFailureForTesting({});
        App::setMessageBoxHandler(std::move(m_previousMessageBox));
        SettingsLocation::setProgramForTesting(QString(), QString());
    }

    void testTextRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("storedLine");
        QTest::addColumn<QString>("readBack");

        QTest::newRow("two lines") << "A\r\nB"
                                   << "TEXT=A%rB"
                                   << "A\r\nB";
        QTest::newRow("typed %r becomes a break") << "50%r"
                                                  << "TEXT=50%r"
                                                  << "50\r\n";
        QTest::newRow("%R stays") << "a%Rb"
                                  << "TEXT=a%Rb"
                                  << "a%Rb";
        QTest::newRow("%%r") << "%%r"
                             << "TEXT=%%r"
                             << "%\r\n";
        QTest::newRow("lone CR and LF become spaces") << "a\rb\nc"
                                                      << "TEXT=a b c"
                                                      << "a b c";
        QTest::newRow("outer spaces go, inner stay") << "  A \r\n B  "
                                                     << "TEXT=  A %r B  "
                                                     << "A \r\n B";
        QTest::newRow("typed in quotes") << "\"quoted\""
                                         << "TEXT=\"quoted\""
                                         << "quoted";

        // Well over 510 bytes: the whole text survives a restart.
        QStringList lines;
        for (int i = 0; i < 60; ++i) {
            lines << QStringLiteral("%1行目: デスクトップに文字を表示します。").arg(i);
        }
        const QString longText = lines.join(QStringLiteral("\r\n"));
        QVERIFY(longText.toUtf8().size() > 2000);
        QTest::newRow("long Japanese text")
            << longText << u"TEXT="_s + lines.join(u"%r") << longText;
    }

    void testTextRoundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QString, storedLine);
        QFETCH(QString, readBack);
        WriteIniValue(data, QStringLiteral("TEXT"), encodeRGNText(text));
        QCOMPARE(fileBytes(), "[DATA]\n" + storedLine.toUtf8() + "\n");
        QCOMPARE(decodeRGNText(ReadIniValue(data, QStringLiteral("TEXT"))), readBack);
    }

    void testReadValue_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");

        QTest::newRow("no file") << QByteArray() << "";
        QTest::newRow("no section") << QByteArray("[Other]\nTEXT=x\n") << "";
        QTest::newRow("no key") << QByteArray("[DATA]\nFontBold=True\n") << "";
        QTest::newRow("key only in another section")
            << QByteArray("[Other]\nTEXT=no\n[DATA]\nXPOS=1\n[More]\nTEXT=no\n") << "";
        QTest::newRow("names in other case") << QByteArray("[data]\ntext=found\n") << "found";
        QTest::newRow("blanks around names and value")
            << QByteArray("  [ Data ]  \r\n\t Text \t=   two words \t \r\n") << "two words";
        QTest::newRow("double quotes") << QByteArray("[DATA]\nTEXT=\"quoted\"\n") << "quoted";
        QTest::newRow("single quotes") << QByteArray("[DATA]\nTEXT='quoted'\n") << "quoted";
        QTest::newRow("spaces inside quotes") << QByteArray("[DATA]\nTEXT=\"  in  \"\n") << "in";
        QTest::newRow("one pair of quotes only")
            << QByteArray("[DATA]\nTEXT=\"\"x\"\"\n") << "\"x\"";
        QTest::newRow("unmatched quotes stay") << QByteArray("[DATA]\nTEXT=\"a'\n") << "\"a'";
        QTest::newRow("= in value") << QByteArray("[DATA]\nTEXT=a=b\n") << "a=b";
        QTest::newRow("ideographic spaces stay")
            << QByteArray("[DATA]\nTEXT=\u3000和\u3000\n") << "\u3000和\u3000";
        QTest::newRow("first of repeated keys and sections")
            << QByteArray("[DATA]\nTEXT=first\nTEXT=second\n[DATA]\nTEXT=third\n") << "first";
        QTest::newRow("comment is no key")
            << QByteArray("[DATA]\n;TEXT=comment\nTEXT=real\n") << "real";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[DATA]\nTEXT=bom\n") << "bom";
        QTest::newRow("Shift-JIS file") << shiftJisFile << shiftJisText;
    }

    void testReadValue()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        if (!file.isNull()) {
            writeFile(file);
        }
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")), expected);
    }

    void testWriteLeavesOtherLinesAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray() << "TEXT"
                                  << QByteArray("[DATA]\nTEXT=new value\n");
        QTest::newRow("existing key in other case, among comments and sections")
            << QByteArray("\xEF\xBB\xBF; Deskword\r\n[Other]\r\nTEXT=other\r\n\r\n[data]\r\n"
                          "# note\r\nFontBold=True\r\n  text = old \r\nUnknown=1\r\n\r\n"
                          "; trailing\r\n[Last]\r\nx=y")
            << "TEXT"
            << QByteArray("\xEF\xBB\xBF; Deskword\r\n[Other]\r\nTEXT=other\r\n\r\n[data]\r\n"
                          "# note\r\nFontBold=True\r\n  text = new value\r\nUnknown=1\r\n\r\n"
                          "; trailing\r\n[Last]\r\nx=y");
        QTest::newRow("new key after the section's last entry")
            << QByteArray("[DATA]\nFontBold=True\n\n; about Other\n[Other]\nk=v\n") << "XPOS2"
            << QByteArray("[DATA]\nFontBold=True\nXPOS2=new value\n\n; about Other\n[Other]\n"
                          "k=v\n");
        QTest::newRow("new section after an unterminated last line")
            << QByteArray("[Other]\r\nk=v") << "TEXT"
            << QByteArray("[Other]\r\nk=v\r\n[DATA]\r\nTEXT=new value\r\n");
        QTest::newRow("header as last line")
            << QByteArray("[DATA]") << "TEXT" << QByteArray("[DATA]\nTEXT=new value\n");
        QTest::newRow("key line without =") << QByteArray("[DATA]\nTEXT\nXPOS=1\n") << "TEXT"
                                            << QByteArray("[DATA]\nTEXT=new value\nXPOS=1\n");
        QTest::newRow("Shift-JIS lines stay Shift-JIS")
            << shiftJisFile << "FontBold" << shiftJisFile + "FontBold=new value\r\n";
        QTest::newRow("changed Shift-JIS line becomes UTF-8")
            << shiftJisFile << "TEXT"
            << (shiftJisFile.first(shiftJisFile.indexOf("TEXT=")) + "TEXT=new value\r\n");
        QTest::newRow("CR alone ends lines")
            << QByteArray("[DATA]\rFontBold=True\rTEXT=old\rXPOS=15") << "TEXT"
            << QByteArray("[DATA]\rFontBold=True\rTEXT=new value\rXPOS=15");
    }

    void testWriteLeavesOtherLinesAsTheyWere()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        if (!before.isNull()) {
            writeFile(before);
        }
        WriteIniValue(data, key, QStringLiteral("new value"));
        QCOMPARE(fileBytes(), after);
        QCOMPARE(ReadIniValue(data, key), QStringLiteral("new value"));
        QVERIFY(m_messages.isEmpty());
    }

    // Each line is read in its own encoding: one stray byte in a comment does not
    // turn the user's Japanese text into something else, and the comment's bytes
    // are written back as they were.
    void testOneStrayByteStaysInItsLine()
    {
        const QByteArray text = QStringLiteral("日本語の%rテキスト").toUtf8();
        const QByteArray before = "; caf\xE9 au lait\r\n; " + shiftJisFile.first(14) +
                                  "\r\n[DATA]\r\nTEXT=" + text + "\r\nFontBold=True\r\n";
        writeFile(before);
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")), QString::fromUtf8(text));
        WriteIniValue(data, QStringLiteral("XPOS"), QStringLiteral("1500"));
        QCOMPARE(fileBytes(), before + "XPOS=1500\r\n");
        WriteIniValue(data, QStringLiteral("TEXT"), QStringLiteral("新しい"));
        QCOMPARE(fileBytes(), QByteArray(before).replace(text, QStringLiteral("新しい").toUtf8()) +
                                  "XPOS=1500\r\n");
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")), QStringLiteral("新しい"));
    }

    // A write that fails at any step leaves the file exactly as it was, leaves no
    // temporary file behind, and is reported once for all the keys of the action.
    void testFailedWriteKeepsTheFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        QTest::newRow("open") << int(AtomicFile::Step::Open) << EACCES;
        QTest::newRow("write, disk full") << int(AtomicFile::Step::Write) << ENOSPC;
        QTest::newRow("sync") << int(AtomicFile::Step::Sync) << EIO;
        QTest::newRow("commit, quota") << int(AtomicFile::Step::Commit) << EDQUOT;
        QTest::newRow("commit, busy") << int(AtomicFile::Step::Commit) << EBUSY;
    }

    void testFailedWriteKeepsTheFile()
    {
        QFETCH(int, step);
        QFETCH(int, error);
        writeFile(shiftJisFile + "FontBold=False\r\nXPOS=3000\r\n");
        const QByteArray before = fileBytes();
        AtomicFile::setFailureForTesting(
            [&](AtomicFile::Step now) { return int(now) == step ? error : 0; });
        WriteIniValues(data, fontChoice);
        QCOMPARE(fileBytes(), before);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith(QStringLiteral("設定ファイルを保存できませんでした。")));
        QVERIFY(m_messages[0].contains(path()));
        QVERIFY2(m_messages[0].contains(QString::fromLocal8Bit(std::strerror(error))),
                 qPrintable(m_messages[0]));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QStringLiteral("deskword.ini")});

        // Once the disk works again the same action is written whole.
        AtomicFile::setFailureForTesting({});
        WriteIniValues(data, fontChoice);
        QCOMPARE(ReadIniValue(data, QStringLiteral("FontName")), QStringLiteral("IPAGothic"));
        QCOMPARE(ReadIniValue(data, QStringLiteral("XPOS")), QStringLiteral("3000"));
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")), shiftJisText);
        QCOMPARE(m_messages.size(), 1);
    }

    // Only a regular file of sane size is read: a pipe, a device, a folder or a huge
    // file reads as no settings at once, with a message, and is never replaced.
    void testOnlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("over 16 MiB") << "huge";
    }

    void testOnlyRegularFilesAreRead()
    {
        QFETCH(QString, kind);
        const QByteArray native = QFile::encodeName(path());
        if (kind == u"fifo") {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkdir(path()));
        } else if (kind == u"zero") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path()));
        } else {
            writeFile("[DATA]\nTEXT=huge\n");
            QFile file(path());
            QVERIFY(file.resize(SettingsFile::MaximumSize + 1));
        }
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")), QString());
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].startsWith(QStringLiteral("設定ファイルを読み込めませんでした。")));
        QVERIFY(m_messages[0].contains(path()));

        WriteIniValue(data, QStringLiteral("TEXT"), QStringLiteral("new"));
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(m_messages[1].startsWith(QStringLiteral("設定ファイルを保存できませんでした。")));
        const QFileInfo after(path());
        if (kind == u"fifo") {
            struct stat status = {};
            QCOMPARE(::lstat(native.constData(), &status), 0);
            QVERIFY(S_ISFIFO(status.st_mode));
        } else if (kind == u"folder") {
            QVERIFY(after.isDir());
        } else if (kind == u"zero") {
            QCOMPARE(after.symLinkTarget(), QStringLiteral("/dev/zero"));
        } else {
            QCOMPARE(after.size(), SettingsFile::MaximumSize + 1);
        }
    }

    void testLineBreakCannotAddKey_data()
    {
        QTest::addColumn<QString>("lineBreak");
        QTest::newRow("CR LF") << "\r\n";
        QTest::newRow("LF") << "\n";
        QTest::newRow("CR") << "\r";
    }

    void testLineBreakCannotAddKey()
    {
        QFETCH(QString, lineBreak);
        writeFile("[DATA]\nTEXT=old\n");
        const QString value = u"x"_s + lineBreak + u"FontBold=True"_s + lineBreak + u"[Other]"_s +
                              lineBreak + u"k=1"_s;
        WriteIniValue(data, QStringLiteral("TEXT"), value);
        QCOMPARE(ReadIniValue(data, QStringLiteral("FontBold")), QString());
        QCOMPARE(ReadIniValue(QStringLiteral("Other"), QStringLiteral("k")), QString());
        const QString spaces(lineBreak.size(), u' ');
        QCOMPARE(ReadIniValue(data, QStringLiteral("TEXT")),
                 u"x"_s + spaces + u"FontBold=True"_s + spaces + u"[Other]"_s + spaces + u"k=1"_s);
        QCOMPARE(fileBytes().count('\n'), 2);
    }

    void testConversions_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("boolean"); // -1: not a Boolean
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("integer");

        QTest::newRow("1.5") << "1.5" << 1 << 1.5 << 2;
        QTest::newRow("2.5") << "2.5" << 1 << 2.5 << 2;
        QTest::newRow("-0.5") << "-0.5" << 1 << -0.5 << 0;
        QTest::newRow("abc") << "abc" << -1 << 0.0 << 0;
        QTest::newRow("empty") << "" << -1 << 0.0 << 0;
        QTest::newRow("0") << "0" << 0 << 0.0 << 0;
        QTest::newRow("-1") << "-1" << 1 << -1.0 << -1;
        QTest::newRow("blue") << "16711680" << 1 << 16711680.0 << 16711680;
        QTest::newRow("unit after number") << "12.75pt" << -1 << 12.75 << 13;
        QTest::newRow("True") << "True" << 1 << 0.0 << 0;
        QTest::newRow("FALSE") << "FALSE" << 0 << 0.0 << 0;
        QTest::newRow("Yes") << "Yes" << -1 << 0.0 << 0;
    }

    void testConversions()
    {
        QFETCH(QString, stored);
        QFETCH(int, boolean);
        QFETCH(double, number);
        QFETCH(int, integer);
        WriteIniValue(data, QStringLiteral("PICTURE"), stored);
        const QString value = ReadIniValue(data, QStringLiteral("PICTURE"));
        const std::optional<bool> expectedBoolean =
            boolean < 0 ? std::nullopt : std::optional<bool>(boolean != 0);
        QCOMPARE(settingBool(value), expectedBoolean);
        QCOMPARE(settingNumber(value), number);
        QCOMPARE(settingInteger(value), integer);
    }
};

DESKWORD_TEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
