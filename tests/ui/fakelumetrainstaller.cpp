#include "fakelumetrainstaller.h"

#include <QtGui/QDesktopServices>
#include <QtGui/QWindow>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/qqml.h>
#include <QtTest/QTest>

FakeLumetraInstaller::FakeLumetraInstaller(QObject *parent)
    : QObject(parent)
{
    FakeBackendScript::instance()->newest = this;
}

QList<int> FakeLumetraInstaller::receiverCounts() const
{
    return {receivers(SIGNAL(copyFileProgress(double))), receivers(SIGNAL(updateFirmwareSuccess())),
            receivers(SIGNAL(updateFirmwareFailed()))};
}

QString FakeLumetraInstaller::getLumetraUpdateVersion()
{
    return QStringLiteral("1.73");
}

bool FakeLumetraInstaller::isLumetraConnected()
{
    FakeBackendScript::instance()->calls.append(QStringLiteral("isLumetraConnected"));
    return FakeBackendScript::instance()->connected;
}

bool FakeLumetraInstaller::updateLumetra()
{
    FakeBackendScript::instance()->calls.append(QStringLiteral("updateLumetra"));
    return FakeBackendScript::instance()->connected;
}

QString FakeLumetraInstaller::getCurrentVersionNumber()
{
    FakeBackendScript::instance()->calls.append(QStringLiteral("getCurrentVersionNumber"));
    return FakeBackendScript::instance()->currentVersion;
}

bool FakeLumetraInstaller::doesLumetraNeedUpdate()
{
    FakeBackendScript::instance()->calls.append(QStringLiteral("doesLumetraNeedUpdate"));
    return FakeBackendScript::instance()->needsUpdate;
}

bool FakeLumetraInstaller::uninstallUsb()
{
    FakeBackendScript::instance()->calls.append(QStringLiteral("uninstallUsb"));
    return FakeBackendScript::instance()->connected;
}

FakeBackendScript *FakeBackendScript::instance()
{
    static FakeBackendScript script;
    return &script;
}

void FakeBackendScript::reset()
{
    connected = true;
    needsUpdate = true;
    currentVersion = QStringLiteral("1.0");
    calls.clear();
    openedUrls.clear();
}

void FakeBackendScript::emitProgress(double value)
{
    calls.append(QStringLiteral("progress %1").arg(value));
    if (newest)
        emit newest->copyFileProgress(value);
}

void FakeBackendScript::emitSuccess()
{
    calls.append(QStringLiteral("success"));
    if (newest)
        emit newest->updateFirmwareSuccess();
}

void FakeBackendScript::emitFailed()
{
    calls.append(QStringLiteral("failed"));
    if (newest)
        emit newest->updateFirmwareFailed();
}

QList<int> FakeBackendScript::receiverCounts() const
{
    return newest ? newest->receiverCounts() : QList<int>();
}

void FakeBackendScript::pressKey(QObject *window, int key)
{
    if (QWindow *target = qobject_cast<QWindow *>(window))
        QTest::keyClick(target, Qt::Key(key));
}

void installFakeBackend(QQmlEngine *engine)
{
    static const int typeId =
            qmlRegisterType<FakeLumetraInstaller>("LumetraInstaller", 1, 0, "LumetraInstaller");
    Q_UNUSED(typeId);
    FakeBackendScript *script = FakeBackendScript::instance();
    script->reset();
    QQmlEngine::setObjectOwnership(script, QQmlEngine::CppOwnership);
    engine->rootContext()->setContextProperty(QStringLiteral("fakeBackend"), script);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), script, "openUrl");
}
