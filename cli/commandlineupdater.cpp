#include "commandlineupdater.h"

#include "console.h"
#include "stopsignal.h"
#include "translation.h"

#include "logfile.h"
#include "lumetrainstaller.h"
#include "mounttable.h"
#include "updatehistory.h"
#include "volumesource.h"

#include <QtCore/QCommandLineParser>
#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>
#include <QtCore/QTimer>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const QString listOption = QStringLiteral("list");
const QString updateOption = QStringLiteral("update");
const QString allOption = QStringLiteral("all");
const QString yesOption = QStringLiteral("yes");
const QString noEjectOption = QStringLiteral("no-eject");
const QString jsonOption = QStringLiteral("json");
const QString watchOption = QStringLiteral("watch");

QtMessageHandler previousHandler = nullptr;

// The backend's and the worker's diagnostics (a line per copied block) would tear the
// progress bar and the result lines apart; warnings and worse still reach the terminal.
void keepDebugOffTerminal(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && previousHandler)
        previousHandler(type, context, message);
}

QString usageError(const CommandLineUpdater::Options &options, const QStringList &positional)
{
    if (!positional.isEmpty())
        return QStringLiteral("Unexpected argument: ") + positional.first();
    if (options.list == options.update)
        return QStringLiteral("Give either --list or --update.");
    if (!options.update && (options.all || options.yes || options.noEject || options.watch))
        return QStringLiteral("--all, --yes, --no-eject and --watch go with --update.");
    if (options.update && !options.yes && !Console::inputIsTerminal())
        return QStringLiteral("Without a terminal to answer on, --update needs --yes.");
    return QString();
}

} // namespace

bool CommandLineUpdater::isRequested(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list") == 0 || std::strcmp(argv[i], "--update") == 0)
            return true;
    }
    return false;
}

int CommandLineUpdater::run(int &argc, char **argv)
{
    Console::attachToParent();
    QCoreApplication application(argc, argv);
    previousHandler = qInstallMessageHandler(keepDebugOffTerminal);
    // In front of the filter: the log file still gets every line.
    const LogFile log;

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Lists the connected Lumetra units, or updates their firmware, without a window."));
    parser.addOptions({
            { listOption, QStringLiteral("List every connected unit with its version.") },
            { updateOption, QStringLiteral("Update the first connected unit.") },
            { allOption, QStringLiteral("With --update: every connected unit, one after another.") },
            { yesOption, QStringLiteral("With --update: do not ask; needed without a terminal.") },
            { noEjectOption, QStringLiteral("With --update: leave the units connected afterwards.") },
            { jsonOption, QStringLiteral("One JSON object per event on standard output, no bar.") },
            { watchOption, QStringLiteral("With --update: update each unit as it is connected, "
                                          "until Ctrl+C.") },
    });
    // The window's language; accepted so that one command line serves both faces (this one
    // answers in English).
    parser.addOption(languageOption());

    Options options;
    QString error;
    if (!parser.parse(application.arguments())) {
        error = parser.errorText();
    } else {
        options.list = parser.isSet(listOption);
        options.update = parser.isSet(updateOption);
        options.all = parser.isSet(allOption);
        options.yes = parser.isSet(yesOption);
        options.noEject = parser.isSet(noEjectOption);
        options.json = parser.isSet(jsonOption);
        options.watch = parser.isSet(watchOption);
        error = usageError(options, parser.positionalArguments());
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(error), qPrintable(parser.helpText()));
        return WrongUsage;
    }

    CommandLineUpdater updater(options);
    if (options.list)
        return updater.list();
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
QStringList CommandLineUpdater::connectedUnits() const
{
    return LumetraInstaller::markedRoots(*VolumeSource::system());
}

QString CommandLineUpdater::embeddedVersion()
{
    return LumetraInstaller(std::make_unique<SingleVolumeSource>(QString())).getLumetraUpdateVersion();
}

