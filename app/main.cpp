#include "commandline.h"
#include "commandlineupdater.h"
#include "host.h"
#include "logfile.h"

#include <QtCore/QString>

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    if (answerBasicOptions(argc, argv))
        return 0;
    // The mode without a window keeps its own log: its debug lines stay off the terminal.
    if (CommandLineUpdater::isRequested(argc, argv))
        return CommandLineUpdater::run(argc, argv);
    const LogFile log;
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"));
}
