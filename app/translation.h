#ifndef TRANSLATION_H
#define TRANSLATION_H

class QCoreApplication;
class QString;

// Installs the translation of the UI texts for the user's language on the application, before
// any document is loaded. The language is the one named by "--lang <code>" or "--lang=<code>",
// else the first of the LANGUAGE list that we have texts for, else the system's; a language
// without a translation in the bundle is English. Returns the language's code ("de", "en"...).
QString installTranslation(QCoreApplication &application);

#endif // TRANSLATION_H
