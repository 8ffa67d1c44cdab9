#ifndef LOGFILE_H
#define LOGFILE_H

#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtCore/QLoggingCategory>
#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <mutex>

// The per-user folder of the log files and the update history: %LOCALAPPDATA%/LumetraInstaller
// on Windows, ~/.local/share/LumetraInstaller on Linux, once the application's name is set.
QString logDirectory();

// While it exists, every diagnostic line of the program, from any thread, also goes behind a
// timestamp into a file of this run's own in the given folder. The terminal (the debug output)
// is told warnings and worse, and the debug and info lines of a category only when
// QT_LOGGING_RULES turns them on by name: a line per copied block or a look at a drive is for
// support, not for the person at the terminal; with no file, the terminal is told the same. The program's
// own lines (its "lumetra.*" categories and the default one) go in in full;
// Qt's own messages (every other category) once per distinct text, with one "repeated N
// times" line at the end for those that came again. The newest keptRuns files are kept, and
// never one that another running instance still writes. Past maxFileSize the per-block
// progress lines (category "lumetra.progress") are left out of the file, every other line
// still goes in. A folder that cannot be written, a full disk or a locked file cost only the
// log: the program says so once on the debug output and goes on. One at a time.
class LogFile
{
public:
    explicit LogFile(const QString &directory = logDirectory());
    ~LogFile();

    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    // Empty when this run has no log file.
    QString filePath() const;

    static constexpr int keptRuns = 10;
    static constexpr qint64 maxFileSize = 2 * 1024 * 1024;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);
    static void filter(QLoggingCategory *category);
    static bool shownOnTerminal(QtMsgType type, const char *category);
    // Empty on success, otherwise why not.
    QString open(const QString &directory);
    void removeOldRuns(const QString &directory) const;
    // Both under the lock; a complaint to pass on once the lock is released, or nothing.
    QString append(const char *category, const QString &line);
    bool writeLine(const QString &text);

    // A standard mutex: ThreadSanitizer sees it, unlike the locking inside Qt.
    static inline std::mutex lock;
    static inline LogFile *current = nullptr;
    // Kept after the log goes: a line may already be on its way through handle().
    static inline QtMessageHandler previous = nullptr;
    static inline QLoggingCategory::CategoryFilter previousFilter = nullptr;
    // Per category, the levels below warning that the rules turned on by name (bit = 1 << type).
    static inline std::mutex terminalLock;
    static inline QHash<QByteArray, int> terminalLevels;

    QFile file;
    qint64 size = 0;
    bool progressLeftOut = false;
    // Qt's own messages as written, with how often each came in this run.
    QHash<QString, int> qtMessages;
};

#endif // LOGFILE_H
