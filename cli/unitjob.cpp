#include "unitjob.h"

#include "commandlinereport.h"

#include "lumetrainstaller.h"
#include "updatehistory.h"
#include "volumesource.h"

UnitJob::UnitJob(const QString &root, const Settings &settings, CommandLineReport &report, QObject *parent)
    : QObject(parent),
      root(root),
      settings(settings),
      report(report),
      backend(std::make_unique<LumetraInstaller>(std::make_unique<SingleVolumeSource>(root)))
{
    LumetraInstaller *unit = backend.get();
    unit->setForced(settings.force);
    UpdateHistory::attach(unit);
    // What the unit goes through, as the command line's events (the members, not the arguments).
    connect(unit, &LumetraInstaller::copyFileProgress, this,
            [this](double value) { this->report.progress(this->root, value); });
    connect(unit, &LumetraInstaller::diskCheckFinished, this,
            [this](int verdict) { this->report.diskChecked(this->root, verdict); });
    connect(unit, &LumetraInstaller::firmwareVerified, this,
            [this](qint64 bytes) { this->report.verified(this->root, bytes); });
    connect(unit, &LumetraInstaller::versionWritten, this,
            [this](const QString &version) { this->report.versionWritten(this->root, version); });
    connect(unit, &LumetraInstaller::removalFinished, this,
            [this](int code) { this->report.removalFinished(this->root, code); });
    connect(unit, &LumetraInstaller::writingInPlace, this, [this] { inPlace = true; });
    // The removal follows once the success has been told everywhere, not from inside it.
    connect(unit, &LumetraInstaller::updateFirmwareSuccess, this, &UnitJob::release, Qt::QueuedConnection);
    connect(unit, &LumetraInstaller::attemptEnded, this, &UnitJob::end);
}

UnitJob::~UnitJob()
{
    // A job ends before its turn (the question was answered no): nothing of it is reported.
    backend->disconnect(this);
}

bool UnitJob::check()
{
    checked = true;
    report.unitFound(root);
    const QString version = backend->getCurrentVersionNumber();
    needed = backend->doesLumetraNeedUpdate() || settings.force;
    report.versionChecked(root, version, needed);
    return needed;
}

void UnitJob::start()
{
    // Either way the backend's record ends the job, also when the run cannot start.
    if (settings.kind == Kind::Verify) {
        report.unitFound(root);
        backend->verifyLumetra();
        return;
    }
    if (!checked)
        check();
    if (needed)
        backend->updateLumetra();
    else
        release();
}

void UnitJob::stop()
{
    stopRequested = true;
    backend->stopUpdate();
    if (inPlace)
        report.say(QStringLiteral("finishing the write, do not unplug"));
}

// The unit is updated or up to date: its drive is removed, or its attempt ends without that.
void UnitJob::release()
{
    if (settings.noEject)
        backend->finishAttempt();
    else
        backend->uninstallUsb();
}

bool UnitJob::stopped() const
{
    return stopRequested && record.outcome == UpdateAttempt::Failed && record.reason == UpdateFailure::Interrupted
            && !record.firmwareIncomplete;
}

void UnitJob::end(const UpdateAttempt &attempt)
{
    record = attempt;
    report.result(root, attempt, stopped(), settings.withCount);
    emit finished();
}
