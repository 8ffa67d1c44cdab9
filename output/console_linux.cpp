#include "console.h"

#include <signal.h>
#include <unistd.h>

namespace Console {

void attachToParent()
{
}

void ignoreClosedPipes()
{
    signal(SIGPIPE, SIG_IGN);
}

bool inputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

} // namespace Console
