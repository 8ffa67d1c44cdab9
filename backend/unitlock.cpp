#include "unitlock.h"

#include "backendlogging.h"

#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QLockFile>

UnitLock::UnitLock() = default;

UnitLock::~UnitLock() = default;

bool UnitLock::tryLock(const QString &root)
{
    if (isLocked() && lockedRoot == root)
        return true;
    unlock();
    holderPid = 0;
    const QString identity = volumeIdentity(root);
    if (identity.isEmpty())
        return false;
    auto lock = std::make_unique<QLockFile>(
            QDir(QDir::tempPath()).filePath(QStringLiteral("LumetraInstaller-%1.lock").arg(identity)));
    // Judged by the holder's process alone, never by age: a slow drive with a 30 s repair
    // keeps a live lock longer than any fixed time.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        QString host;
        QString application;
        lock->getLockInfo(&holderPid, &host, &application);
        qCDebug(lcBackend) << "UnitLock: the unit at" << root << "is being updated by process" << holderPid
                 << "error" << lock->error();
        return false;
    }
    file = std::move(lock);
    lockedRoot = root;
    return true;
}

void UnitLock::unlock()
{
    if (file)
        file->unlock();
    file.reset();
    lockedRoot.clear();
}

bool UnitLock::isLocked() const
{
    return file && file->isLocked();
}
