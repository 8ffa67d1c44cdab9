#include "parentconsole.h"

void attachToParentConsole()
{
}
