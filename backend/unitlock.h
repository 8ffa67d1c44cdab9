#ifndef UNITLOCK_H
#define UNITLOCK_H

#include <QtCore/QString>

// One updater per unit on the whole machine, whichever face runs it, for every user, session
// and temporary folder: a lock of the system's own, named after the unit's volume, held from
// before the disk check to the end of the removal. The system drops it when its holder dies,
// so no stale lock can outlive a crash. Linux: flock() on a file under /run/lock; Windows: a
// Global\ named mutex, which must be taken and released on the same thread.
class UnitLock
{
public:
    enum class Result {
        Locked, // this object holds the unit's lock now (also when it already did)
        Busy,   // another holder has it: holder() names its process where the system says
        Error   // the lock could not be taken for another reason: errorString() says which
    };

    UnitLock();
    ~UnitLock();

    UnitLock(const UnitLock &) = delete;
    UnitLock &operator=(const UnitLock &) = delete;

    Result tryLock(const QString &root);
    void unlock();
    bool isLocked() const { return held; }
    // The process id of the other holder after Busy, 0 when unknown.
    qint64 holder() const { return holderPid; }
    // Why the lock could not be taken after Error, in the system's words.
    QString errorString() const { return error; }

    // The volume's identity on this system, the same for every path that leads to its
    // root; empty when the root cannot be looked at. Defined in the one per-OS file.
    static QString volumeIdentity(const QString &root);

private:
    // The system's lock named after the identity. Defined in the one per-OS file: on Locked,
    // *handle is what release() takes; on Busy, *pid the holder or 0; on Error, *why.
    static Result acquire(const QString &identity, qintptr *handle, qint64 *pid, QString *why);
    static void release(qintptr handle);

    qintptr handle = 0;
    bool held = false;
    QString lockedRoot;
    qint64 holderPid = 0;
    QString error;
};

#endif // UNITLOCK_H
