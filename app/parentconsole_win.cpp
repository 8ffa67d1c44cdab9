#include "parentconsole.h"

#include <windows.h>

#include <cstdio>

namespace {

bool goesSomewhere(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

void attachToParentConsole()
{
    // A redirection by the caller wins: its handles came with the process.
    const bool outputRedirected = goesSomewhere(STD_OUTPUT_HANDLE);
    const bool errorsRedirected = goesSomewhere(STD_ERROR_HANDLE);
    if ((outputRedirected && errorsRedirected) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FILE *stream = nullptr;
    if (!outputRedirected)
        freopen_s(&stream, "CONOUT$", "w", stdout);
    if (!errorsRedirected)
        freopen_s(&stream, "CONOUT$", "w", stderr);
}
