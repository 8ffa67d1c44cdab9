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
        const QString program = script == QLatin1String("missing") ? "/nonexistent/checker" : "/bin/sh";
        const QString record = "echo \"$0 $1 $(head -c 3 \"$1/lumetra.bin\")\" >> \"$CALLS\"; ";
        return { program, { "-c", record + script, QString::fromLatin1(what), drive }, QString() };
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
        QObject::connect(&thread, &FileCopyThread::updateProgress, &receiver, [this](double v) {
            progress.append(v);
            afterEnd |= ends > 0;
        });
        QObject::connect(&thread, &FileCopyThread::copySuccess, &receiver, [this] { ++successes; ++ends; });
        QObject::connect(&thread, &FileCopyThread::copyFailed, &receiver, [this] { ++ends; });
        QObject::connect(&thread, &FileCopyThread::failureReason, &receiver, [this](const QString &r) { reason = r; });
        QObject::connect(&thread, &FileCopyThread::diskChecked, &receiver, [this](int v) { verdict = v; });
        QObject::connect(&thread, &FileCopyThread::writingInPlace, &receiver, [this] { inPlace = true; });
        QObject::connect(&thread, &FileCopyThread::updateProgress, &receiver, [&, this](double value) {
            if (meddle)
                meddle(value);
            if (value == 1.0)
                atEnd = contentOf(destination) + '|' + contentOf(stamp);
        }, Qt::DirectConnection);
        if (quitAfterMs >= 0)
            QTimer::singleShot(quitAfterMs, &receiver, [&thread] { thread.requestInterruption(); });
        QElapsedTimer clock;
        clock.start();
        thread.start();
        ended = QTest::qWaitFor([this] { return ends > 0; }, 90000);
        seconds = clock.elapsed() / 1000.0;
        thread.wait();
        QCoreApplication::processEvents();
    }
    QVector<double> progress;
    int successes = 0, ends = 0, verdict = -2;
    bool afterEnd = false, inPlace = false, ended = false;
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

