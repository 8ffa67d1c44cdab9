#include "fakevolumes.h"
#include "filecopythread.h"
#include "logcapture.h"
#include "scratchvolume.h"

#include <QtTest/QtTest>

namespace {

const QString noProblems = QStringLiteral("Windows has scanned the file system and found no problems.");
const QString problemsFound = QStringLiteral("Windows has checked the file system and found problems.");
const QByteArray oldFirmware = QByteArray(150000, 'o').prepend("old");

QString say(const QString &text) { return QStringLiteral("printf '%s' '") + text + QLatin1Char('\''); }

enum class Volume { Directory, Tmpfs, RoomForTwo, RoomForOne, ReadOnly };
enum class Event { None, Strand, MarkerBecomesLink, ChangeSource, DamagedImage };
using Reason = UpdateFailure::Reason;
struct Row { Volume volume; Event event; QString check, repair; int verdict; Reason reason; QString logLine; int quitMs; };

} // namespace

Q_DECLARE_METATYPE(Row)
static void row(const char *name, Volume volume, Event event, const QString &check, const QString &repair, int verdict,
                Reason reason = UpdateFailure::None, const QString &logLine = {}, int quitMs = -1)
{
    QTest::newRow(name) << Row { volume, event, check, repair, verdict, reason, logLine, quitMs };
}

// The worker on real drives and against a checker that is a real child process. Full drives, pulls and I/O
// errors of the copy itself are the command-line test's fault sweep; here what only a script can stage.
class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(work.isValid()); qputenv("CALLS", QFile::encodeName(work.filePath("calls"))); }
    void copy_data();
    void copy() { update(); }
    void diskCheck_data();
    void diskCheck() { update(); } // also run alone, with the slow rows (ctest -L slow)

private:
    void update();
    QTemporaryDir work;
};

void TestWorker::copy_data()
{
    QTest::addColumn<Row>("row");
    const QString pause = "sleep 0.3";
    const auto e = Event::None;
    row("room for two images: written beside the old one", Volume::RoomForTwo, e, pause, {}, -1);
    row("room for one image: written in place, over a longer old one", Volume::RoomForOne, e, pause, {}, -1);
    row("a read-only drive", Volume::ReadOnly, e, pause, {}, -1, UpdateFailure::ReadOnly);
    row("drive pulled during the check, its mount point left behind: nothing written there",
        Volume::Tmpfs, Event::Strand, pause, {}, -1, UpdateFailure::DriveGone);
    row("a copy that does not read back as the source: old firmware kept", Volume::Tmpfs, Event::ChangeSource, pause,
        {}, -1, UpdateFailure::VerificationFailed);
    row("marker swapped for a link during the check: nothing written through it",
        Volume::Tmpfs, Event::MarkerBecomesLink, pause, {}, -1, UpdateFailure::MarkerNotOrdinaryFile);
    // Verdict -2: refused before the disk check.
    row("an image not the one built in: refused before a byte is written", Volume::Tmpfs, Event::DamagedImage, pause,
        {}, -2, UpdateFailure::FirmwareDamaged);
}

void TestWorker::diskCheck_data()
{
    QTest::addColumn<Row>("row");
    const QString codePage = "printf 'Active code page: 437\\r\\n'; ", hang = "sleep 60";
    const QString fixed = say(problemsFound), clean = say(noProblems), checkCut = "checkDisk process.waitForFinished";
    const auto d = Volume::Directory;
    const auto e = Event::None;
    row("clean: copied without a repair",
        d, e, codePage + clean, "true", 0, {}, "FileCopyThread::checkDisk result: \"Active code page: 437\\r\\n");
    row("problems: repaired before any byte is written",
        d, e, codePage + fixed, say("fixed"), 1, {}, "MyChkdsk::runCommand: \"fixed\"");
    row("both sentences mean no problems", d, e, say(problemsFound + '\n' + noProblems), "true", 0);
    row("problems, the repair refused (Linux, a mounted volume): said in the log, copied", d, e, fixed, {}, 1, {},
        "FileCopyThread::repairDisk refused");
    row("a checker that cannot start: no verdict, copied", d, e, "missing", {}, -1, {}, checkCut);
    row("a checker that asks a question gets no answer and goes on", d, e, "read answer; " + clean, "true", 0);
    row("quit during a hanging repair", d, e, fixed, hang, 1, UpdateFailure::Interrupted, "FileCopyThread: disk checker", 300);
    row("slow: a hanging check is cut off at 5 s, then copied", d, e, hang, {}, -1, {}, checkCut);
    row("slow: a hanging repair is cut off at 30 s, then copied", d, e, fixed, hang, 1, {}, "repairDisk process");
}

