#include "commandlineupdater.h"

#include "console.h"
#include "stopsignal.h"

#include "logfile.h"
#include "lumetrainstaller.h"
#include "mounttable.h"
#include "updatehistory.h"
#include "volumesource.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QTimer>

#include <cstdio>
#include <utility>
#include <vector>

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
    emit stopping();
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

std::unique_ptr<LumetraInstaller> CommandLineUpdater::backendFor(const QString &root)
{
    auto backend = std::make_unique<LumetraInstaller>(std::make_unique<SingleVolumeSource>(root));
    LumetraInstaller *unit = backend.get();
    unit->setForced(options.force);
    UpdateHistory *history = UpdateHistory::attach(unit);
    // With no removal to end it, a unit found up to date has its record at the check.
    if (options.noEject) {
        connect(unit, &LumetraInstaller::versionChecked, history,
                [history](const QString &, const QString &, bool needsUpdate) {
                    if (!needsUpdate)
                        history->endAttempt();
                });
        connect(unit, &LumetraInstaller::foundUpToDate, history, &UpdateHistory::endAttempt);
    }
    connect(unit, &LumetraInstaller::copyFileProgress, this,
            [this, root](double value) { report.progress(root, value); });
    connect(unit, &LumetraInstaller::diskCheckFinished, this,
            [this, root](int verdict) { report.diskChecked(root, verdict); });
    connect(unit, &LumetraInstaller::firmwareVerified, this,
            [this, root](qint64 bytes) { report.verified(root, bytes); });
    connect(unit, &LumetraInstaller::versionWritten, this,
            [this, root](const QString &version) { report.versionWritten(root, version); });
    connect(unit, &LumetraInstaller::removalFinished, this,
            [this, root](int code) { report.removalFinished(root, code); });
    return backend;
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
        const std::unique_ptr<LumetraInstaller> backend = backendFor(root);
        report.unitFound(root);
        const QString version = backend->getCurrentVersionNumber();
        report.listed(root, version, backend->doesLumetraNeedUpdate());
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
    catchStopSignals();
    for (const QString &root : roots) {
        if (stopRequested) {
            leftByStop = true;
            break;
        }
        const std::unique_ptr<LumetraInstaller> backend = backendFor(root);
        report.unitFound(root);
        const UpdateEnd end = runVerify(*backend, backend->getCurrentVersionNumber());
        report.result(root, end.outcome, end.detail, false, {});
    }
    const int status = exitStatus(!roots.isEmpty());
    report.done(status);
    return status;
}

int CommandLineUpdater::update()
{
    const QStringList roots = chosenUnits();

    struct Unit
    {
        QString root;
        std::unique_ptr<LumetraInstaller> backend;
        QString version;
        bool needsUpdate;
    };
    std::vector<Unit> units;
    int outdated = 0;
    for (const QString &root : roots) {
        Unit unit { root, backendFor(root), QString(), false };
        report.unitFound(root);
        unit.version = unit.backend->getCurrentVersionNumber();
        unit.needsUpdate = unit.backend->doesLumetraNeedUpdate() || options.force;
        report.versionChecked(root, unit.version, unit.needsUpdate);
        outdated += unit.needsUpdate ? 1 : 0;
        units.push_back(std::move(unit));
    }
    if (units.empty())
        report.say(QStringLiteral("No unit found."));

    if (outdated > 0 && !options.yes
        && !confirm(QStringLiteral("Update %1 unit(s) to %2? [y/N]")
                            .arg(outdated).arg(LumetraInstaller::firmwareVersion()))) {
        report.say(QStringLiteral("Nothing was changed."));
        report.done(UnitFailed);
        return UnitFailed;
    }

    catchStopSignals();
    for (Unit &unit : units) {
        if (stopRequested) {
            leftByStop = true;
            break;
        }
        updateAndReport(unit.root, *unit.backend, unit.needsUpdate, unit.version, false);
        // Also stops and waits for a copy that a stop request cut short.
        unit.backend.reset();
    }
    const int status = exitStatus(!units.empty());
    report.done(status);
    return status;
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
    catchStopSignals();
    report.say(QStringLiteral("Waiting for units; Ctrl+C ends."));

    QEventLoop loop;
    connect(this, &CommandLineUpdater::stopping, &loop, &QEventLoop::quit);
    // Looked at again only when the mounts changed: an idle watch costs nothing on a machine
    // with thousands of them. A change during an update waits for its end.
    MountWatcher mounts;
    QTimer timer;
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this, &mounts] {
        if (busy)
            return;
        const bool retry = std::exchange(lookDue, false);
        if (mounts.takeChange() || retry)
            lookForUnits();
    });
    timer.start();
    QTimer::singleShot(0, this, &CommandLineUpdater::lookForUnits);
    loop.exec();

    const int status = exitStatus(true);
    report.done(status);
    return status;
}

