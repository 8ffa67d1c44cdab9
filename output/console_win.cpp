#include "console.h"

#include <windows.h>

#include <cstdio>
#include <io.h>

namespace Console {

namespace {

bool hasStream(DWORD which)
{
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void attachToParent()
{
    // Streams the shell redirected stay where they point; only missing ones go to the
    // console of the shell that started us.
    const bool input = hasStream(STD_INPUT_HANDLE);
    const bool output = hasStream(STD_OUTPUT_HANDLE);
    const bool error = hasStream(STD_ERROR_HANDLE);
    if (input && output && error)
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FILE *reopened = nullptr;
    if (!input)
        freopen_s(&reopened, "CONIN$", "r", stdin);
    if (!output)
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    if (!error)
        freopen_s(&reopened, "CONOUT$", "w", stderr);
}

void ignoreClosedPipes()
{
    // Windows has no signal for it: a write to a closed pipe already just fails.
}

bool inputIsTerminal()
{
    // The handle behind the C runtime's stdin, which attachToParent() may have reopened; a
    // console answers GetConsoleMode, while NUL (a character device too) does not.
    const int descriptor = _fileno(stdin);
    if (descriptor < 0)
        return false;
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

} // namespace Console
