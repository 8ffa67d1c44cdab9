#ifndef VOLUMESOURCE_H
#define VOLUMESOURCE_H

#include <QtCore/QStringList>

#include <memory>

// Where the backend learns which volumes are mounted: the system's list in the program,
// a list of scratch directories in tests.
class VolumeSource
{
public:
    virtual ~VolumeSource();

    // Root paths of the mounted volumes, in the order the system reports them
    // (on Windows "E:/" and so on, ascending by letter).
    virtual QStringList rootPaths() const = 0;

    static std::unique_ptr<VolumeSource> system();
};

// The mounted volumes of the system's mount table.
class StorageVolumeSource : public VolumeSource
{
public:
    QStringList rootPaths() const override;
};

// One volume, offered while it is still mounted at its root: a backend that sees only this
// one unit, so that several units are updated by one backend each.
class SingleVolumeSource : public VolumeSource
{
public:
    explicit SingleVolumeSource(const QString &rootPath);

    QStringList rootPaths() const override;

private:
    QString root;
};

#endif // VOLUMESOURCE_H
