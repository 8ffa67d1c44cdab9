#ifndef DISKCHECKER_H
#define DISKCHECKER_H

#include "diskcheckplatform.h"

#include <QtCore/QString>

#include <functional>
#include <memory>

class QProcess;

// Runs the platform's disk check and repair as child processes, on the calling thread, each
// within a time limit that a stop request cuts short (within a tenth of a second), and reads
// the check's verdict: the checker's own sentences first, then what the platform makes of its
// exit code.
class DiskChecker
{
public:
    // stopRequested: asked while a checker runs; true abandons it.
    DiskChecker(std::unique_ptr<DiskCheckPlatform> platform, std::function<bool()> stopRequested);
    ~DiskChecker();

    // The drive that holds path, in the form check() and repair() take.
    QString driveOf(const QString &path) const;
    // 0: no problems, 1: problems found, -1: no verdict. Blocks up to checkTimeLimit ms.
    int check(const QString &drive);
    // 0: the repair ran to its end, -1: it did not run or was cut off. Blocks up to
    // repairTimeLimit ms.
    int repair(const QString &drive);

    static constexpr int checkTimeLimit = 5000;
    static constexpr int repairTimeLimit = 30000;
    // How long a checker that has been killed may take to go away.
    static constexpr int killTimeLimit = 1000;

private:
    std::unique_ptr<QProcess> run(const DiskCheckCommand &command, int timeLimit, const char *refusedLine,
                                  const char *timeoutLine);
    bool waitFor(QProcess &process, int timeLimit);

    std::unique_ptr<DiskCheckPlatform> platform;
    std::function<bool()> stopRequested;
};

#endif // DISKCHECKER_H
