// "ejectprobe <root path>": the removal with the real Linux device layer, run by udisks-ejection.sh;
// exits with the result code, or 99 when a handle on a loop device is left open.
#include "ejectlumetra.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv); // the bus connection ends with it, not in a static's destructor
    const quint32 code = EjectLumetra().ejectDrive(QString::fromLocal8Bit(argv[1]));
    const QFileInfoList descriptors = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System);
    const auto onLoop = [](const QFileInfo &fd) { return fd.symLinkTarget().startsWith("/dev/loop"); };
    return std::any_of(descriptors.begin(), descriptors.end(), onLoop) ? 99 : int(code);
}
