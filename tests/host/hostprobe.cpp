#include "commandline.h"
#include "host.h"
#include "logfile.h"

#include <QtCore/QString>

// Starts as the program does, with the test document named by the first argument; every
// argument still reaches the application object.
int main(int argc, char *argv[])
{
    setApplicationIdentity();
    if (answerBasicOptions(argc, argv))
        return 0;
    const LogFile log;
    const QString document = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/probe/") + document);
}
