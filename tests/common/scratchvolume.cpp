#include "scratchvolume.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>

#include <unistd.h>

ScratchVolume::ScratchVolume(Kind kind, qint64 sizeBytes, const QString &mountName)
    : root(mountName.isEmpty() ? mountPoint.path() : mountPoint.filePath(mountName))
{
    if (!unavailableReason().isEmpty() || !mountPoint.isValid() || !QDir().mkpath(root)) {
        error = unavailableReason();
        return;
    }
    if (kind == Kind::Tmpfs) {
        mounted = run(QStringLiteral("mount"),
                      { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                        QStringLiteral("size=%1").arg(sizeBytes), QStringLiteral("lumetra-test"), root });
        return;
    }
    const QString image = imageDirectory.filePath(QStringLiteral("volume.img"));
    const QString format = kind == Kind::FatImage ? QStringLiteral("mkfs.fat") : QStringLiteral("mkfs.ext4");
    const QStringList formatOptions = kind == Kind::FatImage ? QStringList() : QStringList { QStringLiteral("-q"), QStringLiteral("-F") };
    QString device;
    if (!run(QStringLiteral("truncate"), { QStringLiteral("-s"), QString::number(sizeBytes), image })
        || !run(format, formatOptions + QStringList { image })
        || !run(QStringLiteral("losetup"), { QStringLiteral("--find"), QStringLiteral("--show"), image },
                &device))
        return;
    loopDevice = device.trimmed();
    if (kind == Kind::FatImage) {
        // fsname puts the device in the mount table, where a checker looks for it.
        mounted = run(QStringLiteral("fusefat"),
                      { QStringLiteral("-o"),
                        QStringLiteral("rw+,fsname=%1,subtype=fusefat").arg(loopDevice), loopDevice, root });
        return;
    }
    mounted = run(QStringLiteral("mount"), { loopDevice, root });
}

ScratchVolume::~ScratchVolume()
{
    unmount();
    if (!loopDevice.isEmpty())
        run(QStringLiteral("losetup"), { QStringLiteral("-d"), loopDevice });
}

QString ScratchVolume::unavailableReason()
{
    if (geteuid() != 0)
        return QStringLiteral("needs root to mount a scratch volume (run the suite as root)");
    if (qgetenv("LUMETRA_PRIVATE_MOUNTS") != "1")
        return QStringLiteral("needs a private mount namespace (run through ctest, which uses unshare -m)");
    return QString();
}

bool ScratchVolume::remountReadOnly()
{
    return mounted
            && run(QStringLiteral("mount"),
                   { QStringLiteral("-o"), QStringLiteral("remount,ro"), root });
}

bool ScratchVolume::unmount()
{
    if (!mounted)
        return true;
    // Lazy, so a file a test still holds open cannot leave the mount behind.
    mounted = !run(QStringLiteral("umount"), { QStringLiteral("-l"), root });
    return !mounted;
}

bool ScratchVolume::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        error = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
                + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return true;
}
