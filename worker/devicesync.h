#ifndef DEVICESYNC_H
#define DEVICESYNC_H

// Forces the written data of the open file behind handle (a C runtime file descriptor, as
// QFileDevice::handle() gives it) onto the device, so that a later read sees what the
// drive holds and not only what the cache does. False when the device reports an error.
bool syncToDevice(int handle);

#endif // DEVICESYNC_H
