#include "unitlock.h"

#include <QtCore/QDir>

#include <windows.h>
#include <sddl.h>

QString UnitLock::volumeIdentity(const QString &root)
{
    // "\\?\Volume{GUID}\": the same for every drive letter and folder the volume is mounted at.
    QString mountPoint = QDir::toNativeSeparators(root);
    if (!mountPoint.endsWith(QLatin1Char('\\')))
        mountPoint += QLatin1Char('\\');
    wchar_t name[64] = {};
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL found = GetVolumeNameForVolumeMountPointW(reinterpret_cast<const wchar_t *>(mountPoint.utf16()),
                                                         name, ARRAYSIZE(name));
    SetErrorMode(previousMode);
    if (!found)
        return QString();
    const QString volume = QString::fromWCharArray(name);
    const int open = volume.indexOf(QLatin1Char('{'));
    const int close = volume.indexOf(QLatin1Char('}'));
    return open >= 0 && close > open ? volume.mid(open + 1, close - open - 1) : QString();
}

// A mutex in the Global\ namespace, seen by every session and user: the system drops it when
// its owner dies (the next waiter gets it "abandoned"). The name only, never a handle on the
// volume, which would make the removal fail. No process id is to be had of its holder.
UnitLock::Result UnitLock::acquire(const QString &identity, qintptr *handle, qint64 *, QString *why)
{
    // Everyone may wait on it and release what they own; the low label lets a window of a
    // plain user open the mutex an elevated one made, and the other way round.
    SECURITY_ATTRIBUTES attributes = { sizeof(attributes), nullptr, FALSE };
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x00100001;;;WD)S:(ML;;NW;;;LW)", SDDL_REVISION_1,
                                                              &attributes.lpSecurityDescriptor, nullptr)) {
        *why = qt_error_string(int(GetLastError()));
        return Result::Error;
    }
    const QString name = QStringLiteral("Global\\LumetraInstaller-") + identity;
    HANDLE mutex = CreateMutexExW(&attributes, reinterpret_cast<const wchar_t *>(name.utf16()), 0,
                                  SYNCHRONIZE | MUTEX_MODIFY_STATE);
    const DWORD created = GetLastError();
    LocalFree(attributes.lpSecurityDescriptor);
    if (!mutex) {
        *why = name + QStringLiteral(": ") + qt_error_string(int(created));
        return Result::Error;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        *handle = reinterpret_cast<qintptr>(mutex);
        return Result::Locked;
    }
    const DWORD failed = GetLastError();
    CloseHandle(mutex);
    if (waited == WAIT_TIMEOUT)
        return Result::Busy;
    *why = name + QStringLiteral(": ") + qt_error_string(int(failed));
    return Result::Error;
}

void UnitLock::release(qintptr handle)
{
    const HANDLE mutex = reinterpret_cast<HANDLE>(handle);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}
