#ifndef MOUNTTABLE_H
#define MOUNTTABLE_H

#include <QtCore/QStringList>

#include <memory>

// The system's mounted volumes, read in one pass over its mount table: the cost of a look
// grows with the number of mounts, not with its square, so that a machine with thousands of
// them (a container host, a build server) is looked at as quickly as a desktop.
namespace MountTable {

// Root paths of the mounted volumes a user could plug in, in the order the system reports
// them (on Windows "E:/" and so on, ascending by letter). Kernel and runtime mounts (/proc,
// /sys, /dev, /var/run, /var/lock) and network shares are left out (on Windows also drives
// without a medium), so nothing ever looks into them. A volume mounted twice (a bind mount)
// is listed once, at its first mount point. A root whose name cannot be written as a file
// name of this program (bytes that are not valid in the system's encoding) is left out too,
// and its bytes go into unnamed.
QStringList rootPaths(QList<QByteArray> *unnamed = nullptr);

// What tells this mounting of the volume at root from any other, also one at the same root
// later (another unit plugged in where the last one was): a mount's own id where the system
// keeps it unique, otherwise the identity of the volume's fileInRoot. Empty when root cannot
// be looked at.
QByteArray mountIdentity(const QString &root, const QString &fileInRoot);

} // namespace MountTable

// Tells whether the mount table may have changed since the last look, so that a watch looks
// only then. Where the system signals a change it is told; elsewhere every look may be one.
class MountWatcher
{
public:
    MountWatcher();
    ~MountWatcher();

    MountWatcher(const MountWatcher &) = delete;
    MountWatcher &operator=(const MountWatcher &) = delete;

    // True when a look is due: the table changed since the last call, or changed just
    // before it (a volume's files are written a moment after it is mounted, so a change is
    // looked at twice). Needs the event loop to run in between.
    bool takeChange();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif // MOUNTTABLE_H
