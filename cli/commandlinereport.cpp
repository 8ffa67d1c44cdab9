#include "commandlinereport.h"

#include "lumetrainstaller.h"
#include "updatehistory.h"

#include <QtCore/QDebug>
#include <QtCore/QLoggingCategory>
#include <QtCore/QJsonDocument>

#include <atomic>
#include <cstdio>

namespace {

Q_LOGGING_CATEGORY(lcCli, "lumetra.cli")

} // namespace

namespace {

constexpr int barWidth = 30;
constexpr qint64 redrawInterval = 100; // ms

// The terminal's line holds a bar without its line's end; a warning, from any thread, ends it.
std::atomic<bool> barOnLine { false };

// Why a removal asked for did not happen: the unit's lock when it refused (another updater),
// else what the ejector's code says.
QString removalWords(const UpdateAttempt &attempt)
{
    const bool lockRefused = attempt.reason == UpdateFailure::Busy || attempt.reason == UpdateFailure::LockFailed;
    return lockRefused ? UpdateHistory::reasonWords(attempt) : UpdateHistory::removalReason(attempt.removalCode);
}

// A removal takes nothing from an updated or up-to-date unit; a refused one asks for the
// drive to be ejected by hand before the cable is pulled.
QString removalNote(const UpdateAttempt &attempt)
{
    if (!attempt.removalRan)
        return QString();
    if (attempt.removalCode == 0)
        return QStringLiteral(", removed: it can be unplugged");
    return QStringLiteral("; eject it yourself before unplugging: ") + removalWords(attempt);
}

// What the result line says after the outcome: the versions, or why not, and what the unit
// holds once the worker is done.
QString resultDetail(const UpdateAttempt &attempt, bool stopped)
{
    const QString carried = LumetraInstaller::firmwareVersion();
    switch (attempt.outcome) {
    case UpdateAttempt::Updated:
        return QStringLiteral("%1 -> %2").arg(attempt.versionBefore.trimmed(), attempt.versionAfter)
                + removalNote(attempt);
    case UpdateAttempt::UpToDate:
        if (!attempt.updateStarted)
            return attempt.versionBefore.trimmed() + removalNote(attempt);
        return attempt.versionAfter.trimmed() + QStringLiteral(", updated meanwhile by another LumetraInstaller")
                + removalNote(attempt);
    case UpdateAttempt::Matches:
        return QStringLiteral("matches ") + carried;
    case UpdateAttempt::Differs:
        return QStringLiteral("differs from %1 (Version.txt says %2)").arg(carried, attempt.versionBefore.trimmed());
    case UpdateAttempt::Busy:
    case UpdateAttempt::Failed:
        break;
    }
    if (stopped)
        return QStringLiteral("stopped during the update; the unit keeps its old firmware");
    if (!attempt.firmwareIncomplete)
        return UpdateHistory::reasonWords(attempt);
    return UpdateHistory::reasonWords(attempt)
            + QStringLiteral("; the unit now holds an incomplete firmware: keep it connected and update it again");
}

QString availability(bool needsUpdate)
{
    return needsUpdate ? QStringLiteral("update available") : QStringLiteral("up to date");
}

} // namespace

CommandLineReport::CommandLineReport(bool json)
    : json(json)
{
}

QString CommandLineReport::printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const uint code = pair ? QChar::surrogateToUcs4(c, text.at(i + 1)) : c.unicode();
        if (code == '\n')
            shown += QLatin1String("\\n");
        else if (code == '\t')
            shown += QLatin1String("\\t");
        else if (code == 0x1b)
            shown += QLatin1String("\\e");
        else if (code == '\\')
            shown += QLatin1String("\\\\");
        else if (code != ' ' && !QChar::isPrint(code))
            for (const char byte : QString::fromUcs4(&code, 1).toUtf8())
                shown += QStringLiteral("\\x%1").arg(uchar(byte), 2, 16, QLatin1Char('0'));
        else
            shown += pair ? text.mid(i, 2) : QString(c);
        i += pair ? 1 : 0;
    }
    return shown;
}

QString CommandLineReport::printable(const QByteArray &bytes)
{
    QString shown;
    for (const char byte : bytes) {
        if (uchar(byte) < 0x80)
            shown += printable(QString(QLatin1Char(byte)));
        else
            shown += QStringLiteral("\\x%1").arg(uchar(byte), 2, 16, QLatin1Char('0'));
    }
    return shown;
}

void CommandLineReport::write(FILE *stream, const QString &text)
{
    bool &lost = stream == stdout ? stdoutLost : stderrLost;
    if (lost)
        return;
    if (std::fputs(text.toLocal8Bit().constData(), stream) < 0 || std::fflush(stream) != 0) {
        lost = true;
        qCDebug(lcCli) << "CommandLineReport: writing to" << (stream == stdout ? "standard output" : "standard error")
                 << "failed, nothing more is written there";
    }
}

