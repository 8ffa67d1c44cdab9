#include "commandline.h"
#include "commandlineupdater.h"
#include "host.h"

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
    case ProgramOptions::Action::Window:
        return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"), options.language);
    case ProgramOptions::Action::CommandLine:
        // No display needed; it keeps a log of its own, as the window does.
        return CommandLineUpdater::run(argc, argv, options.commandLine);
    default:
        return answerOnConsole(options, QFileInfo(arguments.value(0)).fileName());
    }
}
