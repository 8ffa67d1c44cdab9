#include "unitlock.h"

#include <QtCore/QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Shared by every user, session and service: a private /tmp (systemd's PrivateTmp) or another
// $TMPDIR (pam_tmpdir) would give each its own lock. /tmp itself only where there is no /run/lock.
QByteArray lockFolder()
{
    struct stat info;
    return ::stat("/run/lock", &info) == 0 && S_ISDIR(info.st_mode) ? QByteArrayLiteral("/run/lock")
                                                                     : QByteArrayLiteral("/tmp");
}

// The process that holds the flock on the file, as /proc/locks lists it; 0 when it is not listed.
qint64 flockHolder(const struct stat &file)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    // "1: FLOCK  ADVISORY  WRITE 4711 fe:00:1234 0 EOF": the device's numbers in hex, the inode in decimal.
    const QByteArray lockedFile = QByteArray::number(major(file.st_dev), 16).rightJustified(2, '0') + ':'
            + QByteArray::number(minor(file.st_dev), 16).rightJustified(2, '0') + ':'
            + QByteArray::number(quint64(file.st_ino));
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields.at(1) == "FLOCK" && fields.at(5) == lockedFile)
            return fields.at(4).toLongLong();
    }
    return 0;
}

QString failure(const QByteArray &path, int error)
{
    return QFile::decodeName(path) + QStringLiteral(": ") + qt_error_string(error);
}

} // namespace

QString UnitLock::volumeIdentity(const QString &root)
{
    struct stat info;
    if (::stat(QFile::encodeName(root).constData(), &info) != 0)
        return QString();
    // The device number names the volume; the root's inode tells apart directories that
    // stand in for volumes on one file system, and is the same for every mount of the root.
    return QStringLiteral("%1-%2").arg(quint64(info.st_dev), 0, 16).arg(quint64(info.st_ino), 0, 16);
}

// A lock file, never a descriptor of the unit's own root: that would make the drive busy for
// the removal. The file is never deleted, as another process may be about to lock it.
UnitLock::Result UnitLock::acquire(const QString &identity, qintptr *handle, qint64 *pid, QString *why)
{
    const QByteArray path = lockFolder() + "/LumetraInstaller-" + identity.toLatin1() + ".lock";
    // Read-only is enough for flock(), so every user can lock a file another user made.
    // Opened without O_CREAT first: the system may refuse O_CREAT on another user's file in a
    // sticky folder. A link or a FIFO planted under the name is neither followed nor waited on.
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(path.constData(), flags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.constData(), flags | O_CREAT | O_EXCL, 0644);
        if (fd >= 0)
            ::fchmod(fd, 0644); // whatever the umask: readable, so lockable, by every user
        else if (errno == EEXIST) // made by another at the same moment
            fd = ::open(path.constData(), flags);
    }
    if (fd < 0) {
        *why = errno == ELOOP ? QFile::decodeName(path) + QStringLiteral(" is a symbolic link")
                              : failure(path, errno);
        return Result::Error;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = QFile::decodeName(path) + QStringLiteral(" is not an ordinary file");
        ::close(fd);
        return Result::Error;
    }
    int locked;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        *handle = fd;
        return Result::Locked;
    }
    const int error = errno;
    if (error == EWOULDBLOCK)
        *pid = flockHolder(info);
    else
        *why = failure(path, error);
    ::close(fd);
    return error == EWOULDBLOCK ? Result::Busy : Result::Error;
}

void UnitLock::release(qintptr handle)
{
    // Closing the only descriptor drops the flock, as the process's end would.
    ::close(int(handle));
}
