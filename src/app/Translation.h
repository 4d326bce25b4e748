#pragma once

#include <QLocale>
#include <QStringList>

// The language of the captions and messages. The program's own texts are Japanese;
// an English translation replaces them for a user whose interface language is not
// Japanese. Setting keys and values are never translated.
namespace Translation {

// True when the first of the user's interface languages (most preferred first, as
// QLocale::uiLanguages gives them) is Japanese, or when there is none.
bool prefersJapanese(const QStringList& uiLanguages);

// Installs the English translation on the application unless Japanese is preferred.
// The installed copy in <prefix>/share/deskword/translations is used when present,
// else the one built into the program. Returns true when a translation was installed.
// When Japanese is preferred, Qt's own Japanese texts are installed (installQt), so
// the buttons and labels of Qt's dialogs are in the captions' language too.
bool install(const QStringList& uiLanguages = QLocale::system().uiLanguages());

// Installs Qt's own translation of its dialogs' texts for the language ("ja"), from
// Qt's translations folder; Qt's texts are English, so other languages need none.
// Returns false when there is none to install.
bool installQt(const QString& language);

} // namespace Translation
