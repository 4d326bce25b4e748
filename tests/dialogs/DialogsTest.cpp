#include "TestMain.h"

#include "dialogs/FontChooser.h"
#include "dialogs/mod_OpenSaveFile.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QSpinBox>

using namespace Qt::StringLiterals;

using comdlg::ColorRequest;
using comdlg::FontRequest;
using comdlg::LogFont;

// ShowColorDialog and ShowFontDialog with answered choosers, and the font chooser of
// our own, driven without its modal loop.
class DialogsTest : public QObject
{
    Q_OBJECT

    QWidget owner;
    QList<FontRequest> requests;
    std::optional<LogFont> answer;

    int32_t showFont(int32_t size, bool bold)
    {
        return ShowFontDialog(&owner, u"Face"_s, 0x123456, size, bold, true, false, true);
    }

private slots:
    void init()
    {
        requests.clear();
        comdlg::setFontHandler([this](QWidget* dialogOwner, const FontRequest& request) {
            requests.append(request);
            return dialogOwner == &owner ? answer : std::nullopt;
        });
    }
    void cleanup() { comdlg::setFontHandler({}); }

    void testFont_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("height"); // goes in; its negative comes back
        QTest::addColumn<int>("weight"); // comes back
        QTest::addColumn<bool>("bold");
        QTest::newRow("9 pt") << 9 << 12 << 400 << false;
        QTest::newRow("10 pt, 13.33") << 10 << 13 << 700 << true;
        QTest::newRow("11 pt, 14.67") << 11 << 15 << 600 << true;
        QTest::newRow("12 pt, light") << 12 << 16 << 300 << false;
        QTest::newRow("128 pt, medium") << 128 << 171 << 500 << false;
        QTest::newRow("no weight") << 12 << 16 << 0 << false;
    }
    void testFont()
    {
        QFETCH(int, size);
        QFETCH(int, height);
        QFETCH(int, weight);
        QFETCH(bool, bold);
        answer = LogFont{-height, weight, false, true, false, u"Chosen"_s};
        QCOMPARE(showFont(size, bold), 0);
        const LogFont& in = requests.last().logFont;
        QCOMPARE(in.height, height);
        QCOMPARE(in.weight, bold ? 700 : 0);
        QVERIFY(in.italic && in.underline && !in.strikeOut && in.faceName == u"Face");
        QCOMPARE(requests.last().sizeMin, 8);
        QCOMPARE(requests.last().sizeMax, 128);
        QCOMPARE(SelectedFontSize, size);
        QCOMPARE(SelectedFontBold, bold);
        QCOMPARE(SelectedFontName, QStringLiteral("Chosen"));
        QVERIFY(!SelectedFontItalic && !SelectedFontStrikethru && SelectedFontUnderline);

        answer.reset(); // a cancel leaves the choice as it was
        QCOMPARE(showFont(30, !bold), 1);
        QCOMPARE(SelectedFontSize, size);
        QCOMPARE(SelectedFontBold, bold);
        QVERIFY(SelectedFontUnderline);
    }

    void testColor()
    {
        for (const std::optional<uint32_t> chosen : {std::optional<uint32_t>(), {0}, {0xFF0000}}) {
            ColorRequest seen;
            comdlg::setColorHandler([&](QWidget*, const ColorRequest& request) {
                seen = request;
                return chosen;
            });
            QCOMPARE(ShowColorDialog(&owner, 0x00FF00), chosen ? int32_t(*chosen) : -1);
            QCOMPARE(seen.initial, uint32_t(0x00FF00));
            QVERIFY(std::all_of(seen.customColors.begin(), seen.customColors.end(),
                                [](uint32_t custom) { return custom == 0xFFFFFF; }));
        }
        comdlg::setColorHandler({});
    }

    void testChooserOpensOnTheRequestedStyle()
    {
        int checked = 0;
        for (const QString& face : QFontDatabase::families()) {
            for (const bool italic : {false, true}) {
                const QStringList styles = QFontDatabase::styles(face);
                if (std::none_of(styles.begin(), styles.end(), [&](const QString& style) {
                        const QFont font = QFontDatabase::font(face, style, 12);
                        return font.weight() == 400 &&
                               (font.style() != QFont::StyleNormal) == italic;
                    })) {
                    continue;
                }
                FontChooser chooser(FontRequest{{16, 0, italic, true, false, face.toUpper()}});
                QCOMPARE(chooser.familyList()->currentItem()->text(), face);
                QCOMPARE(chooser.sizeBox()->value(), 12);
                const LogFont chosen = chooser.chosenFont();
                QCOMPARE(chosen.weight, 400);
                QCOMPARE(chosen.italic, italic);
                QVERIFY(chosen.underline && !chosen.strikeOut); // passed through
                chooser.sizeBox()->setValue(20);
                QCOMPARE(chooser.chosenFont().height, -27);
                ++checked;
            }
        }
        QVERIFY(checked > 0);
    }
};

DESKWORD_TEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
