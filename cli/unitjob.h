#ifndef UNITJOB_H
#define UNITJOB_H

#include "updateattempt.h"

#include <QtCore/QObject>
#include <QtCore/QString>

#include <memory>

class CommandLineReport;
class LumetraInstaller;

// One unit's turn on the command line, over a backend of its own: the version check, then the
// update (or the comparison) and the removal, asked in the order the screens ask them and
// driven by the backend's signals, with no event loop of its own. start() begins it; the
// backend's record of the attempt is reported as the unit's result line, and finished()
// follows, once, possibly before start() returns.
class UnitJob : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Update, Verify };
    struct Settings
    {
        Kind kind = Kind::Update;
        bool force = false;
        bool noEject = false;
        // The result line carries the running count (--watch).
        bool withCount = false;
    };

    UnitJob(const QString &root, const Settings &settings, CommandLineReport &report, QObject *parent = nullptr);
    // Stops and waits for a copy that is still running.
    ~UnitJob() override;

    // An update's version check, said at once; whether the unit is to be written. start()
    // makes it first when it was not asked for before.
    bool check();
    void start();
    // A stop request: a copy under way stops as when the window closes; a write in place is
    // finished first, and the user is told so.
    void stop();

    const QString &unitRoot() const { return root; }
    const UpdateAttempt &attempt() const { return record; }
    // A stop request ended the update; the unit keeps its old firmware.
    bool stopped() const;

signals:
    void finished();

private:
    void release();
    void end(const UpdateAttempt &attempt);

    QString root;
    Settings settings;
    CommandLineReport &report;
    std::unique_ptr<LumetraInstaller> backend;
    bool checked = false;
    bool needed = true;
    bool inPlace = false;
    bool stopRequested = false;
    UpdateAttempt record;
};

#endif // UNITJOB_H