std::unique_ptr<LumetraInstaller> CommandLineUpdater::backendFor(const QString &root)
{
    auto backend = std::make_unique<LumetraInstaller>(std::make_unique<SingleVolumeSource>(root));
    LumetraInstaller *unit = backend.get();
    UpdateHistory *history = UpdateHistory::attach(unit);
    // With no removal to end it, a unit found up to date has its record at the check.
    if (options.noEject) {
        connect(unit, &LumetraInstaller::versionChecked, history,
                [history](const QString &, const QString &, bool needsUpdate) {
                    if (!needsUpdate)
                        history->endAttempt();
                });
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
    if (report.counts().failed > 0 || (stopRequested && !options.watch))
        return UnitFailed;
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

int CommandLineUpdater::update()
{
    QStringList roots = connectedUnits();
    if (!options.all)
        roots = roots.mid(0, 1);

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
        unit.needsUpdate = unit.backend->doesLumetraNeedUpdate();
        report.versionChecked(root, unit.version, unit.needsUpdate);
        outdated += unit.needsUpdate ? 1 : 0;
        units.push_back(std::move(unit));
    }
    if (units.empty())
        report.say(QStringLiteral("No unit found."));

    if (outdated > 0 && !options.yes
        && !confirm(QStringLiteral("Update %1 unit(s) to %2? [y/N]").arg(outdated).arg(embeddedVersion()))) {
        report.say(QStringLiteral("Nothing was changed."));
        report.done(UnitFailed);
        return UnitFailed;
    }

    catchStopSignals();
    for (Unit &unit : units) {
        if (stopRequested)
            break;
        process(unit.root, *unit.backend, unit.needsUpdate, unit.version, false);
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
        && !confirm(QStringLiteral("Update each unit to %1 as it is connected? [y/N]").arg(embeddedVersion()))) {
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
        if (!busy && mounts.takeChange())
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
    // A unit that went away is a new connection when it comes back.
    seen.intersect(QSet<QString>(roots.begin(), roots.end()));
    for (const QString &root : roots) {
        if (stopRequested)
            break;
        if (seen.contains(root))
            continue;
        seen.insert(root);
        const std::unique_ptr<LumetraInstaller> backend = backendFor(root);
        report.unitFound(root);
        const QString version = backend->getCurrentVersionNumber();
        const bool needsUpdate = backend->doesLumetraNeedUpdate();
        report.versionChecked(root, version, needsUpdate);
        process(root, *backend, needsUpdate, version, true);
    }
    busy = false;
}

void CommandLineUpdater::process(const QString &root, LumetraInstaller &backend, bool needsUpdate,
                                 const QString &version, bool withCount)
{
    const QString from = version.trimmed();
    const QString to = backend.getLumetraUpdateVersion();
    if (!needsUpdate) {
        const QString refused = remove(backend);
        if (refused.isEmpty())
            report.result(root, CommandLineReport::Outcome::UpToDate, from + removedNote(), withCount);
        else
            report.result(root, CommandLineReport::Outcome::Failed, refused, withCount);
        return;
    }

    QString reason;
    const bool updated = runUpdate(backend, &reason);
    if (stopRequested && !updated) {
        report.result(root, CommandLineReport::Outcome::Stopped,
                      QStringLiteral("stopped during the update; the unit keeps its old firmware "
                                     "unless the new one was complete"),
                      withCount);
        return;
    }
    if (!updated) {
        report.result(root, CommandLineReport::Outcome::Failed, reason, withCount);
        return;
    }
    const QString refused = remove(backend);
    if (refused.isEmpty()) {
        report.result(root, CommandLineReport::Outcome::Updated,
                      QStringLiteral("%1 -> %2").arg(from, to) + removedNote(), withCount);
    } else {
        report.result(root, CommandLineReport::Outcome::Failed,
                      QStringLiteral("updated to %1, but %2").arg(to, refused), withCount);
    }
}

QString CommandLineUpdater::removedNote() const
{
    return options.noEject ? QString() : QStringLiteral(", removed: it can be unplugged");
}

bool CommandLineUpdater::runUpdate(LumetraInstaller &backend, QString *reason)
{
    QEventLoop loop;
    bool ended = false;
    bool succeeded = false;
    QString why;
    connect(&backend, &LumetraInstaller::updateFailedBecause, &loop,
            [&why](const QString &text) { why = text; });
    // An end that comes before the loop runs must not leave it waiting for another.
    connect(&backend, &LumetraInstaller::updateFirmwareSuccess, &loop, [&]() {
        ended = succeeded = true;
        loop.quit();
    });
    connect(&backend, &LumetraInstaller::updateFirmwareFailed, &loop, [&]() {
        ended = true;
        loop.quit();
    });
    connect(this, &CommandLineUpdater::stopping, &loop, &QEventLoop::quit);

    if (!backend.updateLumetra()) {
        if (why.isEmpty())
            why = backend.isLumetraConnected() ? QStringLiteral("the update could not start")
                                               : QStringLiteral("drive gone");
        *reason = why;
        return false;
    }
    if (!ended && !stopRequested)
        loop.exec();
    if (!succeeded)
        *reason = why.isEmpty() ? QStringLiteral("the update did not finish") : why;
    return succeeded;
}

QString CommandLineUpdater::remove(LumetraInstaller &backend)
{
    if (options.noEject)
        return QString();
    int code = -1;
    QObject context;
    connect(&backend, &LumetraInstaller::removalFinished, &context, [&code](int result) { code = result; });
    if (backend.uninstallUsb())
        return QString();
    return QStringLiteral("removal refused (code %1)").arg(code);
}
