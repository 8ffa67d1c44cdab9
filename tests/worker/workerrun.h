#ifndef WORKERRUN_H
#define WORKERRUN_H

#include "filecopythread.h"
#include "logcapture.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QElapsedTimer>
#include <QtCore/QStringList>
#include <QtCore/QVector>

// Receives a worker's signals the way the backend does: queued onto this thread, in the
// order of emission.
class WorkerRun
{
public:
    explicit WorkerRun(FileCopyThread *thread)
        : thread(thread)
    {
        QObject::connect(thread, &FileCopyThread::updateProgress, &receiver, [this](double value) {
            progress.append(value);
            if (ends > 0)
                signalAfterEnd = true;
        });
        QObject::connect(thread, &FileCopyThread::copySuccess, &receiver, [this] { ++successes; ++ends; });
        QObject::connect(thread, &FileCopyThread::copyFailed, &receiver, [this] { ++failures; ++ends; });
    }

    // Starts the thread and waits for its end signal and its end. False on a time-out.
    bool startAndWait(int timeoutMs = 60000)
    {
        progress.clear();
        successes = failures = ends = 0;
        signalAfterEnd = false;
        QElapsedTimer clock;
        clock.start();
        thread->start();
        const QDeadlineTimer deadline(timeoutMs);
        while (ends == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        seconds = clock.elapsed() / 1000.0;
        const bool finished = thread->wait(deadline);
        // Anything emitted after the end signal would be queued by now.
        QCoreApplication::processEvents();
        return finished && ends > 0;
    }

    // Exactly one end signal, the last of the run, after a first progress value of 0.0.
    bool wellFormed() const
    {
        return ends == 1 && !signalAfterEnd && !progress.isEmpty() && progress.first() == 0.0;
    }

    FileCopyThread *thread;
    QObject receiver;
    QVector<double> progress;
    int successes = 0;
    int failures = 0;
    int ends = 0;
    bool signalAfterEnd = false;
    double seconds = 0;
};

#endif // WORKERRUN_H
