#ifndef LUMETRAINSTALLER_H
#define LUMETRAINSTALLER_H

#include "unitlock.h"
#include "updateattempt.h"
#include "volumesource.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QString>

#include <cstdio>
#include <memory>
#include <mutex>

// The worker and the ejector stay behind this interface: the faces cannot reach them.
class DiskCheckPlatform;
class EjectLumetra;
class EjectSystem;
class FileCopyThread;

// The one object through which the UI reaches the unit: finds its drive by the marker
// file, compares versions, runs an update and asks for the drive's safe removal.
class LumetraInstaller : public QObject
{
    Q_OBJECT

public:
    // The UI engine's constructor: the system's volumes, disk checker and device layer.
    explicit LumetraInstaller(QObject *parent = nullptr);
    // Tests hand in their own volumes, and also their own checker and device layer.
    explicit LumetraInstaller(std::unique_ptr<VolumeSource> volumes, QObject *parent = nullptr);
    LumetraInstaller(std::unique_ptr<VolumeSource> volumes,
                     std::unique_ptr<DiskCheckPlatform> checker,
                     std::unique_ptr<EjectSystem> ejectSystem, QObject *parent = nullptr);
    // Stops a running copy and waits for it: the old firmware stays, or the new one is whole.
    ~LumetraInstaller() override;

    // Every volume whose root holds the marker, in the order of the list: one look at the
    // volumes and one at each root, whatever the number of mounts. A root that does not
    // answer in time is passed over.
    static QStringList markedRoots(const QStringList &roots);

    // The firmware carried here: its version, and its SHA-256 (lower-case hex) as the build
    // found it, which every update checks the image against before writing a byte.
    static QString firmwareVersion();
    static QString firmwareSha256();

    // A real version file holds a few bytes; anything larger is not one.
    static constexpr qint64 maxVersionFileSize = 4096;

signals:
    void copyFileProgress(double value);
    void updateFirmwareSuccess();
    void updateFirmwareFailed();
    // The attempt's one record, once it has ended: at its failure, at the removal that
    // follows an updated or up-to-date unit, at finishAttempt(), when the next attempt begins
    // or when this object goes. A version check alone that found the unit up to date is no
    // attempt until a removal or finishAttempt() ends it.
    void attemptEnded(const UpdateAttempt &attempt);
    // What an update goes through, as it goes: for the command line's events, the screens and
    // the guard that holds a log-off.
    void updateStarted(const QString &root);
    void diskCheckFinished(int verdict);
    void firmwareVerified(qint64 bytesWritten, const QString &firmwareSha256);
    // Right before updateFirmwareFailed(): why, and whether the unit was left with an
    // incomplete firmware (it must stay connected for another try). Also inside
    // updateLumetra() and verifyLumetra() when the unit refuses them (busy, its lock failed,
    // not a unit); no updateFirmwareFailed() follows then.
    void updateFailedBecause(UpdateFailure::Reason reason, bool firmwareIncomplete);
    // The unit's version, read again under its lock right before the copy, says it needs no
    // update after all (another updater finished first): nothing was written;
    // updateFirmwareSuccess() follows.
    void foundUpToDate(const QString &deviceVersion);
    // The drive has room for one image only: the old one is being overwritten, and a stop
    // request lets the write finish.
    void writingInPlace();
    // The version file is on the device (flushed and synced).
    void versionWritten(const QString &version);
    // uninstallUsb()'s end: 0 removed, the ejector's code otherwise, -1 when it refused
    // (no unit, another unit than the one updated, a copy still running, another updater).
    void removalFinished(int code);

private slots:
    void runEnded();

public:
    Q_INVOKABLE QString getLumetraUpdateVersion();
    Q_INVOKABLE bool isLumetraConnected();
    // False when it cannot start: then its record has come already, unless another run of
    // this object is under way.
    Q_INVOKABLE bool updateLumetra();
    Q_INVOKABLE QString getCurrentVersionNumber();
    Q_INVOKABLE bool doesLumetraNeedUpdate();
    Q_INVOKABLE bool uninstallUsb();

    // Reads the unit's firmware back and compares it with the one carried here, under the
    // unit's lock, on the worker: an attempt of its own, which needs no removal; its record
    // (Matches, Differs or why not) ends it. False as updateLumetra().
    bool verifyLumetra();
    // The face is done with an updated or up-to-date unit without a removal (the command
    // line's --no-eject): its record comes now. A check alone that found an update needed
    // and no update after it leaves no record.
    void finishAttempt();

    // Asks a running update to stop as closing the window does: the old firmware stays, or,
    // once it is being overwritten, the write is finished. The end signal follows as usual.
    void stopUpdate();
    // Rewrites the firmware even when the unit's version says it is up to date.
    void setForced(bool forced) { force = forced; }
    // Where the removal's console lines go instead of standard output, for a caller whose
    // standard output carries data.
    static void sendRemovalMessagesTo(std::FILE *stream);
    // The version file's text on the drive at root, or "1.0" when there is none to read.
    static QString versionOnDrive(const QString &root);
    // What tells this connection of the unit at root from a later one there (another unit,
    // or this one plugged in again); empty when the system cannot tell.
    static QByteArray unitIdentity(const QString &root);

private:
    // Where the attempt under way stands. Open: a version check or a run's start opened it;
    // Running: the worker runs; Settled: updated or up to date, waiting for its removal or
    // finishAttempt().
    enum class Stage { None, Open, Running, Settled };
    // What the worker said of its run, written on its thread as it says it and read here only
    // once it has ended (after wait()): the record takes it from here even when this object
    // goes before the worker's signals could arrive.
    struct WorkerAccount
    {
        bool succeeded = false;
        bool alreadyInPlace = false;
        bool verified = false;
        bool diskChecked = false;
        int diskCheck = -1;
        qint64 bytes = 0;
        QString sha256;
        UpdateFailure::Reason reason = UpdateFailure::None;
        bool firmwareIncomplete = false;
    };

    QString findMarkedRoot() const;
    static bool isMarked(const QString &root);
    QString removableRoot() const;
    bool startRun(bool verifyOnly);
    bool refuseRun(const QString &root, const QString &destination);
    bool lockUnit(const QString &root);
    void settleRun(bool closing);
    void openAttempt(const QString &root);
    void endAttempt();
    void closeAttempt();

    QString updateVersion;
    QString firmwareResourcePath;
    QString versionFileName;
    std::unique_ptr<FileCopyThread> fileCopyThread;
    std::unique_ptr<EjectLumetra> ejector;
    std::unique_ptr<VolumeSource> volumes;
    // The unit last checked or updated: the one that gets the removal.
    QString unitRoot;
    UnitLock unitLock;
    bool force = false;
    // The run under way compares only.
    bool verifying = false;
    // Written on the worker's thread as it speaks, read here once it has ended: under a lock of
    // our own, as the join inside QThread::wait() is out of sight of the thread sanitizer.
    WorkerAccount account;
    std::mutex accountLock;
    UpdateAttempt attempt;
    Stage stage = Stage::None;
    QElapsedTimer attemptClock;
};

#endif // LUMETRAINSTALLER_H
