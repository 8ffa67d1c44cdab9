#include "devicesync.h"

#include <QtCore/QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool syncToDevice(int handle)
{
    if (handle < 0 || fsync(handle) != 0)
        return false;
    // The pages are clean now; dropping them makes the read-back come from the drive.
    // Only advice: file systems that keep data in memory ignore it.
    posix_fadvise(handle, 0, 0, POSIX_FADV_DONTNEED);
    return true;
}

bool replaceFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool makeReplaceable(const QString &path)
{
    // rename() and unlink() ask only the directory, never the file's own mode.
    struct stat status;
    if (lstat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT;
    return S_ISREG(status.st_mode);
}

bool syncDirectory(const QString &path)
{
    const int handle = open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return false;
    const bool synced = fsync(handle) == 0;
    close(handle);
    return synced;
}
