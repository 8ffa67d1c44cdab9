#include "fakevolumes.h"
#include "lumetrainstaller.h"
#include "scratchvolume.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <memory>

namespace {

// Lays out one scratch "volume": entries ending in '/' become directories, the others files.
// "Version.txt=1.8" writes that content.
void layOut(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString path = root + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry.section(QLatin1Char('='), 1).toUtf8());
    }
}

// Answers with the marked volumes for the first scan only, as when the cable is pulled
// between the presence test and the path lookup.
class VanishingVolumes : public VolumeSource
{
public:
    explicit VanishingVolumes(const QStringList &roots) : roots(roots) { }
    QStringList rootPaths() const override
    {
        return calls++ == 0 ? roots : QStringList();
    }

private:
    QStringList roots;
    mutable int calls = 0;
};

} // namespace

class TestDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void findsTheMarkedVolume_data();
    void findsTheMarkedVolume();
    void followsUnplugging();
    void driveGoneBetweenTheTwoScans();
    void realMountedVolume();
};

void TestDiscovery::findsTheMarkedVolume_data()
{
    QTest::addColumn<QList<QStringList>>("volumes");
    QTest::addColumn<bool>("connected");
    // The version text read from the drive tells which volume every operation uses.
    QTest::addColumn<QString>("version");

    using V = QList<QStringList>;
    QTest::newRow("marker in the root")
            << V { { "lumetra.bin", "Version.txt=1.8" } } << true << "1.8";
    QTest::newRow("marker only in a sub-directory")
            << V { { "firmware/lumetra.bin", "Version.txt=1.8" } } << false << "1.0";
    QTest::newRow("a directory named lumetra.bin")
            << V { { "lumetra.bin/", "Version.txt=1.8" } } << false << "1.0";
    QTest::newRow("upper-case name") << V { { "LUMETRA.BIN", "Version.txt=1.8" } } << false << "1.0";
    QTest::newRow("capital first letter")
            << V { { "Lumetra.bin", "Version.txt=1.8" } } << false << "1.0";
    QTest::newRow("name with more around it")
            << V { { "lumetra.bin.old", "old-lumetra.bin", "Version.txt=1.8" } } << false << "1.0";
    // Unix has no hidden attribute: a hidden file is one whose name starts with a dot.
    QTest::newRow("hidden") << V { { ".lumetra.bin", "Version.txt=1.8" } } << false << "1.0";
    QTest::newRow("unmarked volume first")
            << V { { "Version.txt=2" }, { "lumetra.bin", "Version.txt=1.8" } } << true << "1.8";
    QTest::newRow("two marked volumes: the first wins")
            << V { { "lumetra.bin", "Version.txt=1.8" }, { "lumetra.bin", "Version.txt=1.73" } }
            << true << "1.8";
    QTest::newRow("two marked volumes, the other order")
            << V { { "lumetra.bin", "Version.txt=1.73" }, { "lumetra.bin", "Version.txt=1.8" } }
            << true << "1.73";
    QTest::newRow("no volumes") << V {} << false << "1.0";
    QTest::newRow("empty volumes") << V { {}, {} } << false << "1.0";
}

void TestDiscovery::findsTheMarkedVolume()
{
    QFETCH(QList<QStringList>, volumes);
    QFETCH(bool, connected);
    QFETCH(QString, version);

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    QStringList roots;
    // A root that cannot be listed stands first and is passed over.
    roots << scratch.filePath(QStringLiteral("not-mounted"));
    for (int i = 0; i < volumes.size(); ++i) {
        const QString root = scratch.filePath(QString::number(i));
        QVERIFY(QDir().mkpath(root));
        layOut(root, volumes.at(i));
        if (QTest::currentTestFailed())
            return;
        roots << root;
    }

    LumetraInstaller installer(std::make_unique<FakeVolumes>(roots));
    QCOMPARE(installer.isLumetraConnected(), connected);
    QCOMPARE(installer.getCurrentVersionNumber(), version);
}

void TestDiscovery::followsUnplugging()
{
    QTemporaryDir drive;
    QVERIFY(drive.isValid());
    layOut(drive.path(), { QStringLiteral("lumetra.bin") });
    auto volumes = std::make_unique<FakeVolumes>(QStringList { drive.path() });
    FakeVolumes *plugged = volumes.get();
    LumetraInstaller installer(std::move(volumes));

    QVERIFY(installer.isLumetraConnected());
    plugged->setRootPaths({});
    QVERIFY(!installer.isLumetraConnected());
    plugged->setRootPaths({ drive.path() });
    QVERIFY(installer.isLumetraConnected());
}

void TestDiscovery::driveGoneBetweenTheTwoScans()
{
    QTemporaryDir drive;
    QVERIFY(drive.isValid());
    layOut(drive.path(), { QStringLiteral("lumetra.bin"), QStringLiteral("Version.txt=1.73") });
    LumetraInstaller installer(std::make_unique<VanishingVolumes>(QStringList { drive.path() }));
    // The lookup finds no drive: the answer is the fallback, never a file from elsewhere.
    QCOMPARE(installer.getCurrentVersionNumber(), QStringLiteral("1.0"));
}

void TestDiscovery::realMountedVolume()
{
    if (!ScratchVolume::unavailableReason().isEmpty())
        QSKIP(qPrintable(ScratchVolume::unavailableReason()));
    ScratchVolume volume;
    QVERIFY2(volume.isMounted(), qPrintable(volume.errorString()));
    layOut(volume.rootPath(), { QStringLiteral("lumetra.bin"), QStringLiteral("Version.txt=1.8") });

    LumetraInstaller installer; // the system's own list of mounted volumes
    QVERIFY(installer.isLumetraConnected());
    QCOMPARE(installer.getCurrentVersionNumber(), QStringLiteral("1.8"));
    QVERIFY(installer.doesLumetraNeedUpdate());

    QVERIFY2(volume.unmount(), qPrintable(volume.errorString()));
    QVERIFY(!installer.isLumetraConnected());
    QCOMPARE(installer.getCurrentVersionNumber(), QStringLiteral("1.0"));
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
