#ifndef EJECTSYSTEM_WIN_H
#define EJECTSYSTEM_WIN_H

#include "ejectsystem.h"

// The safe removal's system calls on Windows: kernel32, SetupAPI and the Configuration
// Manager, each called with the arguments the removal needs and nothing more.
class WindowsEjectSystem : public EjectSystem
{
public:
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
};

#endif // EJECTSYSTEM_WIN_H
