#include "sharedfile.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QThread>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// A record takes microseconds to write; a holder longer than this is stuck.
constexpr int lockPatienceMs = 5000;

HANDLE nativeHandle(QFile &file)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
}

} // namespace

void SharedFile::holdForThisRun(QFile &)
{
    // An open file cannot be removed on Windows: opening it is holding it.
}

bool SharedFile::isHeldByAnotherRun(const QString &)
{
    // The removal of a file another run has open fails by itself.
    return false;
}

bool SharedFile::openToAppend(QFile &file, QString *why)
{
    const QString path = QDir::toNativeSeparators(file.fileName());
    // The link itself is opened, not what it names; then refused.
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
                                      GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *why = QStringLiteral("error %1").arg(GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!GetFileInformationByHandle(handle, &information)
        || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        CloseHandle(handle);
        *why = QStringLiteral("it is a symbolic link, which is not followed");
        return false;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_APPEND | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        *why = QStringLiteral("no descriptor for it");
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        _close(descriptor);
        *why = file.errorString();
        return false;
    }
    return true;
}

bool SharedFile::lockToAppend(QFile &file)
{
    // The C runtime's append is a seek and a write: without the lock, two writers can land
    // on the same end.
    const QDeadlineTimer patience(lockPatienceMs);
    OVERLAPPED whole = {};
    while (!LockFileEx(nativeHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &whole)) {
        if (patience.hasExpired())
            return false;
        QThread::msleep(10);
    }
    return true;
}

void SharedFile::unlock(QFile &file)
{
    OVERLAPPED whole = {};
    UnlockFileEx(nativeHandle(file), 0, MAXDWORD, MAXDWORD, &whole);
}

bool SharedFile::flushToDevice(QFile &file)
{
    // _commit flushes the file's buffers to the disk (FlushFileBuffers underneath).
    return file.flush() && _commit(file.handle()) == 0;
}
