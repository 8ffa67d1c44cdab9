#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "logcapture.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "updatehistory.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QJsonDocument>
#include <QtCore/QLoggingCategory>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtCore/QVersionNumber>
#include <QtTest/QtTest>

#include <sys/stat.h>

namespace {

const QByteArray oldFirmware(5000, 'o');

// One scratch volume from a list of entries: "name=content" a file, "name/" a directory,
// "name->target" a link (target relative to the volume, or absolute), "name|" a FIFO,
// "name:4G" a sparse file of 4 GiB.
bool layOut(const QString &root, const QStringList &entries)
{
    bool ok = QDir().mkpath(root);
    for (const QString &entry : entries) {
        const QString name = entry.section(QRegularExpression(QStringLiteral("=|->|\\||:4G")), 0, 0);
        const QString path = root + QLatin1Char('/') + name;
        ok = ok && QDir().mkpath(QFileInfo(path).absolutePath());
        if (entry.endsWith(QLatin1Char('/'))) {
            ok = ok && QDir().mkpath(path);
        } else if (entry.contains(QLatin1String("->"))) {
            const QString target = entry.section(QLatin1String("->"), 1);
            ok = ok && QFile::link(target.startsWith(QLatin1Char('/')) ? target : root + QLatin1Char('/') + target, path);
        } else if (entry.endsWith(QLatin1Char('|'))) {
            ok = ok && mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        } else {
            QFile file(path);
            ok = ok && file.open(QIODevice::WriteOnly) && file.write(entry.section(QLatin1Char('='), 1).toUtf8()) >= 0
                    && (!entry.endsWith(QLatin1String(":4G")) || file.resize(qint64(4) << 30));
        }
    }
    return ok;
}

// A checker that takes its time and has no verdict: the copy runs after it.
class SlowChecker : public DiskCheckPlatform
{
public:
    QString driveOf(const QString &path) const override { return QFileInfo(path).absolutePath(); }
    DiskCheckCommand checkCommand(const QString &) const override { return { QStringLiteral("sleep"), { QStringLiteral("0.3") }, QString() }; }
    DiskCheckCommand repairCommand(const QString &) const override { return {}; }
    int verdictWithoutSentence(int) const override { return -1; }
};

// What the screens and the other faces see of one update, in order.
struct Events : QObject
{
    explicit Events(LumetraInstaller *installer)
    {
        connect(installer, &LumetraInstaller::copyFileProgress, this, [this](double v) { if (list.value(list.size() - 1) != "p") list << "p"; last = v; });
        connect(installer, &LumetraInstaller::updateFirmwareSuccess, this, [this] { list << "success"; });
        connect(installer, &LumetraInstaller::updateFirmwareFailed, this, [this] { list << "failed"; });
        connect(installer, &LumetraInstaller::updateFailedBecause, this, [this](const QString &r) { list << r; });
        connect(installer, &LumetraInstaller::versionWritten, this, [this](const QString &v) { list << "version " + v; });
        connect(installer, &LumetraInstaller::foundUpToDate, this, [this](const QString &v) { list << "up to date " + v; });
        connect(installer, &LumetraInstaller::removalFinished, this, [this](int code) { list << "removal " + QString::number(code); });
    }
    bool waitForEnd()
    {
        QElapsedTimer clock;
        clock.start();
        while (!list.contains("success") && !list.contains("failed") && clock.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return clock.elapsed() < 30000;
    }
    QStringList list;
    double last = -1;
};

} // namespace

// The backend as the screens use it: which drive is the unit, whether it needs the update,
// the update with its version file, and the removal of the right drive.
class TestBackend : public QObject
{
    Q_OBJECT

private slots:
    void discovery_data();
    void discovery();
    void update_data();
    void update();
    void logAndHistory_data();
    void logAndHistory();
};

void TestBackend::discovery_data()
{
    QTest::addColumn<QList<QStringList>>("volumes");
    QTest::addColumn<QString>("version");
    using V = QList<QStringList>;
    const QString m = QStringLiteral("lumetra.bin=old");
    QTest::newRow("marker in the root") << V { { m, "Version.txt=1.8" } } << "1.8";
    QTest::newRow("marker only in a sub-directory") << V { { "sub/lumetra.bin=x", "Version.txt=1.8" } } << "";
    QTest::newRow("a directory named lumetra.bin") << V { { "lumetra.bin/", "Version.txt=1.8" } } << "";
    QTest::newRow("upper case") << V { { "LUMETRA.BIN=x", "Version.txt=1.8" } } << "";
    QTest::newRow("similar name") << V { { "lumetra.bin.old=x", "Version.txt=1.8" } } << "";
    QTest::newRow("hidden") << V { { ".lumetra.bin=x", "Version.txt=1.8" } } << "";
    QTest::newRow("unmarked volume first") << V { { "Version.txt=1.1" }, { m, "Version.txt=1.8" } } << "1.8";
    QTest::newRow("two units: the first wins") << V { { m, "Version.txt=1.73" }, { m, "Version.txt=1.8" } } << "1.73";
    QTest::newRow("two units, other order") << V { { m, "Version.txt=1.8" }, { m, "Version.txt=1.73" } } << "1.8";
    QTest::newRow("no version file") << V { { m } } << "1.0";
    QTest::newRow("1.73 with a line end") << V { { m, "Version.txt=1.73\n" } } << "1.73\n";
    QTest::newRow("CR LF read back as LF") << V { { m, "Version.txt=1.73\r\n" } } << "1.73\n";
    QTest::newRow("1.100 is newer") << V { { m, "Version.txt=1.100" } } << "1.100";
    QTest::newRow("2") << V { { m, "Version.txt=2" } } << "2";
    QTest::newRow("1.72") << V { { m, "Version.txt=1.72" } } << "1.72";
    QTest::newRow("empty file") << V { { m, "Version.txt=" } } << "";
    QTest::newRow("no version in it") << V { { m, "Version.txt=unknown" } } << "unknown";
    QTest::newRow("FIFO") << V { { m, "Version.txt|" } } << "1.0";
    QTest::newRow("directory") << V { { m, "Version.txt/" } } << "1.0";
    QTest::newRow("sparse 4 GiB") << V { { m, "Version.txt:4G" } } << "1.0";
    QTest::newRow("just over 4096 bytes") << V { { m, "Version.txt=1.8" + QString(4096, '\n') } } << "1.0";
    QTest::newRow("link to /dev/zero") << V { { m, "Version.txt->/dev/zero" } } << "1.0";
    QTest::newRow("link off the drive") << V { { m, "Version.txt->../v1/Version.txt" }, { "Version.txt=1.8" } } << "1.0";
    QTest::newRow("link on the drive") << V { { m, "Version.txt->real.txt", "real.txt=1.8" } } << "1.8";
    QTest::newRow("dangling link") << V { { m, "Version.txt->nothing" } } << "1.0";
}

void TestBackend::discovery()
{
    QFETCH(QList<QStringList>, volumes);
    QFETCH(QString, version);

    QTemporaryDir work;
    QStringList roots;
    for (const QStringList &entries : volumes) {
        roots << work.filePath(QStringLiteral("v%1").arg(roots.size()));
        QVERIFY(layOut(roots.last(), entries));
    }
    auto fake = std::make_unique<FakeVolumes>(roots);
    FakeVolumes *plugged = fake.get();
    LumetraInstaller installer(std::move(fake));
    const bool connected = !version.isEmpty() || volumes.value(0).contains(QStringLiteral("Version.txt="));
    QCOMPARE(installer.isLumetraConnected(), connected);
    const QString current = installer.getCurrentVersionNumber();
    QCOMPARE(current, connected ? version : QStringLiteral("1.0"));
    // Compared as version numbers: 1.8 and 1.72 are older than 1.73, 1.100 and 2 newer.
    const QVersionNumber number = QVersionNumber::fromString(current);
    QCOMPARE(installer.doesLumetraNeedUpdate(), number.isNull() || QVersionNumber(1, 73) > number);
    plugged->setRootPaths({});
    QVERIFY(!installer.isLumetraConnected());
    QCOMPARE(installer.getCurrentVersionNumber(), QStringLiteral("1.0"));
}

enum class Case { Update, LinkedMarker, VersionIsDirectory, SecondUpdate, RemovalDuringCopy, UpdatedUnitPulled,
                  Vetoed, FullVolume, SystemVolumes, Busy, UpdatedMeanwhile };
Q_DECLARE_METATYPE(Case)

void TestBackend::update_data()
{
    QTest::addColumn<Case>("what");
    QTest::addColumn<QByteArray>("versionBefore");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("versionAfter");

    const QStringList updated = { "p", "version 1.73", "success", "removal 0" };
    QTest::newRow("1.8: updated, version written, removed") << Case::Update << QByteArray("1.8") << updated << QByteArray("1.73");
    QTest::newRow("several CR LF lines: only 1.73 afterwards") << Case::Update << QByteArray("1.8\r\nserial 42\r\n") << updated << QByteArray("1.73");
    QTest::newRow("no version file: written") << Case::Update << QByteArray() << updated << QByteArray("1.73");
    QTest::newRow("marker is a link off the drive: refused") << Case::LinkedMarker << QByteArray("1.8") << QStringList() << QByteArray("1.8");
    QTest::newRow("version file is a directory: failure, offered again")
            << Case::VersionIsDirectory << QByteArray() << QStringList { "p", "could not write Version.txt", "failed", "removal 0" } << QByteArray("<none>");
    QTest::newRow("second update during the copy: refused") << Case::SecondUpdate << QByteArray("1.8") << updated << QByteArray("1.73");
    QTest::newRow("removal during the copy: refused") << Case::RemovalDuringCopy << QByteArray("1.8") << QStringList { "removal -1" } + updated << QByteArray("1.73");
    QTest::newRow("two units, the updated one pulled: the other keeps its version, nothing removed")
            << Case::UpdatedUnitPulled << QByteArray("1.8") << QStringList { "p", "drive gone", "failed", "removal -1" } << QByteArray("<none>");
    QTest::newRow("removal vetoed: its code") << Case::Vetoed << QByteArray("1.8") << QStringList { "p", "version 1.73", "success", "removal 2" } << QByteArray("1.73");
    QTest::newRow("another updater holds the unit: busy at once, nothing else") << Case::Busy << QByteArray("1.8") << QStringList { "busy" } << QByteArray("1.73");
    QTest::newRow("another updater finished meanwhile: up to date, not written again")
            << Case::UpdatedMeanwhile << QByteArray("1.8") << QStringList { "p", "up to date 1.73", "success", "removal 0" } << QByteArray("1.73");
    QTest::newRow("root: a full volume fails and keeps its version") << Case::FullVolume << QByteArray("1.8") << QStringList { "p", "full drive", "failed" } << QByteArray("1.8");
    QTest::newRow("root: a real volume found in the system's list") << Case::SystemVolumes << QByteArray("1.8") << QStringList { "p", "version 1.73", "success" } << QByteArray("1.73");
}

void TestBackend::update()
{
    QFETCH(Case, what);
    QFETCH(QByteArray, versionBefore);
    QFETCH(QStringList, events);
    QFETCH(QByteArray, versionAfter);

    QTemporaryDir work;
    std::unique_ptr<ScratchVolume> volume;
    QString drive = work.filePath(QStringLiteral("unit"));
    const QString other = work.filePath(QStringLiteral("other"));
    if (what == Case::FullVolume || what == Case::SystemVolumes) {
        if (!ScratchVolume::unavailableReason().isEmpty())
            QSKIP(qPrintable(ScratchVolume::unavailableReason()));
        volume = std::make_unique<ScratchVolume>(ScratchVolume::Kind::Tmpfs, what == Case::FullVolume ? 64 * 1024 : 4 << 20);
        QVERIFY(volume->isMounted());
        drive = volume->rootPath();
    }
    QStringList entries = { "lumetra.bin=" + QString::fromLatin1(oldFirmware) };
    if (!versionBefore.isNull())
        entries << "Version.txt=" + QString::fromLatin1(versionBefore);
    if (what == Case::LinkedMarker)
        entries = QStringList { "lumetra.bin->" + other + "/lumetra.bin", QStringLiteral("Version.txt=1.8") };
    if (what == Case::VersionIsDirectory)
        entries << "Version.txt/";
    QVERIFY(layOut(drive, entries) && layOut(other, { "lumetra.bin=other", "Version.txt=1.8" }));

    auto volumes = std::make_unique<FakeVolumes>(QStringList { drive, other });
    FakeVolumes *plugged = volumes.get();
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(what == Case::Vetoed ? other : drive).toStdString();
    auto installer = what == Case::SystemVolumes ? std::make_unique<LumetraInstaller>()
            : std::make_unique<LumetraInstaller>(std::move(volumes), std::make_unique<SlowChecker>(), std::move(eject));
    Events seen(installer.get());
    // Pulled during the check, which takes 0.3 s.
    connect(installer.get(), &LumetraInstaller::copyFileProgress, this, [&](double value) {
        if (value == 0.0 && what == Case::UpdatedUnitPulled && QDir(drive).removeRecursively())
            plugged->setRootPaths({ other });
    });
    LogCapture log;

    QVERIFY(installer->doesLumetraNeedUpdate());
    // A window or a command line of another process, as far as the lock can tell.
    auto rival = std::make_unique<LumetraInstaller>(std::make_unique<FakeVolumes>(QStringList { drive }),
                                                    std::make_unique<SlowChecker>(), std::make_unique<FakeEjectSystem>());
    Events rivalSeen(rival.get());
    if (what == Case::Busy || what == Case::UpdatedMeanwhile)
        QVERIFY(rival->updateLumetra());
    if (what == Case::UpdatedMeanwhile) {
        QVERIFY(rivalSeen.waitForEnd());
        rival.reset(); // its program ends
    }
    QCOMPARE(installer->updateLumetra(), what != Case::LinkedMarker && what != Case::Busy);
    if (what == Case::Busy)
        QVERIFY(rivalSeen.waitForEnd());
    if (what == Case::SecondUpdate)
        QVERIFY(!installer->updateLumetra());
    if (what == Case::RemovalDuringCopy)
        QVERIFY(!installer->uninstallUsb());
    if (what != Case::LinkedMarker && what != Case::Busy) {
        QVERIFY(seen.waitForEnd());
        QCOMPARE(seen.last, seen.list.contains("success") ? 1.0 : seen.last);
        if (what != Case::SystemVolumes && what != Case::FullVolume)
            installer->uninstallUsb();
    }
    QCOMPARE(seen.list, events);
    QCOMPARE(contentOf(drive + "/Version.txt"), versionAfter);
    if (what != Case::UpdatedUnitPulled && what != Case::LinkedMarker) {
        QFile bundled(QStringLiteral(":/UpdatedFirmware/lumetra.bin"));
        QVERIFY(bundled.open(QIODevice::ReadOnly));
        QVERIFY2(contentOf(drive + "/lumetra.bin") == (seen.list.contains("failed") && what != Case::VersionIsDirectory ? oldFirmware : bundled.readAll()),
                 "neither the old firmware nor the new one");
    }
    QCOMPARE(contentOf(other + "/Version.txt"), QByteArray("1.8"));
    QCOMPARE(contentOf(other + "/lumetra.bin"), QByteArray("other"));
    // The drive is named, a second's pause, then the ejector is asked.
    if (events.contains("removal 0"))
        QVERIFY(log.hasLineStartingWith("diskName \"" + EjectLumetra::driveName(drive) + '"'));
}

void TestBackend::logAndHistory_data()
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
    QTest::newRow("eleventh run while the oldest still writes: that log stays") << "held" << 11 << updated;
    QTest::newRow("history.jsonl is a link: not followed, the update goes on") << "linked" << 1 << QVariantMap();
    QTest::newRow("another run halfway through its record: both lines whole") << "other writer" << 1 << updated;
    QTest::newRow("1,000 identical Qt warnings: two lines in the log") << "repeated" << 1 << updated;
}

