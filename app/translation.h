#ifndef TRANSLATION_H
#define TRANSLATION_H

#include <QtCore/QCommandLineOption>

class QCoreApplication;
class QString;

// "--lang <code>" (or "--lang=<code>"): the window's language, over the system's.
QCommandLineOption languageOption();

// Installs the translation of the UI texts for the user's language on the application; call it
// before any document is loaded. The language is the one named by "--lang <code>" or
// "--lang=<code>", else, when LANGUAGE is set, the first of its list that is English or has a
// translation, else the system's. A language without a translation in the bundle is English.
// Returns the language's code ("de", "en"...).
QString installTranslation(QCoreApplication &application);

#endif // TRANSLATION_H
