#include "ejectlumetra.h"
#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "logcapture.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "updatehistory.h"

#include <QtTest/QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray oldFirmware(5000, 'o');

// One scratch volume from a list of entries: "name=content" a file, "name/" a directory, "name->target" a link
// (target relative to the volume, or absolute), "name|" a FIFO.
bool layOut(const QString &root, const QStringList &entries)
{
    bool ok = QDir().mkpath(root);
    for (const QString &entry : entries) {
        const QString path = root + '/' + entry.section(QRegularExpression(QStringLiteral("=|->|\\|")), 0, 0);
        const QString target = entry.section(QLatin1String("->"), 1);
        QFile file(path);
        ok = ok && QDir().mkpath(QFileInfo(path).absolutePath())
                && (entry.endsWith('/') ? QDir().mkpath(path)
                    : !target.isEmpty() ? QFile::link(target.startsWith('/') ? target : root + '/' + target, path)
                    : entry.endsWith('|') ? mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                    : file.open(QIODevice::WriteOnly) && file.write(entry.section('=', 1).toUtf8()) >= 0);
    }
    return ok;
}

// What the screens and the other faces see of one update, in order.
struct Events : QObject
{
    explicit Events(LumetraInstaller *installer)
    {
        using L = LumetraInstaller;
        connect(installer, &L::copyFileProgress, this, [this] { if (list.value(list.size() - 1) != "p") list << "p"; });
        connect(installer, &L::updateFirmwareSuccess, this, [this] { list << "success"; });
        connect(installer, &L::updateFirmwareFailed, this, [this] { list << "failed"; });
        connect(installer, &L::updateFailedBecause, this, [this](UpdateFailure::Reason reason) {
            list << QMetaEnum::fromType<UpdateFailure::Reason>().valueToKey(reason);
        });
        connect(installer, &L::versionWritten, this, [this](const QString &v) { list << "version " + v; });
        connect(installer, &L::foundUpToDate, this, [this](const QString &v) { list << "up to date " + v; });
        connect(installer, &L::removalFinished, this, [this](int code) { list << "removal " + QString::number(code); });
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return list.contains("success") || list.contains("failed"); }, 30000);
    }
    QStringList list;
};

// The unit's drive: a scratch volume of so many bytes holding an old image of so many.
struct Drive { qint64 room; int oldImage; };
// Where the log and the history are kept: a scratch volume of so many bytes, read-only or not, what it holds before
// (as layOut() takes it; their folder is LumetraInstaller/), how many 1000-byte lines the log was given before the
// update, how often one Qt warning comes after it, and whether another run still writes the oldest log.
struct Home { qint64 room; bool readOnly; QStringList entries; int earlierLines, repeats; bool heldOldest = false; };

// One update as the window runs it, beside a second unit, with the log and the history on a volume of their own. The
// disk check waits for the test (the checker reads a FIFO), so a row acts while the update runs.
struct Scene
{
    enum Moment { BeforeUpdate, WhileRunning, BeforeRemoval, AfterRemoval };
    using Act = std::function<bool(Scene &)>;
    struct Step { Moment at; Act act; };

    // Lets the disk check end once the checker waits on the FIFO; false when none came.
    bool releaseCheck()
    {
        int fd = -1;
        released = released || QTest::qWaitFor([&] { return (fd = ::open(fifo, O_WRONLY | O_NONBLOCK)) >= 0; }, 10000);
        return released && (fd < 0 || ::close(fd) == 0);
    }
    // The run has begun (its first progress is in): the disk check runs.
    bool begun() { return QTest::qWaitFor([this] { return seen->list.contains("p"); }); }
    // Another window or command line, of another process, updates the unit to its end.
    bool rivalUpdates()
    {
        LumetraInstaller rival(std::make_unique<FakeVolumes>(QStringList { drive }),
                               std::make_unique<ShellChecker>("true"), std::make_unique<FakeEjectSystem>());
        Events rivalSeen(&rival);
        return rival.updateLumetra() && rivalSeen.waitForEnd();
    }
    bool perform(Moment moment)
    {
        return std::all_of(steps.begin(), steps.end(),
                           [&](const Step &step) { return step.at != moment || step.act(*this); });
    }

