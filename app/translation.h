#ifndef TRANSLATION_H
#define TRANSLATION_H

#include <QtCore/QStringList>

class QCoreApplication;
class QString;

// The codes of the languages the window speaks: English and every translation in the bundle
// ("de", "en", "pt_BR", "zh_CN"...), sorted.
QStringList availableLanguages();

// The fonts a language needs besides the bundled Roboto (the Chinese, Japanese and Korean
// characters), as resource paths; none for a language Roboto draws alone.
QStringList languageFonts(const QString &language);

// Installs the translation of the UI texts for the user's language on the application; call it
// before any document is loaded. The language is the one requested (--lang), else, when
// LANGUAGE is set, the first of its list that is English or has a translation, else the
// system's. A translation serves every region of its language that
// writes the same script (pt_PT reads pt_BR; zh_TW, in traditional characters, reads English,
// not zh_CN). A language without a translation in the bundle is English; a requested one is
// then named in a warning with the languages there are.
// Returns the language's code ("de", "en", "pt_BR"...).
QString installTranslation(QCoreApplication &application, const QString &requested);

#endif // TRANSLATION_H