enum class Volume { Directory, Tmpfs, RoomForTwo, RoomForOne, NoRoom, ReadOnly, Fat, DamagedFat };
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
    void initTestCase() { QVERIFY(work.isValid()); qputenv("CALLS", QFile::encodeName(work.filePath("calls"))); }
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
    const auto row = [](const char *name, Volume volume, Event event, const QString &reason = QString(),
                        const QString &logLine = QString(), int verdict = -1, int size = 411240) {
        QTest::newRow(name) << volume << size << event << reason << logLine << verdict;
    };
    row("an empty firmware", Volume::Directory, Event::None, QString(), QString(), -1, 0);
    row("one byte over a block", Volume::Directory, Event::None, QString(), QString(), -1, 4097);
    row("the firmware onto a drive without an old file", Volume::Directory, Event::NoOldFile);
    row("room for two images: written beside the old one", Volume::RoomForTwo, Event::None);
    row("room for one image: written in place", Volume::RoomForOne, Event::None);
    row("room for neither: nothing touched", Volume::NoRoom, Event::None, "full drive");
    row("the drive fills up during the copy: old firmware kept", Volume::Tmpfs, Event::FillUp, "full drive");
    row("a read-only drive", Volume::ReadOnly, Event::None, "read-only");
    row("quit mid-copy", Volume::Tmpfs, Event::Quit, "interrupted", QString(), -1, 2 * 1024 * 1024);
    row("a copy that does not read back as the source: old firmware kept", Volume::Tmpfs, Event::ChangeSource,
        "verification failed");
    row("drive pulled during the check, its mount point left behind: nothing written there", Volume::Tmpfs,
        Event::Strand, "drive gone");
    row("marker swapped for a link during the check: nothing written through it", Volume::Tmpfs,
        Event::MarkerBecomesLink, "marker not an ordinary file");
    row("clean FAT at a path with shell characters: checked, copied", Volume::Fat, Event::None, QString(),
        QString(), 0);
    row("FAT with problems: never repaired while mounted, copied", Volume::DamagedFat, Event::None, QString(),
        "FileCopyThread::repairDisk refused: \"never repair a mounted file system\"", 1);
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
        // Beside the old image of 300 kB, the new one of 411 kB: room for two of them, for one, or for neither.
        const qint64 kib = volume == Volume::NoRoom ? 256 : volume == Volume::RoomForOne ? 600
                : volume == Volume::RoomForTwo ? 800 : 8192;
        scratch = std::make_unique<ScratchVolume>(kind, kib * 1024, fat ? "unit 'E' \"F\"; $(touch pwned)" : QString());
        QVERIFY2(scratch->isMounted(), qPrintable(scratch->errorString()));
        drive = scratch->rootPath();
    }
    QVERIFY(QDir().mkpath(drive));
    const QString destination = drive + QStringLiteral("/lumetra.bin");
    const QString stamp = drive + QStringLiteral("/Version.txt");
    const QString source = work.filePath(QStringLiteral("firmware-%1.bin").arg(size));
    QByteArray firmware(size, Qt::Uninitialized);
    QRandomGenerator(size).fillRange(reinterpret_cast<quint32 *>(firmware.data()), size / 4);
    const bool bigOld = volume == Volume::RoomForOne || volume == Volume::RoomForTwo;
    const QByteArray old = event == Event::NoOldFile ? "<none>" : bigOld ? oldFirmware.repeated(2) : oldFirmware;
    QVERIFY(writeFile(source, firmware) && writeFile(stamp, "1.8"));
    QVERIFY(event == Event::NoOldFile || writeFile(destination, old));
    if (volume == Volume::ReadOnly)
        QVERIFY(scratch->remountReadOnly());
    if (volume == Volume::DamagedFat)
        QVERIFY(damageSecondFat(scratch->device()));

    FileCopyThread thread(fat ? DiskCheckPlatform::create()
                              : std::make_unique<ShellChecker>("sleep 0.3", QString(), scratch != nullptr));
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
        const bool last = value >= FileCopyThread::lastBlockProgress;
        if (last && event == Event::ChangeSource && changing.open(QFile::ReadWrite))
            changing.write("changed");
    }, -1);

    QFile::remove(drive + QStringLiteral("/filler"));
    const bool succeeds = reason.isEmpty();
    QVERIFY2(run.ended && run.ends == 1 && !run.afterEnd && run.progress.value(0, -1) == 0.0, "one end, last, after 0");
    QCOMPARE(run.successes, succeeds ? 1 : 0);
    QCOMPARE(run.reason, reason);
    QCOMPARE(run.verdict, verdict);
    // In place the old image is gone until the new one is whole: only when there is no room beside it.
    QCOMPARE(run.inPlace, volume == Volume::RoomForOne);
    QVERIFY2(logLine.isEmpty() || log.hasLineStartingWith(logLine), qPrintable(log.lines().join('\n')));
    QVERIFY2(std::is_sorted(run.progress.cbegin(), run.progress.cend()), "the bar went back");
    QVERIFY2(run.progress.indexOf(1.0) == (succeeds ? run.progress.size() - 1 : -1), "1.0 before a whole copy");
    if (succeeds) {
        const int blocks = (size + FileCopyThread::blockSize - 1) / FileCopyThread::blockSize;
        QCOMPARE(run.progress.size(), blocks + 2);
        QVERIFY2(run.atEnd == firmware + "|1.73", "1.0 came before the firmware and the version were on the drive");
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
    const auto row = [](const char *name, const QString &check, const QString &repair, int verdict,
                        const QString &logLine = QString(), int quitAfterMs = -1, const QString &drive = "drive") {
        const bool slow = QByteArray(name).startsWith("slow");
        QTest::newRow(name) << slow << check << repair << drive << verdict << logLine << quitAfterMs;
    };
    const QString codePage = "printf 'Active code page: 437\\r\\n'; ", hang = "sleep 60";
    const QString fixed = say(problemsFound), clean = say(noProblems);
    const QString abandoned = "FileCopyThread: disk checker abandoned";
    const QString checkCut = "checkDisk process.waitForFinished error";
    row("clean: copied without a repair", codePage + clean, QString(), 0,
        "FileCopyThread::checkDisk result: \"Active code page: 437\\r\\n");
    row("problems: repaired before any byte is written", codePage + fixed, say("fixed"), 1,
        "MyChkdsk::runCommand: \"fixed\"");
    row("both sentences mean no problems", say(problemsFound + '\n' + noProblems), QString(), 0);
    row("a sentence in capitals is no verdict", say(problemsFound.toUpper()), QString(), -1);
    row("a sentence without its full stop is no verdict", say(problemsFound.chopped(1)), QString(), -1);
    row("a verdict on standard error is not read", fixed + " >&2", QString(), -1);
    row("a checker that cannot start: no verdict, copied", "missing", QString(), -1, checkCut);
    row("a drive name with quotes and $(...) reaches the checker as one word", fixed, "true", 1, QString(), -1,
        "vol 'a' \"b\"; $(touch pwned) & `touch pwned`");
    row("a checker that asks a question gets no answer and goes on", "read answer; " + clean, QString(), 0);
    row("quit during a hanging check", hang, QString(), -1, abandoned, 300);
    row("quit during a hanging repair", fixed, hang, 1, abandoned, 300);
    row("slow: a hanging check is cut off at 5 s, then copied", hang, QString(), -1, checkCut);
    row("slow: a hanging repair is cut off at 30 s, then copied", fixed, hang, 1,
        "repairDisk process.waitForFinished error");
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
    QVERIFY(writeFile(drive + "/lumetra.bin", oldFirmware) && writeFile(work.filePath("source"), firmware));
    QFile::remove(work.filePath("calls"));
    FileCopyThread thread(std::make_unique<ShellChecker>(check, repair, false));
    thread.setFilePath(work.filePath("source"), drive + "/lumetra.bin");
    LogCapture log;
    Run run(thread, QString(), QString(), {}, quitAfterMs);

    const bool quits = quitAfterMs >= 0;
    QCOMPARE(run.verdict, verdict);
    QCOMPARE(run.successes, quits ? 0 : 1);
    QCOMPARE(contentOf(drive + "/lumetra.bin"), quits ? oldFirmware : firmware);
    QVERIFY2(logLine.isEmpty() || log.hasLineStartingWith(logLine), qPrintable(log.lines().join('\n')));
    const double limit = slow ? (verdict == 1 ? 30 : 5) : 0;
    QVERIFY2(run.seconds >= limit && run.seconds < limit + 2.5, "the checker was not cut off when it should have been");
    QFile callsFile(work.filePath("calls"));
    const QByteArray called = callsFile.open(QIODevice::ReadOnly) ? callsFile.readAll() : QByteArray();
    const QStringList calls = QString::fromUtf8(called).split('\n', Qt::SkipEmptyParts);
    QStringList expected;
    if (check != QLatin1String("missing"))
        expected << "check " + drive + " old";
    if (verdict == 1)
        expected << "repair " + drive + " old";
    QCOMPARE(calls, expected);
    QVERIFY(!QFile::exists(work.filePath("pwned")));
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
