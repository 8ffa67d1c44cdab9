#include "devicesync.h"

#include <io.h>

bool syncToDevice(int handle)
{
    // _commit flushes the file's buffers to the disk (FlushFileBuffers underneath).
    return handle >= 0 && _commit(handle) == 0;
}
