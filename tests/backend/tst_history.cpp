#include "commandline.h"
#include "fakeejectsystem.h"
#include "fakevolumes.h"
#include "logcapture.h"
#include "logfile.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"
#include "updatehistory.h"

#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtTest/QtTest>

// One update as the window runs it, over a real volume, with the log and the history on a
// volume of their own: what a user sends to support must tell what happened, and a log that
// cannot be kept must never cost the update.
class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void update_data();
    void update();
};

void TestHistory::update_data()
{
    QTest::addColumn<QString>("place"); // what is wrong with the folder of the log, if anything
    QTest::addColumn<QByteArray>("versionBefore");
    QTest::addColumn<int>("unitKiB");
    QTest::addColumn<QByteArray>("versionAfter"); // in Version.txt on the unit
    QTest::addColumn<int>("logFiles");
    QTest::addColumn<bool>("logWhole");
    QTest::addColumn<QVariantMap>("record"); // empty: none

    const QVariantMap updated { { "outcome", "updated" }, { "versionBefore", "1.8" }, { "versionAfter", "1.73" },
                                { "bytesWritten", 411240 }, { "verified", true }, { "removal", 0 } };
    QTest::newRow("unit at 1.8: updated") << "" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 1 << true << updated;
    QTest::newRow("unit at 1.73: up to date") << "" << QByteArray("1.73") << 4096 << QByteArray("1.73") << 1 << true
            << QVariantMap { { "outcome", "up to date" }, { "versionAfter", "1.73" }, { "removal", 0 } };
    QTest::newRow("full unit: failed, with why") << "" << QByteArray("1.8") << 256 << QByteArray("1.8") << 1 << true
            << QVariantMap { { "outcome", "failed" }, { "reason", "full drive" }, { "verified", false } };
    QTest::newRow("log folder read-only") << "read-only" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 0 << false << QVariantMap();
    QTest::newRow("a file where the log folder should be") << "file" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 0 << false << QVariantMap();
    QTest::newRow("log volume full") << "full" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 1 << false << QVariantMap();
    QTest::newRow("eleventh run: the oldest log goes") << "ten runs" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 10 << true << updated;
    QTest::newRow("torn last history line") << "torn" << QByteArray("1.8") << 4096 << QByteArray("1.73") << 1 << true << updated;
}

void TestHistory::update()
{
    QFETCH(QString, place);
    QFETCH(QByteArray, versionBefore);
    QFETCH(int, unitKiB);
    QFETCH(QByteArray, versionAfter);
    QFETCH(int, logFiles);
    QFETCH(bool, logWhole);
    QFETCH(QVariantMap, record);
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));

    ScratchVolume home(ScratchVolume::Kind::Tmpfs, place == "full" ? 4096 : 1024 * 1024);
    QVERIFY(home.isMounted() && (place != "read-only" || home.remountReadOnly()));
    qputenv("XDG_DATA_HOME", home.rootPath().toLocal8Bit());
    setApplicationIdentity();
    const QDir folder(logDirectory());
    QVERIFY(place != "file" || QFile(folder.path()).open(QIODevice::WriteOnly));
    for (int run = 0; place == "ten runs" && run < 10; ++run)
        QVERIFY(folder.mkpath(".") && QFile(folder.filePath(QString("LumetraInstaller-2020010%1-000000-000.log").arg(run))).open(QIODevice::WriteOnly));
    QFile torn(folder.filePath("history.jsonl"));
    QVERIFY(place != "torn" || (folder.mkpath(".") && torn.open(QIODevice::WriteOnly) && torn.write("{\"start\":\"2020-") && torn.flush()));

    LogCapture capture;
    LogFile log;
    ScratchVolume unit(ScratchVolume::Kind::Tmpfs, unitKiB * 1024);
    QFile firmware(unit.rootPath() + "/lumetra.bin"), version(unit.rootPath() + "/Version.txt");
    QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(QByteArray(5000, 'o')) && firmware.flush());
    QVERIFY(version.open(QIODevice::ReadWrite) && version.write(versionBefore) && version.flush());
    auto eject = std::make_unique<FakeEjectSystem>();
    eject->volume = EjectLumetra::driveName(unit.rootPath()).toStdString();
    LumetraInstaller installer(std::make_unique<FakeVolumes>(QStringList { unit.rootPath() }),
                               DiskCheckPlatform::create(), std::move(eject));
    UpdateHistory::attach(&installer);
    QSignalSpy failed(&installer, &LumetraInstaller::updateFirmwareFailed);
    QSignalSpy succeeded(&installer, &LumetraInstaller::updateFirmwareSuccess);
    // As the window goes: the check, the update if needed, the removal unless it failed.
    if (installer.doesLumetraNeedUpdate() && installer.updateLumetra())
        QTRY_COMPARE_WITH_TIMEOUT(failed.size() + succeeded.size(), 1, 30000);
    if (failed.isEmpty())
        installer.uninstallUsb();
    QCOMPARE(version.seek(0) ? version.readAll() : QByteArray(), versionAfter);

    // Read while everything still runs: each line and record is in the file once it is made.
    QList<QJsonObject> records;
    for (const QByteArray &line : (torn.close(), torn.open(QIODevice::ReadOnly) ? torn.readAll() : QByteArray()).split('\n'))
        if (QJsonDocument::fromJson(line).isObject())
            records.append(QJsonDocument::fromJson(line).object());
    QCOMPARE(records.size(), record.isEmpty() ? 0 : 1);
    for (auto field = record.cbegin(); field != record.cend(); ++field)
        QCOMPARE(records.first().value(field.key()).toVariant(), field.value());
    QVERIFY(record.isEmpty() || records.first().value("root") == unit.rootPath());

    const QStringList logs = folder.entryList({ "LumetraInstaller-*.log" }, QDir::Files, QDir::Name);
    QCOMPARE(logs.size(), logFiles);
    QVERIFY(!logs.contains("LumetraInstaller-20200100-000000-000.log"));
    QStringList debugOutput = capture.lines(), written;
    // What cannot be kept is said once for the log and once for the history, and nothing else is.
    QCOMPARE(debugOutput.filter(QRegularExpression("^LumetraInstaller: ")).size(), logWhole ? 0 : 2);
    QFile logFile(folder.filePath(logs.value(logs.size() - 1)));
    if (logWhole && logFile.open(QIODevice::ReadOnly))
        written = QString::fromUtf8(logFile.readAll()).split('\n', Qt::SkipEmptyParts).mid(1);
    QCOMPARE(written.replaceInStrings(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "), QString()).size(), logWhole ? debugOutput.size() : 0);
    for (int i = 0; logWhole && i < written.size(); ++i)
        QVERIFY2(debugOutput.contains(written.at(i)), qPrintable(written.at(i)));
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
