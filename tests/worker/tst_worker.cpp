#include "filecopythread.h"
#include "logcapture.h"
#include "scratchvolume.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QRandomGenerator>
#include <QtCore/QStorageInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QtEndian>
#include <QtTest/QtTest>

namespace {

const QString noProblems = QStringLiteral("Windows has scanned the file system and found no problems.");
const QString problemsFound = QStringLiteral("Windows has checked the file system and found problems.");
const QByteArray oldFirmware = QByteArray(150000, 'o').prepend("old");

QString say(const QString &text) { return QStringLiteral("printf '%s' '") + text + QLatin1Char('\''); }

// The checker as a shell snippet run through /bin/sh ($1: the drive). Every call appends
// "check|repair <drive> <first bytes of the firmware then>" to $CALLS. A null snippet is a
// command the platform refuses; "missing" one that cannot start.
class ShellChecker : public DiskCheckPlatform
{
public:
    ShellChecker(QString check, QString repair, bool systemDrives)
        : check(std::move(check)), repair(std::move(repair)), systemDrives(systemDrives) { }
    QString driveOf(const QString &path) const override
    {
        return systemDrives ? system->driveOf(path) : QFileInfo(path).absolutePath();
    }
    DiskCheckCommand checkCommand(const QString &drive) const override { return command(check, "check", drive); }
    DiskCheckCommand repairCommand(const QString &drive) const override { return command(repair, "repair", drive); }
    int verdictWithoutSentence(int) const override { return -1; }

private:
    DiskCheckCommand command(const QString &script, const char *what, const QString &drive) const
    {
        if (script.isNull())
            return { QString(), {}, QStringLiteral("not in this row") };
        const QString program = script == QLatin1String("missing") ? QStringLiteral("/nonexistent/checker") : QStringLiteral("/bin/sh");
        return { program, { QStringLiteral("-c"), QStringLiteral("echo \"$0 $1 $(head -c 3 \"$1/lumetra.bin\")\" >> \"$CALLS\"; ") + script,
                            QString::fromLatin1(what), drive }, QString() };
    }
    QString check, repair;
    bool systemDrives;
    std::unique_ptr<DiskCheckPlatform> system = DiskCheckPlatform::create();
};

// One run as the backend receives it (queued, in order), plus what the drive held at the
// moment the end was announced, seen from the worker thread.
struct Run
{
    Run(FileCopyThread &thread, const QString &destination, const QString &stamp,
        const std::function<void(double)> &meddle, int quitAfterMs)
    {
        QObject receiver;
        QObject::connect(&thread, &FileCopyThread::updateProgress, &receiver, [this](double v) { progress.append(v); afterEnd |= ends > 0; });
        QObject::connect(&thread, &FileCopyThread::copySuccess, &receiver, [this] { ++successes; ++ends; });
        QObject::connect(&thread, &FileCopyThread::copyFailed, &receiver, [this] { ++ends; });
        QObject::connect(&thread, &FileCopyThread::failureReason, &receiver, [this](const QString &r) { reason = r; });
        QObject::connect(&thread, &FileCopyThread::diskChecked, &receiver, [this](int v) { verdict = v; });
        QObject::connect(&thread, &FileCopyThread::updateProgress, &receiver, [&, this](double value) {
            if (meddle)
                meddle(value);
            if (value == 1.0)
                atEnd = contentOf(destination) + '|' + contentOf(stamp);
        }, Qt::DirectConnection);
        QElapsedTimer clock;
        clock.start();
        thread.start();
        while (ends == 0 && clock.elapsed() < 90000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            if (quitAfterMs >= 0 && clock.elapsed() >= quitAfterMs)
                thread.requestInterruption();
        }
        seconds = clock.elapsed() / 1000.0;
        thread.wait();
        QCoreApplication::processEvents();
    }
    QVector<double> progress;
    int successes = 0, ends = 0, verdict = -2;
    bool afterEnd = false;
    QString reason;
    QByteArray atEnd;
    double seconds = 0;
};

// Makes the second allocation table of a FAT volume differ from the first: problems the
// checker finds.
bool damageSecondFat(const QString &devicePath)
{
    QFile device(devicePath);
    const QByteArray boot = device.open(QIODevice::ReadWrite) ? device.read(512) : QByteArray();
    if (boot.size() != 512)
        return false;
    const auto field = [&boot](int offset) { return qint64(qFromLittleEndian<quint16>(boot.constData() + offset)); };
    return device.seek((field(14) + field(22)) * field(11) + 16) && device.write("\x77\x77\x77\x77", 4) == 4;
}

enum class Volume { Directory, Tmpfs, RoomForOne, NoRoom, ReadOnly, Fat, DamagedFat };
enum class Event { None, Quit, ChangeSource, Strand, MarkerBecomesLink, NoOldFile, FillUp };

} // namespace

