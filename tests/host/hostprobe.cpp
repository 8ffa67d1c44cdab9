#include "host.h"

#include <QtCore/QString>

// Runs the real host code with the main document given by URL as the first argument; every
// argument still reaches the application object.
int main(int argc, char *argv[])
{
    return runLumetraHost(argc, argv, QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
}
