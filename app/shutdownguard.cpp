#include "shutdownguard.h"

#include "applogging.h"

#include "lumetrainstaller.h"
#include "stopsignal.h"

#include <QtCore/QDebug>
#include <QtGui/QWindow>

ShutdownGuard::ShutdownGuard(QObject *parent)
    : QObject(parent), stopSignal(std::make_unique<StopSignal>())
{
    connect(stopSignal.get(), &StopSignal::received, this, &ShutdownGuard::stop);
}

ShutdownGuard::~ShutdownGuard() = default;

void ShutdownGuard::watch(const QList<QObject *> &roots)
{
    for (QObject *root : roots) {
        if (!window)
            window = qobject_cast<QWindow *>(root);
        if (auto *installer = qobject_cast<LumetraInstaller *>(root))
            watchInstaller(installer);
        const QList<LumetraInstaller *> installers = root->findChildren<LumetraInstaller *>();
        for (LumetraInstaller *installer : installers)
            watchInstaller(installer);
    }
}

void ShutdownGuard::watchInstaller(LumetraInstaller *installer)
{
    connect(installer, &LumetraInstaller::updateStarted, this, [this, installer] {
        running.insert(installer);
        hold.setHeld(window, true);
    });
    connect(installer, &LumetraInstaller::updateFirmwareSuccess, this, [this, installer] { updateEnded(installer); });
    connect(installer, &LumetraInstaller::updateFirmwareFailed, this, [this, installer] { updateEnded(installer); });
    connect(installer, &QObject::destroyed, this, [this, installer] { running.remove(installer); });
}

void ShutdownGuard::stop()
{
    if (stopping)
        return;
    stopping = true;
    if (running.isEmpty()) {
        qCInfo(lcApp) << "ShutdownGuard: asked to end, no update runs";
        emit readyToEnd();
        return;
    }
    // The backend tells the unit's state only once its worker has ended: a write in place
    // goes on to the end, a copy beside the old image is abandoned.
    qCInfo(lcApp) << "ShutdownGuard: asked to end during an update; ending when the update has ended";
    for (LumetraInstaller *installer : qAsConst(running))
        installer->stopUpdate();
}

void ShutdownGuard::updateEnded(LumetraInstaller *installer)
{
    running.remove(installer);
    if (!running.isEmpty())
        return;
    hold.setHeld(window, false);
    if (stopping)
        emit readyToEnd();
}