Q_DECLARE_METATYPE(Volume)
Q_DECLARE_METATYPE(Event)

// The worker on real drives and against a checker that is a real child process: what a
// user meets when a drive is full, read-only, pulled, or checked with problems. The old
// firmware survives every failure, and the end is announced only once all is on the drive.
class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(work.isValid()); qputenv("CALLS", QFile::encodeName(work.filePath(QStringLiteral("calls")))); }
    void copy_data();
    void copy();
    void diskCheck_data();
    void diskCheck();

private:
    QTemporaryDir work;
};

void TestWorker::copy_data()
{
    QTest::addColumn<Volume>("volume");
    QTest::addColumn<int>("size");
    QTest::addColumn<Event>("event");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<int>("verdict");

    const QString copied = QStringLiteral("copy file progress:");
    QTest::newRow("an empty firmware") << Volume::Directory << 0 << Event::None << QString() << QString() << -1;
    QTest::newRow("one byte over a block") << Volume::Directory << 4097 << Event::None << QString() << copied << -1;
    QTest::newRow("the firmware onto a drive without an old file") << Volume::Directory << 411240 << Event::NoOldFile << QString() << copied << -1;
    QTest::newRow("the firmware onto tmpfs") << Volume::Tmpfs << 411240 << Event::None << QString() << copied << -1;
    QTest::newRow("room for one image: written in place")
            << Volume::RoomForOne << 411240 << Event::None << QString() << QStringLiteral("FileCopyThread::run too little room") << -1;
    QTest::newRow("room for neither: nothing touched")
            << Volume::NoRoom << 411240 << Event::None << QStringLiteral("full drive") << QStringLiteral("FileCopyThread::run no room") << -1;
    QTest::newRow("the drive fills up during the copy: old firmware kept")
            << Volume::Tmpfs << 411240 << Event::FillUp << QStringLiteral("full drive") << QStringLiteral("write dest file failed!") << -1;
    QTest::newRow("a read-only drive") << Volume::ReadOnly << 200000 << Event::None << QStringLiteral("read-only")
                                       << QStringLiteral("open dest file failed!") << -1;
    QTest::newRow("quit mid-copy") << Volume::Tmpfs << 2 * 1024 * 1024 << Event::Quit << QStringLiteral("interrupted")
                                   << QStringLiteral("FileCopyThread::run interrupted") << -1;
    QTest::newRow("a copy that does not read back as the source: old firmware kept")
            << Volume::Tmpfs << 411240 << Event::ChangeSource << QStringLiteral("verification failed")
            << QStringLiteral("dest file differs from source file!") << -1;
    QTest::newRow("drive pulled during the check, its mount point left behind: nothing written there")
            << Volume::Tmpfs << 411240 << Event::Strand << QStringLiteral("drive gone")
            << QStringLiteral("FileCopyThread::run the drive is gone:") << -1;
    QTest::newRow("marker swapped for a link during the check: nothing written through it")
            << Volume::Tmpfs << 411240 << Event::MarkerBecomesLink << QStringLiteral("marker not an ordinary file")
            << QStringLiteral("FileCopyThread::run the marker is not") << -1;
    QTest::newRow("clean FAT at a path with shell characters: checked, copied")
            << Volume::Fat << 411240 << Event::None << QString() << QStringLiteral("FileCopyThread::checkDisk result:") << 0;
    QTest::newRow("FAT with problems: never repaired while mounted, copied")
            << Volume::DamagedFat << 411240 << Event::None << QString()
            << QStringLiteral("FileCopyThread::repairDisk refused: \"never repair a mounted file system\"") << 1;
}

