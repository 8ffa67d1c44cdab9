#include "fakevolumes.h"
#include "filecopythread.h"
#include "logcapture.h"
#include "scratchvolume.h"

#include <QtTest/QtTest>

#include <sys/stat.h>

namespace {

const QString noProblems = QStringLiteral("Windows has scanned the file system and found no problems.");
const QString problemsFound = QStringLiteral("Windows has checked the file system and found problems.");
const QByteArray oldFirmware = QByteArray(150000, 'o').prepend("old");

QString say(const QString &text) { return QStringLiteral("printf '%s' '") + text + QLatin1Char('\''); }

// DriveLetter: "E:", a folder in the working directory, as the chkdsk rows' checker names drives.
enum class Volume { Directory, DriveLetter, Tmpfs, RoomForTwo, RoomForOne, ReadOnly, DamagedFat };
// Strand and MarkerBecomesLink are staged while the checker waits on the gate, Quit once the repair has started.
enum class Event { None, Strand, MarkerBecomesLink, ChangeSource, DamagedImage, FillUp, Quit };
using Reason = UpdateFailure::Reason;
// A checker that waits until the test has staged the row's event and opens the gate (a FIFO).
const QString gate = QStringLiteral("read go < \"$GATE\"");

void columns()
{
    QTest::addColumn<Volume>("volume");
    QTest::addColumn<Event>("event");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("repair");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<QString>("logLine");
}

} // namespace

Q_DECLARE_METATYPE(Volume)
Q_DECLARE_METATYPE(Event)

// The worker on real drives and against a checker that is a real child process. Full drives, pulls and I/O
// errors of the copy itself are the command-line test's fault sweep; here what only a script can stage.
class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    // The chkdsk rows' "cmd" stands in on PATH: it records what it was asked as ShellChecker does and answers with
    // the row's check or repair script.
    void initTestCase()
    {
        QVERIFY(work.isValid() && QDir::setCurrent(work.path()));
        QVERIFY(writeFile("cmd", R"sh(#!/bin/sh
case "$(printf '%s|' "$@")" in
"/c|chcp|437|&&|chkdsk|$6|") w=check s=$CHECK;;
"/c|chcp|437|&&|chkdsk|$6|/f|") w=repair s=$REPAIR;;
*) w="$*" s=false;;
esac
echo "$w $6 $(head -c 3 "$6/lumetra.bin")" >> "$CALLS"; eval "$s"
)sh"));
        QVERIFY(QFile::setPermissions("cmd", QFile::ReadOwner | QFile::ExeOwner));
        qputenv("PATH", QFile::encodeName(work.path()) + ':' + qgetenv("PATH"));
        qputenv("CALLS", QFile::encodeName(work.filePath("calls")));
        qputenv("GATE", QFile::encodeName(work.filePath("gate")));
        QVERIFY(mkfifo(QFile::encodeName(work.filePath("gate")).constData(), 0600) == 0);
    }
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
    columns();
    const QString none;
    const Reason ok = UpdateFailure::None;
    const auto e = Event::None;
    QTest::newRow("room for two images: written beside the old one")
        << Volume::RoomForTwo << e << "true" << none << -1 << ok << none;
    QTest::newRow("room for one image: written in place, over a longer old one")
        << Volume::RoomForOne << e << "true" << none << -1 << ok << none;
    QTest::newRow("a read-only drive") << Volume::ReadOnly << e << "true" << none << -1 << UpdateFailure::ReadOnly << none;
    QTest::newRow("drive pulled during the check, its mount point left behind: nothing written there")
        << Volume::Tmpfs << Event::Strand << gate << none << -1 << UpdateFailure::DriveGone << none;
    QTest::newRow("a copy that does not read back as the source: old firmware kept")
        << Volume::Tmpfs << Event::ChangeSource << "true" << none << -1 << UpdateFailure::VerificationFailed << none;
    QTest::newRow("marker swapped for a link during the check: nothing written through it")
        << Volume::Tmpfs << Event::MarkerBecomesLink << gate << none << -1 << UpdateFailure::MarkerNotOrdinaryFile << none;
    // Verdict -2: refused before the disk check.
    QTest::newRow("an image not the one built in: refused before a byte is written")
        << Volume::Tmpfs << Event::DamagedImage << "true" << none << -2 << UpdateFailure::FirmwareDamaged << none;
    QTest::newRow("the drive fills up during the copy: said so, not left to the read-back; old firmware kept")
        << Volume::Tmpfs << Event::FillUp << "true" << none << -1 << UpdateFailure::FullDrive << none;
}

