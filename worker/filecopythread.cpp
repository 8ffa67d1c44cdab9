#include "filecopythread.h"

#include "devicesync.h"
#include "unitfilewriter.h"
#include "workerlogging.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QDebug>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStorageInfo>

#include <cstring>

Q_LOGGING_CATEGORY(lcWorker, "lumetra.worker")

namespace {

// The read-back compares in large pieces: one system call per 4096 bytes would cost more
// than the copy itself.
constexpr qint64 readBackBlockSize = 1024 * 1024;

// The per-block progress line has a category of its own: the log file leaves it out past its cap.
Q_LOGGING_CATEGORY(lumetraProgress, "lumetra.progress")
// The line qCDebug(lumetraProgress) << "copy file progress:" << progress << "totalCopySize:" << total
// << "fileSize:" << size writes, without a text stream per block: the fraction with six
// significant digits, as the stream's default, and the counts in decimal.
void logProgress(double progress, qint64 total, qint64 size)
{
    QByteArray line;
    line.reserve(96);
    line += "copy file progress: ";
    line += QByteArray::number(progress, 'g', 6);
    line += " totalCopySize: ";
    line += QByteArray::number(total);
    line += " fileSize: ";
    line += QByteArray::number(size);
    qCDebug(lumetraProgress, "%s", line.constData());
}

// Both files are read, never mapped: a drive pulled out during the read-back must end in a
// failed read, not in a crash.
bool sameContent(QFile &source, QFile &written)
{
    if (source.size() != written.size())
        return false;
    QByteArray expected(readBackBlockSize, Qt::Uninitialized);
    QByteArray actual(readBackBlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 count = written.read(actual.data(), readBackBlockSize);
        if (count < 0 || source.read(expected.data(), count) != count
            || std::memcmp(expected.constData(), actual.constData(), size_t(count)) != 0)
            return false;
        if (count == 0)
            return source.atEnd();
    }
}

} // namespace

FileCopyThread::FileCopyThread()
    : FileCopyThread(DiskCheckPlatform::create())
{
}

FileCopyThread::FileCopyThread(std::unique_ptr<DiskCheckPlatform> platform)
    : QThread(nullptr),
      checker(std::move(platform), [this] { return isInterruptionRequested(); })
{
    // failureReason() reaches its receivers on another thread, queued.
    qRegisterMetaType<UpdateFailure::Reason>();
}

void FileCopyThread::setFilePath(QString srcFilePath, QString dstFilePath)
{
    this->srcFilePath = std::move(srcFilePath);
    this->dstFilePath = std::move(dstFilePath);
}

void FileCopyThread::setStampFile(QString path, QByteArray content)
{
    stampFilePath = std::move(path);
    stampContent = std::move(content);
}

void FileCopyThread::setStillNeeded(std::function<bool()> stillNeeded)
{
    this->stillNeeded = std::move(stillNeeded);
}

void FileCopyThread::run()
{
    // Taken first: the backend found the drive mounted just before it started the run.
    const QString drive = checker.driveOf(dstFilePath);
    emit updateProgress(0.0);
    bool done = openSource();
    if (done && verifyOnly) {
        done = compare();
    } else if (done) {
        const int verdict = checker.check(drive);
        emit diskChecked(verdict);
        if (verdict == 1)
            checker.repair(drive);
        done = copy(drive);
    }
    source.close();
    if (done) {
        emit updateProgress(1.0);
        emit copySuccess();
    } else {
        emit copyFailed();
    }
}

bool FileCopyThread::fail(UpdateFailure::Reason reason)
{
    qCDebug(lcWorker) << "FileCopyThread::run failed:" << reason << (firmwareIncomplete ? "(the firmware is incomplete)" : "");
    emit failureReason(reason, firmwareIncomplete);
    return false;
}

// Opens the source and checks it against the SHA-256 the build fixed: a damaged download of the
// program must not reach a unit, nor be taken as the measure of one.
bool FileCopyThread::openSource()
{
    source.setFileName(srcFilePath);
    sourceSha256.clear();
    if (!source.open(QIODevice::ReadOnly)) {
        qCDebug(lcWorker) << "open source file failed!";
        return fail(UpdateFailure::FirmwareUnreadable);
    }
    if (expectedSha256.isEmpty())
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&source) || !source.atEnd() || !source.seek(0))
        return fail(UpdateFailure::FirmwareUnreadable);
    sourceSha256 = QString::fromLatin1(hash.result().toHex());
    if (sourceSha256.toLatin1() != expectedSha256) {
        qCDebug(lcWorker) << "FileCopyThread::run the firmware image is damaged: SHA-256" << sourceSha256
                          << "where" << expectedSha256 << "was built in";
        return fail(UpdateFailure::FirmwareDamaged);
    }
    return true;
}

// The destination read back against the source, nothing written.
bool FileCopyThread::compare()
{
    QFile written(dstFilePath);
    if (!written.open(QIODevice::ReadOnly))
        return fail(reasonForWriteFailure(QFileInfo(dstFilePath).absolutePath()) == UpdateFailure::DriveGone
                            ? UpdateFailure::DriveGone : UpdateFailure::Unreadable);
    if (!sameContent(source, written))
        return fail(UpdateFailure::Differs);
    emit copyVerified(source.size(), sourceSha256);
    return true;
}

