#include "scriptedchecker.h"
#include "workerrun.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

namespace {

const QString noProblems = QStringLiteral("Windows has scanned the file system and found no problems.");
const QString problemsFound = QStringLiteral("Windows has checked the file system and found problems.");
const QString codePageLine = QStringLiteral("Active code page: 437\r\n");
const QByteArray oldFirmware = QByteArrayLiteral("old firmware");

struct CheckerCall
{
    QStringList arguments;
    QStringList entries;
};

QVector<CheckerCall> readCalls(const QString &recordFile)
{
    QVector<CheckerCall> calls;
    QFile file(recordFile);
    if (!file.open(QIODevice::ReadOnly))
        return calls;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line == QLatin1String("call"))
            calls.append(CheckerCall());
        else if (line.startsWith(QLatin1String("arg:")) && !calls.isEmpty())
            calls.last().arguments.append(line.mid(4));
        else if (line.startsWith(QLatin1String("entry:")) && !calls.isEmpty())
            calls.last().entries.append(line.mid(6));
    }
    return calls;
}

} // namespace

// The disk check in front of every copy: its verdicts, its time limits, and what the copy
// does after it. A real child process (the fakechecker program) plays the checker.
class TestDiskCheck : public QObject
{
    Q_OBJECT

private slots:
    void checkThenCopy_data();
    void checkThenCopy();
};

void TestDiskCheck::checkThenCopy_data()
{
    QTest::addColumn<bool>("slow");
    QTest::addColumn<QStringList>("checkOptions");
    QTest::addColumn<QStringList>("repairOptions");
    QTest::addColumn<bool>("checkerMissing");
    QTest::addColumn<QString>("driveName");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<bool>("repairRuns");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<double>("minSeconds");
    QTest::addColumn<double>("maxSeconds");
    QTest::addColumn<int>("quitAfterMs");

    const QString print = QStringLiteral("--print");
    const QString sleep = QStringLiteral("--sleep-ms");
    const QString hang = QStringLiteral("60000");
    const QString drive = QStringLiteral("drive");

    QTest::newRow("a clean drive is copied without a repair")
            << false << QStringList { print, codePageLine + noProblems } << QStringList() << false << drive
            << 0 << false << QStringLiteral("FileCopyThread::checkDisk result:") << 0.0 << 3.0 << -1;
    QTest::newRow("a drive with problems is repaired before any byte is written")
            << false << QStringList { print, codePageLine + problemsFound } << QStringList { print, QStringLiteral("fixed") }
            << false << drive << 1 << true << QStringLiteral("MyChkdsk::runCommand: \"fixed\"") << 0.0 << 3.0 << -1;
    QTest::newRow("an output with both sentences means no problems")
            << false << QStringList { print, problemsFound + QLatin1Char('\n') + noProblems } << QStringList()
            << false << drive << 0 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("the problems sentence in capitals is no verdict")
            << false << QStringList { print, problemsFound.toUpper() } << QStringList() << false << drive
            << -1 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("the clean sentence in small letters is no verdict")
            << false << QStringList { print, noProblems.toLower() } << QStringList() << false << drive
            << -1 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("a sentence without its full stop is no verdict")
            << false << QStringList { print, problemsFound.chopped(1) } << QStringList() << false << drive
            << -1 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("a verdict in other words (another language) is none and nothing is repaired")
            << false
            << QStringList { print, QStringLiteral("Windows hat das Dateisystem \u00fcberpr\u00fcft und Probleme gefunden.") }
            << QStringList() << false << drive << -1 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("the code-page line before the verdict is part of the searched output")
            << false << QStringList { print, codePageLine + problemsFound } << QStringList() << false << drive
            << 1 << true << QStringLiteral("FileCopyThread::checkDisk result: \"Active code page: 437\\r\\n")
            << 0.0 << 3.0 << -1;
    QTest::newRow("a verdict on standard error is not read")
            << false << QStringList { QStringLiteral("--stderr"), problemsFound } << QStringList() << false << drive
            << -1 << false << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("a checker that cannot start gives no verdict and the copy goes on")
            << false << QStringList() << QStringList() << true << drive << -1 << false
            << QStringLiteral("checkDisk process.waitForFinished error") << 0.0 << 3.0 << -1;
    QTest::newRow("a drive named with spaces, quotes and $(...) reaches the checker as one word")
            << false << QStringList { print, problemsFound } << QStringList()
            << false << QStringLiteral("vol 'a' \"b\"; $(touch pwned) & echo `touch pwned`") << 1 << true
            << QString() << 0.0 << 3.0 << -1;
    QTest::newRow("slow: a checker that hangs is cut off at 5 s and the copy starts at once")
            << true << QStringList { sleep, hang } << QStringList() << false << drive << -1 << false
            << QStringLiteral("checkDisk process.waitForFinished error") << 5.0 << 7.0 << -1;
    QTest::newRow("slow: a repair that hangs is cut off at 30 s and the copy starts at once")
            << true << QStringList { print, problemsFound } << QStringList { sleep, hang } << false << drive
            << 1 << true << QStringLiteral("repairDisk process.waitForFinished error") << 30.0 << 32.5 << -1;
    QTest::newRow("quitting during a hanging check ends the run at once and keeps the old firmware")
            << false << QStringList { sleep, hang } << QStringList() << false << drive << -1 << false
            << QStringLiteral("FileCopyThread: disk checker abandoned") << 0.0 << 1.5 << 300;
    QTest::newRow("quitting during a hanging repair ends the run at once and keeps the old firmware")
            << false << QStringList { print, problemsFound } << QStringList { sleep, hang } << false << drive
            << 1 << true << QStringLiteral("FileCopyThread: disk checker abandoned") << 0.0 << 1.5 << 300;
}