void TestWorker::diskCheck_data()
{
    columns();
    const Reason ok = UpdateFailure::None;
    const QString none, codePage = "printf 'Active code page: 437\\r\\n'; ";
    const QString hang = "sleep 60"; // a checker that hangs: what these rows are about, not a wait
    const QString fixed = say(problemsFound), clean = say(noProblems), checkCut = "checkDisk process.waitForFinished";
    const auto d = Volume::Directory;
    const auto e = Event::None;
    QTest::newRow("clean: copied without a repair") << d << e << codePage + clean << "true" << 0 << ok
        << "FileCopyThread::checkDisk result: \"Active code page: 437\\r\\n";
    QTest::newRow("problems: repaired before any byte is written")
        << d << e << codePage + fixed << say("fixed") << 1 << ok << "MyChkdsk::runCommand: \"fixed\"";
    QTest::newRow("both sentences mean no problems")
        << d << e << say(problemsFound + '\n' + noProblems) << "true" << 0 << ok << none;
    QTest::newRow("problems, the repair refused (Linux, a mounted volume): said in the log, copied")
        << d << e << fixed << none << 1 << ok << "FileCopyThread::repairDisk refused";
    QTest::newRow("a checker that cannot start: no verdict, copied")
        << d << e << "missing" << none << -1 << ok << checkCut;
    QTest::newRow("a checker that asks a question gets no answer and goes on")
        << d << e << "read answer; " + clean << "true" << 0 << ok << none;
    QTest::newRow("quit during a hanging repair")
        << d << Event::Quit << fixed << hang << 1 << UpdateFailure::Interrupted << "FileCopyThread: disk checker";
    QTest::newRow("slow: a hanging check is cut off at 5 s, then copied")
        << d << e << hang << none << -1 << ok << checkCut;
    QTest::newRow("slow: a hanging repair is cut off at 30 s, then copied")
        << d << e << fixed << hang << 1 << ok << "repairDisk process";
    QTest::newRow("fsck.fat on a damaged FAT image, its mount point named with shell characters: never repaired "
                  "mounted, copied")
        << Volume::DamagedFat << e << none << none << 1 << ok
        << "repairDisk refused: \"never repair a mounted file system\"";
    // The Windows checker's platform file (tst_worker_chkdsk) and the stand-in cmd.
    QTest::newRow("chkdsk: the unit on E: checked in code page 437, found with problems, repaired before any byte is "
                  "written") << Volume::DriveLetter << e << codePage + fixed << say("fixed") << 1 << ok << none;
    QTest::newRow("chkdsk: a drive it cannot lock: no verdict, copied")
        << Volume::DriveLetter << e << codePage + say("Cannot lock current drive.") << none << -1 << ok << none;
    QTest::newRow("chkdsk: a destination without a drive letter never reaches cmd")
        << d << e << none << none << -1 << ok << "not a drive letter";
}

