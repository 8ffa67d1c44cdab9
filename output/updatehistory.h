#ifndef UPDATEHISTORY_H
#define UPDATEHISTORY_H

#include "logfile.h"

#include <QtCore/QDateTime>
#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>
#include <QtCore/QString>

class LumetraInstaller;

// Keeps a record of each update attempt of one backend: one line of JSON per attempt,
// appended to "history.jsonl" in the given folder and flushed when the attempt ends. It only
// listens to the backend's signals; the backend knows nothing of it.
//
// An attempt starts with the version check (or the update, without one) and ends with:
// - "updated": the removal that follows the success (a refused one with its code and reason),
//   or the next attempt, or the backend's end;
// - "up to date": the removal that follows a check that needed no update (a check alone,
//   as a listing makes, is no attempt);
// - "failed": the failure, with its reason; or the backend's end during the update; or a
//   lock that could not be taken, with the system's reason;
// - "busy": another updater held the unit.
class UpdateHistory : public QObject
{
    Q_OBJECT

public:
    // Records the attempts of installer for as long as it lives; it owns the recorder.
    static UpdateHistory *attach(LumetraInstaller *installer, const QString &directory = logDirectory());
    // Attaches a recorder to every backend object in the tree under root (a window and
    // what its document declared).
    static void attachToAll(QObject *root);

    explicit UpdateHistory(LumetraInstaller *installer, const QString &directory = logDirectory());
    ~UpdateHistory() override;

    QString filePath() const { return path; }

    // Why a removal did not happen, in words, from its code: the ejector's, or -1 when the
    // backend refused. The history's "removalReason"; the command line says the same.
    static QString removalReason(int code);

public slots:
    // Records the attempt under way as it stands, for a caller that ends an up-to-date or
    // updated unit without the removal.
    void endAttempt();

private:
    struct Attempt
    {
        QDateTime start;
        QElapsedTimer clock;
        QString root;
        QString versionBefore;
        QString versionAfter;
        int diskCheck = 0;
        bool diskChecked = false;
        qint64 bytesWritten = 0;
        bool verified = false;
        QString firmwareSha256;
        int removal = 0;
        bool removed = false;
        bool updateStarted = false;
        bool firmwareIncomplete = false;
        QString outcome;
        QString reason;
    };

    void begin(const QString &root);
    Attempt &current();
    void record();
    void onVersionChecked(const QString &root, const QString &deviceVersion, bool needsUpdate);
    void onUpdateStarted(const QString &root);
    void onFailed();
    void onLockRefused(const QString &outcome, const QString &reason);
    void onRemovalFinished(int code);

    QString path;
    Attempt attempt;
    bool underWay = false;
    // A history that cannot be written is said once, not at every attempt.
    bool complained = false;
};

#endif // UPDATEHISTORY_H
