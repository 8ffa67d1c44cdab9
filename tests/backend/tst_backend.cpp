#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "logcapture.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "updatehistory.h"

#include <QtCore/QDir>
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
// "name->target" a link (target relative to the volume, or absolute), "name|" a FIFO.
bool layOut(const QString &root, const QStringList &entries)
{
    bool ok = QDir().mkpath(root);
    for (const QString &entry : entries) {
        const QString name = entry.section(QRegularExpression(QStringLiteral("=|->|\\|")), 0, 0);
        const QString path = root + QLatin1Char('/') + name;
        ok = ok && QDir().mkpath(QFileInfo(path).absolutePath());
        if (entry.endsWith(QLatin1Char('/'))) {
            ok = ok && QDir().mkpath(path);
        } else if (entry.contains(QLatin1String("->"))) {
            const QString target = entry.section(QLatin1String("->"), 1);
            ok = ok && QFile::link(target.startsWith('/') ? target : root + '/' + target, path);
        } else if (entry.endsWith(QLatin1Char('|'))) {
            ok = ok && mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        } else {
            QFile file(path);
            ok = ok && file.open(QIODevice::WriteOnly) && file.write(entry.section('=', 1).toUtf8()) >= 0;
        }
    }
    return ok;
}

// A checker that takes its time and has no verdict: the copy runs after it.
class SlowChecker : public DiskCheckPlatform
{
public:
    QString driveOf(const QString &path) const override { return QFileInfo(path).absolutePath(); }
    DiskCheckCommand checkCommand(const QString &) const override { return { "sleep", { "0.3" }, QString() }; }
    DiskCheckCommand repairCommand(const QString &) const override { return {}; }
    int verdictWithoutSentence(int) const override { return -1; }
};

// What the screens and the other faces see of one update, in order.
struct Events : QObject
{
    explicit Events(LumetraInstaller *installer)
    {
        using L = LumetraInstaller;
        connect(installer, &L::copyFileProgress, this, [this](double v) {
            if (list.value(list.size() - 1) != "p")
                list << "p";
            last = v;
        });
        connect(installer, &L::updateFirmwareSuccess, this, [this] { list << "success"; });
        connect(installer, &L::updateFirmwareFailed, this, [this] { list << "failed"; });
        connect(installer, &L::updateFailedBecause, this, [this](const QString &r) { list << r; });
        connect(installer, &L::versionWritten, this, [this](const QString &v) { list << "version " + v; });
        connect(installer, &L::foundUpToDate, this, [this](const QString &v) { list << "up to date " + v; });
        connect(installer, &L::removalFinished, this, [this](int code) { list << "removal " + QString::number(code); });
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return list.contains("success") || list.contains("failed"); }, 30000);
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
    QTest::newRow("unmarked volume first") << V { { "Version.txt=1.1" }, { m, "Version.txt=1.8" } } << "1.8";
    QTest::newRow("two units: the first wins") << V { { m, "Version.txt=1.73" }, { m, "Version.txt=1.8" } } << "1.73";
    QTest::newRow("no version file") << V { { m } } << "1.0";
    QTest::newRow("1.73 with a line end") << V { { m, "Version.txt=1.73\n" } } << "1.73\n";
    QTest::newRow("CR LF read back as LF") << V { { m, "Version.txt=1.73\r\n" } } << "1.73\n";
    QTest::newRow("1.100 is newer") << V { { m, "Version.txt=1.100" } } << "1.100";
    QTest::newRow("1.72") << V { { m, "Version.txt=1.72" } } << "1.72";
    QTest::newRow("empty file") << V { { m, "Version.txt=" } } << "";
    QTest::newRow("no version in it") << V { { m, "Version.txt=unknown" } } << "unknown";
    QTest::newRow("FIFO") << V { { m, "Version.txt|" } } << "1.0";
    QTest::newRow("directory") << V { { m, "Version.txt/" } } << "1.0";
    QTest::newRow("just over 4096 bytes") << V { { m, "Version.txt=1.8" + QString(4096, '\n') } } << "1.0";
    QTest::newRow("link to /dev/zero") << V { { m, "Version.txt->/dev/zero" } } << "1.0";
    QTest::newRow("link off the drive") << V { { m, "Version.txt->../v1/Version.txt" }, { "Version.txt=1.8" } }
                                        << "1.0";
    QTest::newRow("link on the drive") << V { { m, "Version.txt->real.txt", "real.txt=1.8" } } << "1.8";
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

