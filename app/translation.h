#ifndef TRANSLATION_H
#define TRANSLATION_H

#include <QtCore/QCommandLineOption>
#include <QtCore/QStringList>

class QCoreApplication;
class QString;

// "--lang <code>" (or "--lang=<code>"): the window's language, over the system's.
QCommandLineOption languageOption();

// The codes of the languages the window speaks: English and every translation in the bundle
// ("de", "en", "pt_BR", "zh_CN"...), sorted.
QStringList availableLanguages();

// The fonts a language needs besides the bundled Roboto (the Chinese, Japanese and Korean
// characters), as resource paths; none for a language Roboto draws alone.
QStringList languageFonts(const QString &language);

// Installs the translation of the UI texts for the user's language on the application; call it
// before any document is loaded. The language is the one named by "--lang <code>" or
// "--lang=<code>", else, when LANGUAGE is set, the first of its list that is English or has a
// translation, else the system's. A translation serves every region of its language that
// writes the same script (pt_PT reads pt_BR; zh_TW, in traditional characters, reads English,
// not zh_CN). A language without a translation in the bundle is English.
// Returns the language's code ("de", "en", "pt_BR"...).
QString installTranslation(QCoreApplication &application);

#endif // TRANSLATION_H
