#include "host.h"

#include <QtCore/QString>

// Runs the host with the test document named by the first argument; every argument
// still reaches the application object.
int main(int argc, char *argv[])
{
    const QString document = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/probe/") + document);
}
