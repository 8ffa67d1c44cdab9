#ifndef EJECTSYSTEM_H
#define EJECTSYSTEM_H

#include <cstdint>
#include <cstdio>
#include <string>

// What a safe removal asks of the operating system, one operation per system call, so that
// the removal logic is written once and a test can stand in for the system. The Windows layer
// hands each operation straight to kernel32, SetupAPI or the Configuration Manager; another
// system maps them onto its own device service. Free of Qt, so the Windows side builds alone.
class EjectSystem
{
public:
    using Handle = std::uintptr_t;
    using DeviceList = std::uintptr_t;
    using DeviceInstance = std::uint32_t; // DEVINST; 0 names no device
    using ConfigResult = std::uint32_t;   // CONFIGRET

    static constexpr Handle invalidHandle = ~Handle(0);       // INVALID_HANDLE_VALUE
    static constexpr DeviceList invalidList = ~DeviceList(0); // INVALID_HANDLE_VALUE

    // Drive types, as GetDriveTypeW reports them.
    static constexpr std::uint32_t driveUnknown = 0;   // DRIVE_UNKNOWN
    static constexpr std::uint32_t driveNoRootDir = 1; // DRIVE_NO_ROOT_DIR
    static constexpr std::uint32_t driveRemovable = 2; // DRIVE_REMOVABLE
    static constexpr std::uint32_t driveFixed = 3;     // DRIVE_FIXED
    static constexpr std::uint32_t driveRemote = 4;    // DRIVE_REMOTE
    static constexpr std::uint32_t driveCdRom = 5;     // DRIVE_CDROM
    static constexpr std::uint32_t driveRamDisk = 6;   // DRIVE_RAMDISK

    // Configuration Manager results and the status bit that selects ejection over removal.
    static constexpr ConfigResult resultSuccess = 0x00;      // CR_SUCCESS
    static constexpr ConfigResult resultNoSuchNode = 0x0D;   // CR_NO_SUCH_DEVNODE
    static constexpr ConfigResult resultFailure = 0x13;      // CR_FAILURE
    static constexpr ConfigResult resultRemoveVetoed = 0x17; // CR_REMOVE_VETOED
    static constexpr ConfigResult resultNoServices = 0x32;   // CR_NO_CM_SERVICES
    static constexpr std::uint32_t statusRemovable = 0x4000; // DN_REMOVABLE

    // Veto types (PNP_VETO_TYPE).
    static constexpr std::uint32_t vetoTypeUnknown = 0;      // PNP_VetoTypeUnknown: nothing vetoed
    static constexpr std::uint32_t vetoOutstandingOpen = 5;  // PNP_VetoOutstandingOpen
    static constexpr std::uint32_t vetoDevice = 6;           // PNP_VetoDevice
    static constexpr std::uint32_t vetoInsufficientRights = 12; // PNP_VetoInsufficientRights

    // Capacity of the veto name, in characters (MAX_PATH).
    static constexpr std::uint32_t vetoNameCapacity = 260;

    enum class InterfaceClass { Disk, CdRom };

    // STORAGE_DEVICE_NUMBER: 12 bytes, of which only deviceNumber is compared.
    struct StorageDeviceNumber
    {
        std::uint32_t deviceType;
        std::uint32_t deviceNumber;
        std::uint32_t partitionNumber;
    };

    // One listed interface, kept for the layer in its own form (on 64-bit Windows the
    // 32-byte SP_DEVICE_INTERFACE_DATA).
    struct InterfaceRecord
    {
        alignas(8) unsigned char bytes[32];
    };

    // Receives an interface's detail: the device path to open and whatever the layer needs.
    static constexpr std::uint32_t detailBufferSize = 1024;
    struct DetailBuffer
    {
        alignas(8) unsigned char bytes[detailBufferSize];
    };

    virtual ~EjectSystem() = default;

    // CreateFileW on the volume "\\.\<drive>:" with access 0, shared reading and writing,
    // OPEN_EXISTING; invalidHandle when it cannot be opened.
    virtual Handle openVolume(const std::string &drive) = 0;
    // DeviceIoControl with IOCTL_STORAGE_GET_DEVICE_NUMBER on a volume or interface handle.
    virtual bool queryDeviceNumber(Handle handle, StorageDeviceNumber *number) = 0;
    virtual void closeHandle(Handle handle) = 0;
    // GetDriveTypeW on the root path "X://" formed from the drive's first byte.
    virtual std::uint32_t driveType(const std::string &drive) = 0;

    // SetupDiGetClassDevsW for the present devices of one interface class.
    virtual DeviceList getClassDevs(InterfaceClass interfaceClass) = 0;
    // SetupDiEnumDeviceInterfaces: false past the last member.
    virtual bool enumInterfaces(DeviceList list, InterfaceClass interfaceClass, std::uint32_t index,
                                InterfaceRecord *record) = 0;
    // SetupDiGetDeviceInterfaceDetailW without a buffer: the size the detail needs, 0 if unknown.
    virtual std::uint32_t interfaceDetailSize(DeviceList list, const InterfaceRecord &record) = 0;
    // SetupDiGetDeviceInterfaceDetailW into the buffer, with `size` as its size; yields the
    // interface's device instance.
    virtual bool interfaceDetail(DeviceList list, const InterfaceRecord &record, DetailBuffer *detail,
                                 std::uint32_t size, DeviceInstance *instance) = 0;
    // CreateFileW on the device path in the detail, with the same arguments as openVolume.
    virtual Handle openInterface(const DetailBuffer &detail) = 0;
    virtual void destroyList(DeviceList list) = 0;

    // CM_Get_Parent, CM_Get_DevNode_Status, CM_Request_Device_EjectW and
    // CM_Query_And_Remove_SubTreeW, all with flags 0.
    virtual ConfigResult getParent(DeviceInstance *parent, DeviceInstance instance) = 0;
    virtual ConfigResult getStatus(std::uint32_t *status, std::uint32_t *problem, DeviceInstance node) = 0;
    virtual ConfigResult requestEject(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                                      std::uint32_t vetoNameLength) = 0;
    virtual ConfigResult queryAndRemove(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                                        std::uint32_t vetoNameLength) = 0;

    virtual void sleep(std::uint32_t milliseconds) = 0;

    // Formatted print to the console stream, flushed at once: a text without conversions, a
    // format with one unsigned conversion, and a format with one "%ws" (a wide string).
    virtual void printMessage(const char *message) = 0;
    virtual void printNumber(const char *format, std::uint32_t value) = 0;
    virtual void printWide(const char *format, const wchar_t *text) = 0;

    // Where the print operations write: standard output (when null), or the stream of a
    // caller that keeps standard output for itself.
    static inline std::FILE *console = nullptr;
    static std::FILE *consoleStream() { return console ? console : stdout; }
};

#endif // EJECTSYSTEM_H
