#include "sharedfile.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// A record takes microseconds to write; a holder longer than this is stuck.
constexpr int lockPatienceMs = 5000;

} // namespace

void SharedFile::holdForThisRun(QFile &file)
{
    // Shared: any number of looks at it may hold it too; the lock goes with the file's end,
    // however the run ends.
    ::flock(file.handle(), LOCK_SH | LOCK_NB);
}

bool SharedFile::isHeldByAnotherRun(const QString &path)
{
    const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (handle < 0)
        return false;
    const bool held = ::flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(handle);
    return held;
}

bool SharedFile::openToAppend(QFile &file, QString *why)
{
    const int handle = ::open(QFile::encodeName(file.fileName()).constData(),
                              O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (handle < 0) {
        *why = errno == ELOOP ? QStringLiteral("it is a symbolic link, which is not followed")
                              : QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!file.open(handle, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        *why = file.errorString();
        return false;
    }
    return true;
}

bool SharedFile::lockToAppend(QFile &file)
{
    const QDeadlineTimer patience(lockPatienceMs);
    while (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || patience.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

void SharedFile::unlock(QFile &file)
{
    ::flock(file.handle(), LOCK_UN);
}

bool SharedFile::flushToDevice(QFile &file)
{
    return file.flush() && ::fsync(file.handle()) == 0;
}
