// The removal with the real Windows device layer, run under Wine by run-wine-probe.sh:
// "ejectprobe <drive>" ejects the drive and exits with the result code; without a drive it
// prints the four console messages through the layer.
#include "ejectalgorithm.h"
#include "ejectsystem_win.h"

#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    WindowsEjectSystem system;
    char drive[16] = {};
    if (argc == 2 && WideCharToMultiByte(CP_ACP, 0, argv[1], -1, drive, sizeof drive, nullptr, nullptr) > 0)
        return int(ejectDrive(system, drive));
    system.printMessage(EjectMessage::success);
    system.printMessage(EjectMessage::failed);
    system.printNumber(EjectMessage::resultFormat, EjectSystem::resultRemoveVetoed);
    system.printNumber(EjectMessage::resultFormat, EjectSystem::resultNoSuchNode);
    system.printWide(EjectMessage::vetoNameFormat, L"USB Mass Storage Device");
    return 0;
}
