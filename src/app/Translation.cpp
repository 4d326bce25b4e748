#include "Translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace Translation {

bool prefersJapanese(const QStringList& uiLanguages)
{
    if (uiLanguages.isEmpty()) {
        return true;
    }
    // "ja", "ja-JP", "ja_JP.UTF-8": QLocale reads the language from each of them.
    return QLocale(uiLanguages.first()).language() == QLocale::Japanese;
}

namespace {

// Loads the file from the first folder that has it and installs it on the application.
bool installFirst(const QString& fileName, const QStringList& folders)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QString& folder : folders) {
        if (translator->load(fileName, folder)) {
            if (QCoreApplication::installTranslator(translator)) {
                return true;
            }
            break;
        }
    }
    delete translator;
    return false;
}

} // namespace

bool installQt(const QString& language)
{
    // Qt's own texts are English; a translation is needed only for Japanese.
    if (language != QStringLiteral("ja")) {
        return false;
    }
    return installFirst(QStringLiteral("qtbase_ja.qm"),
                        {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
}

bool install(const QStringList& uiLanguages)
{
    if (prefersJapanese(uiLanguages)) {
        // The program's texts are Japanese already; the dialogs Qt makes follow them
        // when Qt's translations are installed (Debian: qt6-translations-l10n).
        installQt(QStringLiteral("ja"));
        return false;
    }
    // Without a translation the Japanese texts stay.
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/deskword/translations"));
    return installFirst(QStringLiteral("deskword_en.qm"), {installed, QStringLiteral(":/i18n")});
}

} // namespace Translation
