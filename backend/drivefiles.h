#ifndef DRIVEFILES_H
#define DRIVEFILES_H

#include <QtCore/QString>

// Files in the root of the unit's drive. The drive comes from whoever plugged it in, so
// nothing here follows a link off the drive or opens anything but an ordinary file.
namespace DriveFiles {

// The path of a file in the drive's root ("E:/" gives "E://Version.txt"), or an empty
// string when there is no root: an empty root must never address the current drive.
QString pathInRoot(const QString &rootPath, const QString &fileName);

// True when the path names an ordinary file of at most maxBytes bytes that lies on the
// drive, also after following a symbolic link. FIFOs, device nodes and directories are
// refused before anything could block on opening them.
bool isReadableOrdinaryFile(const QString &rootPath, const QString &path, qint64 maxBytes);

// True when the path may be written: it is no symbolic link and, if it exists, an
// ordinary file. Writing through a link would land wherever it points.
bool isSafeToWrite(const QString &path);

} // namespace DriveFiles

#endif // DRIVEFILES_H
