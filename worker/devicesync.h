#ifndef DEVICESYNC_H
#define DEVICESYNC_H

#include <QtCore/QString>

// Forces the written data of the open file behind handle (a C runtime file descriptor, as
// QFileDevice::handle() gives it) onto the device, so that a later read sees what the
// drive holds and not only what the cache does. False when the device reports an error.
bool syncToDevice(int handle);

// Puts the file at from in the place of the file at to, in one step where the system can:
// a reader sees the old file or the new one, never neither. False when it did not happen.
bool replaceFile(const QString &from, const QString &to);

// Forces the directory's own changes (a file created, removed or replaced) onto the
// device, so that a drive pulled right after still holds them.
bool syncDirectory(const QString &path);

#endif // DEVICESYNC_H
