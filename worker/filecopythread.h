#ifndef FILECOPYTHREAD_H
#define FILECOPYTHREAD_H

#include "diskchecker.h"
#include "updatefailure.h"

#include <QtCore/QFile>
#include <QtCore/QString>
#include <QtCore/QThread>

#include <functional>
#include <memory>

// Writes the firmware image onto the unit's drive: checks (and if need be repairs) the
// drive, then copies in 4096-byte blocks, announcing the fraction copied after each block.
// The source is checked against its expected SHA-256 before anything else: a damaged image
// is neither written nor used as the measure of a unit. Every run emits updateProgress(0.0)
// first and exactly one of copySuccess() and copyFailed() last. The value 1.0 comes only
// when the new file is complete, on the device, read back equal to the source and in its
// place (and the stamp file, if one was given, written and on the device too), immediately
// before copySuccess(); until then the bar stops just short of the end. The old file stays
// whole until the new one has been read back, so a failed run leaves a drive that is still
// recognised and can be updated again; only a drive too small for both is written in place,
// over the old file, so that the marker never disappears. The stamp file is taken off before
// that write starts and written only once the new file reads back right, so that a unit cut
// short asks for the update again. requestInterruption() ends a run within one block (or a
// tenth of a second of the disk checker) with copyFailed(), except once the old file is
// being overwritten: that write is finished first.
// The check and repair are a DiskChecker's, each file on the unit is written by a
// UnitFileWriter; this class decides the run: the order of the checks, the room, beside or in
// place, the stamp and the signals.
class FileCopyThread : public QThread
{
    Q_OBJECT

public:
    FileCopyThread();
    // Tests hand in their own checker.
    explicit FileCopyThread(std::unique_ptr<DiskCheckPlatform> platform);

    // Only while the thread is not running: run() reads the paths unguarded.
    void setFilePath(QString srcFilePath, QString dstFilePath);
    // A small file written beside the destination once the copy is whole (the unit's
    // version); an empty path writes none. Only while the thread is not running.
    void setStampFile(QString path, QByteArray content);
    // Asked on the worker thread right before the first byte is written; false means the
    // drive already holds what this run would write (another updater got there first): the
    // run then ends with alreadyInPlace() and success, writing nothing. None: always copy.
    // Only while the thread is not running.
    void setStillNeeded(std::function<bool()> stillNeeded);
    // A run that only reads the destination back and compares it with the source: no check,
    // no write. Ends with copyVerified() and success, or failureReason(Differs) (or why it
    // could not be read) and copyFailed(). Only while the thread is not running.
    void setVerifyOnly(bool verifyOnly) { this->verifyOnly = verifyOnly; }
    // The SHA-256 the source must have, in lower-case hex; a source that differs fails with
    // failureReason(FirmwareDamaged) before the check and the copy. Empty: not checked.
    // Only while the thread is not running.
    void setExpectedSha256(QByteArray sha256) { expectedSha256 = std::move(sha256); }

    static constexpr int blockSize = 4096;
    // Where the bar waits while the new file is flushed and read back.
    static constexpr double lastBlockProgress = 0.99;

signals:
    void updateProgress(double value);
    void copySuccess();
    void copyFailed();
    // For the log, the history and the command line; emitted before the end signal.
    // verdict: 0 no problems, 1 problems found (a repair was asked for; the platform may
    // refuse it, as Linux does for a mounted file system, and the copy goes on), -1 no verdict.
    void diskChecked(int verdict);
    // The new file is complete, on the device, read back equal to the source and in place.
    // sha256: the source's, checked against the expected one (empty when none was given).
    void copyVerified(qint64 bytesWritten, const QString &sha256);
    // Why the run fails (FullDrive, ReadOnly, DriveGone, VerificationFailed, Interrupted,
    // ...), right before copyFailed().
    // firmwareIncomplete: the old file was already overwritten and the new one is not
    // whole: the drive must stay connected for another try.
    void failureReason(UpdateFailure::Reason reason, bool firmwareIncomplete);
    // The drive has too little room for two images: the old file is being overwritten from
    // here on, and a request to stop no longer ends the run before the write is done.
    void writingInPlace();
    // setStillNeeded() said no: nothing was written; copySuccess() follows.
    void alreadyInPlace();

protected:
    void run() override;

private:
    bool openSource();
    bool compare();
    bool copy(const QString &drive);
    void removeLeftovers();
    bool roomFor(bool inPlace, qint64 oldSize) const;
    bool writeFirmware(const QString &drive, qint64 oldSize);
    bool removeStamp(const QString &directory);
    UpdateFailure::Reason writeImage(const QString &drive, bool inPlace);
    bool readsBackAsSource(const QString &path);
    bool writeStamp(const QString &drive);
    bool stillOnDrive(const QString &drive);
    bool fail(UpdateFailure::Reason reason);
    UpdateFailure::Reason reasonForWriteFailure(const QString &directory) const;

    QString srcFilePath;
    QString dstFilePath;
    QString stampFilePath;
    QByteArray stampContent;
    std::function<bool()> stillNeeded;
    bool verifyOnly = false;
    QByteArray expectedSha256;
    DiskChecker checker;
    // Per run, on the worker thread only.
    QFile source;
    QString sourceSha256;
    double shownProgress = 0.0;
    // The old file has been truncated and the new one is not yet whole and verified.
    bool firmwareIncomplete = false;
};

#endif // FILECOPYTHREAD_H
