#include "drivefiles.h"

#include <QtCore/QFileInfo>

namespace DriveFiles {

namespace {

bool isInside(const QString &canonicalRoot, const QString &canonicalPath)
{
    if (canonicalRoot.isEmpty() || canonicalPath.isEmpty())
        return false;
    const QString prefix = canonicalRoot.endsWith(QLatin1Char('/'))
            ? canonicalRoot
            : canonicalRoot + QLatin1Char('/');
    return canonicalPath.startsWith(prefix);
}

} // namespace

QString pathInRoot(const QString &rootPath, const QString &fileName)
{
    if (rootPath.isEmpty())
        return QString();
    return rootPath + QLatin1Char('/') + fileName;
}

bool isReadableOrdinaryFile(const QString &rootPath, const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    // isFile() looks through links and is false for FIFOs, sockets and device nodes.
    if (!info.isFile() || info.size() > maxBytes)
        return false;
    if (info.isSymLink())
        return isInside(QFileInfo(rootPath).canonicalFilePath(), info.canonicalFilePath());
    return true;
}

bool isSafeToWrite(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return false;
    return !info.exists() || info.isFile();
}

} // namespace DriveFiles