    QVector<Step> steps;
    QString drive, other;
    QByteArray fifo;
    bool released = false;
    std::unique_ptr<ScratchVolume> driveVolume;
    FakeVolumes *plugged = nullptr;
    FakeEjectSystem *ejectSystem = nullptr;
    std::unique_ptr<LumetraInstaller> installer;
    std::unique_ptr<Events> seen;
};
using Steps = QVector<Scene::Step>;

// A row's run, kept for its checks.
struct Run
{
    // The history's records, a torn line left out.
    QVariantList records() const
    {
        QVariantList all;
        for (const QByteArray &line : contentOf(folder + "/history.jsonl").split('\n'))
            all.append(QJsonDocument::fromJson(line).toVariant());
        all.removeAll(QVariant());
        return all;
    }

    std::unique_ptr<ScratchVolume> home;
    QString folder;
    std::unique_ptr<LogCapture> capture;
    std::unique_ptr<LogFile> log;
    QProcess holder; // another run's hold on the oldest log
    QTemporaryDir work;
    Scene scene;
    bool started = false;
};

const Drive roomy { 4 << 20, 5000 };
const Home plain { 4 << 20, false, {}, 0, 0 };
const QStringList updated = { "p", "version 1.73", "success", "removal 0" };

} // namespace

Q_DECLARE_METATYPE(Drive)
Q_DECLARE_METATYPE(Home)
Q_DECLARE_METATYPE(Steps)

// The backend as the screens use it: which drive is the unit, whether it needs the update, the update with its
// version file, the removal of the right drive, and what the log and the history keep of it.
class TestBackend : public QObject
{
    Q_OBJECT

private slots:
    void discovery_data();
    void discovery();
    void update_data();
    void update();
    void keeping_data();
    void keeping();

private:
    void play(Run &run, const Home &home, const Drive &drive, const QByteArray &before, const Steps &steps);
};

void TestBackend::discovery_data()
{
    QTest::addColumn<QList<QStringList>>("volumes");
    QTest::addColumn<QString>("version");
    const auto row = [](const char *name, const QList<QStringList> &volumes, const char *version) {
        QTest::newRow(name) << volumes << QString(version);
    };
    const QString m = QStringLiteral("lumetra.bin=old");
    row("marker in the root", { { m, "Version.txt=1.8" } }, "1.8");
    row("marker only in a sub-directory", { { "sub/lumetra.bin=x", "Version.txt=1.8" } }, "");
    row("a directory named lumetra.bin", { { "lumetra.bin/", "Version.txt=1.8" } }, "");
    row("upper case", { { "LUMETRA.BIN=x", "Version.txt=1.8" } }, "");
    row("unmarked volume first", { { "Version.txt=1.1" }, { m, "Version.txt=1.8" } }, "1.8");
    row("two units: the first wins", { { m, "Version.txt=1.73" }, { m, "Version.txt=1.8" } }, "1.73");
    row("no version file", { { m } }, "1.0");
    row("CR LF read back as LF", { { m, "Version.txt=1.73\r\n" } }, "1.73\n");
    row("1.100 is newer", { { m, "Version.txt=1.100" } }, "1.100");
    row("empty file", { { m, "Version.txt=" } }, "");
    row("FIFO", { { m, "Version.txt|" } }, "1.0");
    row("directory", { { m, "Version.txt/" } }, "1.0");
    row("just over 4096 bytes", { { m, "Version.txt=1.8" + QString(4096, '\n') } }, "1.0");
    row("link to /dev/zero", { { m, "Version.txt->/dev/zero" } }, "1.0");
    row("link off the drive", { { m, "Version.txt->../v1/Version.txt" }, { "Version.txt=1.8" } }, "1.0");
    row("link on the drive", { { m, "Version.txt->real.txt", "real.txt=1.8" } }, "1.8");
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
    LumetraInstaller installer(std::make_unique<FakeVolumes>(roots));
    const bool connected = !version.isEmpty() || volumes.value(0).contains(QStringLiteral("Version.txt="));
    QCOMPARE(installer.isLumetraConnected(), connected);
    const QString current = installer.getCurrentVersionNumber();
    QCOMPARE(current, connected ? version : QStringLiteral("1.0"));
    // Compared as version numbers: 1.8 is older than 1.73, 1.100 newer.
    const QVersionNumber number = QVersionNumber::fromString(current);
    QCOMPARE(installer.doesLumetraNeedUpdate(), number.isNull() || QVersionNumber(1, 73) > number);
}

