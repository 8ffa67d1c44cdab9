#include "scratchvolume.h"
#include "workerrun.h"

#include <QtCore/QAtomicInt>
#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QtEndian>
#include <QtTest/QtTest>

#include <memory>

namespace {

enum class Volume { Tmpfs, SmallTmpfs, ReadOnlyTmpfs, Ext4, Fat, DamagedFat };
// What happens from the worker thread itself at a progress value, while the copy runs.
enum class Meddling { None, QuitAtAQuarter, ChangeSourceAtTheEnd };

const QString shellName = QStringLiteral("unit 'E' \"F\"; $(touch pwned) & `touch pwned`");

// Makes the second copy of a FAT volume's allocation table differ from the first: a fault
// the checker finds and reports.
bool damageSecondFat(const QString &devicePath)
{
    QFile device(devicePath);
    if (!device.open(QIODevice::ReadWrite))
        return false;
    const QByteArray boot = device.read(512);
    if (boot.size() != 512)
        return false;
    const auto field = [&boot](int offset) { return qFromLittleEndian<quint16>(boot.constData() + offset); };
    const qint64 bytesPerSector = field(11);
    const qint64 secondFat = (field(14) + field(22)) * bytesPerSector;
    return device.seek(secondFat + 16) && device.write("\x77\x77\x77\x77", 4) == 4 && device.flush();
}

} // namespace

Q_DECLARE_METATYPE(Volume)
Q_DECLARE_METATYPE(Meddling)

// Faults a user meets on a real drive: it is full, read-only, the source is gone, the
// user quits mid-copy, the drive is FAT with or without problems. The old firmware must
// survive every failure, so the drive is still recognised and can be updated again.
class TestCopyFaults : public QObject
{
    Q_OBJECT

private slots:
    void faultOnRealDrive_data();
    void faultOnRealDrive();
    void driveUnmountedDuringTheCheck();
};

void TestCopyFaults::faultOnRealDrive_data()
{
    QTest::addColumn<Volume>("volume");
    QTest::addColumn<int>("sourceSize");
    QTest::addColumn<bool>("sourceMissing");
    QTest::addColumn<Meddling>("meddling");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<bool>("keepsOld");
    QTest::addColumn<int>("verdict");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("a full drive fails and keeps the old firmware byte for byte")
            << Volume::SmallTmpfs << 200000 << false << Meddling::None << false << true << -1
            << QStringLiteral("write dest file failed!");
    QTest::newRow("a read-only drive fails at once with no further progress")
            << Volume::ReadOnlyTmpfs << 200000 << false << Meddling::None << false << true << -1
            << QStringLiteral("open dest file failed! dstFilePath: \"%1\"");
    QTest::newRow("a missing source fails and keeps the old firmware")
            << Volume::Tmpfs << 200000 << true << Meddling::None << false << true << -1
            << QStringLiteral("open source file failed!");
    QTest::newRow("an interrupted copy stops within one block and keeps the old firmware")
            << Volume::Tmpfs << 2 * 1024 * 1024 << false << Meddling::QuitAtAQuarter << false << true << -1
            << QStringLiteral("FileCopyThread::run interrupted");
    QTest::newRow("a copy that does not read back as the source fails")
            << Volume::Tmpfs << 411240 << false << Meddling::ChangeSourceAtTheEnd << false << false << -1
            << QStringLiteral("dest file differs from source file!");
    QTest::newRow("an ext4 drive gets no verdict and is copied")
            << Volume::Ext4 << 411240 << false << Meddling::None << true << false << -1
            << QStringLiteral("FileCopyThread::checkDisk no check: \"not a FAT file system: ext4\"");
    QTest::newRow("a FAT drive mounted at a path with spaces and shell characters is checked and copied")
            << Volume::Fat << 411240 << false << Meddling::None << true << false << 0
            << QStringLiteral("FileCopyThread::checkDisk result:");
    QTest::newRow("a FAT drive with problems is not repaired while mounted, and is copied")
            << Volume::DamagedFat << 411240 << false << Meddling::None << true << false << 1
            << QStringLiteral("FileCopyThread::repairDisk refused: \"never repair a mounted file system\"");
}