void TestWorker::copy()
{
    QFETCH(Volume, volume);
    QFETCH(int, size);
    QFETCH(Event, event);
    QFETCH(QString, reason);
    QFETCH(QString, logLine);
    QFETCH(int, verdict);

    std::unique_ptr<ScratchVolume> scratch;
    const bool fat = volume == Volume::Fat || volume == Volume::DamagedFat;
    QString drive = work.filePath(QStringLiteral("drive-%1").arg(QTest::currentDataTag()).left(60));
    if (volume != Volume::Directory) {
        if (!ScratchVolume::unavailableReason().isEmpty())
            QSKIP(qPrintable(ScratchVolume::unavailableReason()));
        const auto kind = fat ? ScratchVolume::Kind::FatImage : ScratchVolume::Kind::Tmpfs;
        const qint64 bytes = volume == Volume::NoRoom ? 256 * 1024 : volume == Volume::RoomForOne ? 600 * 1024 : 8 * 1024 * 1024;
        scratch = std::make_unique<ScratchVolume>(kind, bytes, fat ? QStringLiteral("unit 'E' \"F\"; $(touch pwned)") : QString());
        QVERIFY2(scratch->isMounted(), qPrintable(scratch->errorString()));
        drive = scratch->rootPath();
    }
    QVERIFY(QDir().mkpath(drive));
    const QString destination = drive + QStringLiteral("/lumetra.bin");
    const QString stamp = drive + QStringLiteral("/Version.txt");
    const QString source = work.filePath(QStringLiteral("firmware-%1.bin").arg(size));
    QByteArray firmware(size, Qt::Uninitialized);
    QRandomGenerator(size).fillRange(reinterpret_cast<quint32 *>(firmware.data()), size / 4);
    const QByteArray old = event == Event::NoOldFile ? QByteArray("<none>") : volume == Volume::RoomForOne ? oldFirmware.repeated(2) : oldFirmware;
    QVERIFY(writeFile(source, firmware) && writeFile(stamp, "1.8"));
    QVERIFY(event == Event::NoOldFile || writeFile(destination, old));
    if (volume == Volume::ReadOnly)
        QVERIFY(scratch->remountReadOnly());
    if (volume == Volume::DamagedFat)
        QVERIFY(damageSecondFat(scratch->device()));

    FileCopyThread thread(fat ? DiskCheckPlatform::create()
                                        : std::make_unique<ShellChecker>(QStringLiteral("sleep 0.3"), QString(), scratch != nullptr));
    thread.setFilePath(source, destination);
    thread.setStampFile(stamp, "1.73");
    const QString outside = work.filePath(QStringLiteral("outside.bin"));
    QVERIFY(writeFile(outside, "outside"));
    LogCapture log;
    Run run(thread, destination, stamp, [&](double value) {
        if (value == 0.0 && event == Event::Strand)
            scratch->unmount();
        if (value == 0.0 && event == Event::MarkerBecomesLink && QFile::remove(destination))
            QFile::link(outside, destination);
        if (value > 0.0 && event == Event::Quit)
            thread.requestInterruption();
        QFile filler(drive + QStringLiteral("/filler"));
        if (value > 0.0 && event == Event::FillUp && !filler.exists() && filler.open(QIODevice::WriteOnly))
            filler.write(QByteArray(QStorageInfo(drive).bytesAvailable(), 'f'));
        QFile changing(source);
        if (value >= FileCopyThread::lastBlockProgress && event == Event::ChangeSource && changing.open(QIODevice::ReadWrite))
            changing.write("changed");
    }, -1);

    QFile::remove(drive + QStringLiteral("/filler"));
    const bool succeeds = reason.isEmpty();
    QVERIFY2(run.ends == 1 && !run.afterEnd && run.progress.value(0, -1) == 0.0, "one end signal, last, after 0.0");
    QCOMPARE(run.successes, succeeds ? 1 : 0);
    QCOMPARE(run.reason, reason);
    QCOMPARE(run.verdict, verdict);
    QVERIFY2(logLine.isEmpty() || log.hasLineStartingWith(logLine), qPrintable(log.lines().join(QLatin1Char('\n'))));
    QVERIFY2(std::is_sorted(run.progress.cbegin(), run.progress.cend()), "the bar went back");
    QVERIFY2(run.progress.indexOf(1.0) == (succeeds ? run.progress.size() - 1 : -1), "1.0 is the end of a whole copy, only");
    if (succeeds) {
        const int blocks = (size + FileCopyThread::blockSize - 1) / FileCopyThread::blockSize;
        QCOMPARE(run.progress.size(), blocks + 2);
        QVERIFY2(run.atEnd == firmware + "|1.73", "1.0 was announced before the firmware and the version were on the drive");
    }
    if (event == Event::Strand) {
        QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden), QStringList());
        return;
    }
    QCOMPARE(contentOf(outside), QByteArray("outside"));
    if (event != Event::MarkerBecomesLink)
        QVERIFY2(contentOf(destination) == (succeeds ? firmware : old), "neither the new nor the old firmware");
    QCOMPARE(contentOf(stamp), succeeds ? QByteArray("1.73") : QByteArray("1.8"));
    QStringList files = { QStringLiteral("Version.txt") };
    if (event != Event::NoOldFile || succeeds)
        files.append(QStringLiteral("lumetra.bin"));
    QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), files);
    QVERIFY(!QFile::exists(QStringLiteral("pwned")) && !QFile::exists(drive + QStringLiteral("/../pwned")));
}

