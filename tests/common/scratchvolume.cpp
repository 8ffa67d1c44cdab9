#include "scratchvolume.h"

#include <QtCore/QProcess>

#include <unistd.h>

ScratchVolume::ScratchVolume(qint64 sizeBytes) : error(unavailableReason())
{
    mounted = error.isEmpty() && mountPoint.isValid()
            && run("mount", { "-t", "tmpfs", "-o", "size=" + QString::number(sizeBytes), "lumetra-test", rootPath() });
}

QString ScratchVolume::unavailableReason()
{
    if (geteuid() != 0)
        return QStringLiteral("needs root to mount a scratch volume (run the suite as root)");
    if (qgetenv("LUMETRA_PRIVATE_MOUNTS") != "1")
        return QStringLiteral("needs a private mount namespace (run through ctest, which uses unshare -m)");
    return QString();
}

bool ScratchVolume::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    if (!ran)
        error = arguments.join(' ') + ": " + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return ran;
}
