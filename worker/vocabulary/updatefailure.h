#ifndef UPDATEFAILURE_H
#define UPDATEFAILURE_H

#include <QtCore/QObject>

// Why an update or a comparison did not end as asked: one value for each reason, from the
// worker, which meets most of them, up to the faces, which each put it in their own words
// (the window's translated line, the command line's, the history's stable strings). The
// backend's interface passes it on as its own; this folder is all the faces see of the worker.
// Details that are no reason (the pid of another updater, the system's words for a lock that
// failed) travel beside the value, never inside it.
namespace UpdateFailure {
Q_NAMESPACE

enum Reason {
    None,
    // The worker's.
    FirmwareUnreadable, // the image carried by this program could not be read
    FirmwareDamaged, // the image carried by this program is not the one it was built with
    Interrupted, // a stop request ended the run
    DriveGone,
    MarkerNotOrdinaryFile, // the unit's image turned into something else during the run
    FullDrive,
    ReadOnly,
    WriteFailed,
    VerificationFailed, // the image read back is not the one written
    VersionFileNotWritten,
    Unreadable, // a comparison could not read the unit's image
    Differs, // a comparison found another image on the unit
    // The backend's.
    MarkerIsLink, // the marker is a link: no unit
    MarkerNotFile, // the marker is no ordinary file: no unit
    Busy, // another updater holds the unit
    LockFailed, // the unit's lock could not be taken for another reason
    ProgramEnded, // the program ended during the update (the window closed)
};
Q_ENUM_NS(Reason)

} // namespace UpdateFailure

#endif // UPDATEFAILURE_H
