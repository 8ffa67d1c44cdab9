#pragma once
#include "diskcheckplatform.h"
#include "volumesource.h"

#include <QtCore/QFileInfo>

// Scratch directories standing in for mounted volumes; a test changes the list to plug and unplug a "drive".
struct FakeVolumes : VolumeSource
{
    explicit FakeVolumes(const QStringList &roots = {}) : roots(roots) { }
    QStringList rootPaths() const override { return roots; }
    QStringList roots;
};

// The disk checker as a shell snippet ($1: the drive), logging "check|repair <drive> <the firmware's first bytes>" to
// $CALLS if set; a null snippet is refused, "missing" cannot start; systemDrives: the drive as the platform names it.
class ShellChecker : public DiskCheckPlatform
{
public:
    ShellChecker(QString check, QString repair = {}, bool systemDrives = false)
        : check(std::move(check)), repair(std::move(repair)), system(systemDrives ? create() : nullptr) { }
    QString driveOf(const QString &path) const override
    {
        return system ? system->driveOf(path) : QFileInfo(path).absolutePath();
    }
    DiskCheckCommand checkCommand(const QString &drive) const override { return command(check, "check", drive); }
    DiskCheckCommand repairCommand(const QString &drive) const override { return command(repair, "repair", drive); }
    int verdictWithoutSentence(int) const override { return -1; }

private:
    DiskCheckCommand command(const QString &script, const char *what, const QString &drive) const
    {
        if (script.isNull())
            return { QString(), {}, QStringLiteral("not in this row") };
        const QString record = "[ -z \"$CALLS\" ] || echo \"$0 $1 $(head -c 3 \"$1/lumetra.bin\")\" >> \"$CALLS\"; ";
        return { script == "missing" ? "/nonexistent/checker" : "/bin/sh",
                 { "-c", record + script, QString::fromLatin1(what), drive }, QString() };
    }
    QString check, repair;
    std::unique_ptr<DiskCheckPlatform> system;
};
