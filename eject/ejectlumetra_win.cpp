#include "ejectlumetra.h"

#include "ejectsystem_win.h"

std::unique_ptr<EjectSystem> EjectLumetra::systemLayer()
{
    return std::make_unique<WindowsEjectSystem>();
}

QString EjectLumetra::driveName(const QString &rootPath)
{
    return rootPath.left(1);
}
