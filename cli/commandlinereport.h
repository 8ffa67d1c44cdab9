#ifndef COMMANDLINEREPORT_H
#define COMMANDLINEREPORT_H

#include "updateattempt.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QJsonObject>
#include <QtCore/QString>

// What the command-line mode tells its user: result lines on standard output and a
// one-line progress bar on standard error, or, for scripts, one JSON object per event on
// standard output and nothing else there.
class CommandLineReport
{
public:
    struct Counts
    {
        int updated = 0;
        int upToDate = 0;
        int failed = 0;
        // Updated or up to date, and to be ejected by hand: the system refused the removal.
        int notRemoved = 0;
    };

    explicit CommandLineReport(bool json);

    void unitFound(const QString &root);
    // A volume this program cannot open: its name is not valid in the system's encoding.
    void skipped(const QByteArray &path);
    void versionChecked(const QString &root, const QString &version, bool needsUpdate);
    void listed(const QString &root, const QString &version, bool needsUpdate);
    void diskChecked(const QString &root, int verdict);
    // Drawn (or sent) at most every 100 ms.
    void progress(const QString &root, double value);
    void verified(const QString &root, qint64 bytes);
    void versionWritten(const QString &root, const QString &version);
    void removalFinished(const QString &root, int code);
    // The unit's one result line, from the backend's record of the attempt; counts it and, when
    // watching, shows the running count. stopped: a stop request ended the update and the unit
    // keeps its old firmware.
    void result(const QString &root, const UpdateAttempt &attempt, bool stopped, bool withCount);
    void done(int exitCode);
    // A sentence for the person at the terminal, on standard error; what it quotes from a drive
    // must be printable() already.
    void say(const QString &text);

    // Ends the bar's line, when one is drawn, so that what another part of the program prints
    // on standard error next (a warning) starts on a line of its own.
    static void endBarLine();

    // The text as a terminal shows it harmlessly: line breaks, tabs, escape sequences and other
    // characters that are not printable written as \n, \t, \e and \xHH (of each UTF-8 byte).
    static QString printable(const QString &text);
    // The same for a name that is no valid text: every byte outside ASCII as \xHH.
    static QString printable(const QByteArray &bytes);

    const Counts &counts() const { return total; }
    // Standard output could not be written (a full disk, a reader that went away): what
    // followed was not said.
    bool outputLost() const { return stdoutLost; }

private:
    void send(const char *event, const QString &root, QJsonObject fields = QJsonObject());
    // Once a stream fails it is written no more; the update goes on regardless.
    void write(FILE *stream, const QString &text);
    void drawBar();
    void endBar();

    bool json;
    Counts total;
    QElapsedTimer sinceProgress;
    QString barRoot;
    double barValue = 0.0;
    bool barPending = false;
    bool stdoutLost = false;
    bool stderrLost = false;
};

#endif // COMMANDLINEREPORT_H
