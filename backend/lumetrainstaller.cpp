#include "lumetrainstaller.h"

#include "drivefiles.h"

#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QVersionNumber>

namespace {

const QString markerFileName = QStringLiteral("lumetra.bin");
const QString fallbackVersion = QStringLiteral("1.0");

} // namespace

LumetraInstaller::LumetraInstaller(QObject *parent)
    : LumetraInstaller(VolumeSource::system(), parent)
{
}

LumetraInstaller::LumetraInstaller(std::unique_ptr<VolumeSource> volumes, QObject *parent)
    : QObject(parent),
      updateVersion(QString::number(1.73, 'g', 6)),
      firmwareResourcePath(QStringLiteral(":/UpdatedFirmware/lumetra.bin")),
      versionFileName(QStringLiteral("Version.txt")),
      volumes(std::move(volumes))
{
}

LumetraInstaller::~LumetraInstaller() = default;

QString LumetraInstaller::getLumetraUpdateVersion()
{
    return updateVersion;
}

bool LumetraInstaller::isLumetraConnected()
{
    return !findMarkedRoot().isEmpty();
}

QString LumetraInstaller::getLumetraDrivePath()
{
    return findMarkedRoot();
}

// The first volume whose root lists an ordinary, non-hidden file named exactly
// "lumetra.bin". A root that cannot be listed lists nothing and is passed over.
QString LumetraInstaller::findMarkedRoot() const
{
    const QStringList roots = volumes->rootPaths();
    for (const QString &root : roots) {
        const QStringList files = QDir(root).entryList(QStringList(), QDir::Files, QDir::NoSort);
        if (files.contains(markerFileName, Qt::CaseSensitive))
            return root;
    }
    return QString();
}

QString LumetraInstaller::getCurrentVersionNumber()
{
    if (!isLumetraConnected())
        return fallbackVersion;
    const QString root = getLumetraDrivePath();
    const QString path = DriveFiles::pathInRoot(root, versionFileName);
    // The drive may have gone between the two scans: then there is no path.
    if (path.isEmpty() || !QFile::exists(path))
        return fallbackVersion;
    if (!DriveFiles::isReadableOrdinaryFile(root, path, maxVersionFileSize))
        return fallbackVersion;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallbackVersion;
    // Bounded even if the file grew after it was looked at.
    const QByteArray content = file.read(maxVersionFileSize);
    file.close();
    const QString text = QString::fromUtf8(content); // stops at the first zero byte

    qDebug() << "LumetraInstaller::getCurrentVersionNumber " << text;
    return text;
}

bool LumetraInstaller::doesLumetraNeedUpdate()
{
    const QVersionNumber device = QVersionNumber::fromString(getCurrentVersionNumber());
    const QVersionNumber embedded = QVersionNumber::fromString(updateVersion);
    qDebug() << "LumetraInstaller::doesLumetraNeedUpdate " << device.toString() << " "
             << embedded.toString();
    return QVersionNumber::compare(embedded, device) > 0;
}
