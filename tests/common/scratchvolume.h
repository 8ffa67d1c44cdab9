#ifndef SCRATCHVOLUME_H
#define SCRATCHVOLUME_H

#include <QtCore/QFile>
#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

// A real file system mounted for one test and unmounted when the object goes. Mounting
// needs root inside the private mount namespace that tests labelled "root" get.
class ScratchVolume
{
public:
    // FatImage: a FAT image on a loop device, mounted through FUSE (fusefat: this kernel may
    // have no FAT driver) with the loop device as its name, so a checker can find it.
    enum class Kind { Tmpfs, FatImage };

    // sizeBytes: the tmpfs size limit, or the image size. mountName: the mount point's
    // own name inside a temporary directory, when a test needs a particular one.
    explicit ScratchVolume(Kind kind = Kind::Tmpfs, qint64 sizeBytes = 4 * 1024 * 1024,
                           const QString &mountName = QString());
    ~ScratchVolume();

    // Empty when this machine or user cannot mount here; otherwise the reason to skip.
    static QString unavailableReason();

    bool isMounted() const { return mounted; }
    QString errorString() const { return error; }
    QString rootPath() const { return root; }
    // The loop device behind an image, empty for a tmpfs.
    QString device() const { return loopDevice; }

    bool remountReadOnly();
    bool unmount();

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

    QTemporaryDir mountPoint;
    QTemporaryDir imageDirectory;
    QString root;
    QString loopDevice;
    QString error;
    bool mounted = false;
};

// A file's whole content, or "<none>" when it cannot be read; and a file written whole.
inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

#endif // SCRATCHVOLUME_H
