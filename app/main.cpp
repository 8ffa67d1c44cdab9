#include "host.h"

#include <QtCore/QString>

int main(int argc, char *argv[])
{
    return runLumetraHost(argc, argv, QStringLiteral("qrc:/main.qml"));
}
