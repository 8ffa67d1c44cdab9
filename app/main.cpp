#include "commandline.h"
#include "commandlineupdater.h"
#include "host.h"
#include "logfile.h"

#include <QtCore/QFileInfo>
#include <QtCore/QString>
#include <QtCore/QStringList>

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ProgramOptions options = readProgramOptions(arguments);
    switch (options.action) {
    case ProgramOptions::Action::Window: {
        const LogFile log;
        return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"), options.language);
    }
    case ProgramOptions::Action::CommandLine:
        // The mode without a window keeps its own log: its debug lines stay off the terminal.
        return CommandLineUpdater::run(argc, argv, options.commandLine);
    default:
        return answerOnConsole(options, QFileInfo(arguments.value(0)).fileName());
    }
}
