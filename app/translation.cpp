#include "translation.h"

#include "applogging.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtCore/QStringList>
#include <QtCore/QTranslator>

namespace {

const QLatin1String english("en");
const QLatin1String translationPrefix("lumetrainstaller_");
const QLatin1String translationSuffix(".qm");

QString translationFile(const QString &code)
{
    return QStringLiteral(":/translations/") + translationPrefix + code + translationSuffix;
}

// The available language that serves a name such as "de_AT.UTF-8", "pt-PT", "zh_TW" or "IT":
// the same language in the same script, the same region first. "" when there is none.
QString availableLanguage(const QString &name)
{
    const QLocale wanted(name);
    if (wanted.language() == QLocale::C)
        return QString();
    QString found;
    for (const QString &code : availableLanguages()) {
        const QLocale locale(code);
        if (locale.language() != wanted.language() || locale.script() != wanted.script())
            continue;
        if (locale.country() == wanted.country())
            return code;
        if (found.isEmpty())
            found = code;
    }
    return found;
}

QString availableOrEnglish(const QString &name)
{
    const QString code = availableLanguage(name);
    return code.isEmpty() ? QString(english) : code;
}

QString chosenLanguage(const QString &requested)
{
    if (!requested.isEmpty()) {
        const QString code = availableLanguage(requested);
        if (code.isEmpty() && QLocale(requested).language() != QLocale::English) {
            qCWarning(lcApp).noquote() << "LumetraInstaller: no language" << requested << "here; there are"
                                 << availableLanguages().join(QStringLiteral(", ")) << "- going on in English";
        }
        return code.isEmpty() ? QString(english) : code;
    }

    // GNU gettext's list of preferred languages, the first one available wins. Qt reads it
    // only on Unix; here it counts on every system.
    const QString preferred = qEnvironmentVariable("LANGUAGE");
    if (!preferred.isEmpty()) {
        for (const QString &entry : preferred.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
            const QString code = availableLanguage(entry);
            if (!code.isEmpty())
                return code;
        }
        return english;
    }

    return availableOrEnglish(QLocale::system().uiLanguages().value(0));
}

} // namespace

QStringList availableLanguages()
{
    // Read from the bundle, so a language is offered exactly when its texts are there.
    QStringList codes { english };
    const QStringList files = QDir(QStringLiteral(":/translations"))
                                      .entryList({ translationPrefix + QLatin1Char('*') + translationSuffix });
    for (const QString &file : files)
        codes.append(file.mid(translationPrefix.size(), file.size() - translationPrefix.size() - translationSuffix.size()));
    codes.sort();
    return codes;
}

QStringList languageFonts(const QString &language)
{
    if (language.isEmpty())
        return QStringList();
    const QDir fonts(QStringLiteral(":/Fonts/") + language);
    QStringList paths;
    for (const QString &file : fonts.entryList(QDir::Files, QDir::Name))
        paths.append(fonts.filePath(file));
    return paths;
}

QString installTranslation(QCoreApplication &application, const QString &requested)
{
    const QString language = chosenLanguage(requested);
    if (language == english)
        return language;

    auto *translator = new QTranslator(&application);
    if (!translator->load(translationFile(language))
        || !application.installTranslator(translator)) {
        qCWarning(lcApp) << "installTranslation: no translation for" << language;
        delete translator;
        return english;
    }
    return language;
}
