#ifndef UPDATEHISTORY_H
#define UPDATEHISTORY_H

#include "logfile.h"
#include "updateattempt.h"

#include <QtCore/QObject>
#include <QtCore/QString>

class LumetraInstaller;

// Keeps a record of each update attempt of one backend: the backend's one record of it, as one
// line of JSON appended to "history.jsonl" in the given folder and flushed. It only listens to
// the backend; the backend knows nothing of it.
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

    QString filePath() const { return path; }

    // The history's words, stable on disk, which the command line's lines repeat: the outcome
    // ("updated", "up to date", "failed", "busy", "matches", "differs"); the reason with its
    // details ("full drive", "being updated by another LumetraInstaller (pid 42)", "could not
    // lock the unit: " and the system's words); why a removal did not happen, from its code
    // (the ejector's, or -1 when the backend refused).
    static QString outcomeWord(UpdateAttempt::Outcome outcome);
    static QString reasonWords(const UpdateAttempt &attempt);
    static QString removalReason(int code);

private:
    void record(const UpdateAttempt &attempt);

    QString path;
    // A history that cannot be written is said once, not at every attempt.
    bool complained = false;
};

#endif // UPDATEHISTORY_H
