#pragma once
#include "ejectsystem.h"

#include <QtCore/QStringList>

#include <map>
#include <vector>

// Plays the system from a script; `calls` records what the removal asks, its pauses and prints. By default: drive E,
// a removable disk numbered 2 whose parent (instance times 10) is ejectable and goes at once; a CD-ROM numbered 2 too.
class FakeEjectSystem : public EjectSystem
{
public:
    static constexpr std::uint32_t unnumbered = 0x7FFFFFFF, unopenable = 0x7FFFFFFE;
    struct Disk { std::uint32_t number; DeviceInstance instance; std::uint32_t detailSize = 96; }; // 0: no detail
    struct Attempt { ConfigResult result; std::uint32_t vetoType = vetoTypeUnknown; std::wstring vetoName = {}; };
    std::string volume = "E";
    std::uint32_t volumeNumber = 2, type = driveRemovable, status = statusRemovable | 0x0A;
    bool listFails = false, statusFails = false;
    ConfigResult parentResult = resultSuccess;
    std::vector<Disk> disks = { { 0, 31 }, { 2, 32 } }, cdRoms = { { 2, 41 } }, listed;
    std::vector<Attempt> attempts = { { resultSuccess } }; // the last one repeats
    QStringList calls;
    std::map<std::uintptr_t, std::uint32_t> open; // handles and device lists not closed, with their numbers

    Handle openVolume(const std::string &drive) override
    {
        return call("openVolume " + drive, drive == volume ? add(volumeNumber) : invalidHandle);
    }
    bool queryDeviceNumber(Handle handle, StorageDeviceNumber *number) override
    {
        return (*number = { 7, open.count(handle) ? open[handle] : unnumbered, 1 }).deviceNumber != unnumbered;
    }
    void closeHandle(Handle handle) override { open.erase(handle); }
    std::uint32_t driveType(const std::string &drive) override { return call("driveType " + drive, type); }
    DeviceList getClassDevs(InterfaceClass kind) override
    {
        listed = kind == InterfaceClass::CdRom ? cdRoms : disks;
        return call(kind == InterfaceClass::CdRom ? "list cdrom" : "list disk", listFails ? invalidList : add(0));
    }
    bool enumInterfaces(DeviceList list, InterfaceClass, std::uint32_t index, InterfaceRecord *record) override
    {
        return (record->bytes[0] = (unsigned char)index, open.count(list) && index < listed.size());
    }
    std::uint32_t interfaceDetailSize(DeviceList, const InterfaceRecord &record) override
    {
        return listed[record.bytes[0]].detailSize;
    }
    bool interfaceDetail(DeviceList, const InterfaceRecord &record, DetailBuffer *detail, std::uint32_t size,
                         DeviceInstance *instance) override
    {
        return (*instance = listed[detail->bytes[0] = record.bytes[0]].instance)
            && size >= listed[record.bytes[0]].detailSize && size <= sizeof detail->bytes;
    }
    Handle openInterface(const DetailBuffer &detail) override
    {
        return listed[detail.bytes[0]].number == unopenable ? invalidHandle : add(listed[detail.bytes[0]].number);
    }
    void destroyList(DeviceList list) override { open.erase(list); }
    ConfigResult getParent(DeviceInstance *parent, DeviceInstance node) override
    {
        return call("parent " + std::to_string(node), parentResult ? parentResult : (*parent = node * 10, 0));
    }
    ConfigResult getStatus(std::uint32_t *out, std::uint32_t *, DeviceInstance node) override
    {
        return call("status " + std::to_string(node), statusFails || !node ? resultNoSuchNode : (*out = status, 0));
    }
    ConfigResult requestEject(DeviceInstance node, std::uint32_t *veto, wchar_t *name, std::uint32_t length) override
    {
        return attempt("eject ", node, veto, name, length);
    }
    ConfigResult queryAndRemove(DeviceInstance node, std::uint32_t *veto, wchar_t *name, std::uint32_t length) override
    {
        return attempt("remove ", node, veto, name, length);
    }
    void sleep(std::uint32_t ms) override { calls << (ms == 200 ? "pause" : "pause of " + QString::number(ms)); }
    void printMessage(const char *message) override { calls << message; }
    void printNumber(const char *format, std::uint32_t value) override { calls << QString::asprintf(format, value); }
    void printWide(const char *format, const wchar_t *text) override
    {
        calls << QString(format).replace("%ws", QString::fromWCharArray(text));
    }

private:
    template<typename T> T call(const std::string &what, T result) { return calls << what.c_str(), result; }
    std::uintptr_t add(std::uint32_t number) { open[++lastId] = number; return lastId; }
    // Like Configuration Manager, a veto name is written only when there is one, at most filling the buffer.
    ConfigResult attempt(const std::string &what, DeviceInstance node, std::uint32_t *veto, wchar_t *name,
                         std::uint32_t length)
    {
        const Attempt &scripted = attempts[std::min<size_t>(attemptsMade++, attempts.size() - 1)];
        if (!(*veto = scripted.vetoType, scripted.vetoName.empty()))
            std::wmemcpy(name, scripted.vetoName.c_str(), std::min<size_t>(scripted.vetoName.size() + 1, length));
        return call(what + std::to_string(node), scripted.result);
    }
    std::uintptr_t lastId = 100;
    size_t attemptsMade = 0;
};
