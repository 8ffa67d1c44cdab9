#include "ejectalgorithm.h"

namespace {

constexpr int attemptCount = 3;
constexpr std::uint32_t attemptPauseMilliseconds = 200;
constexpr std::uint32_t unknownDeviceNumber = 0xFFFFFFFF;

} // namespace

std::uint32_t ejectDrive(EjectSystem &system, const std::string &drive)
{
    // An empty string names no volume, and its root path would take the terminator as letter.
    if (drive.empty())
        return EjectResult::volumeNotOpened;

    const EjectSystem::Handle volume = system.openVolume(drive);
    if (volume == EjectSystem::invalidHandle)
        return EjectResult::volumeNotOpened;

    EjectSystem::StorageDeviceNumber number = {};
    const bool numbered = system.queryDeviceNumber(volume, &number);
    system.closeHandle(volume);
    if (!numbered || number.deviceNumber == unknownDeviceNumber)
        return EjectResult::noDeviceNumber;

    const std::uint32_t type = system.driveType(drive);
    const EjectSystem::DeviceInstance device = findDiskDeviceInstance(system, number.deviceNumber, type);
    if (device == 0)
        return EjectResult::noDevice;

    // The request goes to the device that carries the disk. Neither query's result is looked
    // at: a parent that cannot be found or read shows up as a failed attempt below.
    EjectSystem::DeviceInstance parent = 0;
    system.getParent(&parent, device);
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    system.getStatus(&status, &problem, parent);
    const bool ejectable = (status & EjectSystem::statusRemovable) != 0;

    std::uint32_t vetoType = EjectSystem::vetoTypeUnknown;
    wchar_t vetoName[EjectSystem::vetoNameCapacity];
    EjectSystem::ConfigResult result = EjectSystem::resultSuccess;
    for (int attempt = 0; attempt < attemptCount; ++attempt) {
        vetoName[0] = 0;
        if (ejectable)
            result = system.requestEject(parent, &vetoType, vetoName, EjectSystem::vetoNameCapacity);
        else
            result = system.queryAndRemove(parent, &vetoType, vetoName, EjectSystem::vetoNameCapacity);
        vetoName[EjectSystem::vetoNameCapacity - 1] = 0;
        // A veto counts even when the call itself reports success.
        if (result == EjectSystem::resultSuccess && vetoType == EjectSystem::vetoTypeUnknown) {
            system.printMessage(EjectMessage::success);
            return EjectResult::ejected;
        }
        system.sleep(attemptPauseMilliseconds);
    }

    system.printMessage(EjectMessage::failed);
    system.printNumber(EjectMessage::resultFormat, result);
    if (vetoName[0] != 0)
        system.printWide(EjectMessage::vetoNameFormat, vetoName);
    return EjectResult::refused;
}

EjectSystem::DeviceInstance findDiskDeviceInstance(EjectSystem &system, std::uint32_t deviceNumber,
                                                   std::uint32_t driveType)
{
    EjectSystem::InterfaceClass interfaceClass;
    switch (driveType) {
    case EjectSystem::driveRemovable:
    case EjectSystem::driveFixed:
        interfaceClass = EjectSystem::InterfaceClass::Disk;
        break;
    case EjectSystem::driveCdRom:
        interfaceClass = EjectSystem::InterfaceClass::CdRom;
        break;
    default:
        return 0;
    }

    const EjectSystem::DeviceList list = system.getClassDevs(interfaceClass);
    if (list == EjectSystem::invalidList)
        return 0;

    EjectSystem::InterfaceRecord record = {};
    for (std::uint32_t index = 0; system.enumInterfaces(list, interfaceClass, index, &record); ++index) {
        const std::uint32_t size = system.interfaceDetailSize(list, record);
        if (size == 0 || size > EjectSystem::detailBufferSize)
            continue;

        EjectSystem::DetailBuffer detail;
        EjectSystem::DeviceInstance instance = 0;
        if (!system.interfaceDetail(list, record, &detail, size, &instance))
            continue;

        const EjectSystem::Handle handle = system.openInterface(detail);
        if (handle == EjectSystem::invalidHandle)
            continue;

        EjectSystem::StorageDeviceNumber number = {};
        const bool numbered = system.queryDeviceNumber(handle, &number);
        system.closeHandle(handle);
        if (numbered && number.deviceNumber == deviceNumber) {
            system.destroyList(list);
            return instance;
        }
    }

    system.destroyList(list);
    return 0;
}