// Each row one behaviour of an update, its record in the history; a full unit and another updater holding the lock
// are the command-line test's.
void TestBackend::update_data()
{
    QTest::addColumn<QByteArray>("before"); // Version.txt; null: none
    QTest::addColumn<Drive>("drive");
    QTest::addColumn<Steps>("steps"); // what happens at a moment of the update
    QTest::addColumn<QStringList>("events"); // what the screens see
    QTest::addColumn<QByteArray>("after"); // Version.txt afterwards
    QTest::addColumn<QVariantMap>("record"); // fields of the history's one record
    const auto row = [](const char *name, const QVariantMap &record, const Steps &steps = {},
                        const QStringList &events = updated, const char *after = "1.73", const char *before = "1.8",
                        const Drive &drive = roomy) {
        QTest::newRow(name) << QByteArray(before) << drive << steps << events << QByteArray(after) << record;
    };
    using S = Scene;
    const S::Act refusesUpdate = [](S &s) { return !s.installer->updateLumetra(); };
    const S::Act refusesRemoval = [](S &s) { return !s.installer->uninstallUsb(); };
    const S::Act pulled = [](S &s) {
        return s.begun() && (s.plugged->roots = QStringList { s.other }, s.driveVolume->unmount());
    };
    const S::Act unplugged = [](S &s) { return (s.plugged->roots = QStringList { s.other }, true); };
    const S::Act rival = &S::rivalUpdates;
    const S::Act vetoed = [](S &s) {
        return (s.ejectSystem->volume = EjectLumetra::driveName(s.other).toStdString(), true);
    };
    const S::Act finished = [](S &s) { return (s.installer->finishAttempt(), true); };
    const S::Act markerLinked = [](S &s) { // to the other unit's image
        const QString marker = s.drive + "/lumetra.bin";
        return QFile::remove(marker) && QFile::link(s.other + "/lumetra.bin", marker);
    };
    const S::Act closed = [](S &s) { return s.begun() && (s.installer.reset(), true); };
    const S::Act closedInPlace = [](S &s) { // as the backend says so: the worker's end cannot have come yet
        QObject::connect(s.installer.get(), &LumetraInstaller::writingInPlace, [&s] { s.installer.reset(); });
        return s.releaseCheck() && QTest::qWaitFor([&s] { return !s.installer; }, 10000);
    };
    const QVariant none = QVariant::fromValue(nullptr);
    const QVariantMap record { { "outcome", "updated" }, { "versionBefore", "1.8" }, { "versionAfter", "1.73" },
                               { "diskCheck", -1 }, { "bytesWritten", 411240 }, { "verified", true },
                               { "removal", 0 }, { "firmwareSha256", LumetraInstaller::firmwareSha256() } };
    const QVariantMap done { { "outcome", "updated" } }, upToDate { { "outcome", "up to date" }, { "removal", 0 } };
    row("several CR LF lines: only 1.73 afterwards", done, {}, updated, "1.73", "1.8\r\nserial 42\r\n");
    row("no version file: written", done, {}, updated, "1.73", nullptr);
    row("1.73: up to date, on record, removed", upToDate, {}, { "removal 0" }, "1.73", "1.73");
    row("the marker a link to the other unit's: refused, nothing written through it",
        { { "outcome", "failed" }, { "reason", "not a unit: its lumetra.bin is a link" } },
        { { S::BeforeUpdate, markerLinked } }, { "MarkerIsLink", "removal 0" }, "1.8");
    row("second update during the copy: refused", record, { { S::WhileRunning, refusesUpdate } });
    row("removal during the copy: refused", record, { { S::WhileRunning, refusesRemoval } },
        QStringList { "removal -1" } + updated);
    row("two units, the updated one pulled during the check: the other keeps its version, nothing removed",
        { { "outcome", "failed" }, { "reason", "drive gone" }, { "removal", none } }, { { S::WhileRunning, pulled } },
        { "p", "DriveGone", "failed", "removal -1" }, "<none>");
    row("the updated unit gone before the removal: its lock goes too, another updater may have it",
        { { "outcome", "updated" }, { "removal", -1 } },
        { { S::BeforeRemoval, unplugged }, { S::AfterRemoval, rival } },
        { "p", "version 1.73", "success", "removal -1" });
    row("removal vetoed: still updated, its code and reason", { { "outcome", "updated" }, { "removal", 2 },
        { "removalReason", "the system cannot open its volume" } }, { { S::BeforeRemoval, vetoed } },
        { "p", "version 1.73", "success", "removal 2" });
    row("another updater finished meanwhile: up to date, not written again",
        { { "outcome", "up to date" }, { "versionAfter", "1.73" }, { "removal", 0 } }, { { S::BeforeUpdate, rival } },
        { "p", "up to date 1.73", "success", "removal 0" });
    row("ended without a removal (--no-eject): on record at once, a removal after it adds none",
        { { "outcome", "updated" }, { "versionAfter", "1.73" }, { "removal", none } },
        { { S::BeforeRemoval, finished } });
    row("the window closed during the disk check: the old firmware stays, on record",
        { { "outcome", "failed" }, { "reason", "the program ended during the update" }, { "versionAfter", "1.8" } },
        { { S::WhileRunning, closed } }, { "p" }, "1.8");
    row("the window closed while the old image is overwritten: the write is finished, on record as updated",
        { { "outcome", "updated" }, { "versionAfter", "1.73" }, { "verified", true }, { "removal", none } },
        { { S::WhileRunning, closedInPlace } }, { "p" }, "1.73", "1.8", { 600 << 10, 450000 });
}