// A full volume is logAndHistory's, the system's own volume list the end-to-end test's.
enum class Case { Update, LinkedMarker, VersionIsDirectory, SecondUpdate, RemovalDuringCopy, UpdatedUnitPulled,
                  Vetoed, Busy, UpdatedMeanwhile };
Q_DECLARE_METATYPE(Case)

void TestBackend::update_data()
{
    QTest::addColumn<Case>("what");
    QTest::addColumn<QByteArray>("versionBefore");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("versionAfter");

    const auto row = [](const char *name, Case what, const QStringList &events, const char *after = "1.73",
                        const char *before = "1.8") {
        QTest::newRow(name) << what << QByteArray(before) << events << QByteArray(after);
    };
    const QStringList updated = { "p", "version 1.73", "success", "removal 0" };
    row("1.8: updated, version written, removed", Case::Update, updated);
    row("several CR LF lines: only 1.73 afterwards", Case::Update, updated, "1.73", "1.8\r\nserial 42\r\n");
    row("no version file: written", Case::Update, updated, "1.73", nullptr);
    row("marker is a link off the drive: refused", Case::LinkedMarker, {}, "1.8");
    row("version file is a directory: failure, offered again", Case::VersionIsDirectory,
        { "p", "could not write Version.txt", "failed", "removal 0" }, "<none>", nullptr);
    row("second update during the copy: refused", Case::SecondUpdate, updated);
    row("removal during the copy: refused", Case::RemovalDuringCopy, QStringList { "removal -1" } + updated);
    row("two units, the updated one pulled: the other keeps its version, nothing removed", Case::UpdatedUnitPulled,
        { "p", "drive gone", "failed", "removal -1" }, "<none>");
    row("removal vetoed: its code", Case::Vetoed, { "p", "version 1.73", "success", "removal 2" });
    row("another updater holds the unit: busy at once, nothing else", Case::Busy, { "busy" });
    row("another updater finished meanwhile: up to date, not written again", Case::UpdatedMeanwhile,
        { "p", "up to date 1.73", "success", "removal 0" });
}

