#include "fatvolume.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QtEndian>

FatVolume::FatVolume(const QString &mountName, qint64 sizeBytes)
{
    const QString image = directory.filePath(QStringLiteral("fat.img"));
    mountPoint = directory.filePath(mountName);
    QString device;
    if (!directory.isValid() || !QDir().mkpath(mountPoint)
        || !run(QStringLiteral("truncate"), { QStringLiteral("-s"), QString::number(sizeBytes), image })
        || !run(QStringLiteral("mkfs.fat"), { image })
        || !run(QStringLiteral("losetup"), { QStringLiteral("--find"), QStringLiteral("--show"), image }, &device))
        return;
    loopDevice = device.trimmed();
    // fsname puts the device in the mount table, where the checker looks for it.
    mounted = run(QStringLiteral("fusefat"),
                  { QStringLiteral("-o"),
                    QStringLiteral("rw+,fsname=%1,subtype=fusefat").arg(loopDevice), loopDevice, mountPoint });
}

FatVolume::~FatVolume()
{
    if (mounted)
        run(QStringLiteral("umount"), { QStringLiteral("-l"), mountPoint });
    if (!loopDevice.isEmpty())
        run(QStringLiteral("losetup"), { QStringLiteral("-d"), loopDevice });
}

bool FatVolume::damageSecondFat()
{
    QFile device(loopDevice);
    if (!device.open(QIODevice::ReadWrite))
        return false;
    const QByteArray boot = device.read(512);
    if (boot.size() != 512)
        return false;
    const auto field = [&boot](int offset) { return qFromLittleEndian<quint16>(boot.constData() + offset); };
    const qint64 bytesPerSector = field(11);
    const qint64 secondFat = (field(14) + field(22)) * bytesPerSector;
    return device.seek(secondFat + 16) && device.write("\x77\x77\x77\x77", 4) == 4 && device.flush();
}

bool FatVolume::run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        error = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput());
    return true;
}
