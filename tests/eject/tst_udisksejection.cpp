#include "ejectlumetra.h"
#include "ejectsystem_linux.h"
#include "scratchvolume.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryFile>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusUnixFileDescriptor>
#include <QtDBus/QDBusVariant>
#include <QtTest/QtTest>

#include <functional>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString busSocket = QStringLiteral("/run/dbus/system_bus_socket");
const QString emptyBusSocket = QStringLiteral("/run/dbus/empty_bus_socket");
const QString udisks = QStringLiteral("org.freedesktop.UDisks2");

QString firstExisting(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QString();
}

bool waitFor(const std::function<bool()> &ready, int milliseconds = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.hasExpired(milliseconds))
            return false;
        QThread::msleep(50);
    }
    return true;
}

QDBusMessage udisksCall(const QString &path, const QString &interface, const QString &method,
                        const QVariantList &arguments = { QVariant::fromValue(QVariantMap()) })
{
    QDBusMessage message = QDBusMessage::createMethodCall(udisks, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::systemBus().call(message, QDBus::Block, 15000);
}

QVariant udisksProperty(const QString &path, const QString &interface, const QString &name)
{
    const QDBusMessage reply = udisksCall(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                          QStringLiteral("Get"), { interface, name });
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

// What ejectDrive prints on standard output, caught at the descriptor as a console would.
QByteArray printedBy(const std::function<void()> &run)
{
    QTemporaryFile file;
    if (!file.open())
        return "(no file to catch the output)";
    std::fflush(stdout);
    const int console = ::dup(STDOUT_FILENO);
    ::dup2(file.handle(), STDOUT_FILENO);
    run();
    std::fflush(stdout);
    ::dup2(console, STDOUT_FILENO);
    ::close(console);
    file.seek(0);
    return file.readAll();
}

bool isMounted(const QString &path)
{
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    return mounts.open(QIODevice::ReadOnly) && mounts.readAll().contains(" " + QFile::encodeName(path) + " ");
}

bool holdsOpen(const QString &device)
{
    const QFileInfoList descriptors = QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System);
    return std::any_of(descriptors.begin(), descriptors.end(),
                       [&](const QFileInfo &descriptor) { return descriptor.symLinkTarget() == device; });
}

} // namespace

// The Linux device layer against a real udisks: its own system bus, udev and udisks in this
// test's private mount namespace, on an ext4 image that udisks sets up and mounts.
class TestUdisksEjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void unreachable_data();
    void unreachable();
    void ejection_data();
    void ejection();

private:
    bool start(QProcess &process, const QString &program, const QStringList &arguments,
               const std::function<bool()> &ready);

    QTemporaryDir work;
    QProcess bus;
    QProcess emptyBus;
    QProcess udevd;
    QProcess udisksd;
    QStringList mounted;
};

bool TestUdisksEjection::start(QProcess &process, const QString &program, const QStringList &arguments,
                               const std::function<bool()> &ready)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForStarted() && waitFor([&] { return ready() || process.state() != QProcess::Running; })
        && process.state() == QProcess::Running)
        return true;
    qWarning().noquote() << program << "did not come up:" << process.readAll();
    return false;
}

