#include "ejectlumetra.h"
#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "logcapture.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "updatehistory.h"

#include <QtTest/QtTest>

#include <sys/stat.h>

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
};

} // namespace

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
    // The window closed mid-update (here during the disk check): the copy is called off, the unit left as it was.
    void closedMidUpdate()
    {
        QTemporaryDir unit;
        QVERIFY(layOut(unit.path(), { "lumetra.bin=" + QString::fromLatin1(oldFirmware), "Version.txt=1.8" }));
        QVERIFY(LumetraInstaller(std::make_unique<FakeVolumes>(QStringList { unit.path() }),
                                 std::make_unique<ShellChecker>("sleep 0.3"), std::make_unique<FakeEjectSystem>())
                        .updateLumetra());
        QCOMPARE(contentOf(unit.filePath("lumetra.bin")), oldFirmware);
    }
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

// Each row one update as the window runs it, beside a second unit, with the log and the history on a volume of
// their own; a full unit and another updater holding the lock are the command-line test's.
enum class Case { Update, LinkedMarker, SecondUpdate, RemovalDuringCopy, UpdatedUnitPulled, GoneBeforeRemoval,
                  Vetoed, UpdatedMeanwhile, ReadOnlyLog, FullLog, BigLog, TenRuns, HeldLog, Torn, LinkedHistory,
                  Repeated };
struct Row { Case what; QVariantMap record; int logs; QStringList events; QByteArray after; const char *before; };
Q_DECLARE_METATYPE(Row)
const QStringList updated = { "p", "version 1.73", "success", "removal 0" };

void TestBackend::update_data()
{
    QTest::addColumn<Row>("row");
    // record: what the history holds afterwards, nothing when it is empty; logs: the log files then.
    const auto row = [](const char *name, Case what, const QVariantMap &record, int logs = 1,
                        const QStringList &events = updated, const char *after = "1.73", const char *before = "1.8") {
        QTest::newRow(name) << Row { what, record, logs, events, after, before };
    };
    const QVariantMap record { { "outcome", "updated" }, { "versionBefore", "1.8" }, { "versionAfter", "1.73" },
                               { "bytesWritten", 411240 }, { "verified", true }, { "removal", 0 },
                               { "firmwareSha256", LumetraInstaller::firmwareSha256() } };
    const QVariantMap done { { "outcome", "updated" } }, upToDate { { "outcome", "up to date" }, { "removal", 0 } };
    row("several CR LF lines: only 1.73 afterwards", Case::Update, done, 1, updated, "1.73", "1.8\r\nserial 42\r\n");
    row("no version file: written", Case::Update, done, 1, updated, "1.73", nullptr);
    row("1.73: up to date, on record, removed", Case::Update, upToDate, 1, { "removal 0" }, "1.73", "1.73");
    row("the marker a link to the other unit's: refused, nothing written through it", Case::LinkedMarker, {}, 1,
        { "not a unit: its lumetra.bin is a link", "removal 0" }, "1.8");
    row("second update during the copy: refused", Case::SecondUpdate, record);
    row("removal during the copy: refused", Case::RemovalDuringCopy, record, 1, QStringList { "removal -1" } + updated);
    row("two units, the updated one pulled: the other keeps its version, nothing removed", Case::UpdatedUnitPulled,
        { { "outcome", "failed" }, { "reason", "drive gone" } }, 1,
        { "p", "drive gone", "failed", "removal -1" }, "<none>");
    row("the updated unit gone before the removal: its lock goes too, another updater may have it",
        Case::GoneBeforeRemoval, { { "outcome", "updated" }, { "removal", -1 } }, 1,
        { "p", "version 1.73", "success", "removal -1" });
    row("removal vetoed: still updated, its code and reason", Case::Vetoed, { { "outcome", "updated" }, { "removal", 2 },
        { "removalReason", "the system cannot open its volume" } }, 1,
        { "p", "version 1.73", "success", "removal 2" });
    row("another updater finished meanwhile: up to date, not written again", Case::UpdatedMeanwhile,
        { { "outcome", "up to date" }, { "versionAfter", "1.73" }, { "removal", 0 } }, 1,
        { "p", "up to date 1.73", "success", "removal 0" });
    // The log and the history cannot or must not be written: the update goes on, each is complained of once.
    row("log folder read-only", Case::ReadOnlyLog, {}, 0);
    row("log volume full", Case::FullLog, {});
    row("history.jsonl is a link: not followed", Case::LinkedHistory, {});
    row("a log past 2 MiB: no more progress lines", Case::BigLog, record);
    row("eleventh run: the oldest log goes", Case::TenRuns, record, 10);
    row("eleventh run while another still writes the oldest log: that one stays, this one held too", Case::HeldLog,
        record, 11);
    row("torn last line in the history: this record whole", Case::Torn, record);
    row("1,000 identical Qt warnings: two lines in the log", Case::Repeated, record);
}

