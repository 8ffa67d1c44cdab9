#include "ejectsystem_linux.h"

#include <QtCore/QDebug>
#include <QtCore/QLoggingCategory>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMap>
#include <QtCore/QThread>
#include <QtCore/QVariantMap>
#include <QtDBus/QDBusArgument>
#include <QtDBus/QDBusError>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusMetaType>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusReply>
#include <QtDBus/QDBusVariant>

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using InterfaceProperties = QMap<QString, QVariantMap>;
using ManagedObjects = QMap<QDBusObjectPath, InterfaceProperties>;
Q_DECLARE_METATYPE(InterfaceProperties)
Q_DECLARE_METATYPE(ManagedObjects)

namespace {

Q_LOGGING_CATEGORY(lcEject, "lumetra.eject")

} // namespace

namespace {

const QString udisksService = QStringLiteral("org.freedesktop.UDisks2");
const QString udisksRoot = QStringLiteral("/org/freedesktop/UDisks2");
const QString drivesPrefix = QStringLiteral("/org/freedesktop/UDisks2/drives/");
const QString blockInterface = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString driveInterface = QStringLiteral("org.freedesktop.UDisks2.Drive");
const QString filesystemInterface = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString partitionInterface = QStringLiteral("org.freedesktop.UDisks2.Partition");
const QString noObject = QStringLiteral("/");

// No password dialog may come up behind the frozen window: udisks refuses instead.
QVariantList noInteraction()
{
    return { QVariantMap { { QStringLiteral("auth.no_user_interaction"), true } } };
}

const QString udisksErrorPrefix = QStringLiteral("org.freedesktop.UDisks2.Error.");
const QString busyError = QStringLiteral("org.freedesktop.UDisks2.Error.DeviceBusy");
const QString notAuthorizedErrorPrefix = QStringLiteral("org.freedesktop.UDisks2.Error.NotAuthorized");
const QString accessDeniedError = QStringLiteral("org.freedesktop.DBus.Error.AccessDenied");
const QString unknownObjectError = QStringLiteral("org.freedesktop.DBus.Error.UnknownObject");

QString pathValue(const QVariant &value)
{
    return value.value<QDBusObjectPath>().path();
}

// udisks sends paths as zero-terminated byte strings.
QByteArray withoutTerminator(QByteArray bytes)
{
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes;
}

QByteArrayList mountPoints(const InterfaceProperties &interfaces)
{
    QByteArrayList points = qdbus_cast<QByteArrayList>(interfaces.value(filesystemInterface).value(
            QStringLiteral("MountPoints")));
    for (QByteArray &point : points)
        point = withoutTerminator(point);
    return points;
}

bool isOpticalDrive(const ManagedObjects &objects, const QString &drivePath)
{
    if (drivePath == noObject)
        return false;
    const QVariantMap drive = objects.value(QDBusObjectPath(drivePath)).value(driveInterface);
    if (drive.value(QStringLiteral("Optical")).toBool())
        return true;
    const QStringList media = drive.value(QStringLiteral("MediaCompatibility")).toStringList();
    for (const QString &medium : media) {
        if (medium.startsWith(QLatin1String("optical")))
            return true;
    }
    return false;
}

// The root path as the mount table spells it.
QByteArray canonicalRoot(const std::string &drive)
{
    const QString root = QFile::decodeName(QByteArray(drive.data(), int(drive.size())));
    if (!QDir::isAbsolutePath(root))
        return QByteArray();
    return QFile::encodeName(QFileInfo(root).canonicalFilePath());
}

EjectSystem::Handle openBlockDevice(const char *path)
{
    // O_PATH, like access 0 on Windows: a handle to ask about the device, not to use it.
    const int descriptor = ::open(path, O_PATH | O_CLOEXEC);
    if (descriptor < 0)
        return EjectSystem::invalidHandle;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISBLK(status.st_mode)) {
        ::close(descriptor);
        return EjectSystem::invalidHandle;
    }
    return EjectSystem::Handle(descriptor);
}

