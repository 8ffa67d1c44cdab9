#ifndef EJECTLUMETRA_H
#define EJECTLUMETRA_H

#include <QtCore/QObject>
#include <QtCore/QString>

#include <cstdio>
#include <memory>

class EjectSystem;

// Asks the system to eject the device behind a drive, so that the unit can be unplugged
// safely. Synchronous: it returns when the device is gone or the last attempt has failed.
class EjectLumetra : public QObject
{
    Q_OBJECT

public:
    // The system's own device layer.
    explicit EjectLumetra(QObject *parent = nullptr);
    // Tests hand in their own.
    explicit EjectLumetra(std::unique_ptr<EjectSystem> system, QObject *parent = nullptr);
    ~EjectLumetra() override;

    // 0 when the device was ejected or removed; 2 the volume cannot be opened; 3 it has no
    // device number; 4 no present device carries it; 5 every attempt failed or was vetoed.
    quint32 ejectDrive(QString drive);

    // What ejectDrive takes for a volume's root path: the drive letter on Windows ("E:/"
    // gives "E"), the root path itself where volumes have no letters.
    static QString driveName(const QString &rootPath);

    // The system's own device layer, the one the build picked.
    static std::unique_ptr<EjectSystem> systemLayer();

    // Where the removal's console lines go instead of standard output (standard error, for a
    // caller whose standard output carries data).
    static void setConsole(std::FILE *stream);

private:
    std::unique_ptr<EjectSystem> system;
};

#endif // EJECTLUMETRA_H
