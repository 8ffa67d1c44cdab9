#include "volumesource.h"

#include "mounttable.h"

VolumeSource::~VolumeSource() = default;

std::unique_ptr<VolumeSource> VolumeSource::system()
{
    return std::make_unique<StorageVolumeSource>();
}

QStringList StorageVolumeSource::rootPaths() const
{
    return MountTable::rootPaths();
}

SingleVolumeSource::SingleVolumeSource(const QString &rootPath)
    : root(rootPath)
{
}

QStringList SingleVolumeSource::rootPaths() const
{
    // Once unmounted, the path is a plain directory of another volume: nothing there is
    // this unit, and nothing may be written there.
    if (root.isEmpty() || !MountTable::rootPaths().contains(root))
        return QStringList();
    return QStringList(root);
}
