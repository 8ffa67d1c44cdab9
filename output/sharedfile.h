#ifndef SHAREDFILE_H
#define SHAREDFILE_H

#include <QtCore/QFile>
#include <QtCore/QString>

// Files that several running instances of the program share (the log folder, the update
// history): which run holds which file, and appending whole lines. One platform file per
// system.
namespace SharedFile {

// Marks the open file as this run's own until it is closed, so that no other run removes it.
void holdForThisRun(QFile &file);

// True when another running instance holds the file at path (its log, still being written).
bool isHeldByAnotherRun(const QString &path);

// Opens file (its name set) to append lines, without following a symbolic link: a link put
// in the history's place must not have records written wherever it points. False with why
// otherwise.
bool openToAppend(QFile &file, QString *why);

// Keeps the other writers of the open file out until unlock(), so that two records never mix
// within a line; waits a few seconds at most for one of them. False when it could not.
bool lockToAppend(QFile &file);
void unlock(QFile &file);

// Forces what was written to the open file onto the device, so that a record survives the
// power going right after. False when the device reports an error.
bool flushToDevice(QFile &file);

} // namespace SharedFile

#endif // SHAREDFILE_H
