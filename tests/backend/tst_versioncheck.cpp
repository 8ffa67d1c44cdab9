#include "fakevolumes.h"
#include "lumetrainstaller.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <memory>

namespace {

const QByteArray noFile = QByteArrayLiteral("<no file>");

struct Drive
{
    QTemporaryDir directory;
    QString root() const { return directory.path(); }
    QString path(const QString &name) const { return directory.filePath(name); }

    bool write(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

std::unique_ptr<LumetraInstaller> installerOn(const Drive &drive)
{
    if (!drive.write(QStringLiteral("lumetra.bin"), QByteArrayLiteral("old firmware")))
        return nullptr;
    return std::make_unique<LumetraInstaller>(std::make_unique<FakeVolumes>(QStringList { drive.root() }));
}

} // namespace

class TestVersionCheck : public QObject
{
    Q_OBJECT

private slots:
    void comparesWithTheEmbeddedVersion_data();
    void comparesWithTheEmbeddedVersion();
    void withoutDevice();
    void logLines();
    void badVersionFiles_data();
    void badVersionFiles();
};

void TestVersionCheck::comparesWithTheEmbeddedVersion_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("needsUpdate");

    QTest::newRow("no version file") << noFile << "1.0" << true;
    QTest::newRow("1.73, as the tool writes it") << QByteArray("1.73") << "1.73" << false;
    QTest::newRow("1.73 with a line end") << QByteArray("1.73\n") << "1.73\n" << false;
    QTest::newRow("CR LF read back as LF") << QByteArray("1.73\r\n") << "1.73\n" << false;
    QTest::newRow("1.73.0 counts as newer") << QByteArray("1.73.0") << "1.73.0" << false;
    QTest::newRow("1.8 is older than 1.73") << QByteArray("1.8") << "1.8" << true;
    QTest::newRow("1.100 is newer") << QByteArray("1.100") << "1.100" << false;
    QTest::newRow("2") << QByteArray("2") << "2" << false;
    QTest::newRow("1.72") << QByteArray("1.72") << "1.72" << true;
    QTest::newRow("empty file") << QByteArray("") << "" << true;
    QTest::newRow("text that is no version") << QByteArray("unknown") << "unknown" << true;
    QTest::newRow("several CR LF lines")
            << QByteArray("1.8\r\nbuild 7\r\n") << "1.8\nbuild 7\n" << true;
    QTest::newRow("a zero byte ends the text") << QByteArray("1.73\0garbage", 12) << "1.73" << false;
}

void TestVersionCheck::comparesWithTheEmbeddedVersion()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, current);
    QFETCH(bool, needsUpdate);

    Drive drive;
    auto installer = installerOn(drive);
    QVERIFY(installer);
    if (content != noFile)
        QVERIFY(drive.write(QStringLiteral("Version.txt"), content));

    QCOMPARE(installer->getCurrentVersionNumber(), current);
    QCOMPARE(installer->doesLumetraNeedUpdate(), needsUpdate);
    QCOMPARE(installer->getLumetraUpdateVersion(), QStringLiteral("1.73"));
}

void TestVersionCheck::withoutDevice()
{
    Drive unmarked;
    QVERIFY(unmarked.write(QStringLiteral("Version.txt"), "1.73"));
    LumetraInstaller installer(std::make_unique<FakeVolumes>(QStringList { unmarked.root() }));
    QCOMPARE(installer.getCurrentVersionNumber(), QStringLiteral("1.0"));
    QVERIFY(installer.doesLumetraNeedUpdate());
    QCOMPARE(installer.getLumetraUpdateVersion(), QStringLiteral("1.73"));
}

void TestVersionCheck::logLines()
{
    Drive drive;
    auto installer = installerOn(drive);
    QVERIFY(installer);
    QVERIFY(drive.write(QStringLiteral("Version.txt"), "1.8\n"));

    QTest::ignoreMessage(QtDebugMsg, "LumetraInstaller::getCurrentVersionNumber  \"1.8\\n\"");
    QTest::ignoreMessage(QtDebugMsg, "LumetraInstaller::doesLumetraNeedUpdate  \"1.8\"   \"1.73\"");
    QVERIFY(installer->doesLumetraNeedUpdate());
}

// The drive is anyone's: whatever stands there as "Version.txt" must give a prompt,
// bounded answer and never read through a link that leaves the drive.
void TestVersionCheck::badVersionFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("current");

    QTest::newRow("FIFO") << "fifo" << "1.0";
    QTest::newRow("device node") << "device" << "1.0";
    QTest::newRow("directory") << "directory" << "1.0";
    QTest::newRow("sparse file of 4 GiB") << "huge" << "1.0";
    QTest::newRow("just over the size limit") << "oversized" << "1.0";
    QTest::newRow("link to a file off the drive") << "link-off-drive" << "1.0";
    QTest::newRow("link to /dev/zero") << "link-to-device" << "1.0";
    QTest::newRow("link to a file on the drive") << "link-on-drive" << "1.8";
    QTest::newRow("dangling link") << "dangling-link" << "1.0";
}

void TestVersionCheck::badVersionFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, current);

    Drive drive;
    Drive elsewhere;
    auto installer = installerOn(drive);
    QVERIFY(installer);
    const QByteArray versionPath = QFile::encodeName(drive.path(QStringLiteral("Version.txt")));
    QVERIFY(elsewhere.write(QStringLiteral("Version.txt"), "1.8"));
    QVERIFY(drive.write(QStringLiteral("real-version.txt"), "1.8"));

    if (kind == QLatin1String("fifo")) {
        QCOMPARE(mkfifo(versionPath.constData(), 0644), 0);
    } else if (kind == QLatin1String("device")) {
        if (geteuid() != 0)
            QSKIP("needs root to make a device node");
        QCOMPARE(mknod(versionPath.constData(), S_IFCHR | 0644, makedev(1, 5)), 0); // like /dev/zero
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(drive.path(QStringLiteral("Version.txt"))));
    } else if (kind == QLatin1String("huge")) {
        QFile file(drive.path(QStringLiteral("Version.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write("1.8") == 3);
        QVERIFY(file.resize(qint64(4) << 30));
    } else if (kind == QLatin1String("oversized")) {
        QVERIFY(drive.write(QStringLiteral("Version.txt"),
                            QByteArray("1.8") + QByteArray(LumetraInstaller::maxVersionFileSize, '\n')));
    } else if (kind == QLatin1String("link-off-drive")) {
        QVERIFY(QFile::link(elsewhere.path(QStringLiteral("Version.txt")), versionPath));
    } else if (kind == QLatin1String("link-to-device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), versionPath));
    } else if (kind == QLatin1String("link-on-drive")) {
        QVERIFY(QFile::link(drive.path(QStringLiteral("real-version.txt")), versionPath));
    } else if (kind == QLatin1String("dangling-link")) {
        QVERIFY(QFile::link(drive.path(QStringLiteral("nothing-here")), versionPath));
    }

    // A FIFO opened for reading blocks until a writer comes: a hang here ends in the
    // test's time limit. The huge file starts with "1.8": reading it would answer that.
    QCOMPARE(installer->getCurrentVersionNumber(), current);
    QCOMPARE(installer->doesLumetraNeedUpdate(), true);
}

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"
