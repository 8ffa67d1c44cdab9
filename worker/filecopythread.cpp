#include "filecopythread.h"

#include "devicesync.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDebug>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QSaveFile>

#include <cstring>

namespace {

// The read-back compares in large pieces: one system call per 4096 bytes would cost more
// than the copy itself.
constexpr qint64 readBackBlockSize = 1024 * 1024;

// The line qDebug() << "copy file progress:" << progress << "totalCopySize:" << total
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
    qDebug("%s", line.constData());
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
      noProblemsMessage(QStringLiteral("Windows has scanned the file system and found no problems.")),
      problemsFoundMessage(QStringLiteral("Windows has checked the file system and found problems.")),
      platform(std::move(platform))
{
}

void FileCopyThread::setFilePath(QString srcFilePath, QString dstFilePath)
{
    this->srcFilePath = std::move(srcFilePath);
    this->dstFilePath = std::move(dstFilePath);
}

void FileCopyThread::run()
{
    // Taken first: the backend found the drive mounted just before it started the run.
    const QString drive = platform->driveOf(dstFilePath);
    emit updateProgress(0.0);

    if (checkDisk(drive) == 1)
        repairDisk(drive);

    if (copy(drive))
        emit copySuccess();
    else
        emit copyFailed();
}

// True only when the new file is complete, on the device and reads back as the source.
bool FileCopyThread::copy(const QString &drive)
{
    if (isInterruptionRequested()) {
        qDebug() << "FileCopyThread::run interrupted before copying";
        return false;
    }
    if (!stillOnDrive(drive))
        return false;

    // A read-only old file would block its replacement; the result does not matter, the
    // open or the replacement below says whether it worked.
    QFile::setPermissions(dstFilePath, QFile::permissions(dstFilePath) | QFileDevice::WriteUser);

    // The new file grows beside the old one and takes its place only once complete.
    // Unbuffered, so the block that hits a full drive is the one whose write fails.
    QSaveFile destination(dstFilePath);
    if (!destination.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qDebug() << "open dest file failed! dstFilePath:" << dstFilePath;
        return false;
    }
    QFile source(srcFilePath);
    if (!source.open(QIODevice::ReadOnly)) {
        qDebug() << "open source file failed!";
        return false;
    }

    char buffer[blockSize];
    const qint64 size = source.size();
    qint64 total = 0;
    while (!source.atEnd()) {
        if (isInterruptionRequested()) {
            qDebug() << "FileCopyThread::run interrupted at totalCopySize:" << total;
            return false;
        }
        const qint64 count = source.read(buffer, blockSize);
        if (count <= 0)
            break;
        if (destination.write(buffer, count) != count) {
            qDebug() << "write dest file failed!" << destination.errorString();
            return false;
        }
        total += count;
        const double progress = double(total) / double(size);
        emit updateProgress(progress);
        logProgress(progress, total, size);
    }
    source.close();
    if (total != size) {
        qDebug() << "read source file failed! totalCopySize:" << total << "fileSize:" << size;
        return false;
    }

    if (!destination.flush() || !syncToDevice(destination.handle())) {
        qDebug() << "flush dest file failed!" << destination.errorString();
        return false;
    }
    if (!stillOnDrive(drive))
        return false;
    if (!destination.commit()) {
        qDebug() << "replace dest file failed!" << destination.errorString();
        return false;
    }
    if (!destinationMatchesSource()) {
        qDebug() << "dest file differs from source file! dstFilePath:" << dstFilePath;
        return false;
    }
    return true;
}

// A drive pulled during the check can leave its mount point behind as an empty directory
// on the computer's own disk: the firmware must not land there and be called a success.
bool FileCopyThread::stillOnDrive(const QString &drive) const
{
    if (platform->driveOf(dstFilePath) == drive)
        return true;
    qDebug() << "FileCopyThread::run the drive is gone:" << drive;
    return false;
}

bool FileCopyThread::destinationMatchesSource() const
{
    QFile source(srcFilePath);
    QFile written(dstFilePath);
    return source.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly) && sameContent(source, written);
}

int FileCopyThread::checkDisk(QString drive)
{
    QProcess process;
    if (!runChecker(process, platform->checkCommand(drive), checkTimeLimit,
                    "FileCopyThread::checkDisk no check:", "checkDisk process.waitForFinished error"))
        return -1;
    const QString result = QString::fromUtf8(process.readAllStandardOutput());
    qDebug() << "FileCopyThread::checkDisk result:" << result;
    // The clean verdict first: an output holding both sentences means no problems.
    if (result.contains(noProblemsMessage, Qt::CaseSensitive))
        return 0;
    if (result.contains(problemsFoundMessage, Qt::CaseSensitive))
        return 1;
    const int exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return platform->verdictWithoutSentence(exitCode);
}

int FileCopyThread::repairDisk(QString drive)
{
    QProcess process;
    if (!runChecker(process, platform->repairCommand(drive), repairTimeLimit,
                    "FileCopyThread::repairDisk refused:", "repairDisk process.waitForFinished error"))
        return -1;
    qDebug() << "MyChkdsk::runCommand:" << QString::fromUtf8(process.readAllStandardOutput());
    return 0;
}

// Runs one checker command to its end; false, with the given line logged, when the
// platform refuses it or it does not finish in time (then it is ended).
bool FileCopyThread::runChecker(QProcess &process, const DiskCheckCommand &command, int timeLimit,
                                const char *refusedLine, const char *timeoutLine)
{
    if (!command.refusal.isEmpty()) {
        qDebug() << refusedLine << command.refusal;
        return false;
    }
    process.start(command.program, command.arguments);
    if (!waitForChecker(process, timeLimit)) {
        qDebug() << timeoutLine;
        process.close();
        return false;
    }
    return true;
}

// waitForFinished(timeLimit), except that a thread asked to stop stops waiting within a
// tenth of a second: closing the application must not hang on a 30-second repair.
bool FileCopyThread::waitForChecker(QProcess &process, int timeLimit)
{
    const QDeadlineTimer deadline(timeLimit);
    while (!isInterruptionRequested()) {
        if (process.waitForFinished(int(qMin<qint64>(100, deadline.remainingTime()))))
            return true;
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
    }
    qDebug() << "FileCopyThread: disk checker abandoned, the thread was asked to stop";
    return false;
}
