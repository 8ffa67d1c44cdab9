#ifndef FAKELUMETRAINSTALLER_H
#define FAKELUMETRAINSTALLER_H

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QStringList>
#include <QtCore/QUrl>

class QQmlEngine;

// Registered as the UI's "LumetraInstaller" 1.0 in place of the real backend; it answers
// from the script below and logs every call there.
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
    // Starts a copy only while the unit is there, as the real one does.
    Q_INVOKABLE bool updateLumetra();
    Q_INVOKABLE QString getCurrentVersionNumber();
    Q_INVOKABLE bool doesLumetraNeedUpdate();
    Q_INVOKABLE bool uninstallUsb();
};

// One script serves every fake the UI creates: a test sets the answers before the screen
// that asks is created, emits the signals through the newest fake (the one the window on
// screen holds), and reads the calls, in order, afterwards.
class FakeBackendScript : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool connected MEMBER connected)
    Q_PROPERTY(bool needsUpdate MEMBER needsUpdate)
    Q_PROPERTY(QString currentVersion MEMBER currentVersion)
    Q_PROPERTY(QStringList calls MEMBER calls)
    Q_PROPERTY(QStringList openedUrls MEMBER openedUrls)

public:
    static FakeBackendScript *instance();

    bool connected = true;
    bool needsUpdate = true;
    QString currentVersion;
    QStringList calls;
    QStringList openedUrls;
    QPointer<FakeLumetraInstaller> newest;

    Q_INVOKABLE void reset();
    Q_INVOKABLE int callCount(const QString &name) const { return calls.count(name); }
    Q_INVOKABLE void emitProgress(double value);
    Q_INVOKABLE void emitSuccess();
    Q_INVOKABLE void emitFailed();
    // Connections on the newest fake's three signals, in signal order.
    Q_INVOKABLE QList<int> receiverCounts() const;
    // A key press for a window other than the test's own.
    Q_INVOKABLE void pressKey(QObject *window, int key);

public slots:
    // Stands in for the browser.
    void openUrl(const QUrl &url) { openedUrls.append(url.toString()); }
};

// Registers the fake type and the script (as "fakeBackend") with an engine, and routes
// the web links the UI opens to the script.
void installFakeBackend(QQmlEngine *engine);

#endif // FAKELUMETRAINSTALLER_H
