#ifndef FAKEEJECTSYSTEM_H
#define FAKEEJECTSYSTEM_H

#include "ejectsystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

// Plays the operating system for the ejection logic from a script, and records the calls
// that matter, the pauses, the console output, every handle and list still open, and any
// misuse (a buffer overrun, a stale veto name, a closed handle used again).
// Unless a test says otherwise: drive E, a removable disk with device number 2, whose parent
// 320 is ejectable and goes at the first attempt. A CD-ROM with the same number also exists,
// as on Windows, where disks and CD-ROMs are numbered apart.
class FakeEjectSystem : public EjectSystem
{
public:
    struct Interface
    {
        std::uint32_t deviceNumber;
        DeviceInstance instance;
        std::uint32_t detailSize = 96;
        bool detailFails = false;
        bool opens = true;
        bool numbered = true;
    };
    struct Attempt
    {
        ConfigResult result;
        std::uint32_t vetoType = vetoTypeUnknown;
        std::wstring vetoName = std::wstring();
    };

    std::string volume = "E";
    bool volumeNumbered = true;
    std::uint32_t volumeNumber = 2;
    std::uint32_t type = driveRemovable;
    bool listFails = false;
    std::vector<Interface> disks = { { 0, 31 }, { 2, 32 } };
    std::vector<Interface> cdRoms = { { 2, 41 } };
    ConfigResult parentResult = resultSuccess;
    bool statusFails = false;
    std::uint32_t status = statusRemovable | 0x0A; // with DN_DRIVER_LOADED and DN_STARTED
    std::vector<Attempt> attempts = { { resultSuccess } }; // the last one repeats

    std::vector<std::string> calls;
    std::vector<std::uint32_t> pauses;
    std::string output;
    std::set<Handle> openHandles;
    std::set<DeviceList> openLists;
    std::vector<std::string> misuse;