void TestBackend::update()
{
    QFETCH(QByteArray, before);
    QFETCH(Drive, drive);
    QFETCH(Steps, steps);
    QFETCH(QVariantMap, record);
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    Run run;
    play(run, plain, drive, before, steps);
    if (QTest::currentTestFailed())
        return;
    QTEST(run.scene.seen->list, "events");
    QCOMPARE(run.started, run.scene.seen->list.contains("p"));
    QTEST(contentOf(run.scene.drive + "/Version.txt"), "after");
    QCOMPARE(contentOf(run.scene.other + "/Version.txt") + contentOf(run.scene.other + "/lumetra.bin"),
             QByteArray("1.8other"));
    // Read while everything still runs: the record is in its file once the attempt has ended.
    const QVariantList records = run.records();
    QCOMPARE(records.size(), 1);
    for (auto field = record.cbegin(); field != record.cend(); ++field)
        QCOMPARE(records.last().toMap().value(field.key()), field.value());
    QCOMPARE(records.last().toMap().value("root").toString(), run.scene.drive);
}

// Each row a log or a history that cannot or must not be written, or must be kept short, around a plain update: the
// update goes on, and each loss is said once.
void TestBackend::keeping_data()
{
    QTest::addColumn<Home>("home");
    QTest::addColumn<int>("logs"); // log files afterwards
    QTest::addColumn<bool>("logKept");
    QTest::addColumn<bool>("historyKept");
    QTest::addColumn<bool>("progressLogged"); // the per-block lines, in a log that is kept
    const auto row = [](const char *name, const Home &home, int logs, bool logKept, bool historyKept,
                        bool progressLogged) {
        QTest::newRow(name) << home << logs << logKept << historyKept << progressLogged;
    };
    QStringList tenRuns;
    for (int run = 0; run < 10; ++run)
        tenRuns << QString("LumetraInstaller/LumetraInstaller-2020010%1-000000-000.log=").arg(run);
    row("an update: its record, its log with the per-block lines, nothing said", plain, 1, true, true, true);
    row("log folder read-only", { 4 << 20, true, {}, 0, 0 }, 0, false, false, false);
    row("log volume full", { 4096, false, {}, 0, 0 }, 1, false, false, false);
    row("history.jsonl is a link: not followed",
        { 4 << 20, false, { "elsewhere=", "LumetraInstaller/history.jsonl->elsewhere" }, 0, 0 }, 1, true, false, true);
    row("a log past 2 MiB: no more progress lines", { 4 << 20, false, {}, 2100, 0 }, 1, true, true, false);
    row("eleventh run: the oldest log goes", { 4 << 20, false, tenRuns, 0, 0 }, 10, true, true, true);
    row("eleventh run while another still writes the oldest log: that one stays, this one held too",
        { 4 << 20, false, tenRuns, 0, 0, true }, 11, true, true, true);
    row("torn last line in the history: this record whole",
        { 4 << 20, false, { "LumetraInstaller/history.jsonl={\"start\":\"2020-" }, 0, 0 }, 1, true, true, true);
    row("1,000 identical Qt warnings: two lines in the log", { 4 << 20, false, {}, 0, 1000 }, 1, true, true, true);
}

