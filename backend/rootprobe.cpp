#include "rootprobe.h"

#include "backendlogging.h"

#include <QtCore/QDir>
#include <QtCore/QSet>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Roots whose look has not returned yet. Never destroyed: a look that returns while the
// program ends must still find it.
struct StuckRoots
{
    std::mutex mutex;
    QSet<QString> roots;
};

StuckRoots &stuckRoots()
{
    static StuckRoots *const registry = new StuckRoots;
    return *registry;
}

enum class Answer : char { Pending, Holds, Lacks, NoAnswer };

// One look over a list of roots, shared by the caller and its helper threads. Only the newest
// helper works for the caller; one it gave up on may come back at any time, even after the
// caller has returned, and then leaves.
struct Look
{
    QStringList roots;
    QString fileName;
    bool firstOnly = false;
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<Answer> answers;
    int next = 0;
    // The root being looked into; -1 once there is none left to look into.
    int current = -1;
    Clock::time_point since;
    int helper = 0;
    bool found = false;

    bool done() const { return current < 0; }

    // Under mutex.
    void takeNext()
    {
        current = -1;
        while (!(firstOnly && found) && next < roots.size()) {
            const int index = next++;
            if (answers[index] == Answer::Pending) {
                current = index;
                since = Clock::now();
                return;
            }
        }
    }
};

bool holds(const QString &root, const QString &fileName)
{
    const QStringList files = QDir(root).entryList(QStringList(), QDir::Files, QDir::NoSort);
    return files.contains(fileName, Qt::CaseSensitive);
}

void lookInto(const std::shared_ptr<Look> &look, int helper)
{
    std::unique_lock<std::mutex> lock(look->mutex);
    while (look->helper == helper && !look->done()) {
        const int index = look->current;
        const QString root = look->roots.at(index);
        lock.unlock();
        const bool marked = holds(root, look->fileName);
        lock.lock();
        if (look->helper != helper) {
            // Given up on while stuck: the root may be looked into again.
            const std::lock_guard<std::mutex> registryLock(stuckRoots().mutex);
            stuckRoots().roots.remove(root);
            return;
        }
        look->answers[index] = marked ? Answer::Holds : Answer::Lacks;
        look->found = look->found || marked;
        look->takeNext();
    }
    look->finished.notify_all();
}

void startHelper(const std::shared_ptr<Look> &look)
{
    // Detached: a helper stuck in the kernel must hold neither a destructor nor the exit.
    std::thread(lookInto, look, look->helper).detach();
}

} // namespace

QStringList RootProbe::rootsHolding(const QStringList &roots, const QString &fileName, bool firstOnly)
{
    const auto look = std::make_shared<Look>();
    look->roots = roots;
    look->fileName = fileName;
    look->firstOnly = firstOnly;
    look->answers.assign(size_t(roots.size()), Answer::Pending);
    {
        const std::lock_guard<std::mutex> registryLock(stuckRoots().mutex);
        for (int index = 0; index < roots.size(); ++index) {
            if (stuckRoots().roots.contains(roots.at(index)))
                look->answers[size_t(index)] = Answer::NoAnswer;
        }
    }

    QStringList silent;
    std::unique_lock<std::mutex> lock(look->mutex);
    look->takeNext();
    if (!look->done())
        startHelper(look);
    while (!look->done()) {
        const int index = look->current;
        const auto deadline = look->since + std::chrono::milliseconds(timeLimitMs);
        if (look->finished.wait_until(lock, deadline, [&look] { return look->done(); }))
            break;
        if (look->current != index)
            continue;
        // No answer in time: passed over, and the rest goes to a new helper.
        look->answers[size_t(index)] = Answer::NoAnswer;
        silent.append(roots.at(index));
        {
            const std::lock_guard<std::mutex> registryLock(stuckRoots().mutex);
            stuckRoots().roots.insert(roots.at(index));
        }
        ++look->helper;
        look->takeNext();
        if (!look->done())
            startHelper(look);
    }
    QStringList holding;
    for (int index = 0; index < roots.size(); ++index) {
        if (look->answers[size_t(index)] == Answer::Holds)
            holding.append(roots.at(index));
    }
    lock.unlock();

    for (const QString &root : qAsConst(silent)) {
        qCWarning(lcBackend).noquote() << "The volume at" << root << "did not answer within" << timeLimitMs
                                       << "ms; it is passed over until it does";
    }
    return holding;
}