void TestBackend::update()
{
    QFETCH(Row, row);
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    ScratchVolume home(row.what == Case::FullLog ? 4096 : 4 << 20);
    QVERIFY(home.isMounted() && (row.what != Case::ReadOnlyLog || home.remountReadOnly()));
    const QString folder = home.rootPath() + "/LumetraInstaller";
    QVERIFY(row.what != Case::Torn || layOut(folder, { "history.jsonl={\"start\":\"2020-" }));
    for (int run = 0; (row.what == Case::TenRuns || row.what == Case::HeldLog) && run < 10; ++run)
        QVERIFY(layOut(folder, { QString("LumetraInstaller-2020010%1-000000-000.log=").arg(run) }));
    QProcess holder; // a --watch started long ago, its log the oldest
    if (row.what == Case::HeldLog)
        holder.start("flock", { "-s", folder + "/LumetraInstaller-20200100-000000-000.log", "-c", "echo held; cat" });
    QVERIFY(row.what != Case::HeldLog || (holder.waitForReadyRead() && holder.readAll() == "held\n"));
    QVERIFY(row.what != Case::LinkedHistory
            || layOut(home.rootPath(), { "elsewhere=", "LumetraInstaller/history.jsonl->elsewhere" }));
    LogCapture capture;
    auto log = std::make_unique<LogFile>(folder);
    const QLoggingCategory earlier("lumetra.test"); // the log's 2 MiB used up before the update begins
    for (int i = 0; row.what == Case::BigLog && i < 2100; ++i)
        qCDebug(earlier, "%s", QByteArray(1000, 'x').constData());

    QTemporaryDir work;
    const QString drive = work.filePath("unit"), other = work.filePath("other");
    QStringList entries = { row.what == Case::LinkedMarker ? "lumetra.bin->" + other + "/lumetra.bin"
                                                           : "lumetra.bin=" + QString::fromLatin1(oldFirmware) };
    if (row.before)
        entries << "Version.txt=" + QString::fromLatin1(row.before);
    QVERIFY(layOut(drive, entries) && layOut(other, { "lumetra.bin=other", "Version.txt=1.8" }));
    auto volumes = std::make_unique<FakeVolumes>(QStringList { drive, other });
    FakeVolumes *plugged = volumes.get();
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(row.what == Case::Vetoed ? other : drive).toStdString();
    LumetraInstaller installer(std::move(volumes), std::make_unique<ShellChecker>("sleep 0.3"), std::move(eject));
    UpdateHistory::attach(&installer, folder);
    Events seen(&installer);
    connect(&installer, &LumetraInstaller::copyFileProgress, this, [&](double value) { // pulled during the 0.3 s check
        if (value == 0.0 && row.what == Case::UpdatedUnitPulled && QDir(drive).removeRecursively())
            plugged->roots = QStringList { other };
    });
    const auto rivalUpdates = [&drive] { // a window or a command line of another process, to its end
        LumetraInstaller rival(std::make_unique<FakeVolumes>(QStringList { drive }),
                               std::make_unique<ShellChecker>("sleep 0.3"), std::make_unique<FakeEjectSystem>());
        Events rivalSeen(&rival);
        return rival.updateLumetra() && rivalSeen.waitForEnd();
    };
    const bool needed = installer.doesLumetraNeedUpdate();
    QVERIFY(row.what != Case::UpdatedMeanwhile || rivalUpdates());
    const bool started = needed && installer.updateLumetra();
    QCOMPARE(started, row.events.contains("p"));
    QVERIFY(row.what != Case::SecondUpdate || !installer.updateLumetra());
    QVERIFY(row.what != Case::RemovalDuringCopy || !installer.uninstallUsb());
    QVERIFY(!started || seen.waitForEnd());
    if (row.what == Case::GoneBeforeRemoval)
        plugged->roots = QStringList { other };
    installer.uninstallUsb(); // the record comes with the removal; a removal adds no record of its own
    QVERIFY(row.what != Case::GoneBeforeRemoval || rivalUpdates());
    QCOMPARE(seen.list, row.events);
    QCOMPARE(contentOf(drive + "/Version.txt"), row.after);
    QCOMPARE(contentOf(other + "/Version.txt") + contentOf(other + "/lumetra.bin"), QByteArray("1.8other"));

    // Read while everything still runs: each line and record is in its file once it is made.
    QVariantList records;
    for (const QByteArray &line : contentOf(folder + "/history.jsonl").split('\n'))
        records.append(QJsonDocument::fromJson(line).toVariant()); // nothing for a torn line
    records.removeAll(QVariant());
    QCOMPARE(records.size(), row.record.isEmpty() ? 0 : 1);
    for (auto field = row.record.cbegin(); field != row.record.cend(); ++field)
        QCOMPARE(records.last().toMap().value(field.key()), field.value());
    QVERIFY(row.record.isEmpty() || records.last().toMap().value("root") == drive);
    QVERIFY(row.what != Case::LinkedHistory || contentOf(home.rootPath() + "/elsewhere").isEmpty());
    QCOMPARE(QDir(folder).entryList({ "LumetraInstaller-*.log" }, QDir::Files).size(), row.logs);
    QVERIFY(row.what != Case::HeldLog || QProcess::execute("flock", { "-n", log->filePath(), "true" }) == 1);
    holder.closeWriteChannel();
    QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished());
    // What cannot be kept is said once for the log and once for the history; the terminal is told the warnings
    // alone, the log holds them and the debug and progress lines besides.
    const QStringList said = capture.lines();
    const bool logLost = row.logs == 0 || row.what == Case::FullLog;
    const bool historyLost = logLost || row.what == Case::LinkedHistory;
    QCOMPARE(said.filter(QRegularExpression("^LumetraInstaller: ")).size(), int(historyLost) + int(logLost));
    QStringList logged = QString::fromUtf8(contentOf(log->filePath())).split('\n', Qt::SkipEmptyParts).mid(1);
    // Past the cap, the per-block lines are left out.
    if (!logLost && seen.list.contains("success"))
        QCOMPARE(logged.filter(" lumetra.progress: ").isEmpty(), row.what == Case::BigLog);
    logged.replaceInStrings(QRegularExpression("^[-0-9]{10} [:.0-9]{12} (lumetra\\.\\w+: )?"), QString());
    QVERIFY2(said.filter(QRegularExpression("copy file progress|LumetraInstaller::")).isEmpty(),
             qPrintable(said.join('\n')));
    QVERIFY(logLost || std::all_of(said.begin(), said.end(), [&](const QString &line) { return logged.contains(line); }));
    // Qt's own messages in bulk: the first, and at the run's end how often it came again.
    const QLoggingCategory repeating("qt.test.repeat");
    for (int i = 0; row.what == Case::Repeated && i < 1000; ++i)
        qCWarning(repeating) << "ValueChanged event and no ValueInterface";
    const QString path = log->filePath();
    log.reset();
    const QStringList repeated = QString::fromUtf8(contentOf(path)).split('\n').filter("qt.test.repeat");
    QCOMPARE(repeated.size(), row.what == Case::Repeated ? 2 : 0);
    QVERIFY(row.what != Case::Repeated || repeated.last().contains("repeated 999 times"));
}

QTEST_GUILESS_MAIN(TestBackend)
#include "tst_backend.moc"
