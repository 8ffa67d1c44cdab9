#include "diskcheckplatform.h"
#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "logcapture.h"
#include "updatehistory.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QJsonDocument>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <memory>

namespace {

const QByteArray oldFirmware(5000, 'o');

QByteArray bundledFirmware()
{
    QFile firmware(QStringLiteral(":/UpdatedFirmware/lumetra.bin"));
    return firmware.open(QIODevice::ReadOnly) ? firmware.readAll() : QByteArray();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A checker that takes its time and then has no verdict, so the copy starts after it:
// it holds the worker busy long enough for a test to act during an update.
class SlowChecker : public DiskCheckPlatform
{
public:
    explicit SlowChecker(double seconds) : seconds(seconds) { }
    QString driveOf(const QString &destinationPath) const override
    {
        return QFileInfo(destinationPath).absolutePath();
    }
    DiskCheckCommand checkCommand(const QString &) const override
    {
        return { QStringLiteral("sleep"), { QString::number(seconds) }, QString() };
    }
    DiskCheckCommand repairCommand(const QString &) const override
    {
        return { QString(), {}, QStringLiteral("no repair in this test") };
    }
    int verdictWithoutSentence(int) const override { return -1; }

private:
    double seconds;
};

// What the UI sees of the backend, in order: "p" for each progress value, "success", "failed".
class Recorder : public QObject
{
    Q_OBJECT

public:
    explicit Recorder(LumetraInstaller *installer)
    {
        connect(installer, &LumetraInstaller::copyFileProgress, this, [this](double value) {
            progress.append(value);
            events.append(QStringLiteral("p"));
            if (value == 1.0 && onLastProgress)
                onLastProgress();
        });
        connect(installer, &LumetraInstaller::updateFirmwareSuccess, this,
                [this] { events.append(QStringLiteral("success")); });
        connect(installer, &LumetraInstaller::updateFirmwareFailed, this,
                [this] { events.append(QStringLiteral("failed")); });
    }

    bool ended() const
    {
        return events.contains(QStringLiteral("success")) || events.contains(QStringLiteral("failed"));
    }
    bool waitForEnd(int timeoutMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!ended() && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return ended();
    }

    QVector<double> progress;
    QStringList events;
    std::function<void()> onLastProgress;
};

// One unit's drive: a scratch directory with the marker (an older firmware) and a version
// file, seen through fake volumes, checked by a slow or instant checker, removed by a fake
// device layer.
struct Unit
{
    explicit Unit(const QByteArray &version = QByteArray("1.8"), double checkSeconds = 0)
    {
        writeFile(drive.filePath(QStringLiteral("lumetra.bin")), oldFirmware);
        if (!version.isNull())
            writeFile(versionPath(), version);
        auto fakeVolumes = std::make_unique<FakeVolumes>(QStringList { drive.path() });
        volumes = fakeVolumes.get();
        auto fakeEject = std::make_unique<FakeEjectSystem>();
        fakeEject->volume = EjectLumetra::driveName(drive.path()).toStdString();
        eject = fakeEject.get();
        installer = std::make_unique<LumetraInstaller>(std::move(fakeVolumes),
                                                       std::make_unique<SlowChecker>(checkSeconds),
                                                       std::move(fakeEject));
    }

    QString firmwarePath() const { return drive.filePath(QStringLiteral("lumetra.bin")); }
    QString versionPath() const { return drive.filePath(QStringLiteral("Version.txt")); }

    QTemporaryDir drive;
    FakeVolumes *volumes = nullptr;
    FakeEjectSystem *eject = nullptr;
    std::unique_ptr<LumetraInstaller> installer;
};

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void wholeUpdate_data();
    void wholeUpdate();
    void failures_data();
    void failures();
    void copyFailsOnAFullDrive();
    void closingDuringTheUpdate();
    void removal_data();
    void removal();
    void realVolume();
    void logAndHistory_data();
    void logAndHistory();
};

void TestUpdate::wholeUpdate_data()
{
    QTest::addColumn<QByteArray>("versionBefore");

    QTest::newRow("version file 1.8") << QByteArray("1.8");
    QTest::newRow("several lines with CR LF") << QByteArray("1.8\r\nbuilt 2019\r\nserial 42\r\n");
    QTest::newRow("no version file") << QByteArray();
}

void TestUpdate::wholeUpdate()
{
    QFETCH(QByteArray, versionBefore);
    Unit unit(versionBefore);
    Recorder recorder(unit.installer.get());

    QVERIFY(unit.installer->doesLumetraNeedUpdate());
    QVERIFY(unit.installer->updateLumetra());
    QVERIFY(recorder.waitForEnd());
    QTest::qWait(50); // anything after the end signal would arrive now

    // 0.0, one value per 4096-byte block (101 for 411,240 bytes), the last exactly 1.0,
    // then the success, once.
    QCOMPARE(recorder.progress.size(), 102);
    QCOMPARE(recorder.progress.first(), 0.0);
    QCOMPARE(recorder.progress.last(), 1.0);
    QCOMPARE(recorder.events.count(QStringLiteral("success")), 1);
    QCOMPARE(recorder.events.last(), QStringLiteral("success"));
    QVERIFY(!recorder.events.contains(QStringLiteral("failed")));

    QVERIFY(contentOf(unit.firmwarePath()) == bundledFirmware());
    QCOMPARE(contentOf(unit.versionPath()), QByteArray("1.73"));
    QVERIFY(!unit.installer->doesLumetraNeedUpdate());
    QCOMPARE(unit.installer->getCurrentVersionNumber(), QStringLiteral("1.73"));
    // Nothing but the two files is left on the drive.
    QCOMPARE(QDir(unit.drive.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestUpdate::failures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QStringList>("endEvents");
    QTest::addColumn<bool>("firmwareWritten");
    QTest::addColumn<QByteArray>("versionAfter");

    QTest::newRow("no drive") << "no drive" << false << QStringList() << false << QByteArray("1.8");
    QTest::newRow("marker is a link off the drive")
            << "marker link" << false << QStringList() << false << QByteArray("1.8");
    QTest::newRow("drive gone when the success is handled")
            << "gone at success" << true << QStringList() << true << QByteArray("1.8");
    QTest::newRow("version file is a directory")
            << "version directory" << true << QStringList { "success" } << true << QByteArray();
    QTest::newRow("version file is a link off the drive")
            << "version link" << true << QStringList { "success" } << true << QByteArray("1.8");
    QTest::newRow("second update during the copy")
            << "second update" << true << QStringList { "success" } << true << QByteArray("1.73");
}

void TestUpdate::failures()
{
    QFETCH(QString, fault);
    QFETCH(bool, started);
    QFETCH(QStringList, endEvents);
    QFETCH(bool, firmwareWritten);
    QFETCH(QByteArray, versionAfter);

    Unit unit(QByteArray("1.8"), fault == QLatin1String("second update") ? 0.5 : 0);
    QTemporaryDir elsewhere;
    const QString foreignFile = elsewhere.filePath(QStringLiteral("precious"));
    QVERIFY(writeFile(foreignFile, "precious"));
    Recorder recorder(unit.installer.get());

    if (fault == QLatin1String("no drive")) {
        unit.volumes->setRootPaths({});
    } else if (fault == QLatin1String("marker link")) {
        QVERIFY(QFile::remove(unit.firmwarePath()));
        QVERIFY(QFile::link(foreignFile, unit.firmwarePath()));
    } else if (fault == QLatin1String("gone at success")) {
        recorder.onLastProgress = [&unit] { unit.volumes->setRootPaths({}); };
    } else if (fault == QLatin1String("version directory")) {
        QVERIFY(QFile::remove(unit.versionPath()));
        QVERIFY(QDir().mkdir(unit.versionPath()));
    } else if (fault == QLatin1String("version link")) {
        QVERIFY(QFile::remove(unit.versionPath()));
        QVERIFY(writeFile(foreignFile, "1.8"));
        QVERIFY(QFile::link(foreignFile, unit.versionPath()));
    }

    QCOMPARE(unit.installer->updateLumetra(), started);
    if (fault == QLatin1String("second update")) {
        // The worker is still checking the drive: the paths must not change under it.
        QVERIFY(!unit.installer->updateLumetra());
    }

    if (started && !endEvents.isEmpty())
        QVERIFY(recorder.waitForEnd());
    else
        QTest::qWait(started ? 1500 : 200);
    QTest::qWait(50);

    QStringList ends = recorder.events;
    ends.removeAll(QStringLiteral("p"));
    QCOMPARE(ends, endEvents);
    QCOMPARE(contentOf(unit.firmwarePath()) == bundledFirmware(), firmwareWritten);
    if (!firmwareWritten && fault != QLatin1String("marker link"))
        QVERIFY(contentOf(unit.firmwarePath()) == oldFirmware);
    if (!versionAfter.isNull())
        QCOMPARE(contentOf(unit.versionPath()), versionAfter);
    // Whatever a link on the drive pointed at is never written.
    QCOMPARE(contentOf(foreignFile), fault == QLatin1String("version link") ? QByteArray("1.8")
                                                                          : QByteArray("precious"));
}

void TestUpdate::copyFailsOnAFullDrive()
{
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    ScratchVolume volume(ScratchVolume::Kind::Tmpfs, 256 * 1024);
    QVERIFY2(volume.isMounted(), qPrintable(volume.errorString()));
    const QString firmware = volume.rootPath() + QStringLiteral("/lumetra.bin");
    const QString version = volume.rootPath() + QStringLiteral("/Version.txt");
    QVERIFY(writeFile(firmware, oldFirmware));
    QVERIFY(writeFile(version, "1.8"));
    LumetraInstaller installer(std::make_unique<FakeVolumes>(QStringList { volume.rootPath() }),
                               std::make_unique<SlowChecker>(0), std::make_unique<FakeEjectSystem>());
    Recorder recorder(&installer);

    QVERIFY(installer.updateLumetra());
    QVERIFY(recorder.waitForEnd());
    QTest::qWait(50);
    QStringList ends = recorder.events;
    ends.removeAll(QStringLiteral("p"));
    QCOMPARE(ends, QStringList { QStringLiteral("failed") });
    // The unit still reads as needing the update and is still recognised.
    QVERIFY(contentOf(firmware) == oldFirmware);
    QCOMPARE(contentOf(version), QByteArray("1.8"));
    QVERIFY(installer.doesLumetraNeedUpdate());
}

void TestUpdate::closingDuringTheUpdate()
{
    // The checker keeps the worker busy while the window closes: the backend must stop the
    // copy and wait, with no crash and the old firmware left whole.
    Unit unit(QByteArray("1.8"), 0.5);
    QVERIFY(unit.installer->updateLumetra());
    unit.installer.reset();

    QVERIFY(contentOf(unit.firmwarePath()) == oldFirmware);
    QCOMPARE(contentOf(unit.versionPath()), QByteArray("1.8"));
    QCOMPARE(QDir(unit.drive.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void TestUpdate::removal_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QString>("logged");

    QTest::newRow("ejected") << "ejects" << true << "";
    QTest::newRow("vetoed three times")
            << "vetoed" << false << "LumetraInstaller::uninstallUsb failed 5";
    QTest::newRow("volume cannot be opened")
            << "no volume" << false << "LumetraInstaller::uninstallUsb failed 2";
    QTest::newRow("no drive") << "no drive" << false << "";
    QTest::newRow("during a copy") << "copying" << false << "";
}

void TestUpdate::removal()
{
    QFETCH(QString, situation);
    QFETCH(bool, removed);
    QFETCH(QString, logged);

    Unit unit(QByteArray("1.8"), situation == QLatin1String("copying") ? 0.5 : 0);
    const QString drive = EjectLumetra::driveName(unit.drive.path());
    if (situation == QLatin1String("vetoed"))
        unit.eject->attempts = { { EjectSystem::resultRemoveVetoed, EjectSystem::vetoOutstandingOpen, L"busy" } };
    else if (situation == QLatin1String("no volume"))
        unit.eject->volume = "elsewhere";
    else if (situation == QLatin1String("no drive"))
        unit.volumes->setRootPaths({});
    else if (situation == QLatin1String("copying"))
        QVERIFY(unit.installer->updateLumetra());

    LogCapture log;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(unit.installer->uninstallUsb(), removed);
    const bool reachedTheEjector = !unit.eject->calls.empty();

    if (situation == QLatin1String("no drive") || situation == QLatin1String("copying")) {
        QVERIFY(!reachedTheEjector);
        QVERIFY(!log.hasLineStartingWith(QStringLiteral("diskName")));
    } else {
        // The drive is named, then a second's pause, then the ejector gets that drive.
        QCOMPARE(log.lines().value(0), QStringLiteral("diskName \"%1\"").arg(drive));
        QVERIFY(clock.elapsed() >= 1000);
        QCOMPARE(unit.eject->calls.front(), "openVolume " + drive.toStdString());
    }
    QCOMPARE(log.lines().contains(logged), !logged.isEmpty());
    if (situation == QLatin1String("copying")) {
        Recorder recorder(unit.installer.get());
        QVERIFY(recorder.waitForEnd());
    }
}

void TestUpdate::realVolume()
{
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    ScratchVolume volume;
    QVERIFY2(volume.isMounted(), qPrintable(volume.errorString()));
    const QString firmware = volume.rootPath() + QStringLiteral("/lumetra.bin");
    const QString version = volume.rootPath() + QStringLiteral("/Version.txt");
    QVERIFY(writeFile(firmware, oldFirmware));
    QVERIFY(writeFile(version, "1.8"));

    LumetraInstaller installer; // the program's own volume list and disk checker
    Recorder recorder(&installer);
    QVERIFY(installer.doesLumetraNeedUpdate());
    QVERIFY(installer.updateLumetra());
    QVERIFY(recorder.waitForEnd());
    QCOMPARE(recorder.events.last(), QStringLiteral("success"));
    QVERIFY(contentOf(firmware) == bundledFirmware());
    QCOMPARE(contentOf(version), QByteArray("1.73"));
    QVERIFY(!installer.doesLumetraNeedUpdate());
}

void TestUpdate::logAndHistory_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("logFiles");
    QTest::addColumn<QVariantMap>("record"); // none when the log's folder cannot be written

    const QVariantMap updated { { "outcome", "updated" }, { "versionBefore", "1.8" }, { "versionAfter", "1.73" },
                                { "bytesWritten", 411240 }, { "verified", true }, { "removal", 0 } };
    QTest::newRow("unit at 1.8: updated") << "" << 1 << updated;
    QTest::newRow("unit at 1.73: up to date") << "up to date" << 1
            << QVariantMap { { "outcome", "up to date" }, { "versionAfter", "1.73" }, { "removal", 0 } };
    QTest::newRow("full unit: failed, and why") << "full unit" << 1
            << QVariantMap { { "outcome", "failed" }, { "reason", "full drive" }, { "versionAfter", "1.8" } };
    QTest::newRow("log folder read-only: still updated") << "read-only" << 0 << QVariantMap();
    QTest::newRow("a file where the log folder should be") << "file" << 0 << QVariantMap();
    QTest::newRow("log volume full: still updated") << "full log" << 1 << QVariantMap();
    QTest::newRow("eleventh run: the oldest log goes") << "ten runs" << 10 << updated;
    QTest::newRow("torn last line in the history") << "torn" << 1 << updated;
}

void TestUpdate::logAndHistory()
{
    QFETCH(QString, situation);
    QFETCH(int, logFiles);
    QFETCH(QVariantMap, record);
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    // The log and the history on a volume of their own, as the window runs the update.
    ScratchVolume home(ScratchVolume::Kind::Tmpfs, situation == "full log" ? 4096 : 1 << 20);
    QVERIFY(home.isMounted() && (situation != "read-only" || home.remountReadOnly()));
    const QString folder = home.rootPath() + "/LumetraInstaller";
    QVERIFY(situation != "file" || writeFile(folder, "in the way"));
    QVERIFY(situation != "torn" || writeFile(folder + "/history.jsonl", "{\"start\":\"2020-"));
    for (int run = 0; situation == "ten runs" && run < 10; ++run)
        QVERIFY(writeFile(folder + QString("/LumetraInstaller-2020010%1-000000-000.log").arg(run), ""));
    LogCapture capture;
    LogFile log(folder);
    ScratchVolume volume(ScratchVolume::Kind::Tmpfs, situation == "full unit" ? 256 << 10 : 4 << 20);
    const QByteArray before = situation == "up to date" ? "1.73" : "1.8";
    QVERIFY(writeFile(volume.rootPath() + "/lumetra.bin", oldFirmware) && writeFile(volume.rootPath() + "/Version.txt", before));
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(volume.rootPath()).toStdString();
    LumetraInstaller installer(std::make_unique<FakeVolumes>(QStringList { volume.rootPath() }),
                               DiskCheckPlatform::create(), std::move(eject));
    UpdateHistory::attach(&installer, folder);
    Recorder recorder(&installer);
    if (installer.doesLumetraNeedUpdate() && installer.updateLumetra())
        QVERIFY(recorder.waitForEnd());
    installer.uninstallUsb(); // after a failure too: a removal adds no record of its own
    QCOMPARE(contentOf(volume.rootPath() + "/Version.txt"), recorder.events.contains("failed") ? before : "1.73");

    // Read while everything still runs: each line and record is in its file once it is made.
    QVariantList records;
    for (const QByteArray &line : contentOf(folder + "/history.jsonl").split('\n'))
        records.append(QJsonDocument::fromJson(line).toVariant()); // nothing for a torn line
    records.removeAll(QVariant());
    QCOMPARE(records.size(), record.isEmpty() ? 0 : 1);
    for (auto field = record.cbegin(); field != record.cend(); ++field)
        QCOMPARE(records.first().toMap().value(field.key()), field.value());
    QVERIFY(record.isEmpty() || records.first().toMap().value("root") == volume.rootPath());
    QCOMPARE(QDir(folder).entryList({ "LumetraInstaller-*.log" }, QDir::Files).size(), logFiles);
    // What cannot be kept is said once for the log and once for the history; all else is in the log.
    const QStringList said = capture.lines();
    QCOMPARE(said.filter(QRegularExpression("^LumetraInstaller: ")).size(), record.isEmpty() ? 2 : 0);
    QStringList logged = QString::fromUtf8(contentOf(log.filePath())).split('\n', Qt::SkipEmptyParts).mid(1);
    logged.replaceInStrings(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "), QString());
    QCOMPARE(logged.size(), record.isEmpty() ? 0 : said.size());
    QVERIFY(std::is_permutation(logged.begin(), logged.end(), said.begin()));
}

QTEST_GUILESS_MAIN(TestUpdate)
#include "tst_update.moc"