void TestBackend::update()
{
    QFETCH(Case, what);
    QFETCH(QByteArray, versionBefore);
    QFETCH(QStringList, events);
    QFETCH(QByteArray, versionAfter);

    QTemporaryDir work;
    const QString drive = work.filePath("unit"), other = work.filePath("other");
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
    auto installer = std::make_unique<LumetraInstaller>(std::move(volumes), std::make_unique<SlowChecker>(),
                                                        std::move(eject));
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
                                                    std::make_unique<SlowChecker>(),
                                                    std::make_unique<FakeEjectSystem>());
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
        installer->uninstallUsb();
    }
    QCOMPARE(seen.list, events);
    QCOMPARE(contentOf(drive + "/Version.txt"), versionAfter);
    if (what != Case::UpdatedUnitPulled && what != Case::LinkedMarker) {
        QFile bundled(QStringLiteral(":/UpdatedFirmware/lumetra.bin"));
        QVERIFY(bundled.open(QIODevice::ReadOnly));
        const bool old = seen.list.contains("failed") && what != Case::VersionIsDirectory;
        QVERIFY2(contentOf(drive + "/lumetra.bin") == (old ? oldFirmware : bundled.readAll()), "neither old nor new");
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

    const auto row = [](const char *name, const char *situation, int logFiles, const QVariantMap &record) {
        QTest::newRow(name) << situation << logFiles << record;
    };
    const QVariantMap updated { { "outcome", "updated" }, { "versionBefore", "1.8" }, { "versionAfter", "1.73" },
                                { "bytesWritten", 411240 }, { "verified", true }, { "removal", 0 } };
    row("unit at 1.8: updated", "", 1, updated);
    row("unit at 1.73: up to date", "up to date", 1, { { "outcome", "up to date" }, { "versionAfter", "1.73" },
                                                        { "removal", 0 } });
    row("full unit: failed, and why", "full unit", 1, { { "outcome", "failed" }, { "reason", "full drive" },
                                                        { "versionAfter", "1.8" } });
    row("window closed during the update: on record as failed", "closed", 1, { { "outcome", "failed" },
                                                                                { "versionAfter", "1.8" } });
    row("log folder read-only: still updated", "read-only", 0, {});
    row("a file where the log folder should be", "file", 0, {});
    row("log volume full: still updated", "full log", 1, {});
    row("a log past 2 MiB: no more progress lines", "big log", 1, updated);
    row("eleventh run: the oldest log goes", "ten runs", 10, updated);
    row("torn last line in the history", "torn", 1, updated);
    row("eleventh run while the oldest still writes: that log stays", "held", 11, updated);
    row("history.jsonl is a link: not followed, the update goes on", "linked", 1, {});
    row("another run halfway through its record: both lines whole", "other writer", 1, updated);
    row("1,000 identical Qt warnings: two lines in the log", "repeated", 1, updated);
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
    ScratchVolume home(ScratchVolume::Kind::Tmpfs, situation == "full log" ? 4096 : 4 << 20);
    QVERIFY(home.isMounted() && (situation != "read-only" || home.remountReadOnly()));
    const QString folder = home.rootPath() + "/LumetraInstaller";
    QVERIFY(situation != "file" || layOut(home.rootPath(), { "LumetraInstaller=in the way" }));
    QVERIFY(situation != "torn" || layOut(folder, { "history.jsonl={\"start\":\"2020-" }));
    for (int run = 0; (situation == "ten runs" || situation == "held") && run < 10; ++run)
        QVERIFY(layOut(folder, { QString("LumetraInstaller-2020010%1-000000-000.log=").arg(run) }));
    QVERIFY(situation != "linked"
            || layOut(home.rootPath(), { "elsewhere=", "LumetraInstaller/history.jsonl->elsewhere" }));
    // Another run, a --watch started long ago, still writes the oldest log.
    QProcess holder;
    const QString oldest = folder + "/LumetraInstaller-20200100-000000-000.log";
    const QString holding = "exec flock -o " + oldest + " sh -c 'echo held; exec sleep 30'";
    QVERIFY(situation != "held" || startHolding(holder, holding));
    LogCapture capture;
    auto log = std::make_unique<LogFile>(folder);
    // The log's 2 MiB used up before the update begins.
    const QLoggingCategory earlier("lumetra.test");
    for (int i = 0; situation == "big log" && i < 2100; ++i)
        qCDebug(earlier, "%s", QByteArray(1000, 'x').constData());
    ScratchVolume volume(ScratchVolume::Kind::Tmpfs, situation == "full unit" ? 256 << 10 : 4 << 20);
    const QString before = situation == "up to date" ? "1.73" : "1.8";
    QVERIFY(layOut(volume.rootPath(), { "lumetra.bin=" + QString::fromLatin1(oldFirmware), "Version.txt=" + before }));
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(volume.rootPath()).toStdString();
    auto checker = situation == "closed" ? std::unique_ptr<DiskCheckPlatform>(std::make_unique<SlowChecker>())
                                         : DiskCheckPlatform::create();
    auto unit = std::make_unique<FakeVolumes>(QStringList { volume.rootPath() });
    auto installer = std::make_unique<LumetraInstaller>(std::move(unit), std::move(checker), std::move(eject));
    UpdateHistory::attach(installer.get(), folder);
    Events seen(installer.get());
    const bool started = installer->doesLumetraNeedUpdate() && installer->updateLumetra();
    if (situation == "closed")
        installer.reset(); // with the window, during the check
    else if (started)
        QVERIFY(seen.waitForEnd());
    // The record comes with the removal, a second after it starts; another run is halfway through
    // writing one of its own until then.
    QProcess writer;
    QVERIFY(situation != "other writer"
            || startHolding(writer, "cd " + folder + " && exec flock history.jsonl sh -c 'printf {\\\"start\\\": "
                                    ">>history.jsonl; echo held; sleep 1.5; echo \\\"other\\\"} >>history.jsonl'"));
    if (installer)
        installer->uninstallUsb(); // after a failure too: a removal adds no record of its own
    QVERIFY(situation != "other writer" || writer.waitForFinished(5000));
    const bool kept = seen.list.contains("failed") || !installer;
    QCOMPARE(contentOf(volume.rootPath() + "/Version.txt"), kept ? before.toLatin1() : "1.73");

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
    // Past the cap, the per-block lines are left out.
    if (situation == "" || situation == "big log")
        QCOMPARE(logged.filter(" lumetra.progress: ").isEmpty(), situation == "big log");
    logged.replaceInStrings(QRegularExpression("^[-0-9]{10} [:.0-9]{12} (lumetra\\.\\w+: )?"), QString());
    if (situation != "big log") {
        QCOMPARE(logged.size(), logLost ? 0 : said.size());
        QVERIFY(std::is_permutation(logged.begin(), logged.end(), said.begin()));
    }

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