void CommandLineUpdater::lookForUnits()
{
    // The timer keeps firing while a unit is being updated in a nested loop.
    if (busy || stopRequested)
        return;
    busy = true;
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
        if (stopRequested)
            break;
        const Seen known = seen.value(root);
        if (seen.contains(root) && !known.retryDue)
            continue;
        // Before the update: one plugged in here while it runs is another connection.
        const QByteArray identity = LumetraInstaller::unitIdentity(root);
        const std::unique_ptr<LumetraInstaller> backend = backendFor(root);
        report.unitFound(root);
        const QString version = backend->getCurrentVersionNumber();
        const bool needsUpdate = backend->doesLumetraNeedUpdate() || options.force;
        report.versionChecked(root, version, needsUpdate);
        const bool incomplete = updateAndReport(root, *backend, needsUpdate, version, true);
        const Seen entry { identity, incomplete ? known.incompleteRuns + 1 : 0, false };
        seen.insert(root, entry);
        if (incomplete && entry.incompleteRuns <= incompleteRetries) {
            QTimer::singleShot(retryPauseMs, this, [this, root, identity = entry.identity] {
                const auto unit = seen.find(root);
                if (unit != seen.end() && unit->identity == identity)
                    unit->retryDue = lookDue = true;
            });
        }
    }
    busy = false;
}

bool CommandLineUpdater::updateAndReport(const QString &root, LumetraInstaller &backend, bool needsUpdate,
                                         const QString &version, bool withCount)
{
    const QString from = version.trimmed();
    const QString to = backend.getLumetraUpdateVersion();
    UpdateEnd end { CommandLineReport::Outcome::UpToDate, from };
    if (needsUpdate) {
        end = runUpdate(backend);
        if (end.outcome == CommandLineReport::Outcome::Updated)
            end.detail = QStringLiteral("%1 -> %2").arg(from, to);
    }
    const bool whole = end.outcome == CommandLineReport::Outcome::Updated
            || end.outcome == CommandLineReport::Outcome::UpToDate;
    // A removal the system refuses takes nothing from the update: the unit holds what it was
    // told, only the drive must be ejected by hand before the cable is pulled.
    CommandLineReport::RemovalProblem removal;
    if (whole) {
        removal = ejectUnit(backend);
        end.detail += removal.reason.isEmpty()
                ? removedNote() : QStringLiteral("; eject it yourself before unplugging: ") + removal.reason;
    }
    report.result(root, end.outcome, end.detail, withCount, removal);
    return end.incomplete;
}

QString CommandLineUpdater::busyDetail(qint64 pid)
{
    const QString by = QStringLiteral("being updated by another LumetraInstaller");
    return pid > 0 ? by + QStringLiteral(" (pid %1)").arg(pid) : by;
}

QString CommandLineUpdater::removedNote() const
{
    return options.noEject ? QString() : QStringLiteral(", removed: it can be unplugged");
}