// True only when the new file is complete, on the device, reads back as the source and
// stands in its place, and the stamp file is written.
bool FileCopyThread::copy(const QString &drive)
{
    if (isInterruptionRequested()) {
        qCDebug(lcWorker) << "FileCopyThread::run interrupted before copying";
        return fail(UpdateFailure::Interrupted);
    }
    if (!stillOnDrive(drive))
        return fail(UpdateFailure::DriveGone);
    // Looked at again after the check: a marker swapped for a link meanwhile would have
    // the firmware written wherever it points.
    const QFileInfo marker(dstFilePath);
    if (marker.isSymLink() || (marker.exists() && !marker.isFile())) {
        qCDebug(lcWorker) << "FileCopyThread::run the marker is not an ordinary file:" << dstFilePath;
        return fail(UpdateFailure::MarkerNotOrdinaryFile);
    }
    const qint64 oldSize = marker.exists() ? marker.size() : 0;
    firmwareIncomplete = false;
    removeLeftovers();
    // Under the unit's lock, so no other updater can change the answer until this run ends.
    if (stillNeeded && !stillNeeded()) {
        qCDebug(lcWorker) << "FileCopyThread::run the drive already holds this firmware; nothing written";
        emit alreadyInPlace();
        return true;
    }
    // Found before anything is written: a version file that cannot be replaced (a folder, a
    // link) would otherwise fail only after the image, on every run.
    if (!stampFilePath.isEmpty() && !makeReplaceable(stampFilePath)) {
        qCDebug(lcWorker) << "FileCopyThread::run the stamp file cannot be replaced:" << stampFilePath;
        return fail(UpdateFailure::VersionFileNotWritten);
    }
    shownProgress = 0.0;
    // A read-only old file would block its replacement; the result does not matter, the
    // open or the replacement says whether it worked.
    QFile::setPermissions(dstFilePath, QFile::permissions(dstFilePath) | QFileDevice::WriteUser);
    if (!writeFirmware(drive, oldSize) || !writeStamp(drive))
        return false;
    emit copyVerified(source.size(), sourceSha256);
    return true;
}

// The new image beside the old one where the drive has room for both, else over it.
bool FileCopyThread::writeFirmware(const QString &drive, qint64 oldSize)
{
    const QString directory = QFileInfo(dstFilePath).absolutePath();
    bool inPlace = !roomFor(false, oldSize);
    if (inPlace && !roomFor(true, oldSize)) {
        qCDebug(lcWorker) << "FileCopyThread::run no room for the new file:" << QStorageInfo(directory).bytesAvailable();
        return fail(UpdateFailure::FullDrive);
    }
    if (!inPlace) {
        const UpdateFailure::Reason reason = writeImage(drive, false);
        if (reason == UpdateFailure::None)
            return true;
        // The free space said room for two and the drive disagreed: in place, if it fits there.
        if (reason != UpdateFailure::FullDrive || !roomFor(true, oldSize))
            return fail(reason);
    }
    qCDebug(lcWorker) << "FileCopyThread::run too little room for two images, writing in place:" << dstFilePath;
    // The version file goes first: a write cut short then leaves a unit that reads as "1.0"
    // and asks for the update, never one that claims a version its image lacks.
    if (!removeStamp(directory))
        return fail(UpdateFailure::VersionFileNotWritten);
    emit writingInPlace();
    const UpdateFailure::Reason reason = writeImage(drive, true);
    return reason == UpdateFailure::None || fail(reason);
}

// What an earlier run left when it was cut off (a crash, a pulled cable): side files that
// would count as used space and push a roomy drive onto the in-place way.
void FileCopyThread::removeLeftovers()
{
    const QStringList leftovers = { UnitFileWriter::sideFileName(dstFilePath),
                                    stampFilePath.isEmpty() ? QString() : UnitFileWriter::sideFileName(stampFilePath) };
    for (const QString &path : leftovers) {
        const QFileInfo info(path);
        if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
            continue;
        if (QFile::remove(path))
            qCDebug(lcWorker) << "FileCopyThread::run removed a leftover of an earlier update:" << path;
        else
            qCDebug(lcWorker) << "FileCopyThread::run could not remove a leftover of an earlier update:" << path;
    }
}

// Whether the drive has room for the new file and then the stamp's side copy, counted in the
// volume's blocks: beside the old file (the side copy comes once the old file is gone), or in
// place (the old stamp and the old file make way first). An unknown free space counts as room.
bool FileCopyThread::roomFor(bool inPlace, qint64 oldSize) const
{
    const QStorageInfo volume(QFileInfo(dstFilePath).absolutePath());
    const qint64 available = volume.bytesAvailable();
    if (available < 0)
        return true;
    const qint64 block = qMax(qint64(volume.blockSize()), qint64(1));
    const auto blocks = [block](qint64 bytes) { return (bytes + block - 1) / block * block; };
    const qint64 image = blocks(source.size());
    const qint64 stamp = stampFilePath.isEmpty() ? 0 : blocks(stampContent.size());
    if (!inPlace)
        return available >= image && available - image + blocks(oldSize) >= stamp;
    const QFileInfo oldStamp(stampFilePath);
    const qint64 freed = blocks(oldSize) + (oldStamp.isFile() ? blocks(oldStamp.size()) : 0);
    return available + freed >= image + stamp;
}