void TestWorker::diskCheck_data()
{
    QTest::addColumn<bool>("slow");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("repair");
    QTest::addColumn<QString>("driveName");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<int>("quitAfterMs");

    const QString codePage = QStringLiteral("printf 'Active code page: 437\\r\\n'; ");
    const QString hang = QStringLiteral("sleep 60");
    const QString d = QStringLiteral("drive");
    QTest::newRow("clean: copied without a repair") << false << codePage + say(noProblems) << QString() << d << 0 << QStringLiteral("FileCopyThread::checkDisk result: \"Active code page: 437\\r\\n") << -1;
    QTest::newRow("problems: repaired before any byte is written") << false << codePage + say(problemsFound) << say(QStringLiteral("fixed")) << d << 1 << QStringLiteral("MyChkdsk::runCommand: \"fixed\"") << -1;
    QTest::newRow("both sentences mean no problems") << false << say(problemsFound + QLatin1Char('\n') + noProblems) << QString() << d << 0 << QString() << -1;
    QTest::newRow("a sentence in capitals is no verdict") << false << say(problemsFound.toUpper()) << QString() << d << -1 << QString() << -1;
    QTest::newRow("a sentence without its full stop is no verdict") << false << say(problemsFound.chopped(1)) << QString() << d << -1 << QString() << -1;
    QTest::newRow("a verdict on standard error is not read") << false << say(problemsFound) + QStringLiteral(" >&2") << QString() << d << -1 << QString() << -1;
    QTest::newRow("a checker that cannot start: no verdict, copied") << false << QStringLiteral("missing") << QString() << d << -1 << QStringLiteral("checkDisk process.waitForFinished error") << -1;
    QTest::newRow("a drive name with quotes and $(...) reaches the checker as one word") << false << say(problemsFound) << QStringLiteral("true")
            << QStringLiteral("vol 'a' \"b\"; $(touch pwned) & `touch pwned`") << 1 << QString() << -1;
    QTest::newRow("a checker that asks a question gets no answer and goes on") << false << QStringLiteral("read answer; ") + say(noProblems) << QString() << d << 0 << QString() << -1;
    QTest::newRow("quit during a hanging check") << false << hang << QString() << d << -1 << QStringLiteral("FileCopyThread: disk checker abandoned") << 300;
    QTest::newRow("quit during a hanging repair") << false << say(problemsFound) << hang << d << 1 << QStringLiteral("FileCopyThread: disk checker abandoned") << 300;
    QTest::newRow("slow: a hanging check is cut off at 5 s, then copied") << true << hang << QString() << d << -1 << QStringLiteral("checkDisk process.waitForFinished error") << -1;
    QTest::newRow("slow: a hanging repair is cut off at 30 s, then copied") << true << say(problemsFound) << hang << d << 1 << QStringLiteral("repairDisk process.waitForFinished error") << -1;
}

void TestWorker::diskCheck()
{
    QFETCH(bool, slow);
    QFETCH(QString, check);
    QFETCH(QString, repair);
    QFETCH(QString, driveName);
    QFETCH(int, verdict);
    QFETCH(QString, logLine);
    QFETCH(int, quitAfterMs);
    if (slow != (qgetenv("LUMETRA_WORKER_ROWS") == "slow"))
        QSKIP("in the other run of this test (ctest -L slow)");

    const QString drive = work.filePath(driveName);
    QVERIFY(QDir().mkpath(drive));
    const QByteArray firmware(3 * 4096, 'n');
    QVERIFY(writeFile(drive + QStringLiteral("/lumetra.bin"), oldFirmware) && writeFile(work.filePath(QStringLiteral("source")), firmware));
    QFile::remove(work.filePath(QStringLiteral("calls")));
    FileCopyThread thread(std::make_unique<ShellChecker>(check, repair, false));
    thread.setFilePath(work.filePath(QStringLiteral("source")), drive + QStringLiteral("/lumetra.bin"));
    LogCapture log;
    Run run(thread, QString(), QString(), {}, quitAfterMs);

    const bool quits = quitAfterMs >= 0;
    QCOMPARE(run.verdict, verdict);
    QCOMPARE(run.successes, quits ? 0 : 1);
    QCOMPARE(contentOf(drive + QStringLiteral("/lumetra.bin")), quits ? oldFirmware : firmware);
    QVERIFY2(logLine.isEmpty() || log.hasLineStartingWith(logLine), qPrintable(log.lines().join(QLatin1Char('\n'))));
    const double limit = slow ? (verdict == 1 ? 30 : 5) : 0;
    QVERIFY2(run.seconds >= limit && run.seconds < limit + 2.5, "the checker was not cut off when it should have been");
    QFile callsFile(work.filePath(QStringLiteral("calls")));
    const QStringList calls = callsFile.open(QIODevice::ReadOnly) ? QString::fromUtf8(callsFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
    QStringList expected;
    if (check != QLatin1String("missing"))
        expected << QStringLiteral("check ") + drive + QStringLiteral(" old");
    if (verdict == 1)
        expected << QStringLiteral("repair ") + drive + QStringLiteral(" old");
    QCOMPARE(calls, expected);
    QVERIFY(!QFile::exists(work.filePath(QStringLiteral("pwned"))));
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