void TestWorker::update()
{
    QFETCH(Row, row);
    const bool slow = QByteArray(QTest::currentDataTag()).startsWith("slow");
    if (slow != (qgetenv("LUMETRA_WORKER_ROWS") == "slow"))
        QSKIP("in the other run of this test (ctest -L slow)");
    std::unique_ptr<ScratchVolume> scratch;
    QString drive = work.filePath(QStringLiteral("drive-%1").arg(QTest::currentDataTag()).left(60));
    if (row.volume != Volume::Directory) {
        if (!ScratchVolume::unavailableReason().isEmpty())
            QSKIP(qPrintable(ScratchVolume::unavailableReason()));
        // Beside an old image of 300 kB (450 kB with room for one), the new one of 411 kB: room for two, or for one.
        const qint64 kib = row.volume == Volume::RoomForOne ? 600 : row.volume == Volume::RoomForTwo ? 800 : 8192;
        scratch = std::make_unique<ScratchVolume>(kib * 1024);
        QVERIFY2(scratch->isMounted(), qPrintable(scratch->errorString()));
        drive = scratch->rootPath();
    }
    QVERIFY(QDir().mkpath(drive));
    const QString destination = drive + "/lumetra.bin", stamp = drive + "/Version.txt";
    const QString source = work.filePath(QStringLiteral("firmware.bin"));
    QByteArray firmware(411240, Qt::Uninitialized);
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(firmware.data()), firmware.size() / 4);
    // Room for one: the old image is longer than the new one, whose write must not keep the old tail.
    const int copies = row.volume == Volume::RoomForOne ? 3 : row.volume == Volume::RoomForTwo ? 2 : 1;
    const QByteArray old = oldFirmware.repeated(copies);
    const QByteArray damaged = QByteArray(firmware).replace(200000, 1, "?");
    QVERIFY(writeFile(source, row.event == Event::DamagedImage ? damaged : firmware) && writeFile(stamp, "1.8")
            && writeFile(destination, old));
    QVERIFY(row.volume != Volume::ReadOnly || scratch->remountReadOnly());
    QFile::remove(work.filePath("calls"));
    FileCopyThread thread(std::make_unique<ShellChecker>(row.check, row.repair, scratch != nullptr));
    thread.setFilePath(source, destination);
    thread.setStampFile(stamp, "1.73");
    thread.setExpectedSha256(QCryptographicHash::hash(firmware, QCryptographicHash::Sha256).toHex());
    const QString outside = work.filePath(QStringLiteral("outside.bin"));
    QVERIFY(writeFile(outside, "outside"));
    // The run as the backend receives it (queued, in order), plus what the drive held at the moment the end was
    // announced, seen from the worker thread.
    QVector<double> progress;
    int successes = 0, ends = 0, verdict = -2;
    bool afterEnd = false, inPlace = false;
    Reason reason = UpdateFailure::None;
    QByteArray atEnd;
    connect(&thread, &FileCopyThread::updateProgress, this, [&](double v) { progress << v, afterEnd |= ends > 0; });
    connect(&thread, &FileCopyThread::copySuccess, this, [&] { ++successes, ++ends; });
    connect(&thread, &FileCopyThread::copyFailed, this, [&] { ++ends; });
    connect(&thread, &FileCopyThread::failureReason, this, [&](Reason r) { reason = r; });
    connect(&thread, &FileCopyThread::diskChecked, this, [&](int v) { verdict = v; });
    connect(&thread, &FileCopyThread::writingInPlace, this, [&] { inPlace = true; });
    connect(&thread, &FileCopyThread::updateProgress, this, [&](double value) {
        if (value == 0.0 && row.event == Event::Strand)
            scratch->unmount();
        if (value == 0.0 && row.event == Event::MarkerBecomesLink && QFile::remove(destination))
            QFile::link(outside, destination);
        if (row.event == Event::ChangeSource && value >= FileCopyThread::lastBlockProgress) // garbled on the drive
            writeFile(source, "changed" + firmware.mid(7));
        if (value == 1.0)
            atEnd = contentOf(destination) + '|' + contentOf(stamp);
    }, Qt::DirectConnection);
    if (row.quitMs >= 0)
        QTimer::singleShot(row.quitMs, &thread, [&thread] { thread.requestInterruption(); });
    LogCapture log;
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    thread.start();
    QVERIFY(QTest::qWaitFor([&] { return ends > 0; }, 90000));
    const double seconds = (QDateTime::currentMSecsSinceEpoch() - started) / 1000.0;
    thread.wait();
    QCoreApplication::processEvents();

    const bool succeeds = row.reason == UpdateFailure::None;
    QVERIFY2(ends == 1 && !afterEnd && progress.value(0, -1) == 0.0, "one end, the last signal, after a 0");
    QCOMPARE(successes, succeeds ? 1 : 0);
    QCOMPARE(reason, row.reason);
    QCOMPARE(verdict, row.verdict);
    // In place the old image is gone until the new one is whole: only when there is no room beside it.
    QCOMPARE(inPlace, row.volume == Volume::RoomForOne);
    QVERIFY2(row.logLine.isEmpty() || !log.lines().filter(row.logLine).isEmpty(), qPrintable(log.lines().join('\n')));
    QVERIFY2(std::is_sorted(progress.cbegin(), progress.cend()), "the bar went back");
    QVERIFY2(progress.indexOf(1.0) == (succeeds ? progress.size() - 1 : -1), "1.0 before a whole copy");
    const int blocks = (firmware.size() + FileCopyThread::blockSize - 1) / FileCopyThread::blockSize;
    QVERIFY2(!succeeds || progress.size() == blocks + 2, "a block not shown on the bar");
    QVERIFY2(!succeeds || atEnd == firmware + "|1.73", "1.0 came before the firmware and the version were on it");
    const double limit = slow ? (row.verdict == 1 ? 30 : 5) : 0;
    QVERIFY2(!slow || (seconds >= limit && seconds < limit + 2.5), "the checker was not cut off in time");
    if (row.volume == Volume::Directory) { // what the checker was asked, and what the drive held then
        QByteArray calls = row.check == QLatin1String("missing") ? "" : "check " + drive.toUtf8() + " old\n";
        calls += row.verdict == 1 && !row.repair.isNull() ? "repair " + drive.toUtf8() + " old\n" : "";
        QCOMPARE(contentOf(work.filePath("calls")), calls.isEmpty() ? QByteArray("<none>") : calls);
    }
    QVERIFY(row.event != Event::Strand || QDir(drive).entryList(QDir::Files | QDir::Hidden).isEmpty());
    if (row.event == Event::Strand)
        return;
    QCOMPARE(contentOf(outside), QByteArray("outside"));
    if (row.event != Event::MarkerBecomesLink)
        QVERIFY2(contentOf(destination) == (succeeds ? firmware : old), "neither the new nor the old firmware");
    QCOMPARE(contentOf(stamp), succeeds ? QByteArray("1.73") : QByteArray("1.8"));
    QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
             QStringList({ "Version.txt", "lumetra.bin" }));
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
