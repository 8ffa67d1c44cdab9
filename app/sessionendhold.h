#ifndef SESSIONENDHOLD_H
#define SESSIONENDHOLD_H

#include <memory>

class QWindow;

// Asks the system to hold the end of the session (a shut-down, a log-off) while the unit is
// being written, naming the reason on the window. Where the session's end reaches a program
// as SIGTERM or SIGHUP (Linux), StopSignal takes it, and this holds nothing.
class SessionEndHold
{
public:
    SessionEndHold();
    ~SessionEndHold();

    // window: the one the system names; null when there is none (the hold is let go).
    void setHeld(QWindow *window, bool held);

private:
    struct Filter;
    std::unique_ptr<Filter> filter;
};

#endif // SESSIONENDHOLD_H
