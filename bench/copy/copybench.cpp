// The worker's copy against dd bs=4096 conv=fsync of the same file onto the same tmpfs
// volume: the firmware image's size and 64 MiB, each timed several times, printing the
// medians and the ratio worker/dd. The worker's time holds everything a real update has:
// the disk check (which turns a tmpfs down at once: no FAT, nothing to run), one progress
// signal per block delivered to this thread, one log line per block written to a file by a
// message handler, the flush and the read-back.
//
// As root it mounts a private tmpfs, re-running itself under unshare in a mount namespace of
// its own; otherwise it works in a directory on /dev/shm.

#include "filecopythread.h"

#include <QtCore/QAtomicInt>
#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QEventLoop>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QRandomGenerator>
#include <QtCore/QStorageInfo>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace {

FILE *logFile = nullptr;

void writeToLogFile(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const QByteArray line = message.toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), logFile);
    std::fputc('\n', logFile);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double minimum(const std::vector<double> &values)
{
    return *std::min_element(values.begin(), values.end());
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct WorkerTiming
{
    double seconds = 0;
    int progressValues = 0;
    bool succeeded = false;
};

// Delivery: Qt::AutoConnection queues the signals onto this thread's event loop, as the
// backend gets them; Qt::DirectConnection handles them on the worker thread, which shows
// what the hand-over between the threads costs.
WorkerTiming timeWorker(FileCopyThread &thread, const QString &source, const QString &destination,
                        Qt::ConnectionType delivery)
{
    WorkerTiming timing;
    QEventLoop loop;
    QAtomicInt progressValues(0);
    QObject::connect(&thread, &FileCopyThread::updateProgress, &loop, [&](double) { ++progressValues; }, delivery);
    QObject::connect(&thread, &FileCopyThread::copySuccess, &loop, [&] {
        timing.succeeded = true;
        loop.quit();
    });
    QObject::connect(&thread, &FileCopyThread::copyFailed, &loop, &QEventLoop::quit);
    thread.setFilePath(source, destination);
    QElapsedTimer clock;
    clock.start();
    thread.start();
    loop.exec();
    timing.seconds = clock.nsecsElapsed() / 1e9;
    thread.wait();
    timing.progressValues = progressValues;
    return timing;
}

double timeDd(const QString &source, const QString &destination)
{
    QElapsedTimer clock;
    clock.start();
    const bool copied = run(QStringLiteral("dd"), { QStringLiteral("if=") + source, QStringLiteral("of=") + destination,
                                                     QStringLiteral("bs=4096"), QStringLiteral("conv=fsync"),
                                                     QStringLiteral("status=none") });
    const double seconds = clock.nsecsElapsed() / 1e9;
    return copied ? seconds : -1;
}

bool writeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(1024 * 1024, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= chunk.size()) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
        const qint64 count = qMin<qint64>(left, chunk.size());
        if (file.write(chunk.constData(), count) != count)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    const bool inNamespace = qEnvironmentVariableIsSet("LUMETRA_BENCH_NAMESPACE");
    if (geteuid() == 0 && !inNamespace) {
        // Mounts made in here stay in here.
        std::vector<char *> arguments = { const_cast<char *>("unshare"), const_cast<char *>("-m"),
                                          const_cast<char *>("--propagation"), const_cast<char *>("private") };
        arguments.insert(arguments.end(), argv, argv + argc);
        arguments.push_back(nullptr);
        setenv("LUMETRA_BENCH_NAMESPACE", "1", 1);
        execvp("unshare", arguments.data());
        std::perror("unshare");
        unsetenv("LUMETRA_BENCH_NAMESPACE");
    }

    QCoreApplication application(argc, argv);
    QString volumeNote;
    QTemporaryDir mountPoint;
    std::unique_ptr<QTemporaryDir> shmDirectory;
    QString volume;
    if (inNamespace && mountPoint.isValid()
        && run(QStringLiteral("mount"), { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=512m"), QStringLiteral("lumetra-bench"),
                                          mountPoint.path() })) {
        volume = mountPoint.path();
        volumeNote = QStringLiteral("a private tmpfs mounted at ") + volume + QStringLiteral(" (own mount namespace)");
    } else {
        shmDirectory = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/lumetra-bench-XXXXXX"));
        if (!shmDirectory->isValid() || QStorageInfo(shmDirectory->path()).fileSystemType() != "tmpfs") {
            std::fprintf(stderr, "no tmpfs to work on: not root, and /dev/shm is not a usable tmpfs\n");
            return 1;
        }
        volume = shmDirectory->path();
        volumeNote = QStringLiteral("a directory on the existing tmpfs /dev/shm: ") + volume;
    }
    std::printf("volume: %s\n", qPrintable(volumeNote));

    const QString logPath = QDir::temp().filePath(QStringLiteral("lumetra-bench-copy-%1.log").arg(getpid()));
    logFile = std::fopen(QFile::encodeName(logPath).constData(), "w");
    if (!logFile) {
        std::perror("log file");
        return 1;
    }
    qInstallMessageHandler(writeToLogFile);

    struct Case
    {
        const char *name;
        qint64 size;
        int rounds;
    };
    const Case cases[] = { { "firmware image, 411,240 bytes", 411240, 21 }, { "64 MiB", 64 * 1024 * 1024, 11 } };
    const QString source = volume + QStringLiteral("/source.bin");
    const QString destination = volume + QStringLiteral("/lumetra.bin");
    const QString ddDestination = volume + QStringLiteral("/dd.bin");
    FileCopyThread thread;
    int failures = 0;
    double largeRatio = 0;
    for (const Case &benchCase : cases) {
        if (!writeRandomFile(source, benchCase.size)) {
            std::fprintf(stderr, "cannot write the source file\n");
            return 1;
        }
        std::vector<double> queued, direct, dd;
        int progressValues = 0;
        // Interleaved, so a busy moment of the machine hits all three alike.
        for (int round = 0; round < benchCase.rounds; ++round) {
            const WorkerTiming timing = timeWorker(thread, source, destination, Qt::AutoConnection);
            const WorkerTiming directTiming = timeWorker(thread, source, destination, Qt::DirectConnection);
            const double ddSeconds = timeDd(source, ddDestination);
            if (!timing.succeeded || !directTiming.succeeded || ddSeconds < 0
                || timing.progressValues != directTiming.progressValues)
                ++failures;
            queued.push_back(timing.seconds);
            direct.push_back(directTiming.seconds);
            dd.push_back(ddSeconds);
            progressValues = timing.progressValues;
        }
        const double ddMedian = median(dd);
        const double ratio = median(queued) / ddMedian;
        std::printf("%s, %d rounds, %d progress values and log lines per copy:\n", benchCase.name,
                    benchCase.rounds, progressValues);
        std::printf("  dd bs=4096 conv=fsync               median %8.2f ms  (fastest %8.2f ms)\n",
                    ddMedian * 1e3, minimum(dd) * 1e3);
        std::printf("  worker, signals queued to here      median %8.2f ms  (fastest %8.2f ms)  worker/dd %.2f\n",
                    median(queued) * 1e3, minimum(queued) * 1e3, ratio);
        std::printf("  worker, signals on its own thread   median %8.2f ms  (fastest %8.2f ms)  worker/dd %.2f\n",
                    median(direct) * 1e3, minimum(direct) * 1e3, median(direct) / ddMedian);
        std::fflush(stdout);
        largeRatio = ratio;
    }
    std::fclose(logFile);
    qInstallMessageHandler(nullptr);

    QFile log(logPath);
    qint64 lines = 0;
    if (log.open(QIODevice::ReadOnly)) {
        while (!log.atEnd()) {
            log.readLine();
            ++lines;
        }
        log.remove();
    }
    std::printf("log: %lld lines written through the message handler to %s (removed)\n", lines, qPrintable(logPath));
    std::printf("target for 64 MiB, signals queued: ratio at most 2.00; measured %.2f\n", largeRatio);
    if (failures)
        std::printf("FAILED copies: %d\n", failures);
    if (!shmDirectory)
        run(QStringLiteral("umount"), { mountPoint.path() });
    return failures ? 1 : 0;
}
