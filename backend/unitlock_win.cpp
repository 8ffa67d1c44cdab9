#include "unitlock.h"

#include <QtCore/QDir>

#include <windows.h>

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
