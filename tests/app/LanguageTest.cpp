#include "TestMain.h"

#include "app/Translation.h"
#include "app/frmMenu.h"
#include "app/frm_Version.h"
#include "dialogs/FontChooser.h"
#include "editor/Form3.h"
#include "shape/ShapeBuilder.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QXmlStreamReader>
#include <memory>

// The captions in the language of the locale the test runs in: the ctest entries run
// it under LANG=en_US.UTF-8 and under LANG=ja_JP.UTF-8, and DESKWORD_TEST_LANGUAGE
// names the language ("en" or "ja") expected of that locale.
class LanguageTest : public QObject
{
    Q_OBJECT

private:
    bool english = false;

    // The expected caption: the Japanese source text, or its English translation.
    QString expect(const char* japanese, const char* inEnglish) const
    {
        return QString::fromUtf8(english ? inEnglish : japanese);
    }

private slots:
    void initTestCase()
    {
        const QByteArray language = qgetenv("DESKWORD_TEST_LANGUAGE");
        QVERIFY2(language == "en" || language == "ja", "DESKWORD_TEST_LANGUAGE is en or ja");
        english = language == "en";
        // As the program does at start-up, from the locale the test was started in.
        QCOMPARE(Translation::install(), english);
    }

    void interfaceLanguageChoosesTheTexts()
    {
        QVERIFY(Translation::prefersJapanese({QStringLiteral("ja-JP"), QStringLiteral("en-US")}));
        QVERIFY(Translation::prefersJapanese({QStringLiteral("ja")}));
        QVERIFY(Translation::prefersJapanese({}));
        QVERIFY(!Translation::prefersJapanese({QStringLiteral("en-US"), QStringLiteral("ja-JP")}));
        QVERIFY(!Translation::prefersJapanese({QStringLiteral("de-DE")}));
        QVERIFY(!Translation::prefersJapanese({QStringLiteral("C")}));
    }

    void menuCaptions()
    {
        auto menu = std::make_unique<frmMenu>();
        QCOMPARE(menu->mEdit->text(), expect("編集", "Edit"));
        QCOMPARE(menu->mGa->title(), expect("画像表示", "Picture display"));
        QCOMPARE(menu->ga[0]->text(), expect("文字の手前", "In front of the text"));
        QCOMPARE(menu->ga[1]->text(), expect("文字の背後", "Behind the text"));
        QCOMPARE(menu->ga[2]->text(), expect("非表示", "Hidden"));
        QCOMPARE(menu->mver->text(), expect("バージョン情報", "About Deskword"));
        QCOMPARE(menu->mAutostart->text(), expect("ログイン時に起動", "Start at login"));
        QCOMPARE(menu->mHideOnFullScreen->text(),
                 expect("全画面表示のときは隠す", "Hide over full-screen windows"));
        QCOMPARE(menu->mend->text(), expect("終了", "Exit"));
    }

    void aboutBoxCaptionAndVersion()
    {
        auto about = std::make_unique<frm_Version>();
        QCOMPARE(about->windowTitle(), expect("バージョン情報", "About Deskword"));
        QStringList labels;
        for (const QLabel* label : about->findChildren<QLabel*>()) {
            labels.append(label->text());
        }
        // The version comes from the build's project version.
        QVERIFY2(labels.contains(QStringLiteral("Version " DESKWORD_EXPECTED_VERSION)),
                 qPrintable(labels.join(QLatin1Char('|'))));
        // Every line in the application's font, none in a fallback of a missing family.
        for (const QLabel* label : about->findChildren<QLabel*>()) {
            QCOMPARE(label->font().family(), QApplication::font().family());
        }
    }

    void editorAndDialogCaptions()
    {
        auto editor = std::make_unique<Form3>();
        QCOMPARE(editor->Command2->text(), expect("実行", "Execute"));
        QCOMPARE(editor->Command1->text(), expect("フォント設定", "Font..."));
        QCOMPARE(editor->Command3->text(), expect("色設定", "Colour..."));
        QCOMPARE(editor->Command4->text(), expect("画像...", "Picture..."));
        QCOMPARE(editor->mNoPicture->text(), expect("画像なし", "No picture"));
        // In either language every caption fits its button, with a visible gap
        // between the buttons.
        const QList<QPushButton*> row{editor->Command2, editor->Command1, editor->Command3,
                                      editor->Command4};
        for (qsizetype i = 0; i < row.size(); ++i) {
            QVERIFY(row[i]->width() >= row[i]->sizeHint().width());
            if (i > 0) {
                QVERIFY2(row[i]->x() >= row[i - 1]->geometry().right() + 1 + 4,
                         qPrintable(row[i]->objectName()));
            }
        }

        comdlg::FontRequest request;
        FontChooser chooser(request, nullptr);
        QCOMPARE(chooser.windowTitle(), expect("フォント", "Font"));
    }

    // Qt's own dialogs speak the captions' language: the colour dialog's buttons and
    // labels come from Qt's translation (Debian: qt6-translations-l10n).
    void qtDialogTexts()
    {
        QColorDialog dialog;
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        const auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons != nullptr);
        const QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
        QVERIFY(cancel != nullptr);
        QCOMPARE(cancel->text(), expect("キャンセル", "Cancel"));
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels.append(label->text());
        }
        QVERIFY2(labels.contains(expect("基本カラー(&B)", "&Basic colors")),
                 qPrintable(labels.join(QLatin1Char('|'))));
    }

    void messages()
    {
        QCOMPARE(tooLargeMessage(),
                 expect("画像サイズが大きすぎます。", "The picture is too large."));
        QCOMPARE(textTooLargeMessage(), expect("文字列が大きすぎます。", "The text is too large."));
    }

    // Every text of the English translation is translated, so no caption or message
    // falls back to Japanese in an English session.
    void translationIsComplete()
    {
        QFile file(QStringLiteral(DESKWORD_TS_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        int messages = 0;
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            if (xml.name() == QStringLiteral("source")) {
                source = xml.readElementText();
            } else if (xml.name() == QStringLiteral("translation")) {
                const QString type = xml.attributes().value(QStringLiteral("type")).toString();
                const QString text = xml.readElementText();
                QVERIFY2(type.isEmpty() && !text.isEmpty(), qPrintable(source));
                ++messages;
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages >= 20);
    }
};

DESKWORD_TEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
