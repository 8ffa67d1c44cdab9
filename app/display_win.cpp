#include "display.h"

// A Windows session always has a desktop to open the window on.
QString missingDisplay(int, char **)
{
    return QString();
}
