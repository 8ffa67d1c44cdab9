#include "sessionendhold.h"

// A log-off or shut-down ends programs with SIGTERM (and SIGHUP for those of a terminal);
// there is no request to answer, and StopSignal already turns those into a stop.
struct SessionEndHold::Filter
{
};

SessionEndHold::SessionEndHold() = default;

SessionEndHold::~SessionEndHold() = default;

void SessionEndHold::setHeld(QWindow *, bool)
{
}