EjectSystem::ConfigResult answer(const QDBusError &error, std::uint32_t *vetoType, wchar_t *vetoName,
                                 std::uint32_t vetoNameLength)
{
    if (!error.isValid()) {
        *vetoType = EjectSystem::vetoTypeUnknown;
        return EjectSystem::resultSuccess;
    }
    const QString name = error.name();
    if (name == unknownObjectError)
        return EjectSystem::resultNoSuchNode;
    // No answer from udisks at all: no bus, no service, or no reply in time.
    if (!name.startsWith(udisksErrorPrefix) && name != accessDeniedError)
        return EjectSystem::resultNoServices;

    if (name == busyError)
        *vetoType = EjectSystem::vetoOutstandingOpen;
    else if (name.startsWith(notAuthorizedErrorPrefix) || name == accessDeniedError)
        *vetoType = EjectSystem::vetoInsufficientRights;
    else
        *vetoType = EjectSystem::vetoDevice;
    if (vetoNameLength > 0) {
        const int written = error.message().left(int(vetoNameLength) - 1).toWCharArray(vetoName);
        vetoName[written] = 0;
    }
    return EjectSystem::resultRemoveVetoed;
}

} // namespace

UdisksEjectSystem::UdisksEjectSystem(const QString &busAddress)
    : busAddress(busAddress),
      connectionName(QStringLiteral("lumetra-eject-%1").arg(quintptr(this), 0, 16))
{
    qDBusRegisterMetaType<InterfaceProperties>();
    qDBusRegisterMetaType<ManagedObjects>();
}

