#include "commandlineupdater.h"
#include "host.h"

#include <QtCore/QString>

int main(int argc, char *argv[])
{
    if (CommandLineUpdater::isRequested(argc, argv))
        return CommandLineUpdater::run(argc, argv);
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"));
}
