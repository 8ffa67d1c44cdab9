#include "devicesync.h"

#include <QtCore/QDir>

#include <io.h>
#include <windows.h>

bool syncToDevice(int handle)
{
    // _commit flushes the file's buffers to the disk (FlushFileBuffers underneath).
    return handle >= 0 && _commit(handle) == 0;
}

bool replaceFile(const QString &from, const QString &to)
{
    // Write-through: the call returns only when the move is on the disk, so the directory
    // needs no flush of its own.
    const QString source = QDir::toNativeSeparators(from);
    const QString target = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t *>(source.utf16()),
                       reinterpret_cast<const wchar_t *>(target.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool makeReplaceable(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    const wchar_t *name = reinterpret_cast<const wchar_t *>(native.utf16());
    const DWORD attributes = GetFileAttributesW(name);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // MoveFileExW and DeleteFileW refuse a read-only file.
    return !(attributes & FILE_ATTRIBUTE_READONLY)
            || SetFileAttributesW(name, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY)) != 0;
}

bool syncDirectory(const QString &)
{
    // Windows keeps no separate directory data to flush: file flushes and write-through
    // moves already carry the directory entries (flushing a volume needs administrator
    // rights the tool does not ask for).
    return true;
}
