#include "Translation.h"

#include <QCoreApplication>
#include <QDir>
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

bool install(const QStringList& uiLanguages)
{
    if (prefersJapanese(uiLanguages)) {
        return false;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString fileName = QStringLiteral("deskword_en.qm");
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral("../share/deskword/translations"));
    if (translator->load(fileName, installed) ||
        translator->load(fileName, QStringLiteral(":/i18n"))) {
        if (QCoreApplication::installTranslator(translator)) {
            return true;
        }
    }
    // Without a translation the Japanese texts stay.
    delete translator;
    return false;
}

} // namespace Translation
