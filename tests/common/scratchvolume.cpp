#include "scratchvolume.h"

#include <QtCore/QDir>
#include <QtCore/QProcess>

#include <unistd.h>

ScratchVolume::ScratchVolume(Kind kind, qint64 sizeBytes, const QString &mountName)
    : root(mountName.isEmpty() ? mountPoint.path() : mountPoint.filePath(mountName))
{
    if (!unavailableReason().isEmpty() || !mountPoint.isValid() || !QDir().mkpath(root)) {
        error = unavailableReason();
        return;
    }
    // $1 the size, $2 the mount point, $3 the image; an image's loop device is printed first.
    // A FAT image's fsname puts the loop device in the mount table, where a checker looks.
    static const char *const scripts[] = {
        "mount -t tmpfs -o size=$1 lumetra-test \"$2\"",
        "truncate -s $1 \"$3\" && mkfs.fat \"$3\" >/dev/null && d=$(losetup --find --show \"$3\") && echo $d"
        " && fusefat -o rw+,fsname=$d,subtype=fusefat $d \"$2\"" };
    QString output;
    mounted = run(QStringLiteral("sh"),
                  { QStringLiteral("-c"), QLatin1String(scripts[int(kind)]), QStringLiteral("sh"),
                    QString::number(sizeBytes), root, imageDirectory.filePath(QStringLiteral("volume.img")) },
                  &output);
    loopDevice = output.trimmed();
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
    const bool ran
        = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (!ran)
        error = arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
            + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return ran;
}
