#include "unitlock.h"

#include "backendlogging.h"

#include <QtCore/QDebug>

UnitLock::UnitLock() = default;

UnitLock::~UnitLock()
{
    unlock();
}

UnitLock::Result UnitLock::tryLock(const QString &root)
{
    if (held && lockedRoot == root)
        return Result::Locked;
    unlock();
    holderPid = 0;
    error.clear();
    const QString identity = volumeIdentity(root);
    if (identity.isEmpty()) {
        error = QStringLiteral("the drive cannot be looked at");
        return Result::Error;
    }
    const Result result = acquire(identity, &handle, &holderPid, &error);
    if (result == Result::Busy)
        qCDebug(lcBackend) << "UnitLock: the unit at" << root << "is being updated by process" << holderPid;
    else if (result == Result::Error)
        qCWarning(lcBackend) << "UnitLock: the unit at" << root << "cannot be locked:" << error;
    held = result == Result::Locked;
    if (held)
        lockedRoot = root;
    return result;
}

void UnitLock::unlock()
{
    if (held)
        release(handle);
    held = false;
    handle = 0;
    lockedRoot.clear();
}
