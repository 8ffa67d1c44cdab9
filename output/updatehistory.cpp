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

const QString updated = QStringLiteral("updated");
const QString upToDate = QStringLiteral("up to date");
const QString failed = QStringLiteral("failed");
const QString busy = QStringLiteral("busy");

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
    connect(installer, &LumetraInstaller::versionChecked, this, &UpdateHistory::onVersionChecked);
    connect(installer, &LumetraInstaller::updateStarted, this, &UpdateHistory::onUpdateStarted);
    connect(installer, &LumetraInstaller::diskCheckFinished, this, [this](int verdict) {
        current().diskCheck = verdict;
        attempt.diskChecked = true;
    });
    connect(installer, &LumetraInstaller::firmwareVerified, this, [this](qint64 bytes, const QString &sha256) {
        current().bytesWritten = bytes;
        attempt.verified = true;
        attempt.firmwareSha256 = sha256;
    });
    connect(installer, &LumetraInstaller::versionWritten, this,
            [this](const QString &version) { current().versionAfter = version; });
    connect(installer, &LumetraInstaller::updateFailedBecause, this,
            [this](const QString &reason, bool firmwareIncomplete) {
                current().reason = reason;
                attempt.firmwareIncomplete = firmwareIncomplete;
            });
    connect(installer, &LumetraInstaller::unitBusy, this, [this](qint64 pid) {
        onLockRefused(busy, QStringLiteral("being updated by another LumetraInstaller")
                              + (pid > 0 ? QStringLiteral(" (pid %1)").arg(pid) : QString()));
    });
    connect(installer, &LumetraInstaller::unitLockFailed, this,
            [this](const QString &reason) { onLockRefused(failed, reason); });
    // A comparison is an attempt of its own, recorded at its end.
    connect(installer, &LumetraInstaller::firmwareCompared, this, [this](const QString &root, bool matches) {
        begin(root);
        attempt.outcome = matches ? QStringLiteral("matches") : QStringLiteral("differs");
        attempt.verified = matches;
        record();
    });
    // Another updater finished first: nothing was written, the unit is up to date.
    connect(installer, &LumetraInstaller::foundUpToDate, this, [this](const QString &version) {
        current().outcome = upToDate;
        attempt.versionAfter = version;
    });
    // A unit found up to date under the lock ends with a success too; it stays "up to date".
    connect(installer, &LumetraInstaller::updateFirmwareSuccess, this, [this] {
        if (current().outcome != upToDate)
            attempt.outcome = updated;
    });
    connect(installer, &LumetraInstaller::updateFirmwareFailed, this, &UpdateHistory::onFailed);
    connect(installer, &LumetraInstaller::removalFinished, this, &UpdateHistory::onRemovalFinished);
}

UpdateHistory::~UpdateHistory()
{
    // The backend is going (the window closed): an update it was running did not finish.
    if (underWay && attempt.updateStarted && attempt.outcome.isEmpty()) {
        attempt.outcome = failed;
        attempt.reason = QStringLiteral("the program ended during the update");
    }
    if (attempt.outcome != upToDate)
        endAttempt();
}

void UpdateHistory::endAttempt()
{
    if (underWay && !attempt.outcome.isEmpty())
        record();
}

void UpdateHistory::begin(const QString &root)
{
    attempt = Attempt();
    attempt.start = QDateTime::currentDateTimeUtc();
    attempt.clock.start();
    attempt.root = root;
    underWay = true;
}

UpdateHistory::Attempt &UpdateHistory::current()
{
    // A recorder attached late still records what it sees.
    if (!underWay)
        begin(QString());
    return attempt;
}

void UpdateHistory::onVersionChecked(const QString &root, const QString &deviceVersion, bool needsUpdate)
{
    if (underWay && attempt.updateStarted && attempt.outcome.isEmpty())
        return; // a look at the drive during the copy is not a new attempt
    if (underWay && attempt.outcome == updated)
        record();
    begin(root);
    attempt.versionBefore = deviceVersion;
    if (!needsUpdate) {
        attempt.outcome = upToDate;
        attempt.versionAfter = deviceVersion;
    }
}

void UpdateHistory::onUpdateStarted(const QString &root)
{
    const bool checkedJustBefore = underWay && !attempt.updateStarted && attempt.outcome.isEmpty()
            && attempt.root == root;
    if (!checkedJustBefore) {
        if (underWay && attempt.outcome == updated)
            record();
        begin(root);
    }
    attempt.updateStarted = true;
}

void UpdateHistory::onFailed()
{
    current().outcome = failed;
    if (attempt.reason.isEmpty())
        attempt.reason = QStringLiteral("no reason given");
    record();
}

void UpdateHistory::onLockRefused(const QString &outcome, const QString &reason)
{
    // A removal refused after an update of this run's own is already on record.
    if (underWay && !attempt.outcome.isEmpty())
        return;
    current().outcome = outcome;
    attempt.reason = reason;
    record();
}

void UpdateHistory::onRemovalFinished(int code)
{
    if (!underWay || (attempt.outcome != updated && attempt.outcome != upToDate))
        return;
    attempt.removal = code;
    attempt.removed = true;
    record();
}

void UpdateHistory::record()
{
    underWay = false;
    // Nothing was written to the version file unless it says so.
    const QString versionAfter = attempt.versionAfter.isNull() && attempt.outcome != updated
            ? attempt.versionBefore
            : attempt.versionAfter;
    QJsonObject entry {
        { QStringLiteral("start"), attempt.start.toString(Qt::ISODateWithMs) },
        { QStringLiteral("durationMs"), attempt.clock.elapsed() },
        { QStringLiteral("root"), attempt.root },
        { QStringLiteral("versionBefore"), textOrNull(attempt.versionBefore) },
        { QStringLiteral("versionAfter"), textOrNull(versionAfter) },
        { QStringLiteral("diskCheck"), attempt.diskChecked ? QJsonValue(attempt.diskCheck) : QJsonValue() },
        { QStringLiteral("bytesWritten"), attempt.bytesWritten },
        { QStringLiteral("verified"), attempt.verified },
        // The SHA-256 of the image written and read back; null when none was.
        { QStringLiteral("firmwareSha256"), textOrNull(attempt.firmwareSha256) },
        { QStringLiteral("removal"), attempt.removed ? QJsonValue(attempt.removal) : QJsonValue() },
        { QStringLiteral("outcome"), attempt.outcome },
    };
    if (attempt.outcome == failed || attempt.outcome == busy)
        entry.insert(QStringLiteral("reason"), attempt.reason);
    if (attempt.firmwareIncomplete)
        entry.insert(QStringLiteral("firmwareIncomplete"), true);
    // An updated or up-to-date unit stays so; that it must be ejected by hand is said apart.
    if (attempt.removed && attempt.removal != 0)
        entry.insert(QStringLiteral("removalReason"), removalReason(attempt.removal));

    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    const QString why = appendLine(path, line);
    if (why.isEmpty() || complained)
        return;
    complained = true;
    qCWarning(lcOutput).noquote() << "LumetraInstaller: the update history" << QDir::toNativeSeparators(path)
                         << "cannot be written (" + why + "); the update itself is not affected";
}
