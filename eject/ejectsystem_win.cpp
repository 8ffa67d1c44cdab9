#include "ejectsystem_win.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>
#include <winioctl.h>

#include <cstdio>
#include <cstring>

// "%ws" is the Microsoft C runtime's conversion for a wide string. MinGW's own printf, which
// its C++ library selects, prints it literally, so the Microsoft one is called there.
#if defined(__MINGW32__)
#define runtimePrintf __ms_fprintf
#else
#define runtimePrintf std::fprintf
#endif

namespace {

const GUID diskInterfaceClass = { 0x53f56307, 0xb6bf, 0x11d0,
                                  { 0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b } };
const GUID cdRomInterfaceClass = { 0x53f56308, 0xb6bf, 0x11d0,
                                   { 0x94, 0xf2, 0x00, 0xa0, 0xc9, 0x1e, 0xfb, 0x8b } };

constexpr int volumePathCapacity = 256;

static_assert(IOCTL_STORAGE_GET_DEVICE_NUMBER == 0x2D1080, "device-number query");
static_assert((DIGCF_PRESENT | DIGCF_DEVICEINTERFACE) == 0x12, "device list flags");
static_assert(sizeof(STORAGE_DEVICE_NUMBER) == sizeof(EjectSystem::StorageDeviceNumber),
              "device number record");
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) <= sizeof(EjectSystem::InterfaceRecord)
                      && alignof(SP_DEVICE_INTERFACE_DATA) <= alignof(EjectSystem::InterfaceRecord),
              "interface record");
static_assert(sizeof(void *) != 8
                      || (sizeof(SP_DEVINFO_DATA) == 32 && sizeof(SP_DEVICE_INTERFACE_DATA) == 32
                          && sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8),
              "record sizes on 64-bit Windows");
static_assert(sizeof(wchar_t) == sizeof(WCHAR), "veto name characters");
static_assert(MAX_PATH == EjectSystem::vetoNameCapacity, "veto name capacity");
static_assert(DN_REMOVABLE == EjectSystem::statusRemovable, "removable status bit");
static_assert(CR_SUCCESS == EjectSystem::resultSuccess && CR_REMOVE_VETOED == EjectSystem::resultRemoveVetoed,
              "Configuration Manager results");
static_assert(PNP_VetoTypeUnknown == EjectSystem::vetoTypeUnknown, "veto type");
static_assert(DRIVE_REMOVABLE == EjectSystem::driveRemovable && DRIVE_FIXED == EjectSystem::driveFixed
                      && DRIVE_CDROM == EjectSystem::driveCdRom,
              "drive types");

// Probing a drive without media must never bring up the system's "insert a disk" box.
class CriticalErrorsSuppressed
{
public:
    CriticalErrorsSuppressed() : previous(GetErrorMode()) { SetErrorMode(previous | SEM_FAILCRITICALERRORS); }
    ~CriticalErrorsSuppressed() { SetErrorMode(previous); }

    CriticalErrorsSuppressed(const CriticalErrorsSuppressed &) = delete;
    CriticalErrorsSuppressed &operator=(const CriticalErrorsSuppressed &) = delete;

private:
    UINT previous;
};

HANDLE toHandle(EjectSystem::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

HDEVINFO toList(EjectSystem::DeviceList list)
{
    return reinterpret_cast<HDEVINFO>(list);
}

const GUID &classGuid(EjectSystem::InterfaceClass interfaceClass)
{
    return interfaceClass == EjectSystem::InterfaceClass::CdRom ? cdRomInterfaceClass : diskInterfaceClass;
}

SP_DEVICE_INTERFACE_DATA interfaceData(const EjectSystem::InterfaceRecord &record)
{
    SP_DEVICE_INTERFACE_DATA data;
    std::memcpy(&data, record.bytes, sizeof data);
    return data;
}

// Access 0: enough to ask for the device number, and it never waits for media.
EjectSystem::Handle openPath(const WCHAR *path)
{
    const CriticalErrorsSuppressed quiet;
    const HANDLE handle = CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    return reinterpret_cast<EjectSystem::Handle>(handle);
}

} // namespace

EjectSystem::Handle WindowsEjectSystem::openVolume(const std::string &drive)
{
    // A volume is named by one drive letter; any other string names none.
    if (drive.size() != 1)
        return invalidHandle;

    char path[volumePathCapacity];
    std::snprintf(path, sizeof path, "\\\\.\\%s:", drive.c_str());
    WCHAR widePath[volumePathCapacity];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, volumePathCapacity) == 0)
        return invalidHandle;
    return openPath(widePath);
}

bool WindowsEjectSystem::queryDeviceNumber(Handle handle, StorageDeviceNumber *number)
{
    STORAGE_DEVICE_NUMBER answer = {};
    DWORD returned = 0;
    if (!DeviceIoControl(toHandle(handle), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &answer, sizeof answer,
                         &returned, nullptr))
        return false;
    number->deviceType = answer.DeviceType;
    number->deviceNumber = answer.DeviceNumber;
    number->partitionNumber = answer.PartitionNumber;
    return true;
}

