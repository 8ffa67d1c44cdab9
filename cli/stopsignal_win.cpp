#include "stopsignal.h"

#include <QtCore/QMetaObject>

#include <windows.h>

#include <atomic>

namespace {

std::atomic<StopSignal *> receiver { nullptr };

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI onConsoleEvent(DWORD type)
{
    StopSignal *stop = receiver.load();
    if (!stop)
        return FALSE;
    QMetaObject::invokeMethod(stop, "received", Qt::QueuedConnection);
    // Closing the console, logging off or shutting down ends the process once this handler
    // returns: hold it back so that a running copy can be stopped and waited for.
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        Sleep(10000);
    return TRUE;
}

} // namespace

StopSignal::StopSignal(QObject *parent)
    : QObject(parent)
{
    receiver = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignal::~StopSignal()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    receiver = nullptr;
}
