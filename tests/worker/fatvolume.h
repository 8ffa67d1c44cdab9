#ifndef FATVOLUME_H
#define FATVOLUME_H

#include <QtCore/QString>
#include <QtCore/QTemporaryDir>

// A FAT image on a loop device, mounted through FUSE (fusefat) at mountName inside a
// temporary directory, so that the real checker can look at a mounted FAT drive. Needs
// root in a private mount namespace, like ScratchVolume.
class FatVolume
{
public:
    explicit FatVolume(const QString &mountName, qint64 sizeBytes = 8 * 1024 * 1024);
    ~FatVolume();

    FatVolume(const FatVolume &) = delete;
    FatVolume &operator=(const FatVolume &) = delete;

    bool isMounted() const { return mounted; }
    QString errorString() const { return error; }
    QString rootPath() const { return mountPoint; }

    // Makes the second copy of the allocation table differ from the first: a fault the
    // checker finds and reports.
    bool damageSecondFat();

private:
    bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

    QTemporaryDir directory;
    QString mountPoint;
    QString loopDevice;
    QString error;
    bool mounted = false;
};

#endif // FATVOLUME_H
