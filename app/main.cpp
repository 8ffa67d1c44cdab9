#include "commandline.h"
#include "host.h"
#include "logfile.h"

#include <QtCore/QString>

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    if (answerBasicOptions(argc, argv))
        return 0;
    const LogFile log;
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"));
}
