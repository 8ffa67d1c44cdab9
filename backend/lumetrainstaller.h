#ifndef LUMETRAINSTALLER_H
#define LUMETRAINSTALLER_H

#include "volumesource.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>

// The one object through which the UI reaches the unit: finds its drive by the marker
// file, compares versions, runs an update and asks for the drive's safe removal.
class LumetraInstaller : public QObject
{
    Q_OBJECT

public:
    // The UI engine's constructor: the system's mounted volumes.
    explicit LumetraInstaller(QObject *parent = nullptr);
    // Tests hand in their own volumes.
    explicit LumetraInstaller(std::unique_ptr<VolumeSource> volumes, QObject *parent = nullptr);
    ~LumetraInstaller() override;

    // A real version file holds a few bytes; anything larger is not one.
    static constexpr qint64 maxVersionFileSize = 4096;

signals:
    void copyFileProgress(double value);
    void updateFirmwareSuccess();
    void updateFirmwareFailed();

public:
    Q_INVOKABLE QString getLumetraUpdateVersion();
    Q_INVOKABLE bool isLumetraConnected();
    Q_INVOKABLE QString getCurrentVersionNumber();
    Q_INVOKABLE bool doesLumetraNeedUpdate();

private:
    QString getLumetraDrivePath();
    QString findMarkedRoot() const;

    QString updateVersion;
    QString firmwareResourcePath;
    QString versionFileName;
    std::unique_ptr<VolumeSource> volumes;
};

#endif // LUMETRAINSTALLER_H
