#ifndef UNITLOCK_H
#define UNITLOCK_H

#include <QtCore/QString>

#include <memory>

class QLockFile;

// One updater per unit, whichever face runs it and in however many processes: a lock file
// in the system's temporary folder, named after the unit's volume, held from before the
// disk check to the end of the removal. A holder that died leaves a stale lock, which the
// next one recognises by its process id and takes over.
class UnitLock
{
public:
    UnitLock();
    ~UnitLock();

    UnitLock(const UnitLock &) = delete;
    UnitLock &operator=(const UnitLock &) = delete;

    // True when this object now holds the lock of the volume at root (also when it already
    // did). False when another holder has it: holder() then names its process.
    bool tryLock(const QString &root);
    void unlock();
    bool isLocked() const;
    // The process id of the other holder after a failed tryLock(), 0 when unknown.
    qint64 holder() const { return holderPid; }

    // The volume's identity on this system, the same for every path that leads to its
    // root; empty when the root cannot be looked at. Defined in the one per-OS file.
    static QString volumeIdentity(const QString &root);

private:
    std::unique_ptr<QLockFile> file;
    QString lockedRoot;
    qint64 holderPid = 0;
};

#endif // UNITLOCK_H
