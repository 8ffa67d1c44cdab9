#include "fakelumetrainstaller.h"

#include <QtGui/QDesktopServices>
#include <QtGui/QWindow>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQml/qqml.h>
#include <QtTest/QTest>

FakeBackendScript::FakeBackendScript(QObject *parent)
    : QObject(parent)
{
    reset();
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

int FakeBackendScript::callCount(const QString &name) const
{
    return calls.count(name);
}

void FakeBackendScript::emitProgress(double value)
{
    record(QStringLiteral("progress %1").arg(value));
    if (newest)
        emit newest->copyFileProgress(value);
}

void FakeBackendScript::emitSuccess()
{
    record(QStringLiteral("success"));
    if (newest)
        emit newest->updateFirmwareSuccess();
}

void FakeBackendScript::emitFailed()
{
    record(QStringLiteral("failed"));
    if (newest)
        emit newest->updateFirmwareFailed();
}

QList<int> FakeBackendScript::receiverCounts() const
{
    return newest ? newest->receiverCounts() : QList<int>();
}

void FakeBackendScript::pressKey(QObject *window, int key)
{
    QWindow *target = qobject_cast<QWindow *>(window);
    if (target)
        QTest::keyClick(target, Qt::Key(key));
}

void FakeBackendScript::attach(FakeLumetraInstaller *backend)
{
    newest = backend;
}

void FakeBackendScript::record(const QString &call)
{
    calls.append(call);
}

void FakeBackendScript::openUrl(const QUrl &url)
{
    openedUrls.append(url.toString());
}

FakeLumetraInstaller::FakeLumetraInstaller(QObject *parent)
    : QObject(parent)
{
    FakeBackendScript::instance()->attach(this);
}

QList<int> FakeLumetraInstaller::receiverCounts() const
{
    return {receivers(SIGNAL(copyFileProgress(double))),
            receivers(SIGNAL(updateFirmwareSuccess())),
            receivers(SIGNAL(updateFirmwareFailed()))};
}

QString FakeLumetraInstaller::getLumetraUpdateVersion()
{
    return QStringLiteral("1.73");
}

bool FakeLumetraInstaller::isLumetraConnected()
{
    FakeBackendScript *script = FakeBackendScript::instance();
    script->record(QStringLiteral("isLumetraConnected"));
    return script->connected;
}

bool FakeLumetraInstaller::updateLumetra()
{
    FakeBackendScript *script = FakeBackendScript::instance();
    script->record(QStringLiteral("updateLumetra"));
    return script->connected;
}

QString FakeLumetraInstaller::getCurrentVersionNumber()
{
    FakeBackendScript *script = FakeBackendScript::instance();
    script->record(QStringLiteral("getCurrentVersionNumber"));
    return script->currentVersion;
}

bool FakeLumetraInstaller::doesLumetraNeedUpdate()
{
    FakeBackendScript *script = FakeBackendScript::instance();
    script->record(QStringLiteral("doesLumetraNeedUpdate"));
    return script->needsUpdate;
}

bool FakeLumetraInstaller::uninstallUsb()
{
    FakeBackendScript *script = FakeBackendScript::instance();
    script->record(QStringLiteral("uninstallUsb"));
    return script->connected;
}

void installFakeBackend(QQmlEngine *engine)
{
    static const int typeId =
            qmlRegisterType<FakeLumetraInstaller>("LumetraInstaller", 1, 0, "LumetraInstaller");
    Q_UNUSED(typeId);
    FakeBackendScript *script = FakeBackendScript::instance();
    QQmlEngine::setObjectOwnership(script, QQmlEngine::CppOwnership);
    engine->rootContext()->setContextProperty(QStringLiteral("fakeBackend"), script);
    QDesktopServices::setUrlHandler(QStringLiteral("https"), script, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), script, "openUrl");
}
