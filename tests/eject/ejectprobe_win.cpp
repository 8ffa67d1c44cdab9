// "ejectprobe <drive>": the removal with the real Windows device layer, run under Wine by
// run-wine-probe.sh; exits with the result code. Without a drive: the console messages.
#include "ejectalgorithm.h"
#include "ejectsystem_win.h"

#include <windows.h>

int wmain(int argc, wchar_t **argv)
{
    WindowsEjectSystem system;
    char drive[16] = {};
    if (argc == 2 && WideCharToMultiByte(CP_ACP, 0, argv[1], -1, drive, sizeof drive, nullptr, nullptr) > 0)
        return int(ejectDrive(system, drive));
    for (const char *message : { EjectMessage::success, EjectMessage::failed })
        system.printMessage(message);
    for (const EjectSystem::ConfigResult result : { EjectSystem::resultRemoveVetoed, EjectSystem::resultNoSuchNode })
        system.printNumber(EjectMessage::resultFormat, result);
    system.printWide(EjectMessage::vetoNameFormat, L"USB Mass Storage Device");
    return 0;
}
