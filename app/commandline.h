#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include "commandlineupdater.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

// The program's name and version; they also name the per-user folder of the log and history.
// Before anything else, in every way the program runs.
void setApplicationIdentity();

// Everything the program's arguments ask for, read once by one parser for both faces.
struct ProgramOptions
{
    enum class Action { Window, CommandLine, Help, Version, LogDirectory, WrongUsage };

    Action action = Action::Window;
    CommandLineUpdater::Options commandLine;
    // --lang as given; empty for the system's language.
    QString language;
    // With WrongUsage: what is wrong, in one sentence.
    QString error;
};

// Reads the arguments (the program's name first). Qt's own options (-platform, -style...) are
// known and left for the window; any other unknown option or argument is wrong usage.
ProgramOptions readProgramOptions(const QStringList &arguments);

// Every option of both faces, grouped, with the exit statuses.
QString programHelpText(const QString &programName);

// Answers --help, --version and --log-dir, and wrong usage (with the help text), on the
// console the program was started from. Returns the exit status.
int answerOnConsole(const ProgramOptions &options, const QString &programName);

#endif // COMMANDLINE_H
