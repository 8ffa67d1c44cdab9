#include "ejectlumetra.h"
#include "ejectsystem_linux.h"

#include <QtDBus/QtDBus>
#include <QtTest/QtTest>

#include <sys/mount.h>
#include <unistd.h>

namespace {

QDBusMessage udisks(const QString &path, const QString &interface, const QString &method,
                    const QVariantList &arguments = { QVariantMap() })
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.UDisks2"), path,
                                                          "org.freedesktop.UDisks2." + interface, method);
    message.setArguments(arguments);
    return QDBusConnection::systemBus().call(message, QDBus::Block, 15000);
}

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The Linux removal against a real udisks (run-test.sh's "udisks" mode gives the test a system
// bus, udev and udisks of its own) on an ext4 image that udisks sets up and mounts like a stick.
class TestUdisksEjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::systemBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.UDisks2")))
            QSKIP("needs root and udisks of its own (ctest as root; Debian packages dbus, udev, udisks2)");
    }

    void ejection_data()
    {
        QTest::addColumn<QString>("bus");
        QTest::addColumn<QString>("setting");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("an idle drive is unmounted; its loop device is left alone") << "" << "" << 0u << QByteArray("Success/n/n");
        QTest::newRow("a file held open on it: three refusals with udisks' message")
                << "" << "held" << 5u << QByteArray("failed/nResult=0x17/nVetoName=Error unmounting %1: target is busy)/n/n");
        QTest::newRow("no system bus at all") << "unix:path=/run/nothing_here" << "" << 4u << QByteArray();
        QTest::newRow("a folder on the drive is no volume") << "" << "folder" << 2u << QByteArray();
        QTest::newRow("a tmpfs has no block device") << "" << "tmpfs" << 2u << QByteArray();
        QTest::newRow("a tmpfs mounted over the drive: the drive below is left alone") << "" << "covered" << 2u << QByteArray();
    }

    void ejection()
    {
        QFETCH(QString, bus);
        QFETCH(QString, setting);
        QFETCH(QByteArray, output);
        QTemporaryDir work;
        const QString image = work.filePath(QStringLiteral("unit.img"));
        QCOMPARE(QProcess::execute("truncate", { "-s", "16M", image }) + QProcess::execute("mkfs.ext4", { "-q", image }), 0);
        QFile imageFile(image);
        QVERIFY(imageFile.open(QIODevice::ReadWrite));
        const QDBusMessage loop = udisks("/org/freedesktop/UDisks2/Manager", "Manager", "LoopSetup",
                                         { QVariant::fromValue(QDBusUnixFileDescriptor(imageFile.handle())), QVariantMap() });
        QVERIFY2(loop.type() == QDBusMessage::ReplyMessage, qPrintable(loop.errorMessage()));
        const QString block = loop.arguments().value(0).value<QDBusObjectPath>().path();
        const auto deleteLoop = qScopeGuard([&] { udisks(block, "Filesystem", "Unmount"), udisks(block, "Loop", "Delete"); });
        QDBusMessage mount; // the file system shows once udev has probed the new loop device
        for (int tries = 0; (mount = udisks(block, "Filesystem", "Mount")).type() != QDBusMessage::ReplyMessage && tries < 100; ++tries)
            QThread::msleep(100);
        const QString mountPoint = mount.arguments().value(0).toString(), device = "/dev/loop" + block.section("loop", -1);
        QString drive = setting == "folder" ? mountPoint + "/folder" : setting == "tmpfs" ? work.path() : mountPoint;
        QFile held(mountPoint + "/lumetra.bin");
        QVERIFY(setting != "held" || held.open(QIODevice::WriteOnly));
        QVERIFY(setting != "folder" || QDir().mkpath(drive));
        const bool covered = setting == "tmpfs" || setting == "covered";
        QVERIFY(!covered || ::mount("cover", QFile::encodeName(drive), "tmpfs", 0, nullptr) == 0);
        QProcess monitor; // sees every udisks request that might ask for a password
        monitor.start("dbus-monitor", { "--system", "type='method_call',interface='org.freedesktop.UDisks2.Filesystem'",
                                        "type='method_call',interface='org.freedesktop.UDisks2.Drive'" });
        QVERIFY(monitor.waitForReadyRead(5000));

        QTemporaryFile console; // what ejectDrive prints, caught at the descriptor as a console would
        QVERIFY(console.open());
        std::fflush(stdout);
        const int stdoutCopy = ::dup(STDOUT_FILENO);
        ::dup2(console.handle(), STDOUT_FILENO);
        const quint32 code = EjectLumetra(std::make_unique<UdisksEjectSystem>(bus)).ejectDrive(drive);
        ::dup2(stdoutCopy, STDOUT_FILENO);
        ::close(stdoutCopy);
        QTEST(code, "code");
        QCOMPARE(fileText(console.fileName()), output.replace("%1", QFile::encodeName(device)));
        monitor.terminate();
        QVERIFY(monitor.waitForFinished(5000));
        const QString requests = monitor.readAll();
        QCOMPARE(requests.count(QRegularExpression("auth.no_user_interaction\"\\s+variant\\s+boolean true")),
                 requests.count(QRegularExpression("member=(Unmount|Eject|PowerOff)")));

        QVERIFY(!covered || ::umount2(QFile::encodeName(drive), 0) == 0);
        QCOMPARE(fileText("/proc/self/mountinfo").contains(" " + QFile::encodeName(mountPoint) + " "), output != "Success/n/n");
        QCOMPARE(fileText(QStringLiteral("/sys/block/%1/loop/backing_file").arg(device.mid(5))).trimmed(), QFile::encodeName(image));
        const QFileInfoList descriptors = QDir("/proc/self/fd").entryInfoList(QDir::System);
        QVERIFY2(std::none_of(descriptors.begin(), descriptors.end(), [&](const QFileInfo &fd) { return fd.symLinkTarget() == device; }),
                 "a handle on the device was left open");
    }
};

QTEST_GUILESS_MAIN(TestUdisksEjection)
#include "tst_udisksejection.moc"
