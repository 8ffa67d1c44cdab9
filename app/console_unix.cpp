#include "console.h"

void attachToParentConsole()
{
}
