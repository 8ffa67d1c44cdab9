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

// Readies the file at path to be replaced by replaceFile() or removed: true when it is absent or an
// ordinary file (not a link, not a folder) the system will let go. Where a read-only file cannot be
// replaced (Windows), its read-only mark is cleared first.
bool makeReplaceable(const QString &path);

// Forces the directory's own changes (a file created, removed or replaced) onto the
// device, so that a drive pulled right after still holds them.
bool syncDirectory(const QString &path);

#endif // DEVICESYNC_H
