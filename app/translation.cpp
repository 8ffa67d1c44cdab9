#include "translation.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QLocale>
#include <QtCore/QRegularExpression>
#include <QtCore/QStringList>
#include <QtCore/QTranslator>

namespace {

const QLatin1String english("en");

// "de_AT.UTF-8", "fr-CA" or "IT" to "de", "fr", "it"; names no language knows to "".
QString languageCode(const QString &name)
{
    const QLocale locale(name);
    if (locale.language() == QLocale::C)
        return QString();
    return locale.name().section(QLatin1Char('_'), 0, 0);
}

QString translationFile(const QString &code)
{
    return QStringLiteral(":/translations/lumetrainstaller_%1.qm").arg(code);
}

// The bundle holds one translation per language besides English.
bool isTranslated(const QString &code)
{
    return !code.isEmpty() && QFile::exists(translationFile(code));
}

QString knownOrEnglish(const QString &name)
{
    const QString code = languageCode(name);
    return isTranslated(code) ? code : QString(english);
}

QString chosenLanguage(const QString &requested)
{
    if (!requested.isEmpty()) {
        const QString code = languageCode(requested);
        if (code != english && !isTranslated(code)) {
            QStringList known = QDir(QStringLiteral(":/translations")).entryList();
            known.replaceInStrings(QRegularExpression(QStringLiteral("^lumetrainstaller_(.*)\\.qm$")),
                                   QStringLiteral("\\1"));
            known.append(english);
            known.sort();
            qWarning().noquote() << "LumetraInstaller: no language" << requested << "here; there are"
                                 << known.join(QStringLiteral(", ")) << "- going on in English";
        }
        return knownOrEnglish(requested);
    }

    // GNU gettext's list of preferred languages, the first one available wins. Qt reads it
    // only on Unix; here it counts on every system.
    const QString preferred = qEnvironmentVariable("LANGUAGE");
    if (!preferred.isEmpty()) {
        for (const QString &entry : preferred.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            const QString code = languageCode(entry);
            if (code == english || isTranslated(code))
                return code;
        }
        return english;
    }

    return knownOrEnglish(QLocale::system().uiLanguages().value(0));
}

} // namespace

QString installTranslation(QCoreApplication &application, const QString &requested)
{
    const QString language = chosenLanguage(requested);
    if (language == english)
        return language;

    auto *translator = new QTranslator(&application);
    if (!translator->load(translationFile(language))
        || !application.installTranslator(translator)) {
        qWarning() << "installTranslation: no translation for" << language;
        delete translator;
        return english;
    }
    return language;
}