void TestWorker::update()
{
    QFETCH(Volume, volume);
    QFETCH(Event, event);
    QFETCH(QString, check);
    QFETCH(QString, repair);
    QFETCH(int, verdict);
    QFETCH(Reason, reason);
    QFETCH(QString, logLine);
    const QByteArray tag = QTest::currentDataTag();
    const QByteArray group = tag.startsWith("slow:") ? "slow" : tag.startsWith("chkdsk:") ? "chkdsk" : "";
    if (group != qgetenv("LUMETRA_WORKER_ROWS"))
        QSKIP("in another run of this test (tst_worker_slow, tst_worker_chkdsk)");
    const bool slow = group == "slow";
    std::unique_ptr<ScratchVolume> scratch;
    QString drive = volume == Volume::DriveLetter ? "E:" : work.filePath("drive-" + tag.left(54));
    if (volume >= Volume::Tmpfs && !ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    // A FAT image on a loop device (the checker wants one), through fusefat where the kernel has no FAT driver, its
    // second allocation table made to differ from the first below.
    const auto unmount = qScopeGuard([&] {
        if (volume == Volume::DamagedFat)
            QProcess::execute("umount", { drive });
    });
    if (volume == Volume::DamagedFat) {
        drive = work.filePath("fat 'E' \"F\"; $(touch pwned)");
        QCOMPARE(QProcess::execute("sh", { "-c", "mkdir \"$1\" && truncate -s 4M \"$1.img\" && mkfs.fat \"$1.img\" "
            ">/dev/null && d=$(losetup -f --show \"$1.img\") && fusefat -o rw+,fsname=$d,subtype=fusefat $d \"$1\" "
            "&& losetup -d $d", "sh", drive }), 0);
    } else if (volume >= Volume::Tmpfs) {
        // Beside an old image of 300 kB (450 kB with room for one), the new one of 411 kB: room for two, or for one.
        const qint64 kib = volume == Volume::RoomForOne ? 600 : volume == Volume::RoomForTwo ? 800 : 8192;
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
    const int copies = volume == Volume::RoomForOne ? 3 : volume == Volume::RoomForTwo ? 2 : 1;
    const QByteArray old = oldFirmware.repeated(copies);
    const QByteArray damaged = QByteArray(firmware).replace(200000, 1, "?");
    QVERIFY(writeFile(source, event == Event::DamagedImage ? damaged : firmware) && writeFile(stamp, "1.8")
            && writeFile(destination, old));
    QVERIFY(volume != Volume::ReadOnly || scratch->remountReadOnly());
    // Once the files are on it: a write brings the two tables back in line.
    QVERIFY(volume != Volume::DamagedFat || QProcess::execute("sh", { "-c", "b=$(od -An -tu2 -j11 -N2 $0) "
        "r=$(od -An -tu2 -j14 -N2 $0) f=$(od -An -tu2 -j22 -N2 $0) && printf wwww | dd of=$0 bs=1 conv=notrunc "
        "seek=$(((r + f) * b + 16)) status=none", QString::fromLocal8Bit(QStorageInfo(drive).device()) }) == 0);
    QFile::remove(work.filePath("calls"));
    qputenv("CHECK", check.toUtf8());
    qputenv("REPAIR", repair.toUtf8());
    const bool systemChecker = group == "chkdsk" || volume == Volume::DamagedFat;
    FileCopyThread thread(systemChecker ? DiskCheckPlatform::create() : std::unique_ptr<DiskCheckPlatform>(
        std::make_unique<ShellChecker>(check, repair, scratch != nullptr)));
    thread.setFilePath(source, destination);
    thread.setStampFile(stamp, "1.73");
    thread.setExpectedSha256(QCryptographicHash::hash(firmware, QCryptographicHash::Sha256).toHex());
    const QString outside = work.filePath(QStringLiteral("outside.bin"));
    QVERIFY(writeFile(outside, "outside"));
    // The run as the backend receives it (queued, in order), plus what the drive held at the moment the end was
    // announced, seen from the worker thread.
    QVector<double> progress;
    int successes = 0, ends = 0, checked = -2;
    bool afterEnd = false, inPlace = false;
    Reason said = UpdateFailure::None;
    QByteArray atEnd;
    connect(&thread, &FileCopyThread::updateProgress, this, [&](double v) { progress << v, afterEnd |= ends > 0; });
    connect(&thread, &FileCopyThread::copySuccess, this, [&] { ++successes, ++ends; });
    connect(&thread, &FileCopyThread::copyFailed, this, [&] { ++ends; });
    connect(&thread, &FileCopyThread::failureReason, this, [&](Reason r) { said = r; });
    connect(&thread, &FileCopyThread::diskChecked, this, [&](int v) { checked = v; });
    connect(&thread, &FileCopyThread::writingInPlace, this, [&] { inPlace = true; });
    connect(&thread, &FileCopyThread::updateProgress, this, [&](double value) {
        if (event == Event::ChangeSource && value >= FileCopyThread::lastBlockProgress) // garbled on the drive
            writeFile(source, "changed" + firmware.mid(7));
        if (event == Event::FillUp && value > 0.0 && !QFile::exists(drive + "/filler")) // the next write fails
            writeFile(drive + "/filler", QByteArray(QStorageInfo(drive).bytesAvailable(), 'f'));
        if (value == 1.0)
            atEnd = contentOf(destination) + '|' + contentOf(stamp);
    }, Qt::DirectConnection);
    LogCapture log;
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    thread.start();
    // The event while the checker it concerns runs, seen in what the checker was asked; the gate then lets it end.
    const QByteArray during = event == Event::Quit ? "repair" : check == gate ? "check" : "";
    QTRY_VERIFY(contentOf(work.filePath("calls")).contains(during));
    if (event == Event::Quit)
        thread.requestInterruption();
    if (event == Event::Strand)
        scratch->unmount();
    if (event == Event::MarkerBecomesLink && QFile::remove(destination))
        QFile::link(outside, destination);
    QVERIFY(check != gate || QProcess::execute("sh", { "-c", "echo > \"$GATE\"" }) == 0);
    QVERIFY(QTest::qWaitFor([&] { return ends > 0; }, 90000));
    const double seconds = (QDateTime::currentMSecsSinceEpoch() - started) / 1000.0;
    thread.wait();
    QCoreApplication::processEvents();
    QFile::remove(drive + "/filler");

    const bool succeeds = reason == UpdateFailure::None;
    QVERIFY2(ends == 1 && !afterEnd && progress.value(0, -1) == 0.0, "one end, the last signal, after a 0");
    QCOMPARE(successes, succeeds ? 1 : 0);
    QCOMPARE(said, reason);
    QCOMPARE(checked, verdict);
    // In place the old image is gone until the new one is whole: only when there is no room beside it.
    QCOMPARE(inPlace, volume == Volume::RoomForOne);
    QVERIFY2(logLine.isEmpty() || !log.lines().filter(logLine).isEmpty(), qPrintable(log.lines().join('\n')));
    QVERIFY2(std::is_sorted(progress.cbegin(), progress.cend()), "the bar went back");
    QVERIFY2(progress.indexOf(1.0) == (succeeds ? progress.size() - 1 : -1), "1.0 before a whole copy");
    const int blocks = (firmware.size() + FileCopyThread::blockSize - 1) / FileCopyThread::blockSize;
    QVERIFY2(!succeeds || progress.size() == blocks + 2, "a block not shown on the bar");
    QVERIFY2(!succeeds || atEnd == firmware + "|1.73", "1.0 came before the firmware and the version were on it");
    const double limit = slow ? (verdict == 1 ? 30 : 5) : 0;
    QVERIFY2(!slow || (seconds >= limit && seconds < limit + 2.5), "the checker was not cut off in time");
    if (volume <= Volume::DriveLetter) { // what the checker was asked, and what the drive held then
        QByteArray calls = check.isNull() || check == "missing" ? "" : "check " + drive.toUtf8() + " old\n";
        calls += verdict == 1 && !repair.isNull() ? "repair " + drive.toUtf8() + " old\n" : "";
        QCOMPARE(contentOf(work.filePath("calls")), calls.isEmpty() ? QByteArray("<none>") : calls);
    }
    QVERIFY(event != Event::Strand || QDir(drive).entryList(QDir::Files | QDir::Hidden).isEmpty());
    if (event == Event::Strand)
        return;
    QCOMPARE(contentOf(outside), QByteArray("outside"));
    if (event != Event::MarkerBecomesLink)
        QVERIFY2(contentOf(destination) == (succeeds ? firmware : old), "neither the new nor the old firmware");
    QCOMPARE(contentOf(stamp), succeeds ? QByteArray("1.73") : QByteArray("1.8"));
    QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
             QStringList({ "Version.txt", "lumetra.bin" }));
    QVERIFY2(!QFile::exists("pwned"), "a shell ran the mount point's name");
}

QTEST_GUILESS_MAIN(TestWorker)
#include "tst_worker.moc"
