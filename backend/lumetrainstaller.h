#ifndef LUMETRAINSTALLER_H
#define LUMETRAINSTALLER_H

#include "unitlock.h"
#include "volumesource.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <cstdio>
#include <memory>

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
    // What an update went through, for the log, the history and the command line. None of
    // them is needed by the screens.
    void versionChecked(const QString &root, const QString &deviceVersion, bool needsUpdate);
    void updateStarted(const QString &root);
    void diskCheckFinished(int verdict);
    void firmwareVerified(qint64 bytesWritten, const QString &firmwareSha256);
    // Right before updateFirmwareFailed(): why, in a few words, and whether the unit was
    // left with an incomplete firmware (it must stay connected for another try). Also
    // inside updateLumetra() and verifyLumetra() when they cannot start: "busy" when another
    // updater holds the unit, else unitLockFailed()'s reason, "not a unit: ..." for a marker
    // that is a link; no updateFirmwareFailed() follows then.
    void updateFailedBecause(const QString &reason, bool firmwareIncomplete);
    // Another LumetraInstaller (a window or a command line, pid when known, else 0) is
    // updating the unit: the update or the removal asked for was refused.
    void unitBusy(qint64 pid);
    // The unit's lock could not be taken for another reason than a holder ("could not lock
    // the unit: " and the system's words): the update or the removal asked for was refused.
    void unitLockFailed(const QString &reason);
    // The unit's version, read again under its lock right before the copy, says it needs no
    // update after all (another updater finished first): nothing was written;
    // updateFirmwareSuccess() follows.
    void foundUpToDate(const QString &deviceVersion);
    // The drive has room for one image only: the old one is being overwritten, and a stop
    // request lets the write finish.
    void writingInPlace();
    // verifyLumetra()'s end: whether the unit's firmware is the one carried here. A failure to
    // read comes with updateFailedBecause() before.
    void firmwareCompared(const QString &root, bool matches);
    // The version file is on the device (flushed and synced).
    void versionWritten(const QString &version);
    // uninstallUsb()'s end: 0 removed, the ejector's code otherwise, -1 when it refused
    // (no unit, another unit than the one updated, a copy still running).
    void removalFinished(int code);

private slots:
    void copyFileSuccess();
    void copyFileFailed();

public:
    Q_INVOKABLE QString getLumetraUpdateVersion();
    Q_INVOKABLE bool isLumetraConnected();
    Q_INVOKABLE bool updateLumetra();
    Q_INVOKABLE QString getCurrentVersionNumber();
    Q_INVOKABLE bool doesLumetraNeedUpdate();
    Q_INVOKABLE bool uninstallUsb();

    // Reads the unit's firmware back and compares it with the one carried here, under the
    // unit's lock, on the worker: firmwareCompared() follows. False when it cannot start
    // (no unit, a run under way, busy).
    bool verifyLumetra();

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
    QString findMarkedRoot() const;
    static bool isMarked(const QString &root);
    QString removableRoot() const;
    bool startRun(bool verifyOnly);
    bool lockUnit(const QString &root, QString *failure);

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
    // The run under way found the unit up to date and wrote nothing.
    bool foundInPlace = false;
    // The run under way compares only.
    bool verifying = false;
};

#endif // LUMETRAINSTALLER_H
