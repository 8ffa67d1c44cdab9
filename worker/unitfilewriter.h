#ifndef UNITFILEWRITER_H
#define UNITFILEWRITER_H

#include <QtCore/QFile>
#include <QtCore/QString>

// Writes one file on the unit whole, as QSaveFile does: the new content grows in a side file
// (<name>.new) and commit() puts it on the device, renames it over the old file and flushes
// the folder, so that a drive pulled at any instant holds the old file or the new one. A
// commit() that fails, cancelWriting() or the writer's end without commit() leaves the old
// file and removes the side file.
// With setDirectWriteFallback(true) the file itself is written over instead, for a drive with
// room for one copy only: the old content is gone from open() on, and commit() finishes the
// new one on the device; a failure leaves it part-written.
// Writes are unbuffered: the write that meets a full drive is the one that fails, and no
// failed write is tried again when the file is closed.
class UnitFileWriter
{
public:
    explicit UnitFileWriter(const QString &fileName);
    ~UnitFileWriter();

    // Where the new content of fileName grows until commit().
    static QString sideFileName(const QString &fileName);

    // Before open() only.
    void setDirectWriteFallback(bool enabled) { direct = enabled; }

    bool open();
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    // Cuts the file to what was written (a file system may ignore the truncation on open),
    // flushes it onto the device and closes it: from here it can be read back at
    // writtenFileName(), before commit() puts it in place.
    bool flushToDevice();
    // flushToDevice() if not done yet, then the side file renamed over the old one and the
    // folder flushed. False when any of it failed; the side file is gone then.
    bool commit();
    void cancelWriting();

    // The side file, or the file itself with the direct-write fallback.
    QString writtenFileName() const { return file.fileName(); }

private:
    bool failed(const char *step);

    const QString fileName;
    QFile file;
    bool direct = false;
    bool flushed = false;
    // A side file may stand beside the old file: removed unless it took the old one's place.
    bool sideToRemove = false;
    qint64 length = 0;
};

#endif // UNITFILEWRITER_H
