#ifndef DISKCHECKPLATFORM_H
#define DISKCHECKPLATFORM_H

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

// One run of the disk checker: a program and its arguments, always handed over as a list
// so that nothing in a volume's name reaches a shell.
struct DiskCheckCommand
{
    QString program;
    QStringList arguments;
    // Non-empty when nothing may be run (no block device, a repair we never do on a
    // mounted file system): the reason, for the log.
    QString refusal;
};

// What the operating system does for the disk check and repair. The verdicts, time limits
// and logging on top of it are DiskChecker's and the same everywhere.
class DiskCheckPlatform
{
public:
    virtual ~DiskCheckPlatform();

    // The platform's own checker; defined in the one per-OS file the build picks.
    static std::unique_ptr<DiskCheckPlatform> create();

    // The drive that holds destinationPath, in the form checkCommand() takes.
    virtual QString driveOf(const QString &destinationPath) const = 0;
    virtual DiskCheckCommand checkCommand(const QString &drive) const = 0;
    virtual DiskCheckCommand repairCommand(const QString &drive) const = 0;
    // The verdict when the checker's output holds neither verdict sentence (0, 1 or -1).
    // exitCode is -1 when the checker crashed.
    virtual int verdictWithoutSentence(int exitCode) const = 0;
};

#endif // DISKCHECKPLATFORM_H
