#ifndef SHUTDOWNGUARD_H
#define SHUTDOWNGUARD_H

#include "sessionendhold.h"

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QSet>

#include <memory>

class LumetraInstaller;
class QWindow;
class StopSignal;

// Keeps the end of the session from cutting the window's update short. A log-off, a closed
// terminal or a service manager (SIGTERM, SIGHUP, Ctrl+C) stops an update as the command line
// does: the old firmware stays, or a write in place is finished; only then may the program
// end, with the attempt's record taken as the backend goes. On Windows the session's end is
// held, its reason shown on the window, while an update runs.
class ShutdownGuard : public QObject
{
    Q_OBJECT

public:
    // Made before the backends and gone after them: a second signal while they record their
    // end must not kill the program.
    explicit ShutdownGuard(QObject *parent = nullptr);
    ~ShutdownGuard() override;

    // Guards the updates of every backend object in the trees under roots (a window and what
    // its document declared); the first window is the one the system names.
    void watch(const QList<QObject *> &roots);

signals:
    // Asked to end, and no update runs any more: the program may end.
    void readyToEnd();

private:
    void watchInstaller(LumetraInstaller *installer);
    void stop();
    void updateEnded(LumetraInstaller *installer);

    std::unique_ptr<StopSignal> stopSignal;
    SessionEndHold hold;
    QPointer<QWindow> window;
    QSet<LumetraInstaller *> running;
    bool stopping = false;
};

#endif // SHUTDOWNGUARD_H