CommandLineUpdater::UpdateEnd CommandLineUpdater::runUpdate(LumetraInstaller &backend)
{
    using Outcome = CommandLineReport::Outcome;
    QEventLoop loop;
    bool ended = false;
    bool inPlace = false;
    UpdateEnd end;
    QString why;
    bool incomplete = false;
    connect(&backend, &LumetraInstaller::updateFailedBecause, &loop,
            [&](const QString &text, bool firmwareIncomplete) {
                why = text;
                incomplete = firmwareIncomplete;
            });
    connect(&backend, &LumetraInstaller::unitBusy, &loop, [&](qint64 pid) {
        end = { Outcome::Busy, busyDetail(pid) };
    });
    connect(&backend, &LumetraInstaller::foundUpToDate, &loop, [&](const QString &version) {
        end = { Outcome::UpToDate, version.trimmed() + QStringLiteral(", updated meanwhile by another LumetraInstaller") };
    });
    connect(&backend, &LumetraInstaller::writingInPlace, &loop, [&]() { inPlace = true; });
    // An end that comes before the loop runs must not leave it waiting for another.
    connect(&backend, &LumetraInstaller::updateFirmwareSuccess, &loop, [&]() {
        if (end.outcome != Outcome::UpToDate)
            end.outcome = Outcome::Updated;
        ended = true;
        loop.quit();
    });
    connect(&backend, &LumetraInstaller::updateFirmwareFailed, &loop, [&]() {
        ended = true;
        loop.quit();
    });
    // The unit's real state is known only once the worker has ended: a stop asks it to end
    // and waits for it.
    const auto askToStop = [&]() {
        backend.stopUpdate();
        if (inPlace)
            report.say(QStringLiteral("finishing the write, do not unplug"));
    };
    connect(this, &CommandLineUpdater::stopping, &loop, askToStop);

    if (!backend.updateLumetra()) {
        if (end.outcome == Outcome::Busy)
            return end;
        if (why.isEmpty())
            why = backend.isLumetraConnected() ? QStringLiteral("the update could not start")
                                               : QStringLiteral("drive gone");
        return { Outcome::Failed, why };
    }
    if (stopRequested)
        askToStop();
    if (!ended)
        loop.exec();
    if (end.outcome == Outcome::Updated || end.outcome == Outcome::UpToDate)
        return end;
    if (stopRequested && !incomplete && why == QLatin1String("interrupted")) {
        leftByStop = true;
        return { Outcome::Stopped, QStringLiteral("stopped during the update; the unit keeps its old firmware") };
    }
    if (why.isEmpty())
        why = QStringLiteral("the update did not finish");
    if (incomplete)
        why += QStringLiteral("; the unit now holds an incomplete firmware: keep it connected and update it again");
    return { Outcome::Failed, why, incomplete };
}

CommandLineUpdater::UpdateEnd CommandLineUpdater::runVerify(LumetraInstaller &backend, const QString &version)
{
    using Outcome = CommandLineReport::Outcome;
    const QString embedded = backend.getLumetraUpdateVersion();
    UpdateEnd end { Outcome::Failed, QString() };
    QEventLoop loop;
    bool ended = false;
    connect(&backend, &LumetraInstaller::unitBusy, &loop, [&](qint64 pid) { end = { Outcome::Busy, busyDetail(pid) }; });
    connect(&backend, &LumetraInstaller::updateFailedBecause, &loop,
            [&](const QString &reason) {
                if (end.outcome != Outcome::Busy) // its words are busyDetail()'s
                    end.detail = reason;
            });
    connect(&backend, &LumetraInstaller::firmwareCompared, &loop, [&](const QString &, bool matches) {
        if (matches)
            end = { Outcome::Matches, QStringLiteral("matches ") + embedded };
        else if (end.detail == QLatin1String("differs"))
            end = { Outcome::Differs, QStringLiteral("differs from %1 (Version.txt says %2)").arg(embedded, version.trimmed()) };
        ended = true;
        loop.quit();
    });
    connect(this, &CommandLineUpdater::stopping, &loop, [&backend]() { backend.stopUpdate(); });
    if (!backend.verifyLumetra()) {
        if (end.detail.isEmpty()) // no reason said: the unit is gone
            end.detail = QStringLiteral("drive gone");
        return end;
    }
    if (!ended)
        loop.exec();
    if (end.detail.isEmpty())
        end.detail = QStringLiteral("the firmware could not be read");
    return end;
}

CommandLineReport::RemovalProblem CommandLineUpdater::ejectUnit(LumetraInstaller &backend)
{
    if (options.noEject)
        return {};
    int code = -1;
    QString why;
    QObject context;
    connect(&backend, &LumetraInstaller::removalFinished, &context, [&code](int result) { code = result; });
    connect(&backend, &LumetraInstaller::unitBusy, &context, [&why](qint64 pid) { why = busyDetail(pid); });
    connect(&backend, &LumetraInstaller::unitLockFailed, &context, [&why](const QString &reason) { why = reason; });
    if (backend.uninstallUsb())
        return {};
    return { code, why.isEmpty() ? UpdateHistory::removalReason(code) : why };
}
