#include "mounttable.h"

#include <QtCore/QByteArrayList>
#include <QtCore/QFile>
#include <QtCore/QSet>
#include <QtCore/QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

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
bool isSystemMount(const QByteArray &path, const QByteArray &type)
{
    static const QByteArray systemFolders[] = { "/dev", "/proc", "/sys", "/var/run", "/var/lock" };
    for (const QByteArray &folder : systemFolders) {
        if (isUnder(path, folder))
            return true;
    }
    return type == "rootfs";
}

} // namespace

QStringList MountTable::rootPaths(QList<QByteArray> *unnamed)
{
    QStringList paths;
    QFile table(QString::fromLatin1(mountInfoPath));
    if (!table.open(QIODevice::ReadOnly))
        return paths;
    // One read: the kernel hands over the whole table at once, consistent with itself.
    const QByteArrayList lines = table.readAll().split('\n');
    QSet<QString> listed;
    listed.reserve(lines.size());
    for (const QByteArray &line : lines) {
        // "36 35 98:0 /root /mount/point options [optional fields] - type source options"
        const QByteArrayList fields = line.split(' ');
        const int separator = fields.indexOf("-", 6);
        if (fields.size() < 5 || separator < 0 || separator + 1 >= fields.size())
            continue;
        const QByteArray mountPoint = unescaped(fields.at(4));
        if (isSystemMount(mountPoint, fields.at(separator + 1)))
            continue;
        const QString root = QFile::decodeName(mountPoint);
        // Opened by that name, it would be another path, or none.
        if (QFile::encodeName(root) != mountPoint) {
            if (unnamed)
                unnamed->append(mountPoint);
            continue;
        }
        if (listed.contains(root))
            continue;
        listed.insert(root);
        paths.append(root);
    }
    return paths;
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
