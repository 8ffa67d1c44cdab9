#ifndef EJECTSYSTEM_LINUX_H
#define EJECTSYSTEM_LINUX_H

#include "ejectsystem.h"

#include <QtCore/QByteArray>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QString>
#include <QtDBus/QDBusConnection>

#include <map>
#include <vector>

class QDBusError;
class QDBusMessage;

// The safe removal's system calls on Linux, answered by udisks2 over the system bus.
// A drive is named by its root path; the volume is the block device whose number is the
// root's device number (the file system on top, where several are mounted at the root), and
// udisks must list it as mounted at the root. A device list is one look at udisks' block
// devices of a class (optical or not), and a device instance stands for a udisks block device
// or drive. A block device's parent is its udisks drive, or itself when it has none (a loop
// device): ejecting a drive unmounts its file systems and ejects it, removing one unmounts
// them and powers the drive off where udisks can, and a block device without a drive is only
// unmounted. A refusal from udisks is a veto named by udisks' message.
class UdisksEjectSystem : public EjectSystem
{
public:
    // An empty address means the system bus.
    explicit UdisksEjectSystem(const QString &busAddress = QString());
    ~UdisksEjectSystem() override;

    UdisksEjectSystem(const UdisksEjectSystem &) = delete;
    UdisksEjectSystem &operator=(const UdisksEjectSystem &) = delete;

    // Bounds on every call, so that a missing or stuck udisks never hangs the caller: a
    // question, and an unmount, eject or power-off (which may have to flush the drive first);
    // and one on the whole removal, after which it fails with its code.
    static constexpr int queryTimeoutMilliseconds = 5000;
    static constexpr int actionTimeoutMilliseconds = 10000;
    static constexpr int removalDeadlineMilliseconds = 10000;

    Handle openVolume(const std::string &drive) override;
    bool queryDeviceNumber(Handle handle, StorageDeviceNumber *number) override;
    void closeHandle(Handle handle) override;
    std::uint32_t driveType(const std::string &drive) override;

    DeviceList getClassDevs(InterfaceClass interfaceClass) override;
    bool enumInterfaces(DeviceList list, InterfaceClass interfaceClass, std::uint32_t index,
                        InterfaceRecord *record) override;
    std::uint32_t interfaceDetailSize(DeviceList list, const InterfaceRecord &record) override;
    bool interfaceDetail(DeviceList list, const InterfaceRecord &record, DetailBuffer *detail,
                         std::uint32_t size, DeviceInstance *instance) override;
    Handle openInterface(const DetailBuffer &detail) override;
    void destroyList(DeviceList list) override;

    ConfigResult getParent(DeviceInstance *parent, DeviceInstance instance) override;
    ConfigResult getStatus(std::uint32_t *status, std::uint32_t *problem, DeviceInstance node) override;
    ConfigResult requestEject(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                              std::uint32_t vetoNameLength) override;
    ConfigResult queryAndRemove(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                                std::uint32_t vetoNameLength) override;

    void sleep(std::uint32_t milliseconds) override;

    void printMessage(const char *message) override;
    void printNumber(const char *format, std::uint32_t value) override;
    void printWide(const char *format, const wchar_t *text) override;

private:
    void say(const QByteArray &text);
    struct ListedBlock
    {
        QString objectPath;
        QByteArray devicePath;
    };

    QDBusConnection bus() const;
    QDBusMessage call(const QString &objectPath, const QString &interface, const QString &method,
                      const QVariantList &arguments, int timeoutMilliseconds) const;
    QDBusMessage managedObjects() const;
    QDBusMessage property(const QString &objectPath, const QString &interface, const QString &name) const;
    DeviceInstance instanceOf(const QString &objectPath);
    QString objectPathOf(DeviceInstance instance) const;
    const ListedBlock *listedBlock(DeviceList list, const InterfaceRecord &record) const;
    ConfigResult unmountAndRelease(DeviceInstance node, bool eject, std::uint32_t *vetoType, wchar_t *vetoName,
                                   std::uint32_t vetoNameLength);
    QDBusError unmountFileSystems(const QString &nodePath) const;

    QDeadlineTimer deadline;
    // The device number of the volume being removed, as openVolume found it.
    quint64 volumeNumber = 0;
    QString busAddress;
    QString connectionName;
    // Device instance n stands for instances[n - 1]; 0 stands for nothing.
    std::vector<QString> instances;
    std::map<DeviceList, std::vector<ListedBlock>> lists;
    DeviceList nextList = 1;
};

#endif // EJECTSYSTEM_LINUX_H
