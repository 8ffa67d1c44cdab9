#include "diskcheckplatform.h"

#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>
#include <QtCore/QStorageInfo>

namespace {

// Linux has no chkdsk. dosfstools' checker stands in for it, read-only: it answers through
// its exit status, 0 for a clean volume and 1 for problems found.
class FsckFatPlatform : public DiskCheckPlatform
{
public:
    QString driveOf(const QString &destinationPath) const override;
    DiskCheckCommand checkCommand(const QString &drive) const override;
    DiskCheckCommand repairCommand(const QString &drive) const override;
    int verdictWithoutSentence(int exitCode) const override;
};

QString checkerProgram()
{
    const QString name = QStringLiteral("fsck.fat");
    QString found = QStandardPaths::findExecutable(name);
    // An ordinary user's PATH often lacks the sbin directories.
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin") });
    // Not installed: the start fails and the check has no verdict.
    return found.isEmpty() ? name : found;
}

QString FsckFatPlatform::driveOf(const QString &destinationPath) const
{
    const QStorageInfo volume(QFileInfo(destinationPath).absolutePath());
    return volume.isValid() ? volume.rootPath() : QString();
}

DiskCheckCommand FsckFatPlatform::checkCommand(const QString &drive) const
{
    DiskCheckCommand command;
    const QStorageInfo volume(drive);
    if (drive.isEmpty() || !volume.isValid()) {
        command.refusal = QStringLiteral("no mounted volume holds the destination");
        return command;
    }
    // A FAT volume mounted through FUSE names its device only when mounted with fsname.
    static const QList<QByteArray> fatTypes = { "vfat", "msdos", "fat", "fuse.fusefat" };
    const QByteArray type = volume.fileSystemType();
    const QString device = QString::fromLocal8Bit(volume.device());
    if (!fatTypes.contains(type))
        command.refusal = QStringLiteral("not a FAT file system: ") + QString::fromLatin1(type);
    else if (!device.startsWith(QLatin1String("/dev/")))
        command.refusal = QStringLiteral("no block device behind the volume: ") + device;
    else if (!QFileInfo(device).isReadable())
        command.refusal = QStringLiteral("no permission to read ") + device;
    if (!command.refusal.isEmpty())
        return command;
    command.program = checkerProgram();
    command.arguments = QStringList { QStringLiteral("-n"), device };
    return command;
}

DiskCheckCommand FsckFatPlatform::repairCommand(const QString &) const
{
    // Repairing a file system under the kernel's feet corrupts it; Windows locks the volume
    // first, we cannot.
    DiskCheckCommand command;
    command.refusal = QStringLiteral("never repair a mounted file system");
    return command;
}

int FsckFatPlatform::verdictWithoutSentence(int exitCode) const
{
    // 0 and 1 are fsck.fat's answers; anything else (usage, no access, a crash) is none.
    return exitCode == 0 || exitCode == 1 ? exitCode : -1;
}

} // namespace

std::unique_ptr<DiskCheckPlatform> DiskCheckPlatform::create()
{
    return std::make_unique<FsckFatPlatform>();
}
