#include "diskcheckplatform.h"

namespace {

// chkdsk through the command interpreter, after switching it to code page 437 so that the
// verdict comes in English whatever the system's language.
class ChkdskPlatform : public DiskCheckPlatform
{
public:
    QString driveOf(const QString &destinationPath) const override;
    DiskCheckCommand checkCommand(const QString &drive) const override;
    DiskCheckCommand repairCommand(const QString &drive) const override;
    int verdictWithoutSentence(int exitCode) const override;
};

// cmd reads its own command line and honours & | ^ even inside what the process library
// quoted, so only a plain drive letter ever reaches it.
QString refusalFor(const QString &drive)
{
    const bool isDriveLetter = drive.size() == 2 && drive.at(1) == QLatin1Char(':')
            && ((drive.at(0) >= QLatin1Char('A') && drive.at(0) <= QLatin1Char('Z'))
                || (drive.at(0) >= QLatin1Char('a') && drive.at(0) <= QLatin1Char('z')));
    return isDriveLetter ? QString() : QStringLiteral("not a drive letter: ") + drive;
}

DiskCheckCommand chkdsk(const QString &drive, const QStringList &switches)
{
    DiskCheckCommand command;
    command.refusal = refusalFor(drive);
    if (!command.refusal.isEmpty())
        return command;
    command.program = QStringLiteral("cmd");
    command.arguments = QStringList { QStringLiteral("/c"), QStringLiteral("chcp"), QStringLiteral("437"),
                                      QStringLiteral("&&"), QStringLiteral("chkdsk"), drive }
            + switches;
    return command;
}

QString ChkdskPlatform::driveOf(const QString &destinationPath) const
{
    return destinationPath.left(2);
}

DiskCheckCommand ChkdskPlatform::checkCommand(const QString &drive) const
{
    return chkdsk(drive, QStringList());
}

DiskCheckCommand ChkdskPlatform::repairCommand(const QString &drive) const
{
    return chkdsk(drive, QStringList { QStringLiteral("/f") });
}

int ChkdskPlatform::verdictWithoutSentence(int) const
{
    // chkdsk's exit code does not tell problems from other failures; only its words do.
    return -1;
}

} // namespace

std::unique_ptr<DiskCheckPlatform> DiskCheckPlatform::create()
{
    return std::make_unique<ChkdskPlatform>();
}
