#include "logfile.h"

#include "outputlogging.h"

#include "sharedfile.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDateTime>
#include <QtCore/QDebug>
#include <QtCore/QDir>
#include <QtCore/QStandardPaths>
#include <QtCore/QSysInfo>

#include <cstring>

Q_LOGGING_CATEGORY(lcOutput, "lumetra.output")

namespace {

// The per-block line of the copy: past the cap, the one left out.
const char progressCategory[] = "lumetra.progress";

const QString runFilePrefix = QStringLiteral("LumetraInstaller-");
const QString runFileSuffix = QStringLiteral(".log");

// The program's own categories, and the default one of its bare debug lines; all else is Qt's.
bool isOwnCategory(const char *category)
{
    return !category || std::strcmp(category, "default") == 0 || std::strncmp(category, "lumetra.", 8) == 0;
}

QString timestamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

} // namespace

QString logDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

LogFile::LogFile(const QString &directory)
{
    {
        // A second handler would pass each line on to the first one, which is itself.
        std::lock_guard<std::mutex> locker(lock);
        if (current)
            return;
    }
    const QString header = QStringLiteral("LumetraInstaller %1, Qt %2, %3")
                                   .arg(QCoreApplication::applicationVersion(),
                                        QString::fromLatin1(qVersion()), QSysInfo::prettyProductName());
    const QString failure = open(directory);
    if (!failure.isEmpty() || !writeLine(header)) {
        qCWarning(lcOutput).noquote() << "LumetraInstaller: no log file in" << QDir::toNativeSeparators(directory)
                             << "for this run:" << (failure.isEmpty() ? file.errorString() : failure);
        file.close();
    } else {
        removeOldRuns(directory);
    }

    // The terminal's view: no debug or info lines, unless QT_LOGGING_RULES (which Qt applies
    // over the program's rules) turns them on by name. The filter notes that view per category
    // and turns the lines back on for the file.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    // Taken before ours is in place: installing it runs it over every category at once.
    previousFilter = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(&LogFile::filter);
    std::lock_guard<std::mutex> locker(lock);
    current = this;
    previous = qInstallMessageHandler(&LogFile::handle);
}

LogFile::~LogFile()
{
    {
        std::lock_guard<std::mutex> locker(lock);
        if (current != this)
            return;
        qInstallMessageHandler(previous);
        current = nullptr;
        for (auto message = qtMessages.cbegin(); file.isOpen() && message != qtMessages.cend(); ++message) {
            if (message.value() > 1)
                writeLine(QStringLiteral("%1 (repeated %2 times)").arg(message.key()).arg(message.value() - 1));
        }
    }
    QLoggingCategory::installFilter(previousFilter);
    QLoggingCategory::setFilterRules(QString());
}

QString LogFile::filePath() const
{
    // A line from a worker may close the file at any time.
    std::lock_guard<std::mutex> locker(lock);
    return file.isOpen() ? file.fileName() : QString();
}

QString LogFile::open(const QString &directory)
{
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return QStringLiteral("the folder cannot be made");
    // Named by the start time, so the names sort as the runs did; two runs started in the
    // same millisecond each get a file of their own ("_" sorts after the ".log" of the first).
    const QString stem = QDir(directory).filePath(
            runFilePrefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")));
    for (int attempt = 1; attempt <= 10; ++attempt) {
        file.setFileName(attempt == 1 ? stem + runFileSuffix
                                      : QStringLiteral("%1_%2%3").arg(stem).arg(attempt).arg(runFileSuffix));
        // Unbuffered: each line is with the system as soon as it is written, so a crash
        // loses none of them.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            SharedFile::holdForThisRun(file);
            return QString();
        }
        if (!file.exists())
            break;
    }
    return file.errorString();
}

void LogFile::removeOldRuns(const QString &directory) const
{
    QDir folder(directory);
    const QStringList runs = folder.entryList({ runFilePrefix + QLatin1Char('*') + runFileSuffix },
                                              QDir::Files, QDir::Name);
    // One that another run still writes stays (a long --watch must keep its log), as does
    // one that cannot be removed (open in another program); the next run tries again.
    for (int i = 0; i < runs.size() - keptRuns; ++i) {
        if (!SharedFile::isHeldByAnotherRun(folder.filePath(runs.at(i))))
            folder.remove(runs.at(i));
    }
}

void LogFile::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    QString complaint;
    QtMessageHandler passOn = nullptr;
    {
        std::lock_guard<std::mutex> locker(lock);
        // The line as the debug output shows it, with its category.
        if (current)
            complaint = current->append(context.category, qFormatLogMessage(type, context, message));
        passOn = previous;
    }
    if (shownOnTerminal(type, context.category))
        passOn(type, context, message);
    if (!complaint.isEmpty())
        passOn(QtWarningMsg, context, complaint);
}

void LogFile::filter(QLoggingCategory *category)
{
    previousFilter(category);
    int levels = 0;
    for (const QtMsgType type : { QtDebugMsg, QtInfoMsg })
        levels |= category->isEnabled(type) ? 1 << type : 0;
    {
        std::lock_guard<std::mutex> locker(terminalLock);
        terminalLevels.insert(category->categoryName(), levels);
    }
    // The file gets what Qt shows by default: everything but the debug lines of Qt's own
    // "qt.*" categories (unless a rule asks for those too).
    if (std::strncmp(category->categoryName(), "qt.", 3) != 0)
        category->setEnabled(QtDebugMsg, true);
    category->setEnabled(QtInfoMsg, true);
}

bool LogFile::shownOnTerminal(QtMsgType type, const char *category)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        return true;
    std::lock_guard<std::mutex> locker(terminalLock);
    return terminalLevels.value(QByteArray(category ? category : "default")) & (1 << type);
}

QString LogFile::append(const char *category, const QString &line)
{
    if (!file.isOpen())
        return QString();
    // Qt's own messages can come hundreds of times a second (an accessibility bridge without
    // a listener): once each is enough to tell support what happened.
    if (!isOwnCategory(category) && ++qtMessages[line] > 1)
        return QString();
    if (size >= maxFileSize && category && std::strcmp(category, progressCategory) == 0) {
        if (progressLeftOut)
            return QString();
        progressLeftOut = true;
        if (writeLine(QStringLiteral("(the log is past %1 MiB: progress lines are left out from here on)")
                                  .arg(maxFileSize / (1024 * 1024))))
            return QString();
    } else if (writeLine(line)) {
        return QString();
    }
    // A write cut short by a full disk sets no error of its own.
    const QString why = file.error() == QFileDevice::NoError
            ? QStringLiteral("a line was cut short, the disk may be full")
            : file.errorString();
    const QString complaint = QStringLiteral("LumetraInstaller: the log file %1 ends here: %2")
                                      .arg(QDir::toNativeSeparators(file.fileName()), why);
    file.close();
    return complaint;
}

bool LogFile::writeLine(const QString &text)
{
    const QByteArray line = (timestamp() + QLatin1Char(' ') + text + QLatin1Char('\n')).toUtf8();
    const qint64 written = file.write(line);
    size += qMax<qint64>(written, 0);
    return written == line.size();
}
