#include "stopsignal.h"

#include <QtCore/QMetaObject>

#include <windows.h>

#include <atomic>

namespace {

std::atomic<StopSignal *> receiver { nullptr };
// Set when the stop is done (the object goes), so that a held-back close ends at once.
HANDLE stopDone = nullptr;

// The system allows a close, log-off or shut-down handler 5 s before it ends the process.
constexpr DWORD closeGrace = 4500;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD type)
{
    StopSignal *stop = receiver.load();
    if (!stop)
        return FALSE;
    QMetaObject::invokeMethod(stop, "received", Qt::QueuedConnection);
    // Closing the console, logging off or shutting down ends the process once this handler
    // returns: hold it back, within the system's limit, so that a running copy can end.
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && stopDone)
        WaitForSingleObject(stopDone, closeGrace);
    return TRUE;
}

} // namespace

StopSignal::StopSignal(QObject *parent)
    : QObject(parent)
{
    stopDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    receiver = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignal::~StopSignal()
{
    receiver = nullptr;
    if (stopDone)
        SetEvent(stopDone);
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}