void WindowsEjectSystem::closeHandle(Handle handle)
{
    CloseHandle(toHandle(handle));
}

std::uint32_t WindowsEjectSystem::driveType(const std::string &drive)
{
    char rootPath[] = "X://";
    rootPath[0] = drive[0];
    WCHAR wideRootPath[sizeof rootPath] = {};
    MultiByteToWideChar(CP_ACP, 0, rootPath, int(sizeof rootPath - 1), wideRootPath, int(sizeof rootPath - 1));
    const CriticalErrorsSuppressed quiet;
    return GetDriveTypeW(wideRootPath);
}

EjectSystem::DeviceList WindowsEjectSystem::getClassDevs(InterfaceClass interfaceClass)
{
    const HDEVINFO list = SetupDiGetClassDevsW(&classGuid(interfaceClass), nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    return reinterpret_cast<DeviceList>(list);
}

bool WindowsEjectSystem::enumInterfaces(DeviceList list, InterfaceClass interfaceClass, std::uint32_t index,
                                        InterfaceRecord *record)
{
    SP_DEVICE_INTERFACE_DATA data = {};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(toList(list), nullptr, &classGuid(interfaceClass), index, &data))
        return false;
    std::memcpy(record->bytes, &data, sizeof data);
    return true;
}

std::uint32_t WindowsEjectSystem::interfaceDetailSize(DeviceList list, const InterfaceRecord &record)
{
    SP_DEVICE_INTERFACE_DATA data = interfaceData(record);
    DWORD required = 0;
    // Fails with ERROR_INSUFFICIENT_BUFFER by design: only the size is wanted.
    SetupDiGetDeviceInterfaceDetailW(toList(list), &data, nullptr, 0, &required, nullptr);
    return required;
}

bool WindowsEjectSystem::interfaceDetail(DeviceList list, const InterfaceRecord &record, DetailBuffer *detail,
                                         std::uint32_t size, DeviceInstance *instance)
{
    SP_DEVICE_INTERFACE_DATA data = interfaceData(record);
    auto *header = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(detail->bytes);
    header->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    if (!SetupDiGetDeviceInterfaceDetailW(toList(list), &data, header, size, nullptr, &device))
        return false;
    *instance = device.DevInst;
    return true;
}

EjectSystem::Handle WindowsEjectSystem::openInterface(const DetailBuffer &detail)
{
    return openPath(reinterpret_cast<const SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(detail.bytes)->DevicePath);
}

void WindowsEjectSystem::destroyList(DeviceList list)
{
    SetupDiDestroyDeviceInfoList(toList(list));
}

EjectSystem::ConfigResult WindowsEjectSystem::getParent(DeviceInstance *parent, DeviceInstance instance)
{
    DEVINST node = *parent;
    const CONFIGRET result = CM_Get_Parent(&node, instance, 0);
    *parent = node;
    return result;
}

EjectSystem::ConfigResult WindowsEjectSystem::getStatus(std::uint32_t *status, std::uint32_t *problem,
                                                        DeviceInstance node)
{
    ULONG statusBits = *status;
    ULONG problemNumber = *problem;
    const CONFIGRET result = CM_Get_DevNode_Status(&statusBits, &problemNumber, node, 0);
    *status = statusBits;
    *problem = problemNumber;
    return result;
}

EjectSystem::ConfigResult WindowsEjectSystem::requestEject(DeviceInstance node, std::uint32_t *vetoType,
                                                           wchar_t *vetoName, std::uint32_t vetoNameLength)
{
    PNP_VETO_TYPE type = PNP_VETO_TYPE(*vetoType);
    const CONFIGRET result = CM_Request_Device_EjectW(node, &type, vetoName, vetoNameLength, 0);
    *vetoType = std::uint32_t(type);
    return result;
}

EjectSystem::ConfigResult WindowsEjectSystem::queryAndRemove(DeviceInstance node, std::uint32_t *vetoType,
                                                             wchar_t *vetoName, std::uint32_t vetoNameLength)
{
    // Flags 0 is CM_REMOVE_UI_OK: the system may tell the user what holds the device.
    PNP_VETO_TYPE type = PNP_VETO_TYPE(*vetoType);
    const CONFIGRET result = CM_Query_And_Remove_SubTreeW(node, &type, vetoName, vetoNameLength, 0);
    *vetoType = std::uint32_t(type);
    return result;
}

void WindowsEjectSystem::sleep(std::uint32_t milliseconds)
{
    Sleep(milliseconds);
}

void WindowsEjectSystem::printMessage(const char *message)
{
    runtimePrintf(consoleStream(), "%s", message);
    std::fflush(consoleStream());
}

void WindowsEjectSystem::printNumber(const char *format, std::uint32_t value)
{
    runtimePrintf(consoleStream(), format, unsigned(value));
    std::fflush(consoleStream());
}

void WindowsEjectSystem::printWide(const char *format, const wchar_t *text)
{
    runtimePrintf(consoleStream(), format, text);
    std::fflush(consoleStream());
}
