#include "commandlinereport.h"

#include <QtCore/QDebug>
#include <QtCore/QJsonDocument>

#include <cstdio>

namespace {

constexpr int barWidth = 30;
constexpr qint64 redrawInterval = 100; // ms

QString outcomeWord(CommandLineReport::Outcome outcome)
{
    switch (outcome) {
    case CommandLineReport::Outcome::Updated:
        return QStringLiteral("updated");
    case CommandLineReport::Outcome::UpToDate:
        return QStringLiteral("up to date");
    case CommandLineReport::Outcome::Failed:
        return QStringLiteral("failed");
    case CommandLineReport::Outcome::Busy:
        return QStringLiteral("busy");
    case CommandLineReport::Outcome::Stopped:
        break;
    }
    return QStringLiteral("stopped");
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

void CommandLineReport::write(FILE *stream, const QString &text)
{
    bool &lost = stream == stdout ? stdoutLost : stderrLost;
    if (lost)
        return;
    if (std::fputs(text.toLocal8Bit().constData(), stream) < 0 || std::fflush(stream) != 0) {
        lost = true;
        qDebug() << "CommandLineReport: writing to" << (stream == stdout ? "standard output" : "standard error")
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

void CommandLineReport::versionChecked(const QString &root, const QString &version, bool needsUpdate)
{
    if (json)
        send("versionCheck", root, { { "version", version }, { "needsUpdate", needsUpdate } });
    else
        say(QStringLiteral("%1: version %2, %3").arg(root, version.trimmed(), availability(needsUpdate)));
}

void CommandLineReport::listed(const QString &root, const QString &version, bool needsUpdate)
{
    if (json)
        send("versionCheck", root, { { "version", version }, { "needsUpdate", needsUpdate } });
    else
        write(stdout, QStringLiteral("%1\t%2\t%3\n").arg(root, version.trimmed(), availability(needsUpdate)));
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
    write(stderr, QStringLiteral("\r%1 [%2] %3%").arg(barRoot, bar).arg(int(barValue * 100), 3));
    barShown = true;
    barPending = false;
}

void CommandLineReport::endBar()
{
    // The bar ends where the copy ended, even when that came within the last 100 ms.
    if (barPending)
        drawBar();
    sinceProgress.invalidate();
    if (barShown)
        write(stderr, QStringLiteral("\n"));
    barShown = false;
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

void CommandLineReport::result(const QString &root, Outcome outcome, const QString &detail, bool withCount)
{
    endBar();
    if (outcome == Outcome::Updated)
        ++total.updated;
    else if (outcome == Outcome::UpToDate)
        ++total.upToDate;
    else if (outcome == Outcome::Failed || outcome == Outcome::Busy)
        ++total.failed;

    if (json) {
        QJsonObject fields { { "outcome", outcomeWord(outcome) }, { "detail", detail } };
        if (withCount) {
            fields.insert(QStringLiteral("updated"), total.updated);
            fields.insert(QStringLiteral("upToDate"), total.upToDate);
            fields.insert(QStringLiteral("failed"), total.failed);
        }
        send("result", root, fields);
        return;
    }
    QString line = QStringLiteral("%1: %2").arg(root, outcomeWord(outcome));
    if (!detail.isEmpty())
        line += QStringLiteral(": ") + detail;
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
                                  { "failed", total.failed }, { "exitCode", exitCode } });
    }
}

void CommandLineReport::say(const QString &text)
{
    endBar();
    write(stderr, text + QLatin1Char('\n'));
}
