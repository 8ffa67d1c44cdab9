#include "scriptedchecker.h"
#include "workerrun.h"

#include <QtCore/QDir>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// The copy itself, over source sizes around the block size: the progress values the update
// screen relies on (0.0 first, exactly 1.0 last), the log lines, and the bytes on the drive.
class TestFileCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copiesEverySize_data();
    void copiesEverySize();

private:
    QTemporaryDir work;
    // One worker for every row, started again each time, as the backend reuses its own.
    std::unique_ptr<FileCopyThread> thread;
};

void TestFileCopy::initTestCase()
{
    QVERIFY(work.isValid());
    const QString noProblems = QStringLiteral("Windows has scanned the file system and found no problems.");
    thread = std::make_unique<FileCopyThread>(std::make_unique<ScriptedChecker>(
            work.filePath(QStringLiteral("calls.txt")), QStringList { QStringLiteral("--print"), noProblems },
            QStringList()));
}

void TestFileCopy::copiesEverySize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("oldSize");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("an empty source announces only 0.0 and leaves an empty file")
            << 0 << 600000 << QString();
    QTest::newRow("one byte short of a block")
            << 4095 << 600000 << QStringLiteral("copy file progress: 1 totalCopySize: 4095 fileSize: 4095");
    QTest::newRow("exactly one block")
            << 4096 << 600000 << QStringLiteral("copy file progress: 1 totalCopySize: 4096 fileSize: 4096");
    QTest::newRow("one byte over a block")
            << 4097 << 600000 << QStringLiteral("copy file progress: 0.999756 totalCopySize: 4096 fileSize: 4097");
    QTest::newRow("three whole blocks onto a drive without an old file")
            << 3 * 4096 << -1 << QStringLiteral("copy file progress: 0.333333 totalCopySize: 4096 fileSize: 12288");
    QTest::newRow("the firmware image: 102 values, then success")
            << 411240 << 600000
            << QStringLiteral("copy file progress: 0.00996012 totalCopySize: 4096 fileSize: 411240");
}

void TestFileCopy::copiesEverySize()
{
    QFETCH(int, size);
    QFETCH(int, oldSize);
    QFETCH(QString, firstLine);

    const QString drive = work.filePath(QString::fromLatin1(QTest::currentDataTag()).left(20));
    QVERIFY(QDir().mkpath(drive));
    const QString destination = drive + QStringLiteral("/lumetra.bin");
    const QString source = work.filePath(QStringLiteral("source-%1.bin").arg(size));
    QByteArray firmware(size, Qt::Uninitialized);
    QRandomGenerator(size).fillRange(reinterpret_cast<quint32 *>(firmware.data()), size / 4);
    const QByteArray old(qMax(oldSize, 0), 'o');
    QFile sourceFile(source);
    QVERIFY(sourceFile.open(QIODevice::WriteOnly) && sourceFile.write(firmware) == size);
    sourceFile.close();
    if (oldSize >= 0) {
        QFile oldFile(destination);
        QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write(old) == oldSize);
    }

    LogCapture log;
    WorkerRun run(thread.get());
    thread->setFilePath(source, destination);
    QVERIFY(run.startAndWait());
    QVERIFY(run.wellFormed());
    QCOMPARE(run.successes, 1);

    const int blocks = (size + FileCopyThread::blockSize - 1) / FileCopyThread::blockSize;
    QCOMPARE(run.progress.size(), 1 + blocks);
    for (int i = 1; i < run.progress.size(); ++i)
        QVERIFY(run.progress.at(i) > run.progress.at(i - 1));
    if (blocks > 0)
        QVERIFY2(run.progress.last() == 1.0, "the bar waits for exactly 1 to close the popup");

    QStringList progressLines;
    const QStringList lines = log.lines();
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("copy file progress:")))
            progressLines.append(line);
    }
    QCOMPARE(progressLines.size(), blocks);
    if (blocks > 0) {
        QCOMPARE(progressLines.first(), firstLine);
        QCOMPARE(progressLines.last(), QStringLiteral("copy file progress: 1 totalCopySize: %1 fileSize: %1").arg(size));
    }

    QFile copied(destination);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QVERIFY2(copied.readAll() == firmware, "the drive does not hold the source's bytes, and only them");
    QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("lumetra.bin") });
}

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
