#include "unitlock.h"

#include <QtCore/QFile>

#include <sys/stat.h>

QString UnitLock::volumeIdentity(const QString &root)
{
    struct stat info;
    if (::stat(QFile::encodeName(root).constData(), &info) != 0)
        return QString();
    // The device number names the volume; the root's inode tells apart directories that
    // stand in for volumes on one file system, and is the same for every mount of the root.
    return QStringLiteral("%1-%2").arg(quint64(info.st_dev), 0, 16).arg(quint64(info.st_ino), 0, 16);
}
