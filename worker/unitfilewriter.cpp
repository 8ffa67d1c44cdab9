#include "unitfilewriter.h"

#include "devicesync.h"
#include "workerlogging.h"

#include <QtCore/QFileInfo>

UnitFileWriter::UnitFileWriter(const QString &fileName)
    : fileName(fileName)
{
}

UnitFileWriter::~UnitFileWriter()
{
    cancelWriting();
}

QString UnitFileWriter::sideFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".new");
}

bool UnitFileWriter::open()
{
    file.setFileName(direct ? fileName : sideFileName(fileName));
    sideToRemove = !direct;
    flushed = false;
    length = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return failed("open");
    return true;
}

bool UnitFileWriter::write(const char *data, qint64 size)
{
    if (file.write(data, size) != size)
        return failed("write");
    length += size;
    return true;
}

bool UnitFileWriter::flushToDevice()
{
    // Only when longer: some file systems (fusefat) refuse any other change of length.
    if (file.size() > length && !file.resize(length))
        return failed("cut to length");
    if (!file.flush() || !syncToDevice(file.handle()))
        return failed("flush");
    file.close();
    flushed = true;
    return true;
}

bool UnitFileWriter::commit()
{
    if (!flushed && !flushToDevice()) {
        cancelWriting();
        return false;
    }
    if (!direct && !replaceFile(file.fileName(), fileName)) {
        failed("rename");
        cancelWriting();
        return false;
    }
    sideToRemove = false;
    if (!syncDirectory(QFileInfo(fileName).absolutePath()))
        return failed("flush the folder after");
    return true;
}

void UnitFileWriter::cancelWriting()
{
    file.close();
    if (sideToRemove)
        QFile::remove(file.fileName());
    sideToRemove = false;
}

bool UnitFileWriter::failed(const char *step)
{
    qCDebug(lcWorker) << "UnitFileWriter:" << step << "failed:" << file.fileName() << file.errorString();
    return false;
}
