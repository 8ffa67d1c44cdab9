#ifndef FAKELUMETRAINSTALLER_H
#define FAKELUMETRAINSTALLER_H

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QUrl>

class FakeLumetraInstaller;

// What the fake backend answers, what it was asked, and the backend's signals on demand.
// One script serves every fake the UI creates; a test sets the answers before the screen
// that asks is created, and reads the calls afterwards.
class FakeBackendScript : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool connected MEMBER connected)
    Q_PROPERTY(bool needsUpdate MEMBER needsUpdate)
    Q_PROPERTY(QString currentVersion MEMBER currentVersion)
    Q_PROPERTY(QStringList calls MEMBER calls)
    Q_PROPERTY(QStringList openedUrls MEMBER openedUrls)

public:
    explicit FakeBackendScript(QObject *parent = nullptr);

    static FakeBackendScript *instance();

    // The unit's answers: connected at detection (updateLumetra starts a copy only while
    // connected, as the real one does), whether it needs the update, its version text.
    bool connected = true;
    bool needsUpdate = true;
    QString currentVersion;
    // Every backend call in order, with the signals the test emitted in between.
    QStringList calls;
    QStringList openedUrls;

    Q_INVOKABLE void reset();
    Q_INVOKABLE int callCount(const QString &name) const;
    // Emitted by the newest fake, the one the window now on screen holds.
    Q_INVOKABLE void emitProgress(double value);
    Q_INVOKABLE void emitSuccess();
    Q_INVOKABLE void emitFailed();
    // How many connections the newest fake's three signals have, in signal order.
    Q_INVOKABLE QList<int> receiverCounts() const;
    // A key press for a window other than the test's own.
    Q_INVOKABLE void pressKey(QObject *window, int key);

    void attach(FakeLumetraInstaller *backend);
    void record(const QString &call);

public slots:
    // Stands in for the browser.
    void openUrl(const QUrl &url);

private:
    QPointer<FakeLumetraInstaller> newest;
};

// Registered as the UI's "LumetraInstaller" 1.0 in place of the real backend.
class FakeLumetraInstaller : public QObject
{
    Q_OBJECT

public:
    explicit FakeLumetraInstaller(QObject *parent = nullptr);

    QList<int> receiverCounts() const;

signals:
    void copyFileProgress(double value);
    void updateFirmwareSuccess();
    void updateFirmwareFailed();

public:
    Q_INVOKABLE QString getLumetraUpdateVersion();
    Q_INVOKABLE bool isLumetraConnected();
    Q_INVOKABLE bool updateLumetra();
    Q_INVOKABLE QString getCurrentVersionNumber();
    Q_INVOKABLE bool doesLumetraNeedUpdate();
    Q_INVOKABLE bool uninstallUsb();
};

// Registers the fake type and the script (as "fakeBackend") with an engine, and routes
// the https links the UI opens to the script.
class QQmlEngine;
void installFakeBackend(QQmlEngine *engine);

#endif // FAKELUMETRAINSTALLER_H
