#include "ejectlumetra.h"

#include "ejectalgorithm.h"
#include "ejectsystem.h"

EjectLumetra::EjectLumetra(QObject *parent)
    : EjectLumetra(systemLayer(), parent)
{
}

EjectLumetra::EjectLumetra(std::unique_ptr<EjectSystem> system, QObject *parent)
    : QObject(parent),
      system(std::move(system))
{
}

EjectLumetra::~EjectLumetra() = default;

quint32 EjectLumetra::ejectDrive(QString drive)
{
    // Volumes are named in the local 8-bit encoding (the ANSI code page on Windows).
    const QByteArray name = drive.toLocal8Bit();
    return ::ejectDrive(*system, std::string(name.constData(), size_t(name.size())));
}

void EjectLumetra::setConsole(std::FILE *stream)
{
    EjectSystem::console = stream;
}
