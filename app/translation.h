#ifndef TRANSLATION_H
#define TRANSLATION_H

class QCoreApplication;
class QString;

// Installs the translation of the UI texts for the user's language on the application; call it
// before any document is loaded. The language is the one requested (--lang), else, when
// LANGUAGE is set, the first of its list that is English or has a translation, else the
// system's. A language without a translation in the bundle is English; a requested one is then
// named in a warning with the languages there are. Returns the language's code ("de", "en"...).
QString installTranslation(QCoreApplication &application, const QString &requested);

#endif // TRANSLATION_H
