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
