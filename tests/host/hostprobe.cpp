#include "commandline.h"
#include "host.h"

#include <QtCore/QString>

// Runs the real host code with the main document given by URL as the first argument; every
// argument still reaches the application object, and --lang is read as the program reads it.
int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return runLumetraHost(argc, argv, arguments.value(1), readProgramOptions(arguments).language);
}
