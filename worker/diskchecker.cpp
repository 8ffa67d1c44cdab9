#include "diskchecker.h"

#include "workerlogging.h"

#include <QtCore/QDeadlineTimer>
#include <QtCore/QProcess>

// The log keeps the words it had before this class: the log files gathered in the field and
// the tests look for them.

namespace {

// chkdsk's verdicts in code page 437; fsck.fat says neither and answers by its exit code.
const QString noProblemsSentence = QStringLiteral("Windows has scanned the file system and found no problems.");
const QString problemsFoundSentence = QStringLiteral("Windows has checked the file system and found problems.");

} // namespace

DiskChecker::DiskChecker(std::unique_ptr<DiskCheckPlatform> platform, std::function<bool()> stopRequested)
    : platform(std::move(platform)), stopRequested(std::move(stopRequested))
{
}

DiskChecker::~DiskChecker() = default;

QString DiskChecker::driveOf(const QString &path) const
{
    return platform->driveOf(path);
}

int DiskChecker::check(const QString &drive)
{
    const auto process = run(platform->checkCommand(drive), checkTimeLimit, "FileCopyThread::checkDisk no check:",
                             "checkDisk process.waitForFinished error");
    if (!process)
        return -1;
    const QString result = QString::fromUtf8(process->readAllStandardOutput());
    qCDebug(lcWorker) << "FileCopyThread::checkDisk result:" << result;
    // The clean verdict first: an output holding both sentences means no problems.
    if (result.contains(noProblemsSentence, Qt::CaseSensitive))
        return 0;
    if (result.contains(problemsFoundSentence, Qt::CaseSensitive))
        return 1;
    const int exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    return platform->verdictWithoutSentence(exitCode);
}

int DiskChecker::repair(const QString &drive)
{
    const auto process = run(platform->repairCommand(drive), repairTimeLimit, "FileCopyThread::repairDisk refused:",
                             "repairDisk process.waitForFinished error");
    if (!process)
        return -1;
    qCDebug(lcWorker) << "MyChkdsk::runCommand:" << QString::fromUtf8(process->readAllStandardOutput());
    return 0;
}

// Runs one checker command to its end: the finished process, or none, with the given line
// logged, when the platform refuses the command or it does not finish in time (then it is ended).
std::unique_ptr<QProcess> DiskChecker::run(const DiskCheckCommand &command, int timeLimit, const char *refusedLine,
                                           const char *timeoutLine)
{
    if (!command.refusal.isEmpty()) {
        qCDebug(lcWorker) << refusedLine << command.refusal;
        return nullptr;
    }
    auto process = std::make_unique<QProcess>();
    // A checker that asks a question (chkdsk /f on a volume in use) meets the end of its
    // input at once instead of holding the update until the time limit.
    process->setStandardInputFile(QProcess::nullDevice());
    process->start(command.program, command.arguments);
    if (waitFor(*process, timeLimit))
        return process;
    qCDebug(lcWorker) << timeoutLine;
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        if (!process->waitForFinished(killTimeLimit) && process->state() != QProcess::NotRunning) {
            // Stuck in the kernel (a dead device): QProcess's destructor would wait another
            // 30 s for it. Its handle is the lesser loss.
            qCDebug(lcWorker) << "FileCopyThread: the disk checker outlived its kill";
            process.release();
        }
    }
    return nullptr;
}

// waitForFinished(timeLimit), except that a stop request ends the wait within a tenth of a
// second: closing the application must not hang on a 30-second repair.
bool DiskChecker::waitFor(QProcess &process, int timeLimit)
{
    const QDeadlineTimer deadline(timeLimit);
    while (!stopRequested()) {
        if (process.waitForFinished(int(qMin<qint64>(100, deadline.remainingTime()))))
            return true;
        if (process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
    }
    qCDebug(lcWorker) << "FileCopyThread: disk checker abandoned, the thread was asked to stop";
    return false;
}
