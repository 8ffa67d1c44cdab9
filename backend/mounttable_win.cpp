#include "mounttable.h"

#include <QtCore/QDir>

#include <windows.h>

// Windows has a handful of drive letters, each looked up on its own: the list costs no
// more than its length. The drives themselves are asked nothing but whether a removable one
// holds a medium.
QStringList MountTable::rootPaths(QList<QByteArray> *)
{
    // An empty card reader then says so at once instead of asking for a disk in a box.
    SetErrorMode(SetErrorMode(SEM_FAILCRITICALERRORS) | SEM_FAILCRITICALERRORS);
    QStringList paths;
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (DWORD(1) << letter)))
            continue;
        const wchar_t root[] = { wchar_t(L'A' + letter), L':', L'\\', L'\0' };
        const UINT type = GetDriveTypeW(root);
        // A share's server may not answer; a letter without a volume has nothing to list.
        if (type == DRIVE_REMOTE || type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN)
            continue;
        // An empty card reader or disc drive.
        if ((type == DRIVE_REMOVABLE || type == DRIVE_CDROM)
            && !GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
            continue;
        paths.append(QString(QChar(char16_t(u'A' + letter))) + QStringLiteral(":/"));
    }
    return paths;
}

// The volume's GUID path: another volume at the same letter has another one.
QByteArray MountTable::mountIdentity(const QString &root, const QString &)
{
    QString mountPoint = QDir::toNativeSeparators(root);
    if (!mountPoint.endsWith(QLatin1Char('\\')))
        mountPoint += QLatin1Char('\\');
    wchar_t name[MAX_PATH] = {};
    if (!GetVolumeNameForVolumeMountPointW(reinterpret_cast<const wchar_t *>(mountPoint.utf16()), name, MAX_PATH))
        return QByteArray();
    return QString::fromWCharArray(name).toUtf8();
}

// Nothing here is told of a new drive letter without a window to receive the message:
// every look (the watch's one a second) is one.
struct MountWatcher::Private
{
};

MountWatcher::MountWatcher() = default;

MountWatcher::~MountWatcher() = default;

bool MountWatcher::takeChange()
{
    return true;
}