UdisksEjectSystem::~UdisksEjectSystem()
{
    if (!busAddress.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
}

EjectSystem::Handle UdisksEjectSystem::openVolume(const std::string &drive)
{
    // Every removal starts here, and all it asks of udisks from here on shares one deadline.
    deadline = QDeadlineTimer(removalDeadlineMilliseconds);
    volumeNumber = 0;
    // The volume is the file system the root shows, the top one where several are mounted
    // there: the block device whose number is the root's own device number.
    const QByteArray root = canonicalRoot(drive);
    struct stat rootStatus;
    struct stat parentStatus;
    if (root.isEmpty() || ::stat(root.constData(), &rootStatus) != 0
        || ::stat((root + "/..").constData(), &parentStatus) != 0)
        return invalidHandle;
    // A folder inside a volume is no volume.
    if (parentStatus.st_dev == rootStatus.st_dev)
        return invalidHandle;
    const QByteArray number = QByteArray::number(major(rootStatus.st_dev)) + ':'
            + QByteArray::number(minor(rootStatus.st_dev));
    QFile uevent(QStringLiteral("/sys/dev/block/") + QString::fromLatin1(number) + QStringLiteral("/uevent"));
    if (!uevent.open(QIODevice::ReadOnly))
        return invalidHandle;
    QByteArray name;
    for (const QByteArray &line : uevent.readAll().split('\n')) {
        if (line.startsWith("DEVNAME="))
            name = "/dev/" + line.mid(8);
    }
    const Handle handle = name.isEmpty() ? invalidHandle : openBlockDevice(name.constData());
    struct stat deviceStatus;
    if (handle != invalidHandle && (::fstat(int(handle), &deviceStatus) != 0
                                    || deviceStatus.st_rdev != rootStatus.st_dev)) {
        closeHandle(handle);
        return invalidHandle;
    }
    volumeNumber = rootStatus.st_dev;
    return handle;
}

bool UdisksEjectSystem::queryDeviceNumber(Handle handle, StorageDeviceNumber *number)
{
    struct stat status;
    if (::fstat(int(handle), &status) != 0 || !S_ISBLK(status.st_mode))
        return false;
    // The number as udisks reports it (DeviceNumber); one that does not fit names no device.
    if (status.st_rdev >= 0xFFFFFFFFu)
        return false;
    number->deviceType = 0;
    number->deviceNumber = std::uint32_t(status.st_rdev);
    number->partitionNumber = 0;
    return true;
}

void UdisksEjectSystem::closeHandle(Handle handle)
{
    ::close(int(handle));
}

std::uint32_t UdisksEjectSystem::driveType(const std::string &drive)
{
    const QDBusReply<ManagedObjects> objects = managedObjects();
    if (!objects.isValid())
        return driveUnknown;
    const QByteArray root = canonicalRoot(drive);
    const ManagedObjects &all = objects.value();
    for (const InterfaceProperties &interfaces : all) {
        // Only the volume itself, never a file system that a later mount covers at the root.
        if (!interfaces.contains(filesystemInterface) || !mountPoints(interfaces).contains(root)
            || interfaces.value(blockInterface).value(QStringLiteral("DeviceNumber")).toULongLong()
                    != volumeNumber)
            continue;
        const QString drivePath = pathValue(interfaces.value(blockInterface).value(QStringLiteral("Drive")));
        // A block device of its own, such as a loop device, is a fixed disk to the caller.
        if (drivePath == noObject)
            return driveFixed;
        const auto driveObject = all.constFind(QDBusObjectPath(drivePath));
        if (driveObject == all.cend())
            return driveUnknown;
        if (isOpticalDrive(all, drivePath))
            return driveCdRom;
        return driveObject->value(driveInterface).value(QStringLiteral("MediaRemovable")).toBool() ? driveRemovable
                                                                                                    : driveFixed;
    }
    return driveNoRootDir;
}

EjectSystem::DeviceList UdisksEjectSystem::getClassDevs(InterfaceClass interfaceClass)
{
    const QDBusReply<ManagedObjects> objects = managedObjects();
    if (!objects.isValid())
        return invalidList;
    const ManagedObjects &all = objects.value();
    std::vector<ListedBlock> blocks;
    for (auto object = all.cbegin(); object != all.cend(); ++object) {
        const QVariantMap block = object.value().value(blockInterface);
        if (block.isEmpty())
            continue;
        const bool optical = isOpticalDrive(all, pathValue(block.value(QStringLiteral("Drive"))));
        if (optical != (interfaceClass == InterfaceClass::CdRom))
            continue;
        blocks.push_back({ object.key().path(), withoutTerminator(block.value(QStringLiteral("Device")).toByteArray()) });
    }
    const DeviceList list = nextList++;
    lists[list] = std::move(blocks);
    return list;
}

bool UdisksEjectSystem::enumInterfaces(DeviceList list, InterfaceClass, std::uint32_t index,
                                       InterfaceRecord *record)
{
    const auto listed = lists.find(list);
    if (listed == lists.end() || index >= listed->second.size())
        return false;
    std::memset(record->bytes, 0, sizeof record->bytes);
    std::memcpy(record->bytes, &index, sizeof index);
    return true;
}

const UdisksEjectSystem::ListedBlock *UdisksEjectSystem::listedBlock(DeviceList list,
                                                                    const InterfaceRecord &record) const
{
    std::uint32_t index = 0;
    std::memcpy(&index, record.bytes, sizeof index);
    const auto listed = lists.find(list);
    if (listed == lists.end() || index >= listed->second.size())
        return nullptr;
    return &listed->second[index];
}

std::uint32_t UdisksEjectSystem::interfaceDetailSize(DeviceList list, const InterfaceRecord &record)
{
    // The detail is the device file's path with its terminator.
    const ListedBlock *block = listedBlock(list, record);
    if (!block || block->devicePath.isEmpty())
        return 0;
    return std::uint32_t(block->devicePath.size()) + 1;
}

bool UdisksEjectSystem::interfaceDetail(DeviceList list, const InterfaceRecord &record, DetailBuffer *detail,
                                        std::uint32_t size, DeviceInstance *instance)
{
    const ListedBlock *block = listedBlock(list, record);
    if (!block || block->devicePath.isEmpty() || std::uint32_t(block->devicePath.size()) + 1 > size
        || size > detailBufferSize)
        return false;
    std::memcpy(detail->bytes, block->devicePath.constData(), size_t(block->devicePath.size()) + 1);
    *instance = instanceOf(block->objectPath);
    return true;
}

EjectSystem::Handle UdisksEjectSystem::openInterface(const DetailBuffer &detail)
{
    const void *end = std::memchr(detail.bytes, 0, sizeof detail.bytes);
    if (!end)
        return invalidHandle;
    return openBlockDevice(reinterpret_cast<const char *>(detail.bytes));
}

void UdisksEjectSystem::destroyList(DeviceList list)
{
    lists.erase(list);
}

EjectSystem::ConfigResult UdisksEjectSystem::getParent(DeviceInstance *parent, DeviceInstance instance)
{
    const QString path = objectPathOf(instance);
    if (path.isEmpty() || path.startsWith(drivesPrefix))
        return resultNoSuchNode;
    const QDBusMessage reply = property(path, blockInterface, QStringLiteral("Drive"));
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorName() == unknownObjectError ? resultNoSuchNode : resultNoServices;
    const QString drivePath = pathValue(reply.arguments().value(0).value<QDBusVariant>().variant());
    // Without a drive (a loop device) the block device is the unit that goes.
    *parent = drivePath == noObject ? instance : instanceOf(drivePath);
    return resultSuccess;
}

EjectSystem::ConfigResult UdisksEjectSystem::getStatus(std::uint32_t *status, std::uint32_t *problem,
                                                       DeviceInstance node)
{
    const QString path = objectPathOf(node);
    if (path.isEmpty())
        return resultNoSuchNode;
    *problem = 0;
    if (!path.startsWith(drivesPrefix)) {
        *status = 0;
        return resultSuccess;
    }
    const QDBusMessage reply = property(path, driveInterface, QStringLiteral("Ejectable"));
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorName() == unknownObjectError ? resultNoSuchNode : resultNoServices;
    const bool ejectable = reply.arguments().value(0).value<QDBusVariant>().variant().toBool();
    *status = ejectable ? statusRemovable : 0;
    return resultSuccess;
}

EjectSystem::ConfigResult UdisksEjectSystem::requestEject(DeviceInstance node, std::uint32_t *vetoType,
                                                          wchar_t *vetoName, std::uint32_t vetoNameLength)
{
    return unmountAndRelease(node, true, vetoType, vetoName, vetoNameLength);
}

EjectSystem::ConfigResult UdisksEjectSystem::queryAndRemove(DeviceInstance node, std::uint32_t *vetoType,
                                                            wchar_t *vetoName, std::uint32_t vetoNameLength)
{
    return unmountAndRelease(node, false, vetoType, vetoName, vetoNameLength);
}

EjectSystem::ConfigResult UdisksEjectSystem::unmountAndRelease(DeviceInstance node, bool eject,
                                                               std::uint32_t *vetoType, wchar_t *vetoName,
                                                               std::uint32_t vetoNameLength)
{
    const QString path = objectPathOf(node);
    if (path.isEmpty())
        return resultNoSuchNode;

    QDBusError error = unmountFileSystems(path);
    // A block device without a drive is done once unmounted: there is nothing to eject, and a
    // loop device must never be powered off.
    if (!error.isValid() && path.startsWith(drivesPrefix)) {
        if (eject) {
            error = QDBusError(call(path, driveInterface, QStringLiteral("Eject"), noInteraction(),
                                    actionTimeoutMilliseconds));
        } else {
            const QDBusMessage canPowerOff = property(path, driveInterface, QStringLiteral("CanPowerOff"));
            if (canPowerOff.type() == QDBusMessage::ErrorMessage)
                error = QDBusError(canPowerOff);
            else if (canPowerOff.arguments().value(0).value<QDBusVariant>().variant().toBool())
                error = QDBusError(call(path, driveInterface, QStringLiteral("PowerOff"), noInteraction(),
                                        actionTimeoutMilliseconds));
        }
    }
    return answer(error, vetoType, vetoName, vetoNameLength);
}

// Unmounts every mounted file system of the drive, or of the block device and its partitions;
// the first refusal ends it.
QDBusError UdisksEjectSystem::unmountFileSystems(const QString &nodePath) const
{
    const QDBusMessage reply = managedObjects();
    const QDBusReply<ManagedObjects> objects = reply;
    if (!objects.isValid())
        return QDBusError(reply);
    const bool drive = nodePath.startsWith(drivesPrefix);
    const ManagedObjects &all = objects.value();
    for (auto object = all.cbegin(); object != all.cend(); ++object) {
        const InterfaceProperties &interfaces = object.value();
        const QVariantMap block = interfaces.value(blockInterface);
        const bool belongs = drive
                ? pathValue(block.value(QStringLiteral("Drive"))) == nodePath
                : object.key().path() == nodePath
                        || pathValue(interfaces.value(partitionInterface).value(QStringLiteral("Table")))
                                == nodePath;
        if (!belongs || block.isEmpty() || mountPoints(interfaces).isEmpty())
            continue;
        const QDBusMessage unmounted = call(object.key().path(), filesystemInterface, QStringLiteral("Unmount"),
                                            noInteraction(), actionTimeoutMilliseconds);
        if (unmounted.type() == QDBusMessage::ErrorMessage)
            return QDBusError(unmounted);
    }
    return QDBusError();
}

void UdisksEjectSystem::sleep(std::uint32_t milliseconds)
{
    QThread::msleep(milliseconds);
}

void UdisksEjectSystem::printMessage(const char *message)
{
    say(QByteArray(message));
}

void UdisksEjectSystem::printNumber(const char *format, std::uint32_t value)
{
    say(QString::asprintf(format, unsigned(value)).toUtf8());
}

void UdisksEjectSystem::printWide(const char *format, const wchar_t *text)
{
    // "%ws" is the Windows runtime's wide string; here the name goes out as UTF-8 in its place.
    QByteArray narrowFormat(format);
    narrowFormat.replace("%ws", "%s");
    say(QString::asprintf(narrowFormat.constData(), QString::fromWCharArray(text).toUtf8().constData()).toUtf8());
}

// On the console stream, and in the log for support.
void UdisksEjectSystem::say(const QByteArray &text)
{
    std::fputs(text.constData(), consoleStream());
    std::fflush(consoleStream());
    qCDebug(lcEject).noquote() << "EjectLumetra:" << QString::fromUtf8(text).trimmed();
}

QDBusConnection UdisksEjectSystem::bus() const
{
    if (busAddress.isEmpty())
        return QDBusConnection::systemBus();
    return QDBusConnection::connectToBus(busAddress, connectionName);
}

QDBusMessage UdisksEjectSystem::call(const QString &objectPath, const QString &interface, const QString &method,
                                     const QVariantList &arguments, int timeoutMilliseconds) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(udisksService, objectPath, interface, method);
    message.setArguments(arguments);
    // A stuck udisks must not hold the caller past the removal's deadline; Qt takes a
    // timeout of 0 as its own default of 25 s, so an expired deadline asks nothing.
    const qint64 remaining = deadline.remainingTime();
    if (remaining == 0)
        return message.createErrorReply(QDBusError::Timeout, QStringLiteral("the removal ran out of time"));
    return bus().call(message, QDBus::Block, remaining < 0 ? timeoutMilliseconds
                                                           : int(qMin<qint64>(remaining, timeoutMilliseconds)));
}

// Everything udisks knows, in one answer: its objects with their interfaces and properties.
QDBusMessage UdisksEjectSystem::managedObjects() const
{
    return call(udisksRoot, QStringLiteral("org.freedesktop.DBus.ObjectManager"), QStringLiteral("GetManagedObjects"),
                {}, queryTimeoutMilliseconds);
}

QDBusMessage UdisksEjectSystem::property(const QString &objectPath, const QString &interface,
                                         const QString &name) const
{
    return call(objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                { interface, name }, queryTimeoutMilliseconds);
}

EjectSystem::DeviceInstance UdisksEjectSystem::instanceOf(const QString &objectPath)
{
    for (size_t index = 0; index < instances.size(); ++index) {
        if (instances[index] == objectPath)
            return DeviceInstance(index + 1);
    }
    instances.push_back(objectPath);
    return DeviceInstance(instances.size());
}

QString UdisksEjectSystem::objectPathOf(DeviceInstance instance) const
{
    if (instance == 0 || instance > instances.size())
        return QString();
    return instances[instance - 1];
}