void TestBackend::keeping()
{
    QFETCH(Home, home);
    QFETCH(bool, logKept);
    QFETCH(bool, historyKept);
    QFETCH(bool, progressLogged);
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    Run run;
    play(run, home, roomy, "1.8", {});
    if (QTest::currentTestFailed())
        return;
    QVERIFY(run.started);
    QCOMPARE(run.records().size(), historyKept ? 1 : 0);
    QVERIFY(contentOf(run.home->rootPath() + "/elsewhere").isEmpty() || !home.entries.contains("elsewhere="));
    QTEST(int(QDir(run.folder).entryList({ "LumetraInstaller-*.log" }, QDir::Files).size()), "logs");
    QVERIFY(!home.heldOldest || QProcess::execute("flock", { "-n", run.log->filePath(), "true" }) == 1);
    run.holder.closeWriteChannel();
    QVERIFY(run.holder.state() == QProcess::NotRunning || run.holder.waitForFinished());
    // What cannot be kept is said once for the log and once for the history; the terminal is told the warnings
    // alone, the log holds them and the debug and progress lines besides.
    const QStringList said = run.capture->lines();
    QCOMPARE(said.filter(QRegularExpression("^LumetraInstaller: ")).size(), int(!historyKept) + int(!logKept));
    QStringList logged = QString::fromUtf8(contentOf(run.log->filePath())).split('\n', Qt::SkipEmptyParts).mid(1);
    // Past the cap, the per-block lines are left out.
    QVERIFY(!logKept || logged.filter(" lumetra.progress: ").isEmpty() != progressLogged);
    logged.replaceInStrings(QRegularExpression("^[-0-9]{10} [:.0-9]{12} (lumetra\\.\\w+: )?"), QString());
    QVERIFY2(said.filter(QRegularExpression("copy file progress|LumetraInstaller::")).isEmpty(),
             qPrintable(said.join('\n')));
    QVERIFY(!logKept
            || std::all_of(said.begin(), said.end(), [&](const QString &line) { return logged.contains(line); }));
    // Qt's own messages in bulk: the first, and at the run's end how often it came again.
    const QLoggingCategory repeating("qt.test.repeat");
    for (int i = 0; i < home.repeats; ++i)
        qCWarning(repeating) << "ValueChanged event and no ValueInterface";
    const QString path = run.log->filePath();
    run.log.reset();
    const QStringList repeated = QString::fromUtf8(contentOf(path)).split('\n').filter("qt.test.repeat");
    QCOMPARE(repeated.size(), home.repeats > 0 ? 2 : 0);
    QVERIFY(home.repeats == 0 || repeated.last().contains(QString("repeated %1 times").arg(home.repeats - 1)));
}

