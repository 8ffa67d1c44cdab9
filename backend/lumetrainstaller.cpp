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
    connect(fileCopyThread.get(), &FileCopyThread::updateProgress, this, &LumetraInstaller::copyFileProgress);
    connect(fileCopyThread.get(), &FileCopyThread::copySuccess, this, &LumetraInstaller::copyFileSuccess);
    connect(fileCopyThread.get(), &FileCopyThread::copyFailed, this, &LumetraInstaller::copyFileFailed);
    connect(fileCopyThread.get(), &FileCopyThread::diskChecked, this, &LumetraInstaller::diskCheckFinished);
    connect(fileCopyThread.get(), &FileCopyThread::copyVerified, this, &LumetraInstaller::firmwareVerified);
    connect(fileCopyThread.get(), &FileCopyThread::failureReason, this, &LumetraInstaller::updateFailedBecause);
    connect(fileCopyThread.get(), &FileCopyThread::writingInPlace, this, &LumetraInstaller::writingInPlace);
    connect(fileCopyThread.get(), &FileCopyThread::alreadyInPlace, this, [this] { foundInPlace = true; });
}

LumetraInstaller::~LumetraInstaller()
{
    // Closing the window mid-update must neither destroy a running thread nor leave a
    // half-written firmware file: the worker abandons its new file when asked to stop.
    fileCopyThread->requestInterruption();
    fileCopyThread->wait();
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
    if (!unitRoot.isEmpty())
        emit versionChecked(unitRoot, deviceText, needsUpdate);
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

bool LumetraInstaller::startRun(bool verifyOnly)
{
    // The paths must not change under a running copy, and one update at a time is enough.
    if (fileCopyThread->isRunning())
        return false;
    const QString root = findMarkedRoot();
    const QString destination = DriveFiles::pathInRoot(root, markerFileName);
    if (destination.isEmpty())
        return false;
    // A marker that is a link would have the firmware written wherever it points, and read
    // back from there: such a drive is no unit.
    if (!DriveFiles::isSafeToWrite(destination)) {
        emit updateFailedBecause(QFileInfo(destination).isSymLink()
                                         ? QStringLiteral("not a unit: its lumetra.bin is a link")
                                         : QStringLiteral("not a unit: its lumetra.bin is not an ordinary file"),
                                 false);
        return false;
    }
    QString lockFailure;
    if (!lockUnit(root, &lockFailure)) {
        emit updateFailedBecause(lockFailure, false);
        return false;
    }

    unitRoot = root;
    foundInPlace = false;
    verifying = verifyOnly;
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

void LumetraInstaller::copyFileSuccess()
{
    // The end signal is the run's last act, but the thread counts as running until run()
    // returns: a removal asked for right after must not find it still running.
    fileCopyThread->wait();
    if (verifying) {
        unitLock.unlock();
        emit firmwareCompared(unitRoot, true);
        return;
    }
    if (foundInPlace)
        emit foundUpToDate(versionOnDrive(unitRoot));
    else
        emit versionWritten(updateVersion);
    emit updateFirmwareSuccess();
}

void LumetraInstaller::copyFileFailed()
{
    fileCopyThread->wait();
    // Nothing more happens to the unit: another updater may have it now.
    unitLock.unlock();
    if (verifying)
        emit firmwareCompared(unitRoot, false);
    else
        emit updateFirmwareFailed();
}

void LumetraInstaller::stopUpdate()
{
    fileCopyThread->requestInterruption();
}

// Takes the unit's lock, or says who holds it or why it cannot be had, and sets *failure to
// the update's reason: "busy" only when another updater holds it.
bool LumetraInstaller::lockUnit(const QString &root, QString *failure)
{
    switch (unitLock.tryLock(root)) {
    case UnitLock::Result::Locked:
        return true;
    case UnitLock::Result::Busy:
        *failure = QStringLiteral("busy");
        emit unitBusy(unitLock.holder());
        return false;
    case UnitLock::Result::Error:
        break;
    }
    *failure = QStringLiteral("could not lock the unit: ") + unitLock.errorString();
    emit unitLockFailed(*failure);
    return false;
}

bool LumetraInstaller::uninstallUsb()
{
    const QString root = removableRoot();
    if (root.isEmpty()) {
        // The update's end, with its unit gone: the lock goes too, or another program would
        // find the unit busy while this one idles. A running copy keeps it.
        if (!fileCopyThread->isRunning())
            unitLock.unlock();
        emit removalFinished(-1);
        return false;
    }

    // Never under another updater's copy.
    QString lockFailure;
    if (!lockUnit(root, &lockFailure)) {
        emit removalFinished(-1);
        return false;
    }

    qCDebug(lcBackend) << "diskName" << EjectLumetra::driveName(root);
    QThread::msleep(1000);
    const quint32 result = ejector->ejectDrive(EjectLumetra::driveName(root));
    unitLock.unlock();
    emit removalFinished(int(result));
    if (result != 0) {
        qCDebug(lcBackend) << "LumetraInstaller::uninstallUsb failed" << result;
        return false;
    }
    return true;
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
