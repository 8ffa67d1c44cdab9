#include "commandline.h"

#include "console.h"
#include "logfile.h"
#include "lumetrainstaller.h"
#include "translation.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>

#include <cstdio>

namespace {

struct Option
{
    const char *names;       // comma-separated
    const char *valueName;   // nullptr for a switch
    const char *description; // nullptr: Qt's own, not listed
};

// The window's options and Qt's own: Qt reads its own from the application's arguments.
const Option windowOptions[] = {
    { "lang", "code", "The window's language: {languages} (the system's by default)." },
    { "platform", "name", nullptr }, { "platformpluginpath", "path", nullptr }, { "platformtheme", "name", nullptr },
    { "plugin", "name", nullptr }, { "qmljsdebugger", "value", nullptr }, { "qwindowgeometry", "geometry", nullptr },
    { "qwindowtitle", "title", nullptr }, { "qwindowicon", "icon", nullptr }, { "reverse", nullptr, nullptr },
    { "session", "name", nullptr }, { "style", "style", nullptr }, { "stylesheet", "file", nullptr },
    { "geometry", "geometry", nullptr }, { "title", "title", nullptr }, { "display", "display", nullptr },
    { "name", "name", nullptr }, { "dialogs", "value", nullptr }, { "fontengine", "name", nullptr },
    { "nograb", nullptr, nullptr }, { "dograb", nullptr, nullptr }, { "sync", nullptr, nullptr },
    { "widgetcount", nullptr, nullptr },
};

const Option commandLineOptions[] = {
    { "list", nullptr, "List every connected unit with its version." },
    { "update", nullptr, "Update the first connected unit (with --all, every one)." },
    { "verify", nullptr, "Read each unit's firmware back and compare it with version {version}." },
    { "all", nullptr, "With --update or --verify: every connected unit, one after another." },
    { "yes", nullptr, "With --update: do not ask; needed without a terminal." },
    { "no-eject", nullptr, "With --update: leave the units connected afterwards." },
    { "force", nullptr, "With --update: rewrite the firmware even of a unit that says it is up to date." },
    { "watch", nullptr, "With --update: update each unit as it is connected, until Ctrl+C." },
    { "json", nullptr, "One JSON object per event on standard output, nothing else there." },
};

const Option basicOptions[] = {
    { "h,help", nullptr, "Displays this help." },
    { "v,version", nullptr, "Displays the version, and the firmware's with its SHA-256." },
    { "log-dir", nullptr, "Displays the folder of the log files and the update history." },
};

QString described(const Option &option)
{
    QString text = QString::fromLatin1(option.description);
    text.replace(QLatin1String("{version}"), QCoreApplication::applicationVersion());
    if (text.contains(QLatin1String("{languages}")))
        text.replace(QLatin1String("{languages}"), availableLanguages().join(QLatin1String(", ")));
    return text;
}

QCommandLineOption toParserOption(const Option &option)
{
    QCommandLineOption parsed(QString::fromLatin1(option.names).split(QLatin1Char(',')),
                              option.description ? described(option) : QString(),
                              QString::fromLatin1(option.valueName));
    if (!option.description)
        parsed.setFlags(QCommandLineOption::HiddenFromHelp);
    return parsed;
}

template<size_t count>
void addAll(QCommandLineParser &parser, const Option (&options)[count])
{
    for (const Option &option : options)
        parser.addOption(toParserOption(option));
}

template<size_t count>
QString helpLines(const Option (&options)[count])
{
    QString lines;
    for (const Option &option : options) {
        if (!option.description)
            continue;
        QStringList names = QString::fromLatin1(option.names).split(QLatin1Char(','));
        for (QString &name : names)
            name.prepend(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"));
        QString left = names.join(QStringLiteral(", "));
        if (option.valueName)
            left += QStringLiteral(" <%1>").arg(QLatin1String(option.valueName));
        lines += QStringLiteral("  %1  %2\n").arg(left, -16).arg(described(option));
    }
    return lines;
}

bool isSet(const QCommandLineParser &parser, const char *name)
{
    return parser.isSet(QString::fromLatin1(name));
}

} // namespace

void setApplicationIdentity()
{
    // No organisation name: the folder is LumetraInstaller itself, right under the user's
    // application data. The program bears the version of the firmware it carries.
    QCoreApplication::setApplicationName(QStringLiteral("LumetraInstaller"));
    QCoreApplication::setApplicationVersion(LumetraInstaller::firmwareVersion());
}

ProgramOptions readProgramOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's own options are single words ("-reverse", "-platform"): read them as such, not as
    // a cluster of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addAll(parser, basicOptions);
    addAll(parser, windowOptions);
    addAll(parser, commandLineOptions);

