#ifndef UPDATEATTEMPT_H
#define UPDATEATTEMPT_H

#include "updatefailure.h"

#include <QtCore/QDateTime>
#include <QtCore/QMetaType>
#include <QtCore/QObject>
#include <QtCore/QString>

// One attempt on one unit, as the backend knows it when the attempt ends: an update from its
// version check (or its start) to its removal, or a comparison. The backend emits it once, in
// LumetraInstaller::attemptEnded(); the history writes it and the command line reports it,
// each in its own words.
struct UpdateAttempt
{
    Q_GADGET

public:
    enum Outcome {
        Updated,
        UpToDate, // nothing written: the check, or the unit under the lock, said so
        Failed,
        Busy, // another updater holds the unit: nothing was tried
        Matches, // a comparison found this program's firmware
        Differs, // a comparison found another image
    };
    Q_ENUM(Outcome)
    // The backend speaks the worker's vocabulary of reasons as its own.
    using Reason = UpdateFailure::Reason;

    QString root;
    QDateTime start; // UTC
    qint64 durationMs = 0;
    // What Version.txt said at the check, and says afterwards; null when it was not read.
    QString versionBefore;
    QString versionAfter;
    // The disk check's verdict (0 clean, 1 problems found, -1 none), when one ran.
    bool diskChecked = false;
    int diskCheck = -1;
    qint64 bytesWritten = 0;
    bool verified = false;
    // The SHA-256 of the image written and read back; null when none was.
    QString firmwareSha256;
    Outcome outcome = Failed;
    // Failed or Busy: why. Updated or UpToDate: why a removal was refused, when the unit's
    // lock refused it (Busy, LockFailed); the removal's code says the rest.
    Reason reason = UpdateFailure::None;
    // The old image was overwritten and the new one is not whole: keep the unit connected.
    bool firmwareIncomplete = false;
    // An update ran (not a version check alone).
    bool updateStarted = false;
    // The removal that ended the attempt, when one was asked for: 0 removed, the ejector's
    // code, or -1 when the backend refused it.
    bool removalRan = false;
    int removalCode = 0;
    // Busy: the other updater's pid when the system names it, else 0. LockFailed: the
    // system's words.
    qint64 busyPid = 0;
    QString lockError;
};

Q_DECLARE_METATYPE(UpdateAttempt)

#endif // UPDATEATTEMPT_H
