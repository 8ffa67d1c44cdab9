#include "updatehistory.h"

#include "outputlogging.h"

#include "lumetrainstaller.h"
#include "sharedfile.h"

#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

// Empty when the line is in the file, otherwise why not.
QString appendLine(const QString &path, QByteArray line)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("its folder cannot be made");
    QFile file(path);
    QString why;
    if (!SharedFile::openToAppend(file, &why))
        return why;
    // Another run may be appending too: one record at a time, each whole.
    if (!SharedFile::lockToAppend(file))
        return QStringLiteral("another run keeps it locked");
    // A record cut short (the power went while it was written) must not swallow this one.
    char last = '\n';
    const bool ended = file.size() == 0 || (file.seek(file.size() - 1) && file.getChar(&last));
    if (last != '\n')
        line.prepend('\n');
    const bool written = ended && file.write(line) == line.size() && SharedFile::flushToDevice(file);
    SharedFile::unlock(file);
    if (written)
        return QString();
    return file.errorString().isEmpty() ? QStringLiteral("a write failed") : file.errorString();
}

} // namespace

UpdateHistory *UpdateHistory::attach(LumetraInstaller *installer, const QString &directory)
{
    return new UpdateHistory(installer, directory);
}

QString UpdateHistory::outcomeWord(UpdateAttempt::Outcome outcome)
{
    switch (outcome) {
    case UpdateAttempt::Updated:
        return QStringLiteral("updated");
    case UpdateAttempt::UpToDate:
        return QStringLiteral("up to date");
    case UpdateAttempt::Busy:
        return QStringLiteral("busy");
    case UpdateAttempt::Matches:
        return QStringLiteral("matches");
    case UpdateAttempt::Differs:
        return QStringLiteral("differs");
    case UpdateAttempt::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString UpdateHistory::reasonWords(const UpdateAttempt &attempt)
{
    switch (attempt.reason) {
    case UpdateFailure::FirmwareUnreadable:
        return QStringLiteral("firmware unreadable");
    case UpdateFailure::FirmwareDamaged:
        return QStringLiteral("firmware damaged");
    case UpdateFailure::Interrupted:
        return QStringLiteral("interrupted");
    case UpdateFailure::DriveGone:
        return QStringLiteral("drive gone");
    case UpdateFailure::MarkerNotOrdinaryFile:
        return QStringLiteral("marker not an ordinary file");
    case UpdateFailure::FullDrive:
        return QStringLiteral("full drive");
    case UpdateFailure::ReadOnly:
        return QStringLiteral("read-only");
    case UpdateFailure::WriteFailed:
        return QStringLiteral("write failed");
    case UpdateFailure::VerificationFailed:
        return QStringLiteral("verification failed");
    case UpdateFailure::VersionFileNotWritten:
        return QStringLiteral("could not write Version.txt");
    case UpdateFailure::Unreadable:
        return QStringLiteral("unreadable");
    case UpdateFailure::Differs:
        return QStringLiteral("differs");
    case UpdateFailure::MarkerIsLink:
        return QStringLiteral("not a unit: its lumetra.bin is a link");
    case UpdateFailure::MarkerNotFile:
        return QStringLiteral("not a unit: its lumetra.bin is not an ordinary file");
    case UpdateFailure::Busy:
        return QStringLiteral("being updated by another LumetraInstaller")
                + (attempt.busyPid > 0 ? QStringLiteral(" (pid %1)").arg(attempt.busyPid) : QString());
    case UpdateFailure::LockFailed:
        return QStringLiteral("could not lock the unit: ") + attempt.lockError;
    case UpdateFailure::ProgramEnded:
        return QStringLiteral("the program ended during the update");
    case UpdateFailure::None:
        break;
    }
    return QStringLiteral("no reason given");
}

QString UpdateHistory::removalReason(int code)
{
    switch (code) {
    case -1:
        return QStringLiteral("the program did not release it: another LumetraInstaller holds it, or it is no "
                              "longer connected");
    case 2:
        return QStringLiteral("the system cannot open its volume");
    case 3:
        return QStringLiteral("the system gives its volume no device number");
    case 4:
        return QStringLiteral("no connected device carries its volume");
    case 5:
        return QStringLiteral("the system refused every attempt; another program may be using it");
    default:
        return QStringLiteral("the system refused (code %1)").arg(code);
    }
}

void UpdateHistory::attachToAll(QObject *root)
{
    if (auto *installer = qobject_cast<LumetraInstaller *>(root))
        attach(installer);
    const QList<LumetraInstaller *> installers = root->findChildren<LumetraInstaller *>();
    for (LumetraInstaller *installer : installers)
        attach(installer);
}

UpdateHistory::UpdateHistory(LumetraInstaller *installer, const QString &directory)
    : QObject(installer), path(QDir(directory).filePath(QStringLiteral("history.jsonl")))
{
    connect(installer, &LumetraInstaller::attemptEnded, this, &UpdateHistory::record);
}

void UpdateHistory::record(const UpdateAttempt &attempt)
{
    QJsonObject entry {
        { QStringLiteral("start"), attempt.start.toString(Qt::ISODateWithMs) },
        { QStringLiteral("durationMs"), attempt.durationMs },
        { QStringLiteral("root"), attempt.root },
        { QStringLiteral("versionBefore"), textOrNull(attempt.versionBefore) },
        { QStringLiteral("versionAfter"), textOrNull(attempt.versionAfter) },
        { QStringLiteral("diskCheck"), attempt.diskChecked ? QJsonValue(attempt.diskCheck) : QJsonValue() },
        { QStringLiteral("bytesWritten"), attempt.bytesWritten },
        { QStringLiteral("verified"), attempt.verified },
        { QStringLiteral("firmwareSha256"), textOrNull(attempt.firmwareSha256) },
        { QStringLiteral("removal"), attempt.removalRan ? QJsonValue(attempt.removalCode) : QJsonValue() },
        { QStringLiteral("outcome"), outcomeWord(attempt.outcome) },
    };
    if (attempt.outcome == UpdateAttempt::Failed || attempt.outcome == UpdateAttempt::Busy)
        entry.insert(QStringLiteral("reason"), reasonWords(attempt));
    if (attempt.firmwareIncomplete)
        entry.insert(QStringLiteral("firmwareIncomplete"), true);
    // An updated or up-to-date unit stays so; that it must be ejected by hand is said apart.
    if (attempt.removalRan && attempt.removalCode != 0)
        entry.insert(QStringLiteral("removalReason"), removalReason(attempt.removalCode));

    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    const QString why = appendLine(path, line);
    if (why.isEmpty() || complained)
        return;
    complained = true;
    qCWarning(lcOutput).noquote() << "LumetraInstaller: the update history" << QDir::toNativeSeparators(path)
                         << "cannot be written (" + why + "); the update itself is not affected";
}