void CommandLineReport::send(const char *event, const QString &root, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), QLatin1String(event));
    if (!root.isEmpty())
        fields.insert(QStringLiteral("root"), root);
    write(stdout, QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

void CommandLineReport::unitFound(const QString &root)
{
    if (json)
        send("unit", root);
}

void CommandLineReport::skipped(const QByteArray &path)
{
    const QString reason = QStringLiteral("its path is not valid UTF-8, which this program cannot open");
    if (json)
        send("skipped", QString(), { { "path", printable(path) }, { "reason", reason } });
    else
        say(QStringLiteral("%1: skipped: %2").arg(printable(path), reason));
}

void CommandLineReport::versionChecked(const QString &root, const QString &version, bool needsUpdate)
{
    if (json)
        send("versionCheck", root, { { "version", version }, { "needsUpdate", needsUpdate } });
    else
        say(QStringLiteral("%1: version %2, %3").arg(printable(root), printable(version.trimmed()), availability(needsUpdate)));
}

void CommandLineReport::listed(const QString &root, const QString &version, bool needsUpdate)
{
    if (json)
        send("versionCheck", root, { { "version", version }, { "needsUpdate", needsUpdate } });
    else
        write(stdout, QStringLiteral("%1\t%2\t%3\n").arg(printable(root), printable(version.trimmed()), availability(needsUpdate)));
}

void CommandLineReport::diskChecked(const QString &root, int verdict)
{
    if (json)
        send("diskCheck", root, { { "verdict", verdict } });
}

void CommandLineReport::progress(const QString &root, double value)
{
    barRoot = root;
    barValue = value;
    if (sinceProgress.isValid() && !sinceProgress.hasExpired(redrawInterval)) {
        barPending = !json;
        return;
    }
    sinceProgress.start();
    if (json)
        send("progress", root, { { "value", value } });
    else
        drawBar();
}

void CommandLineReport::drawBar()
{
    const int filled = qBound(0, int(barValue * barWidth), barWidth);
    const QString bar = QString(filled, QLatin1Char('#')) + QString(barWidth - filled, QLatin1Char('-'));
    write(stderr, QStringLiteral("\r%1 [%2] %3%").arg(printable(barRoot), bar).arg(int(barValue * 100), 3));
    barOnLine = true;
    barPending = false;
}

void CommandLineReport::endBar()
{
    // The bar ends where the copy ended, even when that came within the last 100 ms.
    if (barPending)
        drawBar();
    sinceProgress.invalidate();
    if (barOnLine.exchange(false))
        write(stderr, QStringLiteral("\n"));
}

void CommandLineReport::endBarLine()
{
    if (barOnLine.exchange(false)) {
        std::fputs("\n", stderr);
        std::fflush(stderr);
    }
}

void CommandLineReport::verified(const QString &root, qint64 bytes)
{
    if (json)
        send("verified", root, { { "bytes", bytes } });
}

void CommandLineReport::versionWritten(const QString &root, const QString &version)
{
    if (json)
        send("versionWritten", root, { { "version", version } });
}

void CommandLineReport::removalFinished(const QString &root, int code)
{
    if (json)
        send("removal", root, { { "code", code } });
}

void CommandLineReport::result(const QString &root, const UpdateAttempt &attempt, bool stopped, bool withCount)
{
    endBar();
    const bool ejectByHand = attempt.removalRan && attempt.removalCode != 0;
    total.notRemoved += ejectByHand ? 1 : 0;
    const UpdateAttempt::Outcome outcome = attempt.outcome;
    // A stopped unit is as it was: neither updated nor failed.
    if (!stopped && outcome == UpdateAttempt::Updated)
        ++total.updated;
    else if (!stopped && outcome == UpdateAttempt::UpToDate)
        ++total.upToDate;
    else if (!stopped && outcome != UpdateAttempt::Matches)
        ++total.failed;
    const QString word = stopped ? QStringLiteral("stopped") : UpdateHistory::outcomeWord(outcome);
    const QString detail = resultDetail(attempt, stopped);

    if (json) {
        QJsonObject fields { { "outcome", word }, { "detail", detail } };
        if (ejectByHand) {
            fields.insert(QStringLiteral("removal"), attempt.removalCode);
            fields.insert(QStringLiteral("removalReason"), removalWords(attempt));
        }
        if (withCount) {
            fields.insert(QStringLiteral("updated"), total.updated);
            fields.insert(QStringLiteral("upToDate"), total.upToDate);
            fields.insert(QStringLiteral("failed"), total.failed);
        }
        send("result", root, fields);
        return;
    }
    // A comparison's detail is its verdict: "matches 1.73", "differs from 1.73 (...)".
    QString line = printable(root) + QStringLiteral(": ");
    if (outcome != UpdateAttempt::Matches && outcome != UpdateAttempt::Differs)
        line += word + (detail.isEmpty() ? QString() : QStringLiteral(": "));
    line += printable(detail);
    if (withCount) {
        line += QStringLiteral(" [%1 updated, %2 up to date, %3 failed]")
                        .arg(total.updated).arg(total.upToDate).arg(total.failed);
    }
    write(stdout, line + QLatin1Char('\n'));
}

void CommandLineReport::done(int exitCode)
{
    endBar();
    if (json) {
        send("done", QString(), { { "updated", total.updated }, { "upToDate", total.upToDate },
                                  { "failed", total.failed }, { "notRemoved", total.notRemoved },
                                  { "exitCode", exitCode } });
    }
}

void CommandLineReport::say(const QString &text)
{
    endBar();
    write(stderr, text + QLatin1Char('\n'));
}