// The update of the scene's unit, as the window runs it, with the log and the history kept at home.
void TestBackend::play(Run &run, const Home &home, const Drive &drive, const QByteArray &before, const Steps &steps)
{
    run.home = std::make_unique<ScratchVolume>(home.room);
    run.folder = run.home->rootPath() + "/LumetraInstaller";
    QVERIFY(run.home->isMounted() && layOut(run.home->rootPath(), home.entries)
            && (!home.readOnly || run.home->remountReadOnly()));
    if (home.heldOldest) { // a --watch started long ago
        const QString oldest = run.folder + "/LumetraInstaller-20200100-000000-000.log";
        run.holder.start("flock", { "-s", oldest, "-c", "echo held; cat" });
        QVERIFY(run.holder.waitForReadyRead() && run.holder.readAll() == "held\n");
    }
    run.capture = std::make_unique<LogCapture>();
    run.log = std::make_unique<LogFile>(run.folder);
    const QLoggingCategory earlier("lumetra.test");
    for (int i = 0; i < home.earlierLines; ++i)
        qCDebug(earlier, "%s", QByteArray(1000, 'x').constData());

    Scene &scene = run.scene;
    scene.steps = steps;
    scene.driveVolume = std::make_unique<ScratchVolume>(drive.room);
    scene.drive = scene.driveVolume->rootPath();
    scene.other = run.work.filePath("other");
    scene.fifo = QFile::encodeName(run.work.filePath("check"));
    QStringList entries = { "lumetra.bin=" + QString(drive.oldImage, 'o') };
    if (!before.isNull())
        entries << "Version.txt=" + QString::fromLatin1(before);
    QVERIFY(scene.driveVolume->isMounted() && layOut(scene.drive, entries)
            && layOut(scene.other, { "lumetra.bin=other", "Version.txt=1.8" }) && mkfifo(scene.fifo, 0600) == 0);
    auto volumes = std::make_unique<FakeVolumes>(QStringList { scene.drive, scene.other });
    scene.plugged = volumes.get();
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(scene.drive).toStdString();
    scene.ejectSystem = eject.get();
    scene.installer = std::make_unique<LumetraInstaller>(
            std::move(volumes), std::make_unique<ShellChecker>("cat '" + scene.fifo + "' >/dev/null", QString(), true),
            std::move(eject));
    UpdateHistory::attach(scene.installer.get(), run.folder);
    run.scene.seen = std::make_unique<Events>(scene.installer.get());

    const bool needed = scene.installer->doesLumetraNeedUpdate();
    QVERIFY(scene.perform(Scene::BeforeUpdate));
    run.started = needed && scene.installer->updateLumetra();
    QVERIFY(scene.perform(Scene::WhileRunning));
    QVERIFY(!run.started || !scene.installer || (scene.releaseCheck() && run.scene.seen->waitForEnd()));
    QVERIFY(scene.perform(Scene::BeforeRemoval));
    if (scene.installer)
        scene.installer->uninstallUsb(); // the record comes with the removal; a removal adds no record of its own
    QVERIFY(scene.perform(Scene::AfterRemoval));
}

QTEST_GUILESS_MAIN(TestBackend)
#include "tst_backend.moc"
