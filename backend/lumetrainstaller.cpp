#include "lumetrainstaller.h"

#include "backendlogging.h"

#include "drivefiles.h"
#include "firmwareidentity.h"
#include "mounttable.h"
#include "rootprobe.h"

#include "diskcheckplatform.h"
#include "ejectlumetra.h"
#include "ejectsystem.h"
#include "filecopythread.h"

#include <QtCore/QDebug>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QThread>
#include <QtCore/QVersionNumber>

Q_LOGGING_CATEGORY(lcBackend, "lumetra.backend")

namespace {

const QString markerFileName = QStringLiteral("lumetra.bin");
const QString fallbackVersion = QStringLiteral("1.0");

} // namespace

LumetraInstaller::LumetraInstaller(QObject *parent)
    : LumetraInstaller(VolumeSource::system(), parent)
{
}

LumetraInstaller::LumetraInstaller(std::unique_ptr<VolumeSource> volumes, QObject *parent)
    : LumetraInstaller(std::move(volumes), DiskCheckPlatform::create(), EjectLumetra::systemLayer(), parent)
{
}

LumetraInstaller::LumetraInstaller(std::unique_ptr<VolumeSource> volumes,
                                   std::unique_ptr<DiskCheckPlatform> checker,
                                   std::unique_ptr<EjectSystem> ejectSystem, QObject *parent)
    : QObject(parent),
      updateVersion(firmwareVersion()),
      firmwareResourcePath(QStringLiteral(":/UpdatedFirmware/lumetra.bin")),
      versionFileName(QStringLiteral("Version.txt")),
      fileCopyThread(std::make_unique<FileCopyThread>(std::move(checker))),
      ejector(std::make_unique<EjectLumetra>(std::move(ejectSystem))),
      volumes(std::move(volumes))
{
    const FileCopyThread *worker = fileCopyThread.get();
    connect(worker, &FileCopyThread::updateProgress, this, &LumetraInstaller::copyFileProgress);
    connect(worker, &FileCopyThread::copySuccess, this, &LumetraInstaller::runEnded);
    connect(worker, &FileCopyThread::copyFailed, this, &LumetraInstaller::runEnded);
    connect(worker, &FileCopyThread::diskChecked, this, &LumetraInstaller::diskCheckFinished);
    connect(worker, &FileCopyThread::copyVerified, this, &LumetraInstaller::firmwareVerified);
    connect(worker, &FileCopyThread::failureReason, this, &LumetraInstaller::updateFailedBecause);
    connect(worker, &FileCopyThread::writingInPlace, this, &LumetraInstaller::writingInPlace);
    // The record's account, kept on the worker's thread as it speaks.
    const auto direct = Qt::DirectConnection;
    connect(worker, &FileCopyThread::copySuccess, this, [this] {
        const std::lock_guard<std::mutex> locker(accountLock);
        account.succeeded = true;
    }, direct);
    connect(worker, &FileCopyThread::alreadyInPlace, this, [this] {
        const std::lock_guard<std::mutex> locker(accountLock);
        account.alreadyInPlace = true;
    }, direct);
    connect(worker, &FileCopyThread::diskChecked, this, [this](int verdict) {
        const std::lock_guard<std::mutex> locker(accountLock);
        account.diskChecked = true;
        account.diskCheck = verdict;
    }, direct);
    connect(worker, &FileCopyThread::copyVerified, this, [this](qint64 bytes, const QString &sha256) {
        const std::lock_guard<std::mutex> locker(accountLock);
        account.verified = true;
        account.bytes = bytes;
        account.sha256 = sha256;
    }, direct);
    connect(worker, &FileCopyThread::failureReason, this, [this](UpdateFailure::Reason reason, bool incomplete) {
        const std::lock_guard<std::mutex> locker(accountLock);
        account.reason = reason;
        account.firmwareIncomplete = incomplete;
    }, direct);
}

LumetraInstaller::~LumetraInstaller()
{
    // Closing the window mid-update must neither destroy a running thread nor leave a
    // half-written firmware file: the worker abandons its new file when asked to stop.
    fileCopyThread->requestInterruption();
    fileCopyThread->wait();
    // The run's end signal will never reach this object now: its record is told from the
    // worker's account, as the unit holds it (a write in place finished is an update).
    if (stage == Stage::Running)
        settleRun(true);
    closeAttempt();
}

