#ifndef COMMANDLINEUPDATER_H
#define COMMANDLINEUPDATER_H

#include "commandlinereport.h"
#include "unitjob.h"

#include <QtCore/QHash>
#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QSet>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

class StopSignal;

// The program without a window: lists the connected units, updates one or all of them, or
// watches for units and updates each as it is plugged in. It drives the same backend as the
// screens, one backend per unit, each unit a job that asks it the same questions in the same
// order; the application's one event loop carries them.
class CommandLineUpdater : public QObject
{
    Q_OBJECT

public:
    // Exit statuses. EjectByHand: every unit updated or up to date, but the system refused a
    // removal, so that drive must be ejected by hand before it is unplugged.
    enum Status { Success = 0, UnitFailed = 1, NoUnit = 2, WrongUsage = 3, EjectByHand = 4 };

    struct Options
    {
        bool list = false;
        bool update = false;
        bool verify = false;
        bool force = false;
        bool all = false;
        bool yes = false;
        bool noEject = false;
        bool json = false;
        bool watch = false;
    };

    // The whole mode: console, application object, the work. Returns the status.
    static int run(int &argc, char **argv, const Options &options);

    explicit CommandLineUpdater(const Options &options, QObject *parent = nullptr);
    ~CommandLineUpdater() override;

    int list();
    int update();
    int watch();
    int verify();

    // Asked to stop (Ctrl+C, SIGTERM): a copy under way is stopped as when the window closes;
    // no unit is begun after it.
    void stop();

private:
    QStringList connectedUnits();
    QStringList chosenUnits();
    UnitJob *jobFor(const QString &root, UnitJob::Kind kind);
    void catchStopSignals();
    bool confirm(const QString &question);
    // Runs the queued units one after another in the application's event loop, then says the
    // status; --watch runs until a stop.
    int runQueue(bool anyUnit);
    void startNext();
    void jobFinished();
    void lookForUnits();
    int exitStatus(bool anyUnit) const;

    Options options;
    CommandLineReport report;
    std::unique_ptr<StopSignal> stopSignal;
    bool stopRequested = false;
    // A unit was left as it was because of a stop request (or not reached at all).
    bool leftByStop = false;
    // The units waiting for their turn, and the one under way.
    QList<UnitJob *> queue;
    UnitJob *current = nullptr;
    // The units --watch has dealt with, by root: which connection there it was, how many runs
    // in a row left it with an incomplete firmware, and whether it is due for another.
    struct Seen
    {
        QByteArray identity;
        int incompleteRuns = 0;
        bool retryDue = false;
    };
    QHash<QString, Seen> seen;
    // A retry is due: the next tick looks even though no mount changed.
    bool lookDue = false;
    // Volumes whose names this program cannot open, said once each.
    QSet<QByteArray> unnamedSaid;
};

#endif // COMMANDLINEUPDATER_H
