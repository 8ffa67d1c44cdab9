#include "commandlineupdater.h"

#include "console.h"
#include "stopsignal.h"

#include "logfile.h"
#include "lumetrainstaller.h"
#include "mounttable.h"
#include "updatehistory.h"
#include "volumesource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTimer>

#include <cstdio>
#include <utility>

namespace {

QtMessageHandler terminalHandler = nullptr;

// A unit that --watch left with an incomplete firmware stays connected, as it was asked to,
// and is updated again after a pause, a few times.
constexpr int retryPauseMs = 3000;
constexpr int incompleteRetries = 3;

// Called for the lines the terminal is to show (the log file decides which): a warning that
// comes while the progress bar is drawn starts on a line of its own.
void endBarThenShow(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    CommandLineReport::endBarLine();
    terminalHandler(type, context, message);
}

} // namespace

int CommandLineUpdater::run(int &argc, char **argv, const Options &options)
{
    Console::attachToParent();
    // A reader that goes away (--json | head) ends the output, never the update.
    Console::ignoreClosedPipes();
    QCoreApplication application(argc, argv);
    // The backend's and the worker's diagnostics (a line per copied block) go to the log alone:
    // on the terminal they would tear the progress bar and the result lines apart. What the
    // log passes on to the terminal ends the bar's line first.
    terminalHandler = qInstallMessageHandler(endBarThenShow);
    const LogFile log;
    // Standard output carries the JSON objects alone: the removal speaks on standard error.
    if (options.json)
        LumetraInstaller::sendRemovalMessagesTo(stderr);

    CommandLineUpdater updater(options);
    if (options.list)
        return updater.list();
    if (options.verify)
        return updater.verify();
    return options.watch ? updater.watch() : updater.update();
}

CommandLineUpdater::CommandLineUpdater(const Options &options, QObject *parent)
    : QObject(parent), options(options), report(options.json)
{
}

CommandLineUpdater::~CommandLineUpdater() = default;

void CommandLineUpdater::stop()
{
    stopRequested = true;
    if (current)
        current->stop(); // the next unit waits for its end, then nothing more begins
    else
        QCoreApplication::exit();
}

void CommandLineUpdater::catchStopSignals()
{
    if (stopSignal)
        return;
    stopSignal = std::make_unique<StopSignal>();
    connect(stopSignal.get(), &StopSignal::received, this, &CommandLineUpdater::stop);
}

// Every volume whose root the backend itself takes for a unit.
QStringList CommandLineUpdater::connectedUnits()
{
    QList<QByteArray> unnamed;
    const QStringList units = LumetraInstaller::markedRoots(MountTable::rootPaths(&unnamed));
    for (const QByteArray &path : qAsConst(unnamed)) {
        if (!unnamedSaid.contains(path)) {
            unnamedSaid.insert(path);
            report.skipped(path);
        }
    }
    return units;
}

UnitJob *CommandLineUpdater::jobFor(const QString &root, UnitJob::Kind kind)
{
    UnitJob::Settings settings;
    settings.kind = kind;
    settings.force = options.force;
    settings.noEject = options.noEject;
    settings.withCount = options.watch;
    return new UnitJob(root, settings, report, this);
}

bool CommandLineUpdater::confirm(const QString &question)
{
    std::fputs(qPrintable(question + QLatin1Char(' ')), stderr);
    std::fflush(stderr);
    char answer[64] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    const QString word = QString::fromLocal8Bit(answer).trimmed().toLower();
    return word == QLatin1String("y") || word == QLatin1String("yes");
}

int CommandLineUpdater::exitStatus(bool anyUnit) const
{
    // A stop ends --watch as planned; elsewhere it leaves a unit not updated.
    if (report.counts().failed > 0 || report.outputLost() || (leftByStop && !options.watch))
        return UnitFailed;
    if (report.counts().notRemoved > 0)
        return EjectByHand;
    return anyUnit || options.watch ? Success : NoUnit;
}

int CommandLineUpdater::list()
{
    const QStringList roots = connectedUnits();
    for (const QString &root : roots) {
        // A look alone: no attempt, nothing for the history.
        LumetraInstaller backend(std::make_unique<SingleVolumeSource>(root));
        report.unitFound(root);
        const QString version = backend.getCurrentVersionNumber();
        report.listed(root, version, backend.doesLumetraNeedUpdate());
    }
    if (roots.isEmpty())
        report.say(QStringLiteral("No unit found."));
    const int status = exitStatus(!roots.isEmpty());
    report.done(status);
    return status;
}

QStringList CommandLineUpdater::chosenUnits()
{
    const QStringList roots = connectedUnits();
    return options.all ? roots : QStringList(roots.mid(0, 1));
}

