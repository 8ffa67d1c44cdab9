#include "sessionendhold.h"

#include <QtCore/QAbstractNativeEventFilter>
#include <QtCore/QByteArray>
#include <QtCore/QCoreApplication>
#include <QtCore/QPointer>
#include <QtGui/QWindow>

#include <windows.h>

// Answers the system's question whether the session may end: not while the unit is being
// written. The reason on the window is what the shut-down screen shows beside its name.
struct SessionEndHold::Filter : public QAbstractNativeEventFilter
{
    bool nativeEventFilter(const QByteArray &eventType, void *message, long *result) override
    {
        if (!held || eventType != "windows_generic_MSG")
            return false;
        if (static_cast<const MSG *>(message)->message != WM_QUERYENDSESSION)
            return false;
        *result = FALSE;
        return true;
    }

    bool held = false;
    // The window that holds the reason, to let it go from the same one.
    HWND reasonOn = nullptr;
};

SessionEndHold::SessionEndHold()
    : filter(std::make_unique<Filter>())
{
    QCoreApplication::instance()->installNativeEventFilter(filter.get());
}

// The filter takes itself out of the application as it goes.
SessionEndHold::~SessionEndHold()
{
    setHeld(nullptr, false);
}

void SessionEndHold::setHeld(QWindow *window, bool held)
{
    filter->held = held;
    if (filter->reasonOn) {
        ShutdownBlockReasonDestroy(filter->reasonOn);
        filter->reasonOn = nullptr;
    }
    if (held && window) {
        filter->reasonOn = reinterpret_cast<HWND>(window->winId());
        ShutdownBlockReasonCreate(filter->reasonOn, L"Updating Lumetra firmware");
    }
}