void TestCopyFaults::faultOnRealDrive()
{
    QFETCH(Volume, volume);
    QFETCH(int, sourceSize);
    QFETCH(bool, sourceMissing);
    QFETCH(Meddling, meddling);
    QFETCH(bool, succeeds);
    QFETCH(bool, keepsOld);
    QFETCH(int, verdict);
    QFETCH(QString, logLine);

    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));

    const bool fat = volume == Volume::Fat || volume == Volume::DamagedFat;
    const ScratchVolume::Kind kind = fat ? ScratchVolume::Kind::FatImage
            : volume == Volume::Ext4   ? ScratchVolume::Kind::Ext4Image
                                       : ScratchVolume::Kind::Tmpfs;
    const qint64 size = volume == Volume::SmallTmpfs ? 256 * 1024 : fat ? 8 * 1024 * 1024 : 16 * 1024 * 1024;
    auto scratch = std::make_unique<ScratchVolume>(kind, size, fat ? shellName : QString());
    QVERIFY2(scratch->isMounted(), qPrintable(scratch->errorString()));
    const QString drive = scratch->rootPath();
    const QString destination = drive + QStringLiteral("/lumetra.bin");
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString source = work.filePath(QStringLiteral("firmware.bin"));
    const QByteArray firmware(sourceSize, 'n');
    const QByteArray old(150000, 'o');
    for (const auto &[path, content] : { std::pair(destination, old), std::pair(source, firmware) }) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    if (sourceMissing)
        QVERIFY(QFile::remove(source));
    if (volume == Volume::ReadOnlyTmpfs)
        QVERIFY2(scratch->remountReadOnly(), qPrintable(scratch->errorString()));
    if (volume == Volume::DamagedFat)
        QVERIFY(damageSecondFat(scratch->device()));

    FileCopyThread thread;
    QCOMPARE(thread.checkDisk(DiskCheckPlatform::create()->driveOf(destination)), verdict);

    // A quit that lands mid-copy; a source that changes after it was read.
    QAtomicInt valuesAtRequest(-1);
    QAtomicInt valuesSeen(0);
    QObject::connect(&thread, &FileCopyThread::updateProgress, &thread, [&](double value) {
        const int seen = ++valuesSeen;
        if (meddling == Meddling::QuitAtAQuarter && value >= 0.25 && valuesAtRequest.testAndSetOrdered(-1, seen))
            thread.requestInterruption();
        QFile changing(source);
        if (meddling == Meddling::ChangeSourceAtTheEnd && value == 1.0 && changing.open(QIODevice::ReadWrite))
            changing.write("changed");
    }, Qt::DirectConnection);

    LogCapture log;
    WorkerRun run(&thread);
    thread.setFilePath(source, destination);
    QVERIFY(run.startAndWait());
    QVERIFY(run.wellFormed());
    QCOMPARE(run.successes, succeeds ? 1 : 0);
    QVERIFY2(log.hasLineStartingWith(QString(logLine).replace(QLatin1String("%1"), destination)), qPrintable(log.lines().join(QLatin1Char('\n'))));
    if (sourceMissing || volume == Volume::ReadOnlyTmpfs)
        QCOMPARE(run.progress, QVector<double> { 0.0 });
    if (meddling == Meddling::QuitAtAQuarter) {
        QVERIFY(valuesAtRequest > 0);
        QVERIFY2(run.progress.size() <= valuesAtRequest + 1, "the copy went on after it was asked to stop");
    }

    QFile copied(destination);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QVERIFY2(copied.readAll() == (keepsOld ? old : firmware), "the drive holds neither the new nor the old firmware");
    // No half-written file is left beside it.
    QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("lumetra.bin") });
    QVERIFY(!QFile::exists(QDir(drive).filePath(QStringLiteral("../pwned"))));
    QVERIFY(!QFile::exists(QStringLiteral("pwned")));
}

namespace {

// The system's own idea of which volume holds a path, with a check that takes half a
// second and has no verdict: time enough to pull the drive while it runs.
class SlowCheckOfTheRealDrive : public DiskCheckPlatform
{
public:
    QString driveOf(const QString &destinationPath) const override
    {
        return system->driveOf(destinationPath);
    }
    DiskCheckCommand checkCommand(const QString &) const override
    {
        return { QStringLiteral("sleep"), { QStringLiteral("0.5") }, QString() };
    }
    DiskCheckCommand repairCommand(const QString &) const override { return {}; }
    int verdictWithoutSentence(int) const override { return -1; }

private:
    std::unique_ptr<DiskCheckPlatform> system = DiskCheckPlatform::create();
};

} // namespace

// A drive pulled while it is checked can leave its mount point behind as an empty
// directory on the computer's own disk; the firmware must not be written there and the
// run must not end in success, or the user unplugs a unit that received nothing.
void TestCopyFaults::driveUnmountedDuringTheCheck()
{
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    ScratchVolume volume;
    QVERIFY2(volume.isMounted(), qPrintable(volume.errorString()));
    const QString destination = volume.rootPath() + QStringLiteral("/lumetra.bin");
    {
        QFile old(destination);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }

    QTemporaryDir work;
    const QString source = work.filePath(QStringLiteral("firmware.bin"));
    {
        QFile firmware(source);
        QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(QByteArray(411240, 'n')) == 411240);
    }

    FileCopyThread thread(std::make_unique<SlowCheckOfTheRealDrive>());
    LogCapture log;
    WorkerRun run(&thread);
    thread.setFilePath(source, destination);
    QObject::connect(&thread, &FileCopyThread::updateProgress, &thread, [&](double value) {
        if (value == 0.0)
            volume.unmount();
    }, Qt::DirectConnection);
    QVERIFY(run.startAndWait());

    QVERIFY(!volume.isMounted());
    QVERIFY(run.wellFormed());
    QCOMPARE(run.failures, 1);
    QVERIFY2(log.hasLineStartingWith(QStringLiteral("FileCopyThread::run the drive is gone:")),
             qPrintable(log.lines().join(QLatin1Char('\n'))));
    QCOMPARE(QDir(volume.rootPath()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestCopyFaults)
#include "tst_copyfaults.moc"