    Handle openVolume(const std::string &drive) override
    {
        calls.push_back("openVolume " + drive);
        return drive == volume ? open(volumeNumbered ? volumeNumber : unnumbered) : invalidHandle;
    }
    bool queryDeviceNumber(Handle handle, StorageDeviceNumber *number) override
    {
        if (!openHandles.count(handle))
            misuse.push_back("device number of a handle that is not open");
        if (handleNumbers[handle] == unnumbered)
            return false;
        *number = { 7, handleNumbers[handle], 1 };
        return true;
    }
    void closeHandle(Handle handle) override
    {
        if (!openHandles.erase(handle))
            misuse.push_back("closed a handle that is not open");
    }
    std::uint32_t driveType(const std::string &drive) override
    {
        calls.push_back("driveType " + drive);
        return type;
    }
    DeviceList getClassDevs(InterfaceClass interfaceClass) override
    {
        calls.push_back(interfaceClass == InterfaceClass::CdRom ? "list cdrom" : "list disk");
        if (listFails)
            return invalidList;
        listed = interfaceClass == InterfaceClass::CdRom ? cdRoms : disks;
        openLists.insert(++lastList);
        return lastList;
    }
    bool enumInterfaces(DeviceList list, InterfaceClass, std::uint32_t index, InterfaceRecord *record) override
    {
        checkList(list);
        std::memcpy(record->bytes, &index, sizeof index);
        return index < listed.size();
    }
    std::uint32_t interfaceDetailSize(DeviceList list, const InterfaceRecord &record) override
    {
        checkList(list);
        return entry(record).detailSize;
    }
    bool interfaceDetail(DeviceList list, const InterfaceRecord &record, DetailBuffer *detail, std::uint32_t size,
                         DeviceInstance *instance) override
    {
        checkList(list);
        const Interface &interface = entry(record);
        if (size > sizeof detail->bytes || size < interface.detailSize)
            misuse.push_back("detail of " + std::to_string(interface.detailSize) + " bytes asked with "
                             + std::to_string(size));
        if (interface.detailFails)
            return false;
        std::memcpy(detail->bytes, &record, sizeof record);
        *instance = interface.instance;
        return true;
    }
    Handle openInterface(const DetailBuffer &detail) override
    {
        InterfaceRecord record;
        std::memcpy(&record, detail.bytes, sizeof record);
        const Interface &interface = entry(record);
        if (!interface.opens)
            return invalidHandle;
        return open(interface.numbered ? interface.deviceNumber : unnumbered);
    }
    void destroyList(DeviceList list) override
    {
        if (!openLists.erase(list))
            misuse.push_back("released a list that is not open");
    }
    ConfigResult getParent(DeviceInstance *parent, DeviceInstance instance) override
    {
        calls.push_back("parent " + std::to_string(instance));
        if (parentResult == resultSuccess)
            *parent = instance * 10;
        return parentResult;
    }
    ConfigResult getStatus(std::uint32_t *nodeStatus, std::uint32_t *problem, DeviceInstance node) override
    {
        calls.push_back("status " + std::to_string(node));
        if (statusFails || node == 0)
            return resultNoSuchNode;
        *nodeStatus = status;
        *problem = 0;
        return resultSuccess;
    }
    ConfigResult requestEject(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                              std::uint32_t vetoNameLength) override
    {
        return attempt("eject " + std::to_string(node), vetoType, vetoName, vetoNameLength);
    }
    ConfigResult queryAndRemove(DeviceInstance node, std::uint32_t *vetoType, wchar_t *vetoName,
                                std::uint32_t vetoNameLength) override
    {
        return attempt("remove " + std::to_string(node), vetoType, vetoName, vetoNameLength);
    }
    void sleep(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
    void printMessage(const char *message) override { output += message; }
    void printNumber(const char *format, std::uint32_t value) override
    {
        char text[64];
        std::snprintf(text, sizeof text, format, unsigned(value));
        output += text;
    }
    void printWide(const char *format, const wchar_t *text) override
    {
        const std::string pattern(format);
        const size_t conversion = pattern.find("%ws");
        if (conversion == std::string::npos) {
            misuse.push_back("wide print without %ws");
            return;
        }
        std::string narrow;
        for (const wchar_t *character = text; *character; ++character)
            narrow += char(*character);
        output += pattern.substr(0, conversion) + narrow + pattern.substr(conversion + 3);
    }

private:
    static constexpr std::uint32_t unnumbered = 0x7FFFFFFF;

    Handle open(std::uint32_t number)
    {
        openHandles.insert(++lastHandle);
        handleNumbers[lastHandle] = number;
        return lastHandle;
    }
    void checkList(DeviceList list)
    {
        if (!openLists.count(list))
            misuse.push_back("used a list that is not open");
    }
    const Interface &entry(const InterfaceRecord &record) const
    {
        std::uint32_t index = 0;
        std::memcpy(&index, record.bytes, sizeof index);
        return listed.at(index);
    }
    ConfigResult attempt(const std::string &call, std::uint32_t *vetoType, wchar_t *vetoName,
                         std::uint32_t vetoNameLength)
    {
        const size_t number = std::count_if(calls.begin(), calls.end(), [](const std::string &made) {
            return made.rfind("eject", 0) == 0 || made.rfind("remove", 0) == 0;
        });
        calls.push_back(call);
        if (vetoNameLength != vetoNameCapacity || vetoName[0] != 0 || (number == 0 && *vetoType != vetoTypeUnknown))
            misuse.push_back("attempt started with a stale veto or a wrong buffer length");
        const Attempt &scripted = attempts[std::min(number, attempts.size() - 1)];
        *vetoType = scripted.vetoType;
        // Like the system, fills at most the buffer, terminator included if it fits.
        const size_t length = std::min<size_t>(scripted.vetoName.size() + 1, vetoNameLength);
        std::wmemcpy(vetoName, scripted.vetoName.c_str(), length);
        return scripted.result;
    }

    std::vector<Interface> listed;
    std::map<Handle, std::uint32_t> handleNumbers;
    Handle lastHandle = 100;
    DeviceList lastList = 200;
};

#endif // FAKEEJECTSYSTEM_H