// Takes the stamp file off the drive, on the device; true when there is none left.
bool FileCopyThread::removeStamp(const QString &directory)
{
    // makeReplaceable() said it is an ordinary file or none.
    if (stampFilePath.isEmpty() || !QFileInfo::exists(stampFilePath))
        return true;
    if (QFile::remove(stampFilePath) && syncDirectory(directory))
        return true;
    qCDebug(lcWorker) << "FileCopyThread::run could not take the stamp file off before writing in place:"
                      << stampFilePath;
    return false;
}

// Writes the source as the new image in blocks, beside the old one or over it (inPlace), and
// reads it back from the device before it takes the old one's place. The reason of a
// failure, or None. In place, there is no way back once the old file is
// truncated: the write is finished even when the thread is asked to stop.
UpdateFailure::Reason FileCopyThread::writeImage(const QString &drive, bool inPlace)
{
    const QString directory = QFileInfo(dstFilePath).absolutePath();
    UnitFileWriter image(dstFilePath);
    image.setDirectWriteFallback(inPlace);
    source.seek(0);
    if (!image.open())
        return reasonForWriteFailure(directory);
    firmwareIncomplete = inPlace;
    char buffer[blockSize];
    const qint64 size = source.size();
    qint64 total = 0;
    while (!source.atEnd()) {
        if (!inPlace && isInterruptionRequested()) {
            qCDebug(lcWorker) << "FileCopyThread::run interrupted at totalCopySize:" << total;
            return UpdateFailure::Interrupted;
        }
        const qint64 count = source.read(buffer, blockSize);
        if (count <= 0)
            break;
        if (!image.write(buffer, count))
            return reasonForWriteFailure(directory);
        total += count;
        const double progress = double(total) / double(size);
        // The end is announced only once everything is done; a second try never moves
        // the bar back.
        shownProgress = qMax(shownProgress, qMin(progress, lastBlockProgress));
        emit updateProgress(shownProgress);
        logProgress(progress, total, size);
    }
    if (total != size) {
        qCDebug(lcWorker) << "read source file failed! totalCopySize:" << total << "fileSize:" << size;
        return UpdateFailure::FirmwareUnreadable;
    }
    if (!image.flushToDevice())
        return reasonForWriteFailure(directory);
    if (!readsBackAsSource(image.writtenFileName()))
        return UpdateFailure::VerificationFailed;
    firmwareIncomplete = false;
    if (!inPlace && !stillOnDrive(drive))
        return UpdateFailure::DriveGone;
    return image.commit() ? UpdateFailure::None : reasonForWriteFailure(directory);
}

bool FileCopyThread::readsBackAsSource(const QString &path)
{
    QFile written(path);
    source.seek(0);
    if (written.open(QIODevice::ReadOnly) && sameContent(source, written))
        return true;
    qCDebug(lcWorker) << "dest file differs from source file! dstFilePath:" << path;
    return false;
}

// The stamp goes on only after the firmware, and only onto the drive the run began on.
bool FileCopyThread::writeStamp(const QString &drive)
{
    if (stampFilePath.isEmpty())
        return true;
    if (!stillOnDrive(drive))
        return fail(UpdateFailure::DriveGone);
    UnitFileWriter stamp(stampFilePath);
    if (makeReplaceable(stampFilePath) && stamp.open() && stamp.write(stampContent) && stamp.commit())
        return true;
    stamp.cancelWriting();
    qCDebug(lcWorker) << "FileCopyThread::run writing the stamp file failed:" << stampFilePath;
    return fail(UpdateFailure::VersionFileNotWritten);
}

// A drive pulled during the check can leave its mount point behind as an empty directory
// on the computer's own disk: the firmware must not land there and be called a success.
bool FileCopyThread::stillOnDrive(const QString &drive)
{
    if (checker.driveOf(dstFilePath) == drive)
        return true;
    qCDebug(lcWorker) << "FileCopyThread::run the drive is gone:" << drive;
    return false;
}

// Why a write on the unit failed, from what its volume says now.
UpdateFailure::Reason FileCopyThread::reasonForWriteFailure(const QString &directory) const
{
    const QStorageInfo volume(directory);
    if (!volume.isValid() || !QFileInfo::exists(directory))
        return UpdateFailure::DriveGone;
    if (volume.isReadOnly() || !QFileInfo(directory).isWritable())
        return UpdateFailure::ReadOnly;
    if (volume.bytesAvailable() < blockSize)
        return UpdateFailure::FullDrive;
    return UpdateFailure::WriteFailed;
}
