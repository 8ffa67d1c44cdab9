#include "mounttable.h"

#include <QtCore/QByteArrayList>
#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtCore/QSet>
#include <QtCore/QSocketNotifier>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

// Linux 6.8 and later: a mount's id that is never given to another mount until the next boot.
#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x4000U
#endif

namespace {

const char mountInfoPath[] = "/proc/self/mountinfo";

// mountinfo writes a space, a tab, a line break and a backslash in a path as \ooo.
QByteArray unescaped(const QByteArray &field)
{
    QByteArray path;
    path.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size() && field.at(i + 1) >= '0' && field.at(i + 1) <= '3') {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                path.append(char(code));
                i += 3;
                continue;
            }
        }
        path.append(c);
    }
    return path;
}

bool isUnder(const QByteArray &path, const QByteArray &folder)
{
    return path.startsWith(folder) && (path.size() == folder.size() || path.at(folder.size()) == '/');
}

// Mounts of the kernel and of the system's runtime: never a drive a user plugs in.
bool isSystemMount(const QByteArray &path)
{
    static const QByteArray systemFolders[] = { "/dev", "/proc", "/sys", "/var/run", "/var/lock" };
    for (const QByteArray &folder : systemFolders) {
        if (isUnder(path, folder))
            return true;
    }
    return false;
}

// File systems that are never a unit and that are not looked into: the kernel's own, and
// network shares, whose server may stop answering and hold every look for minutes. A unit is
// a local volume (vfat, exfat, ext4, a FUSE driver of such, tmpfs for a stand-in).
bool isNeverUnit(const QByteArray &type)
{
    static const QSet<QByteArray> types = {
        // network
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "ceph", "glusterfs", "davfs", "afs", "coda",
        "lustre", "sshfs", "fuse.sshfs", "fuse.glusterfs", "fuse.ceph", "fuse.ceph-fuse", "fuse.davfs",
        "fuse.s3fs", "fuse.rclone", "fuse.gcsfuse", "fuse.curlftpfs", "fuse.smbnetfs", "fuse.gvfsd-fuse",
        "fuse.portal",
        // the kernel's
        "rootfs", "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "debugfs", "tracefs",
        "securityfs", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl", "binfmt_misc", "autofs", "nsfs",
        "efivarfs", "pstore", "rpc_pipefs", "nfsd", "selinuxfs", "fuse.lxcfs",
    };
    return types.contains(type);
}

struct Mount
{
    QByteArray point;
    // The mounted file system ("major:minor") and the folder of it that is mounted: a bind
    // mount of a volume shows the same pair again.
    QByteArray volume;
};

} // namespace

QStringList MountTable::rootPaths(QList<QByteArray> *unnamed)
{
    QStringList paths;
    QFile table(QString::fromLatin1(mountInfoPath));
    if (!table.open(QIODevice::ReadOnly))
        return paths;
    // One read: the kernel hands over the whole table at once, consistent with itself.
    const QByteArrayList lines = table.readAll().split('\n');
    std::vector<Mount> mounts;
    mounts.reserve(size_t(lines.size()));
    // A mount point's path reaches the last mount made on it; those under it are hidden.
    QHash<QByteArray, size_t> top;
    top.reserve(lines.size());
    for (const QByteArray &line : lines) {
        // "36 35 98:0 /root /mount/point options [optional fields] - type source options"
        const QByteArrayList fields = line.split(' ');
        const int separator = fields.indexOf("-", 6);
        if (fields.size() < 5 || separator < 0 || separator + 1 >= fields.size())
            continue;
        const QByteArray mountPoint = unescaped(fields.at(4));
        if (isSystemMount(mountPoint) || isNeverUnit(fields.at(separator + 1)))
            continue;
        top.insert(mountPoint, mounts.size());
        mounts.push_back({ mountPoint, fields.at(2) + ' ' + fields.at(3) });
    }
    // One unit, one entry: a volume reached by two mount points is listed at the first.
    QSet<QByteArray> listed;
    listed.reserve(int(mounts.size()));
    for (size_t index = 0; index < mounts.size(); ++index) {
        const Mount &mount = mounts[index];
        if (top.value(mount.point) != index || listed.contains(mount.volume))
            continue;
        const QString root = QFile::decodeName(mount.point);
        // Opened by that name, it would be another path, or none.
        if (QFile::encodeName(root) != mount.point) {
            if (unnamed)
                unnamed->append(mount.point);
            continue;
        }
        listed.insert(mount.volume);
        paths.append(root);
    }
    return paths;
}

QByteArray MountTable::mountIdentity(const QString &root, const QString &fileInRoot)
{
    struct statx mount = {};
    if (statx(AT_FDCWD, QFile::encodeName(root).constData(), AT_NO_AUTOMOUNT, STATX_MNT_ID_UNIQUE, &mount) != 0)
        return QByteArray();
    if (mount.stx_mask & STATX_MNT_ID_UNIQUE)
        return "mount " + QByteArray::number(quint64(mount.stx_mnt_id));
    // Older kernels give a mount's id to the next one: the file tells one volume from another.
    struct statx file = {};
    const QByteArray path = QFile::encodeName(root + QLatin1Char('/') + fileInRoot);
    if (statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO | STATX_CTIME, &file) != 0)
        return QByteArray();
    return "file " + QByteArray::number(mount.stx_dev_major) + ':' + QByteArray::number(mount.stx_dev_minor) + ' '
            + QByteArray::number(quint64(file.stx_ino)) + ' ' + QByteArray::number(qint64(file.stx_ctime.tv_sec))
            + '.' + QByteArray::number(file.stx_ctime.tv_nsec);
}

struct MountWatcher::Private
{
    int handle = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    int looksDue = 0;
};

MountWatcher::MountWatcher()
    : d(std::make_unique<Private>())
{
    // The kernel marks the open table with POLLPRI | POLLERR once per change of the mounts.
    d->handle = ::open(mountInfoPath, O_RDONLY | O_CLOEXEC);
    if (d->handle < 0) {
        d->looksDue = -1; // nothing signals a change: every look is one
        return;
    }
    d->notifier = std::make_unique<QSocketNotifier>(d->handle, QSocketNotifier::Exception);
    QObject::connect(d->notifier.get(), &QSocketNotifier::activated, d->notifier.get(),
                     [this] { d->looksDue = 2; });
}

MountWatcher::~MountWatcher()
{
    d->notifier.reset();
    if (d->handle >= 0)
        ::close(d->handle);
}

bool MountWatcher::takeChange()
{
    if (d->looksDue < 0)
        return true;
    if (d->looksDue == 0)
        return false;
    --d->looksDue;
    return true;
}