int CommandLineUpdater::verify()
{
    const QStringList roots = chosenUnits();
    if (roots.isEmpty())
        report.say(QStringLiteral("No unit found."));
    for (const QString &root : roots)
        queue.append(jobFor(root, UnitJob::Kind::Verify));
    return runQueue(!roots.isEmpty());
}

int CommandLineUpdater::update()
{
    const QStringList roots = chosenUnits();
    int outdated = 0;
    for (const QString &root : roots) {
        queue.append(jobFor(root, UnitJob::Kind::Update));
        outdated += queue.last()->check() ? 1 : 0;
    }
    if (roots.isEmpty())
        report.say(QStringLiteral("No unit found."));

    if (outdated > 0 && !options.yes
        && !confirm(QStringLiteral("Update %1 unit(s) to %2? [y/N]")
                            .arg(outdated).arg(LumetraInstaller::firmwareVersion()))) {
        qDeleteAll(std::exchange(queue, {}));
        report.say(QStringLiteral("Nothing was changed."));
        report.done(UnitFailed);
        return UnitFailed;
    }
    return runQueue(!roots.isEmpty());
}

int CommandLineUpdater::watch()
{
    if (!options.yes
        && !confirm(QStringLiteral("Update each unit to %1 as it is connected? [y/N]")
                            .arg(LumetraInstaller::firmwareVersion()))) {
        report.say(QStringLiteral("Nothing was changed."));
        report.done(UnitFailed);
        return UnitFailed;
    }
    report.say(QStringLiteral("Waiting for units; Ctrl+C ends."));
    // Looked at again only when the mounts changed: an idle watch costs nothing on a machine
    // with thousands of them. A change during an update waits for its end.
    MountWatcher mounts;
    QTimer timer;
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this, &mounts] {
        if (current)
            return;
        const bool retry = std::exchange(lookDue, false);
        if (mounts.takeChange() || retry)
            lookForUnits();
    });
    timer.start();
    QTimer::singleShot(0, this, &CommandLineUpdater::lookForUnits);
    return runQueue(true);
}

int CommandLineUpdater::runQueue(bool anyUnit)
{
    catchStopSignals();
    startNext();
    if (current || options.watch)
        QCoreApplication::exec();
    // Not begun: a stop came first.
    leftByStop = leftByStop || !queue.isEmpty();
    qDeleteAll(std::exchange(queue, {}));
    const int status = exitStatus(anyUnit);
    report.done(status);
    return status;
}

void CommandLineUpdater::startNext()
{
    if (current)
        return;
    if (stopRequested || (queue.isEmpty() && !options.watch)) {
        QCoreApplication::exit();
        return;
    }
    if (queue.isEmpty())
        return;
    current = queue.takeFirst();
    // Queued: a job may end inside start(), and the next one begins after it has returned.
    connect(current, &UnitJob::finished, this, &CommandLineUpdater::jobFinished, Qt::QueuedConnection);
    current->start();
}

void CommandLineUpdater::jobFinished()
{
    UnitJob *job = std::exchange(current, nullptr);
    leftByStop = leftByStop || job->stopped();
    if (options.watch) {
        const QString root = job->unitRoot();
        const bool incomplete = job->attempt().firmwareIncomplete;
        Seen &entry = seen[root];
        entry.incompleteRuns = incomplete ? entry.incompleteRuns + 1 : 0;
        if (incomplete && entry.incompleteRuns <= incompleteRetries) {
            QTimer::singleShot(retryPauseMs, this, [this, root, identity = entry.identity] {
                const auto unit = seen.find(root);
                if (unit != seen.end() && unit->identity == identity)
                    unit->retryDue = lookDue = true;
            });
        }
    }
    // Also stops and waits for a copy that a stop request cut short.
    delete job;
    startNext();
}

void CommandLineUpdater::lookForUnits()
{
    if (current || stopRequested)
        return;
    const QStringList roots = connectedUnits();
    // A unit that went away, or another one mounted where it was, is a new connection. One due
    // for another try keeps its count, also where its identity is the marker's, which the
    // failed write changed.
    QHash<QString, Seen> still;
    for (const QString &root : roots) {
        const auto known = seen.constFind(root);
        if (known != seen.cend() && (known->retryDue || known->identity == LumetraInstaller::unitIdentity(root)))
            still.insert(root, *known);
    }
    seen.swap(still);
    for (const QString &root : roots) {
        const auto known = seen.constFind(root);
        if (known != seen.cend() && !known->retryDue)
            continue;
        // Before the update: one plugged in here while it runs is another connection.
        seen.insert(root, { LumetraInstaller::unitIdentity(root),
                            known != seen.cend() ? known->incompleteRuns : 0, false });
        queue.append(jobFor(root, UnitJob::Kind::Update));
    }
    startNext();
}