QString LumetraInstaller::firmwareVersion()
{
    return QStringLiteral(LUMETRA_FIRMWARE_VERSION);
}

QString LumetraInstaller::firmwareSha256()
{
    return QStringLiteral(LUMETRA_FIRMWARE_SHA256);
}

void LumetraInstaller::sendRemovalMessagesTo(std::FILE *stream)
{
    EjectLumetra::setConsole(stream);
}

QString LumetraInstaller::getLumetraUpdateVersion()
{
    return updateVersion;
}

bool LumetraInstaller::isLumetraConnected()
{
    return !findMarkedRoot().isEmpty();
}

// The first volume whose root lists an ordinary, non-hidden file named exactly
// "lumetra.bin". A root that cannot be listed, or does not answer in time, is passed over.
QString LumetraInstaller::findMarkedRoot() const
{
    // Stops at the first: the others need not be listed.
    return RootProbe::rootsHolding(volumes->rootPaths(), markerFileName, true).value(0);
}

QStringList LumetraInstaller::markedRoots(const QStringList &roots)
{
    return RootProbe::rootsHolding(roots, markerFileName, false);
}

bool LumetraInstaller::isMarked(const QString &root)
{
    return !RootProbe::rootsHolding(QStringList(root), markerFileName, true).isEmpty();
}

QString LumetraInstaller::getCurrentVersionNumber()
{
    const QString text = versionOnDrive(findMarkedRoot());
    qCDebug(lcBackend) << "LumetraInstaller::getCurrentVersionNumber " << text;
    return text;
}

QString LumetraInstaller::versionOnDrive(const QString &root)
{
    const QString path = DriveFiles::pathInRoot(root, QStringLiteral("Version.txt"));
    // The drive may have gone between the two scans: then there is no path.
    if (path.isEmpty() || !QFile::exists(path))
        return fallbackVersion;
    if (!DriveFiles::isReadableOrdinaryFile(root, path, maxVersionFileSize))
        return fallbackVersion;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fallbackVersion;
    // Bounded even if the file grew after it was looked at.
    const QByteArray content = file.read(maxVersionFileSize);
    file.close();
    return QString::fromUtf8(content); // stops at the first zero byte
}

QByteArray LumetraInstaller::unitIdentity(const QString &root)
{
    return MountTable::mountIdentity(root, markerFileName);
}

bool LumetraInstaller::doesLumetraNeedUpdate()
{
    const QString deviceText = getCurrentVersionNumber();
    const QVersionNumber device = QVersionNumber::fromString(deviceText);
    const QVersionNumber embedded = QVersionNumber::fromString(updateVersion);
    qCDebug(lcBackend) << "LumetraInstaller::doesLumetraNeedUpdate " << device.toString() << " "
             << embedded.toString();
    const bool needsUpdate = QVersionNumber::compare(embedded, device) > 0;
    // The unit asked about is the one that is updated or removed next.
    unitRoot = findMarkedRoot();
    // A look at the unit during a run is no new attempt.
    if (!unitRoot.isEmpty() && stage != Stage::Running) {
        closeAttempt();
        openAttempt(unitRoot);
        attempt.versionBefore = deviceText;
        if (!needsUpdate) {
            attempt.outcome = UpdateAttempt::UpToDate;
            stage = Stage::Settled;
        }
    }
    return needsUpdate;
}

bool LumetraInstaller::updateLumetra()
{
    return startRun(false);
}

bool LumetraInstaller::verifyLumetra()
{
    return startRun(true);
}

void LumetraInstaller::finishAttempt()
{
    if (stage == Stage::Running)
        return;
    unitLock.unlock();
    if (stage == Stage::Settled)
        endAttempt();
    stage = Stage::None;
}