void TestUdisksEjection::initTestCase()
{
    const QString reason = ScratchVolume::unavailableReason();
    if (!reason.isEmpty())
        QSKIP(qPrintable(reason));
    const QString dbusDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    const QString udevDaemon = firstExisting({ "/lib/systemd/systemd-udevd", "/usr/lib/systemd/systemd-udevd" });
    const QString udisksDaemon = firstExisting({ "/usr/libexec/udisks2/udisksd", "/usr/lib/udisks2/udisksd" });
    if (dbusDaemon.isEmpty() || udevDaemon.isEmpty() || udisksDaemon.isEmpty())
        QSKIP("needs dbus-daemon, systemd-udevd and udisksd (Debian packages dbus, udev, udisks2)");

    // Our own /run holds the bus sockets and udev's database; our own /media the mount points.
    for (const char *directory : { "/run", "/media" }) {
        QVERIFY2(::mount("lumetra-test", directory, "tmpfs", MS_NOSUID | MS_NODEV, "mode=0755") == 0, directory);
        mounted << QString::fromLatin1(directory);
    }
    QVERIFY(QDir().mkpath(QStringLiteral("/run/dbus")) && QDir().mkpath(QStringLiteral("/run/udev")));
    for (const QString &socket : { busSocket, emptyBusSocket }) {
        QFile config(socket + QStringLiteral(".conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>system</type><listen>unix:path=" + socket.toUtf8() + "</listen>"
                     "<auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
                     "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n");
        config.close();
        QProcess &daemon = socket == busSocket ? bus : emptyBus;
        QVERIFY(start(daemon, dbusDaemon, { "--config-file=" + config.fileName(), "--nofork", "--nopidfile" },
                      [&] { return QFile::exists(socket); }));
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + busSocket.toUtf8());
    // Without udev's database udisks sees no block devices at all.
    QVERIFY(start(udevd, udevDaemon, {}, [] { return QFile::exists(QStringLiteral("/run/udev/control")); }));
    QVERIFY(start(udisksd, udisksDaemon, { QStringLiteral("--no-sigint") }, [] {
        return QDBusConnection::systemBus().interface()->isServiceRegistered(udisks).value();
    }));
}

void TestUdisksEjection::cleanupTestCase()
{
    for (QProcess *daemon : { &udisksd, &udevd, &emptyBus, &bus }) {
        daemon->terminate();
        if (!daemon->waitForFinished(5000))
            daemon->kill();
        daemon->waitForFinished();
    }
    for (const QString &directory : mounted)
        ::umount2(QFile::encodeName(directory).constData(), MNT_DETACH);
}

void TestUdisksEjection::unreachable_data()
{
    QTest::addColumn<QString>("busAddress");
    QTest::addColumn<int>("volume");
    QTest::addColumn<quint32>("code");

    enum { Ext4, Tmpfs, Folder };
    QTest::newRow("no system bus at all") << "unix:path=/run/dbus/nothing_here" << int(Ext4) << 4u;
    QTest::newRow("a bus without udisks") << "unix:path=" + emptyBusSocket << int(Ext4) << 4u;
    QTest::newRow("a folder that is not a mount point") << QString() << int(Folder) << 2u;
    QTest::newRow("a tmpfs, which has no block device") << QString() << int(Tmpfs) << 2u;
}

// The step that cannot be taken gives its code at once, and nothing is printed.
void TestUdisksEjection::unreachable()
{
    QFETCH(QString, busAddress);
    QFETCH(int, volume);

    ScratchVolume scratch(volume == 0 ? ScratchVolume::Kind::Ext4Image : ScratchVolume::Kind::Tmpfs);
    QVERIFY2(scratch.isMounted(), qPrintable(scratch.errorString()));
    const QString drive = volume == 2 ? work.path() : scratch.rootPath();
    EjectLumetra ejector(std::make_unique<UdisksEjectSystem>(busAddress));
    quint32 code = 0;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(printedBy([&] { code = ejector.ejectDrive(EjectLumetra::driveName(drive)); }), QByteArray());
    qInfo("%s: %lld ms", QTest::currentDataTag(), timer.elapsed());
    QTEST(code, "code");
    QCOMPARE(isMounted(scratch.rootPath()), true);
}

void TestUdisksEjection::ejection_data()
{
    QTest::addColumn<bool>("fileHeldOpen");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("an idle drive is unmounted; its loop device is left alone") << false << 0u
                                                                                << QByteArray("Success/n/n");
    QTest::newRow("a file held open on it: three refusals with udisks' message")
            << true << 5u << QByteArray("failed/nResult=0x17/nVetoName=Error unmounting %1: target is busy)/n/n");
}

void TestUdisksEjection::ejection()
{
    QFETCH(bool, fileHeldOpen);
    QFETCH(QByteArray, output);

    // udisks sets the image up on a loop device and mounts it, as it would a USB stick.
    const QString image = work.filePath(QStringLiteral("unit.img"));
    QCOMPARE(QProcess::execute(QStringLiteral("truncate"), { "-s", "16M", image }), 0);
    QCOMPARE(QProcess::execute(QStringLiteral("mkfs.ext4"), { "-q", "-F", image }), 0);
    QFile imageFile(image);
    QVERIFY(imageFile.open(QIODevice::ReadWrite));
    const QDBusMessage loop = udisksCall(QStringLiteral("/org/freedesktop/UDisks2/Manager"),
                                         QStringLiteral("org.freedesktop.UDisks2.Manager"), QStringLiteral("LoopSetup"),
                                         { QVariant::fromValue(QDBusUnixFileDescriptor(imageFile.handle())),
                                           QVariant::fromValue(QVariantMap()) });
    QVERIFY2(loop.type() == QDBusMessage::ReplyMessage, qPrintable(loop.errorMessage()));
    const QString block = loop.arguments().value(0).value<QDBusObjectPath>().path();
    const auto deleteLoop = qScopeGuard([&] {
        udisksCall(block, QStringLiteral("org.freedesktop.UDisks2.Filesystem"), QStringLiteral("Unmount"));
        udisksCall(block, QStringLiteral("org.freedesktop.UDisks2.Loop"), QStringLiteral("Delete"));
    });
    QDBusMessage mount;
    // The file system shows once udev has probed the new loop device.
    QVERIFY2(waitFor([&] {
                 mount = udisksCall(block, QStringLiteral("org.freedesktop.UDisks2.Filesystem"),
                                    QStringLiteral("Mount"));
                 return mount.type() == QDBusMessage::ReplyMessage;
             }),
             qPrintable(mount.errorMessage()));
    const QString mountPoint = mount.arguments().value(0).toString();
    const QString device = QString::fromUtf8(
            udisksProperty(block, QStringLiteral("org.freedesktop.UDisks2.Block"), QStringLiteral("Device"))
                    .toByteArray()
                    .chopped(1));

    QFile heldFile(mountPoint + QStringLiteral("/lumetra.bin"));
    if (fileHeldOpen)
        QVERIFY(heldFile.open(QIODevice::WriteOnly));
    EjectLumetra ejector;
    quint32 code = 0;
    QCOMPARE(printedBy([&] { code = ejector.ejectDrive(EjectLumetra::driveName(mountPoint)); }),
             output.replace("%1", QFile::encodeName(device)));
    QTEST(code, "code");
    QCOMPARE(isMounted(mountPoint), fileHeldOpen);
    QVERIFY2(!holdsOpen(device), "a handle on the device was left open");
    QCOMPARE(udisksProperty(block, QStringLiteral("org.freedesktop.UDisks2.Loop"), QStringLiteral("BackingFile"))
                     .toByteArray()
                     .chopped(1),
             QFile::encodeName(image));
}

QTEST_GUILESS_MAIN(TestUdisksEjection)
#include "tst_udisksejection.moc"
