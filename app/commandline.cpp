#include "commandline.h"

#include "console.h"
#include "logfile.h"
#include "translation.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QStringList>

#include <cstdio>

void setApplicationIdentity()
{
    // No organisation name: the folder is LumetraInstaller itself, right under the user's
    // application data.
    QCoreApplication::setApplicationName(QStringLiteral("LumetraInstaller"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.73"));
}

bool answerBasicOptions(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Updates the firmware of a Lumetra connected by USB to version %1.")
                    .arg(QCoreApplication::applicationVersion()));
    // Qt's own options are single words ("-reverse", "-platform"): read them as such, not as
    // a cluster of one-letter options that could hold -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption logDir(QStringLiteral("log-dir"),
                                    QStringLiteral("Displays the folder of the log files and the update history."));
    parser.addOption(logDir);
    parser.addOption(languageOption());
    // An option no one here knows belongs to another part of the program (or to Qt).
    parser.parse(arguments);

    const bool helpAsked = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    if (!helpAsked && !parser.isSet(version) && !parser.isSet(logDir))
        return false;

    QString text;
    if (helpAsked) {
        // The help text names the program as it was started, from the application object.
        int count = argc;
        const QCoreApplication application(count, argv);
        text = parser.helpText();
    } else if (parser.isSet(version)) {
        text = QCoreApplication::applicationName() + QLatin1Char(' ')
                + QCoreApplication::applicationVersion() + QLatin1Char('\n');
    } else {
        text = QDir::toNativeSeparators(logDirectory()) + QLatin1Char('\n');
    }
    Console::attachToParent();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return true;
}