bool LumetraInstaller::startRun(bool verifyOnly)
{
    // The paths must not change under a running copy, and one update at a time is enough.
    if (stage == Stage::Running || fileCopyThread->isRunning())
        return false;
    const QString root = findMarkedRoot();
    // An update continues the attempt its version check began; a comparison is one of its own.
    const bool checkedJustBefore = !verifyOnly && !attempt.updateStarted
            && (stage == Stage::Open || stage == Stage::Settled) && (root.isEmpty() || root == attempt.root);
    if (!checkedJustBefore) {
        closeAttempt();
        openAttempt(root);
        // What the unit claims, beside what its image turns out to be.
        if (verifyOnly && !root.isEmpty())
            attempt.versionBefore = versionOnDrive(root);
    }
    const QString destination = DriveFiles::pathInRoot(root, markerFileName);
    if (refuseRun(root, destination))
        return false;

    unitRoot = root;
    verifying = verifyOnly;
    {
        const std::lock_guard<std::mutex> locker(accountLock);
        account = WorkerAccount();
    }
    attempt.updateStarted = !verifyOnly;
    stage = Stage::Running;
    fileCopyThread->setFilePath(firmwareResourcePath, destination);
    fileCopyThread->setVerifyOnly(verifyOnly);
    fileCopyThread->setExpectedSha256(firmwareSha256().toLatin1());
    // The version goes onto the drive the firmware went to, on the worker: after the
    // firmware, flushed, and before the success, so the screens never show "unplug"
    // before both are on the device, and a slow drive never freezes the window.
    fileCopyThread->setStampFile(DriveFiles::pathInRoot(root, versionFileName), updateVersion.toUtf8());
    // Read again under the lock: another updater may have finished while this one waited
    // (at a question, or behind the lock).
    const QVersionNumber embedded = QVersionNumber::fromString(updateVersion);
    fileCopyThread->setStillNeeded(force ? std::function<bool()>() : [root, embedded] {
        return QVersionNumber::compare(embedded, QVersionNumber::fromString(versionOnDrive(root))) > 0;
    });
    if (!verifyOnly)
        emit updateStarted(root);
    fileCopyThread->start(QThread::InheritPriority);
    return true;
}

// When no run may start on the unit: ends the attempt with why and returns true. Otherwise
// the unit's lock is taken and the run may start.
bool LumetraInstaller::refuseRun(const QString &root, const QString &destination)
{
    if (destination.isEmpty())
        attempt.reason = UpdateFailure::DriveGone;
    // A marker that is a link would have the firmware written wherever it points, and read
    // back from there: such a drive is no unit.
    else if (!DriveFiles::isSafeToWrite(destination))
        attempt.reason = QFileInfo(destination).isSymLink() ? UpdateFailure::MarkerIsLink
                                                            : UpdateFailure::MarkerNotFile;
    else if (lockUnit(root)) // or the attempt says why not
        return false;
    attempt.outcome = attempt.reason == UpdateFailure::Busy ? UpdateAttempt::Busy : UpdateAttempt::Failed;
    // A unit that went is shown gone, not failed.
    if (attempt.reason != UpdateFailure::DriveGone)
        emit updateFailedBecause(attempt.reason, false);
    endAttempt();
    return true;
}

void LumetraInstaller::runEnded()
{
    if (stage == Stage::Running)
        settleRun(false);
}

// The run's end, from the worker's account once the worker has ended. closing: this object
// is going, and its record alone is told.
void LumetraInstaller::settleRun(bool closing)
{
    // The end signal is the run's last act, but the thread counts as running until run()
    // returns: a removal asked for right after must not find it still running.
    fileCopyThread->wait();
    WorkerAccount ended;
    {
        const std::lock_guard<std::mutex> locker(accountLock);
        ended = account;
    }
    attempt.diskChecked = ended.diskChecked;
    attempt.diskCheck = ended.diskCheck;
    attempt.reason = ended.reason;
    attempt.firmwareIncomplete = ended.firmwareIncomplete;
    if (verifying) {
        unitLock.unlock();
        attempt.verified = ended.succeeded;
        attempt.outcome = ended.succeeded ? UpdateAttempt::Matches
                : ended.reason == UpdateFailure::Differs ? UpdateAttempt::Differs : UpdateAttempt::Failed;
        endAttempt();
        return;
    }
    attempt.verified = ended.verified;
    attempt.bytesWritten = ended.bytes;
    attempt.firmwareSha256 = ended.sha256;
    if (ended.succeeded) {
        // The unit stays locked until its removal, or finishAttempt().
        stage = Stage::Settled;
        attempt.outcome = ended.alreadyInPlace ? UpdateAttempt::UpToDate : UpdateAttempt::Updated;
        attempt.versionAfter = ended.alreadyInPlace ? versionOnDrive(unitRoot) : updateVersion;
        if (closing)
            return;
        if (ended.alreadyInPlace)
            emit foundUpToDate(attempt.versionAfter);
        else
            emit versionWritten(updateVersion);
        emit updateFirmwareSuccess();
        return;
    }
    // Nothing more happens to the unit: another updater may have it now.
    unitLock.unlock();
    attempt.outcome = UpdateAttempt::Failed;
    if (closing && attempt.reason == UpdateFailure::Interrupted)
        attempt.reason = UpdateFailure::ProgramEnded;
    endAttempt();
    if (!closing)
        emit updateFirmwareFailed();
}

