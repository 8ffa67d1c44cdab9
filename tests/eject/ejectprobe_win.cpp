// A console program around the ejection logic and the real Windows device layer, built with
// MinGW and run under Wine by run-wine-probe.sh.
//   ejectprobe eject <drive>   ejects the drive; the exit status is the result code
//   ejectprobe messages        prints the four console messages through the layer

#include "ejectalgorithm.h"
#include "ejectsystem_win.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// The drive as ejectDrive takes it: the argument in the ANSI code page.
std::string ansi(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string converted(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &converted[0], size, nullptr, nullptr);
    converted.resize(size_t(size - 1));
    return converted;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    WindowsEjectSystem system;
    if (argc == 3 && std::wcscmp(argv[1], L"eject") == 0)
        return int(ejectDrive(system, ansi(argv[2])));
    if (argc == 2 && std::wcscmp(argv[1], L"messages") == 0) {
        system.printMessage(EjectMessage::success);
        system.printMessage(EjectMessage::failed);
        system.printNumber(EjectMessage::resultFormat, EjectSystem::resultRemoveVetoed);
        system.printNumber(EjectMessage::resultFormat, EjectSystem::resultNoSuchNode);
        system.printWide(EjectMessage::vetoNameFormat, L"USB Mass Storage Device");
        return 0;
    }
    return 64;
}
