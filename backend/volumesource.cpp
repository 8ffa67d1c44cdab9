#include "volumesource.h"

#include <QtCore/QStorageInfo>

VolumeSource::~VolumeSource() = default;

std::unique_ptr<VolumeSource> VolumeSource::system()
{
    return std::make_unique<StorageVolumeSource>();
}

QStringList StorageVolumeSource::rootPaths() const
{
    QStringList paths;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    paths.reserve(volumes.size());
    for (const QStorageInfo &volume : volumes)
        paths.append(volume.rootPath());
    return paths;
}

SingleVolumeSource::SingleVolumeSource(const QString &rootPath)
    : root(rootPath)
{
}

QStringList SingleVolumeSource::rootPaths() const
{
    // Once unmounted, the path is a plain directory of another volume: nothing there is
    // this unit, and nothing may be written there.
    const QStorageInfo volume(root);
    if (!volume.isValid() || volume.rootPath() != root)
        return QStringList();
    return QStringList(root);
}