    ProgramOptions options;
    if (!parser.parse(arguments)) {
        options.action = ProgramOptions::Action::WrongUsage;
        options.error = parser.errorText();
        return options;
    }
    options.language = parser.value(QStringLiteral("lang"));
    CommandLineUpdater::Options &face = options.commandLine;
    face.list = isSet(parser, "list");
    face.update = isSet(parser, "update");
    face.verify = isSet(parser, "verify");
    face.all = isSet(parser, "all");
    face.yes = isSet(parser, "yes");
    face.noEject = isSet(parser, "no-eject");
    face.force = isSet(parser, "force");
    face.watch = isSet(parser, "watch");
    face.json = isSet(parser, "json");

    const int modes = int(face.list) + int(face.update) + int(face.verify);
    const bool onlyWithUpdate = face.yes || face.noEject || face.force || face.watch;
    QString error;
    if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().first();
    else if (modes > 1)
        error = QStringLiteral("Give one of --list, --update and --verify.");
    else if (modes == 0 && (onlyWithUpdate || face.all || face.json))
        error = QStringLiteral("--all, --yes, --no-eject, --force, --watch and --json go with --list, --update "
                               "or --verify; without them the program opens its window.");
    else if (!face.update && onlyWithUpdate)
        error = QStringLiteral("--yes, --no-eject, --force and --watch go with --update.");
    else if (face.list && face.all)
        error = QStringLiteral("--list lists every unit; --all goes with --update or --verify.");
    else if (face.watch && face.all)
        error = QStringLiteral("--watch updates every unit that is connected; --all does not go with it.");
    else if (face.update && !face.yes && !Console::inputIsTerminal())
        error = QStringLiteral("Without a terminal to answer on, --update needs --yes.");

    if (!error.isEmpty()) {
        options.action = ProgramOptions::Action::WrongUsage;
        options.error = error;
    } else if (parser.isSet(QStringLiteral("help"))) {
        options.action = ProgramOptions::Action::Help;
    } else if (parser.isSet(QStringLiteral("version"))) {
        options.action = ProgramOptions::Action::Version;
    } else if (parser.isSet(QStringLiteral("log-dir"))) {
        options.action = ProgramOptions::Action::LogDirectory;
    } else if (modes == 1) {
        options.action = ProgramOptions::Action::CommandLine;
    }
    return options;
}

QString programHelpText(const QString &programName)
{
    return QStringLiteral("Usage: %1 [options]\n"
                          "Updates the firmware of a Lumetra connected by USB to version %2: in a window, or\n"
                          "without one with --list, --update or --verify.\n\n")
                   .arg(programName, QCoreApplication::applicationVersion())
            + QStringLiteral("Options:\n") + helpLines(basicOptions)
            + QStringLiteral("\nThe window (Qt's own options, such as -platform, also reach it):\n") + helpLines(windowOptions)
            + QStringLiteral("\nWithout a window:\n") + helpLines(commandLineOptions)
            + QStringLiteral("\nExit status:\n"
                             "  0  every unit updated, up to date, or (--verify) matching\n"
                             "  1  a unit failed, was busy or differs; the update was declined or stopped;\n"
                             "     or standard output could not be written\n"
                             "  2  no unit found\n"
                             "  3  wrong usage; or no display to open the window on\n"
                             "  4  every unit updated or up to date, but the system refused to remove one:\n"
                             "     eject that drive yourself before unplugging it (the result line says why)\n");
}

int answerOnConsole(const ProgramOptions &options, const QString &programName)
{
    QString text;
    FILE *stream = stdout;
    int status = 0;
    switch (options.action) {
    case ProgramOptions::Action::Help:
        text = programHelpText(programName);
        break;
    case ProgramOptions::Action::Version:
        // The firmware's hash lets a user compare the program with the one Zentorlab published.
        text = QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()
                + QStringLiteral("\nfirmware %1, SHA-256 %2\n")
                          .arg(LumetraInstaller::firmwareVersion(), LumetraInstaller::firmwareSha256());
        break;
    case ProgramOptions::Action::LogDirectory:
        text = QDir::toNativeSeparators(logDirectory()) + QLatin1Char('\n');
        break;
    default:
        text = options.error + QStringLiteral("\n\n") + programHelpText(programName);
        stream = stderr;
        status = CommandLineUpdater::WrongUsage;
        break;
    }
    Console::attachToParent();
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
    return status;
}