void TestDiskCheck::checkThenCopy()
{
    QFETCH(bool, slow);
    QFETCH(QStringList, checkOptions);
    QFETCH(QStringList, repairOptions);
    QFETCH(bool, checkerMissing);
    QFETCH(QString, driveName);
    QFETCH(int, verdict);
    QFETCH(bool, repairRuns);
    QFETCH(QString, logLine);
    QFETCH(double, minSeconds);
    QFETCH(double, maxSeconds);
    QFETCH(int, quitAfterMs);

    // ctest runs the rows that wait for a time limit as a test of their own, labelled slow.
    const QByteArray rows = qgetenv("LUMETRA_DISKCHECK_ROWS");
    if ((rows == "fast" && slow) || (rows == "slow" && !slow))
        QSKIP("row left to the other half of the suite (LUMETRA_DISKCHECK_ROWS)");

    QTemporaryDir work;
    QVERIFY(work.isValid());
    QVERIFY(QDir(work.path()).mkpath(driveName));
    const QString drive = work.filePath(driveName);
    const QString destination = drive + QStringLiteral("/lumetra.bin");
    const QString source = work.filePath(QStringLiteral("source.bin"));
    const QString recordFile = work.filePath(QStringLiteral("calls.txt"));
    const QByteArray firmware(3 * FileCopyThread::blockSize + 7, 'n');
    for (const auto &[path, content] : { std::pair(destination, oldFirmware), std::pair(source, firmware) }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    FileCopyThread thread(std::make_unique<ScriptedChecker>(recordFile, checkOptions, repairOptions, checkerMissing));
    const bool quits = quitAfterMs >= 0;
    if (!quits) {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(thread.checkDisk(drive), verdict);
        QVERIFY2(clock.elapsed() < FileCopyThread::checkTimeLimit + 1500, "the check was not cut off in time");
        QFile::remove(recordFile);
    } else {
        // The backend's shutdown: asked to stop while the checker still runs.
        QTimer::singleShot(quitAfterMs, &thread, [&thread] { thread.requestInterruption(); });
    }

    LogCapture log;
    WorkerRun run(&thread);
    thread.setFilePath(source, destination);
    QVERIFY(run.startAndWait());
    QVERIFY(run.wellFormed());
    QCOMPARE(run.successes, quits ? 0 : 1);
    QCOMPARE(run.progress.size(), quits ? 1 : 5);
    QVERIFY2(run.seconds >= minSeconds && run.seconds <= maxSeconds,
             qPrintable(QStringLiteral("the run took %1 s").arg(run.seconds)));
    QFile copied(destination);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), quits ? oldFirmware : firmware);
    if (!logLine.isEmpty())
        QVERIFY2(log.hasLineStartingWith(logLine), qPrintable(log.lines().join(QLatin1Char('\n'))));

    const QVector<CheckerCall> calls = readCalls(recordFile);
    QCOMPARE(calls.size(), checkerMissing ? 0 : (repairRuns ? 2 : 1));
    for (const CheckerCall &call : calls) {
        // The drive is the last argument, whole, whatever characters its name holds.
        QCOMPARE(call.arguments.size(), 2);
        QCOMPARE(call.arguments.last(), drive);
    }
    if (repairRuns) {
        QCOMPARE(calls.at(1).arguments.first(), QStringLiteral("repair"));
        // When the repair ran, the drive still held the old firmware alone.
        QCOMPARE(calls.at(1).entries, QStringList { QStringLiteral("lumetra.bin:%1").arg(oldFirmware.size()) });
    }
    QVERIFY(!QFile::exists(work.filePath(QStringLiteral("pwned"))));
    QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
}

QTEST_GUILESS_MAIN(TestDiskCheck)
#include "tst_diskcheck.moc"
