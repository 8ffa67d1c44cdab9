#include "console.h"

#include <unistd.h>

namespace Console {

void attachToParent()
{
}

bool inputIsTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

} // namespace Console
