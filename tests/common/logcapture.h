#pragma once
#include <QtCore/QStringList>

#include <mutex>

// Collects the debug lines of everything that runs while it exists, worker threads included; warnings still
// reach the test's output. A standard mutex, which ThreadSanitizer sees, keeps a worker from logging into a
// capture that is gone.
class LogCapture
{
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> locker(lock);
        current = this;
        previous = qInstallMessageHandler(&handle);
    }
    ~LogCapture() { std::lock_guard<std::mutex> locker(lock); qInstallMessageHandler(previous); current = nullptr; }
    QStringList lines() const { std::lock_guard<std::mutex> locker(lock); return captured; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        std::lock_guard<std::mutex> locker(lock);
        if (current)
            current->captured.append(message);
        if (current && type != QtDebugMsg)
            current->previous(type, context, message);
    }
    static inline std::mutex lock;
    static inline LogCapture *current = nullptr;
    QtMessageHandler previous = nullptr;
    QStringList captured;
};
