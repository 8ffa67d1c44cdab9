#ifndef LOGCAPTURE_H
#define LOGCAPTURE_H

#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

#include <mutex>

// Collects the debug lines of everything that runs while it exists, worker threads
// included, and still passes warnings on to the test's own output. A worker may log at
// the very moment the capture ends: the lock keeps it from writing into a capture that
// is gone.
class LogCapture
{
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> locker(lock);
        current = this;
        previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture()
    {
        std::lock_guard<std::mutex> locker(lock);
        qInstallMessageHandler(previous);
        current = nullptr;
    }

    QStringList lines() const
    {
        std::lock_guard<std::mutex> locker(lock);
        return captured;
    }
    bool hasLineStartingWith(const QString &start) const
    {
        const QStringList all = lines();
        for (const QString &line : all) {
            if (line.startsWith(start))
                return true;
        }
        return false;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        std::lock_guard<std::mutex> locker(lock);
        if (!current)
            return;
        current->captured.append(message);
        if (type != QtDebugMsg)
            current->previous(type, context, message);
    }

    // A standard mutex: ThreadSanitizer sees it, unlike the locking inside Qt.
    static inline std::mutex lock;
    static inline LogCapture *current = nullptr;
    QtMessageHandler previous = nullptr;
    QStringList captured;
};

#endif // LOGCAPTURE_H
