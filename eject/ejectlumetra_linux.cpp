#include "ejectlumetra.h"

#include "ejectsystem_linux.h"

std::unique_ptr<EjectSystem> EjectLumetra::systemLayer()
{
    return std::make_unique<UdisksEjectSystem>();
}

QString EjectLumetra::driveName(const QString &rootPath)
{
    return rootPath;
}
