#ifndef SCRIPTEDCHECKER_H
#define SCRIPTEDCHECKER_H

#include "diskcheckplatform.h"

#include <QtCore/QFileInfo>

// A disk checker driven by the test: each command runs the fakechecker program with the
// options the test gives (canned text, a sleep), recording its calls in recordFile. Like
// Windows' chkdsk it answers only in words: without a sentence there is no verdict.
class ScriptedChecker : public DiskCheckPlatform
{
public:
    ScriptedChecker(QString recordFile, QStringList checkOptions, QStringList repairOptions,
                    bool checkerMissing = false)
        : recordFile(std::move(recordFile)),
          checkOptions(std::move(checkOptions)),
          repairOptions(std::move(repairOptions)),
          checkerMissing(checkerMissing)
    {
    }

    // The directory that holds the destination stands for its drive.
    QString driveOf(const QString &destinationPath) const override
    {
        return QFileInfo(destinationPath).absolutePath();
    }
    DiskCheckCommand checkCommand(const QString &drive) const override
    {
        return command(drive, checkOptions, QStringLiteral("check"));
    }
    DiskCheckCommand repairCommand(const QString &drive) const override
    {
        return command(drive, repairOptions, QStringLiteral("repair"));
    }
    int verdictWithoutSentence(int) const override { return -1; }

private:
    DiskCheckCommand command(const QString &drive, const QStringList &options, const QString &what) const
    {
        DiskCheckCommand command;
        command.program = checkerMissing ? QStringLiteral(LUMETRA_FAKE_CHECKER "-missing")
                                         : QStringLiteral(LUMETRA_FAKE_CHECKER);
        command.arguments = QStringList { QStringLiteral("--record"), recordFile, QStringLiteral("--list"), drive }
                + options + QStringList { QStringLiteral("--"), what, drive };
        return command;
    }

    QString recordFile;
    QStringList checkOptions;
    QStringList repairOptions;
    bool checkerMissing;
};

#endif // SCRIPTEDCHECKER_H
