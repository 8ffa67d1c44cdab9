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
// /sys, /dev, /var/run, /var/lock) are left out; a root mounted twice is listed once.
// A root whose name cannot be written as a file name of this program (bytes that are not
// valid in the system's encoding) is left out too, and its bytes go into unnamed.
QStringList rootPaths(QList<QByteArray> *unnamed = nullptr);

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