// Runs command in the background once it says "held" (a real second process holding a lock).
static bool startHolding(QProcess &holder, const QString &command)
{
    holder.start(QStringLiteral("sh"), { QStringLiteral("-c"), command });
    return holder.waitForReadyRead(5000) && holder.readAll().startsWith("held");
}

void TestBackend::logAndHistory()
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
    QVERIFY(situation != "file" || layOut(home.rootPath(), { "LumetraInstaller=in the way" }));
    QVERIFY(situation != "torn" || layOut(folder, { "history.jsonl={\"start\":\"2020-" }));
    for (int run = 0; (situation == "ten runs" || situation == "held") && run < 10; ++run)
        QVERIFY(layOut(folder, { QString("LumetraInstaller-2020010%1-000000-000.log=").arg(run) }));
    QVERIFY(situation != "linked" || layOut(home.rootPath(), { "elsewhere=", "LumetraInstaller/history.jsonl->elsewhere" }));
    // Another run, a --watch started long ago, still writes the oldest log.
    QProcess holder;
    QVERIFY(situation != "held" || startHolding(holder, "exec flock -o " + folder + "/LumetraInstaller-20200100-000000-000.log"
                                                        " sh -c 'echo held; exec sleep 30'"));
    LogCapture capture;
    auto log = std::make_unique<LogFile>(folder);
    ScratchVolume volume(ScratchVolume::Kind::Tmpfs, situation == "full unit" ? 256 << 10 : 4 << 20);
    const QString before = situation == "up to date" ? "1.73" : "1.8";
    QVERIFY(layOut(volume.rootPath(), { "lumetra.bin=" + QString::fromLatin1(oldFirmware), "Version.txt=" + before }));
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(volume.rootPath()).toStdString();
    LumetraInstaller installer(std::make_unique<FakeVolumes>(QStringList { volume.rootPath() }),
                               DiskCheckPlatform::create(), std::move(eject));
    UpdateHistory::attach(&installer, folder);
    Events seen(&installer);
    if (installer.doesLumetraNeedUpdate() && installer.updateLumetra())
        QVERIFY(seen.waitForEnd());
    // The record comes with the removal, a second after it starts; another run is halfway through
    // writing one of its own until then.
    QProcess writer;
    QVERIFY(situation != "other writer" || startHolding(writer, "cd " + folder + " && exec flock history.jsonl sh -c "
                                                        "'printf {\\\"start\\\": >>history.jsonl; echo held; sleep 1.5; "
                                                        "echo \\\"other\\\"} >>history.jsonl'"));
    installer.uninstallUsb(); // after a failure too: a removal adds no record of its own
    QVERIFY(situation != "other writer" || writer.waitForFinished(5000));
    QCOMPARE(contentOf(volume.rootPath() + "/Version.txt"), seen.list.contains("failed") ? before.toLatin1() : "1.73");

    // Read while everything still runs: each line and record is in its file once it is made.
    QVariantList records;
    for (const QByteArray &line : contentOf(folder + "/history.jsonl").split('\n'))
        records.append(QJsonDocument::fromJson(line).toVariant()); // nothing for a torn line
    records.removeAll(QVariant());
    QCOMPARE(records.size(), (record.isEmpty() ? 0 : 1) + (situation == "other writer" ? 1 : 0));
    for (auto field = record.cbegin(); field != record.cend(); ++field)
        QCOMPARE(records.last().toMap().value(field.key()), field.value());
    QVERIFY(record.isEmpty() || records.last().toMap().value("root") == volume.rootPath());
    QVERIFY(situation != "linked" || contentOf(home.rootPath() + "/elsewhere").isEmpty()); // what the link names
    QCOMPARE(QDir(folder).entryList({ "LumetraInstaller-*.log" }, QDir::Files).size(), logFiles);
    // This run's log is held as that one was: the next runs leave it too.
    QVERIFY(situation != "held" || QProcess::execute("flock", { "-n", log->filePath(), "true" }) == 1);
    holder.kill();
    holder.waitForFinished();
    // What cannot be kept is said once for the log and once for the history; all else is in the log.
    const QStringList said = capture.lines();
    const bool logLost = logFiles == 0 || situation == "full log";
    const int complaints = (record.isEmpty() ? 1 : 0) + (logLost ? 1 : 0);
    QCOMPARE(said.filter(QRegularExpression("^LumetraInstaller: ")).size(), complaints);
    QStringList logged = QString::fromUtf8(contentOf(log->filePath())).split('\n', Qt::SkipEmptyParts).mid(1);
    logged.replaceInStrings(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (lumetra\\.\\w+: )?"),
                            QString());
    QCOMPARE(logged.size(), logLost ? 0 : said.size());
    QVERIFY(std::is_permutation(logged.begin(), logged.end(), said.begin()));

    // Qt's own messages in bulk: the first, and at the run's end how often it came again.
    const QLoggingCategory repeating("qt.test.repeat");
    for (int i = 0; situation == "repeated" && i < 1000; ++i)
        qCWarning(repeating) << "ValueChanged event and no ValueInterface";
    const QString path = log->filePath();
    log.reset();
    const QStringList repeated = QString::fromUtf8(contentOf(path)).split('\n').filter("qt.test.repeat");
    QCOMPARE(repeated.size(), situation == "repeated" ? 2 : 0);
    QVERIFY(situation != "repeated" || repeated.last().contains("repeated 999 times"));
}

QTEST_GUILESS_MAIN(TestBackend)
#include "tst_backend.moc"
