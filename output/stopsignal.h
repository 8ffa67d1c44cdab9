#ifndef STOPSIGNAL_H
#define STOPSIGNAL_H

#include <QtCore/QObject>

class QSocketNotifier;

// Ctrl+C, SIGTERM and SIGHUP (a closed terminal, a logout; on Windows Ctrl+C, Ctrl+Break and
// closing the console) as a Qt signal on the thread that made this object, so that either
// face stops an update the way closing the window does instead of dying in the middle of a
// copy. The object's end says that the stop is done. One at a time.
class StopSignal : public QObject
{
    Q_OBJECT

public:
    explicit StopSignal(QObject *parent = nullptr);
    ~StopSignal() override;

signals:
    void received();

private:
    QSocketNotifier *notifier = nullptr;
};

#endif // STOPSIGNAL_H