void LumetraInstaller::openAttempt(const QString &root)
{
    attempt = UpdateAttempt();
    attempt.root = root;
    attempt.start = QDateTime::currentDateTimeUtc();
    attemptClock.start();
    stage = Stage::Open;
}

void LumetraInstaller::endAttempt()
{
    stage = Stage::None;
    attempt.durationMs = attemptClock.elapsed();
    // Nothing was written to the version file unless it says so.
    if (attempt.versionAfter.isNull() && attempt.outcome != UpdateAttempt::Updated)
        attempt.versionAfter = attempt.versionBefore;
    emit attemptEnded(attempt);
}

// A new attempt, or this object's end, closes the one before: an update's result goes on
// record without its removal; a version check alone is no attempt.
void LumetraInstaller::closeAttempt()
{
    if (stage == Stage::Settled && attempt.updateStarted)
        endAttempt();
    stage = Stage::None;
}

void LumetraInstaller::stopUpdate()
{
    fileCopyThread->requestInterruption();
}

// Takes the unit's lock, or says in the attempt why not: Busy, with the holder's pid when the
// system names it, only when another updater holds it; LockFailed with the system's words.
bool LumetraInstaller::lockUnit(const QString &root)
{
    switch (unitLock.tryLock(root)) {
    case UnitLock::Result::Locked:
        return true;
    case UnitLock::Result::Busy:
        attempt.reason = UpdateFailure::Busy;
        attempt.busyPid = unitLock.holder();
        return false;
    case UnitLock::Result::Error:
        break;
    }
    attempt.reason = UpdateFailure::LockFailed;
    attempt.lockError = unitLock.errorString();
    return false;
}

bool LumetraInstaller::uninstallUsb()
{
    const QString root = removableRoot();
    int code = -1;
    if (root.isEmpty()) {
        // The update's end, with its unit gone: the lock goes too, or another program would
        // find the unit busy while this one idles. A running copy keeps it.
        if (!fileCopyThread->isRunning())
            unitLock.unlock();
    } else if (lockUnit(root)) { // never under another updater's copy
        qCDebug(lcBackend) << "diskName" << EjectLumetra::driveName(root);
        QThread::msleep(1000);
        code = int(ejector->ejectDrive(EjectLumetra::driveName(root)));
        unitLock.unlock();
    }
    emit removalFinished(code);
    if (code != 0)
        qCDebug(lcBackend) << "LumetraInstaller::uninstallUsb failed" << code;
    // An updated or up-to-date unit stays so whatever the removal did; the record says it.
    if (stage == Stage::Settled) {
        attempt.removalRan = true;
        attempt.removalCode = code;
        endAttempt();
    }
    return code == 0;
}

// The drive to remove: the unit last checked or updated, while it is still mounted and
// marked; the first marked drive when none was. Empty when nothing may be removed.
QString LumetraInstaller::removableRoot() const
{
    // Ejecting under a running copy would cut the firmware short.
    if (fileCopyThread->isRunning())
        return QString();
    if (unitRoot.isEmpty())
        return findMarkedRoot();
    // With two units, the other one is not the one the user was told to unplug.
    if (!volumes->rootPaths().contains(unitRoot) || !isMarked(unitRoot)) {
        qCDebug(lcBackend) << "LumetraInstaller::uninstallUsb the unit is gone:" << unitRoot;
        return QString();
    }
    return unitRoot;
}
