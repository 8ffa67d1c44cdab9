#include "host.h"
#include "lumetrainstaller.h"
#include "translation.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTextStream>
#include <QtCore/QTimer>
#include <QtCore/QUrl>
#include <QtCore/QVector>
#include <QtGui/QGuiApplication>
#include <QtQml/QQmlApplicationEngine>
#include <QtQml/qqml.h>
#include <QtQuick/QQuickWindow>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

// Runs the tool and a bare window of the same size and modules in child processes, one
// after the other, several times each, and prints the medians of the time to the first
// frame and of the peak memory (the tool's taken after it has shown every screen).
//
//   bench_ui [runs]          the comparison (default 7 runs of each)
//   bench_ui --child tool    one measured run of the tool; prints "frame <ns> peak <kB>"
//   bench_ui --child bare    the same for the bare window
//   bench_ui --show <state>  the tool showing one flow state until it is closed, for
//                            screenshots of screens that no click leads to

namespace {

qint64 monotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The resident set's high-water mark of this process.
qint64 peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

const char *const flowStates[] = {"StepOne", "StepTwo", "StepThree", "StepFour", "Finish",
                                  "UpToDate"};

// Steps through every screen, one frame each, with the progress popup open on step three.
class FlowWalker : public QObject
{
    Q_OBJECT

public:
    FlowWalker(QQuickWindow *window, QObject *flow)
        : window(window), flow(flow)
    {
        connect(window, &QQuickWindow::frameSwapped, this, &FlowWalker::next,
                Qt::QueuedConnection);
    }

signals:
    void finished();

private:
    void next()
    {
        if (step == int(sizeof(flowStates) / sizeof(flowStates[0]))) {
            disconnect(window, nullptr, this, nullptr);
            emit finished();
            return;
        }
        flow->setProperty("state", QString::fromLatin1(flowStates[step++]));
        if (QObject *popup = window->findChild<QObject *>(QStringLiteral("popup")))
            QMetaObject::invokeMethod(popup, "open");
        window->update();
    }

    QQuickWindow *window;
    QObject *flow;
    int step = 0;
};

int runChild(int argc, char **argv, const QString &mode, const QString &showState)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication application(argc, argv);
    // The tool starts as the program does: the language of LANGUAGE or the system, with its
    // fonts. The bare window stays bare.
    if (mode != QLatin1String("bare"))
        installLanguageFonts(installTranslation(application, QString()));
    QQmlApplicationEngine engine;
    qmlRegisterType<LumetraInstaller>("LumetraInstaller", 1, 0, "LumetraInstaller");
    engine.load(QUrl(mode == QLatin1String("bare") ? QStringLiteral("qrc:/bench/bare.qml")
                                                   : QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    QQuickWindow *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    if (!window)
        return 1;
    QObject *flow = window->findChild<QObject *>(QStringLiteral("lumetraInstaller"));

    if (!showState.isEmpty()) {
        if (!flow)
            return 1;
        flow->setProperty("state", showState);
        return application.exec();
    }

    // frameSwapped comes from the render thread when there is one: take the time there,
    // then carry on in the GUI thread.
    std::atomic<qint64> firstFrame(0);
    FlowWalker *walker = nullptr;
    QObject::connect(window, &QQuickWindow::frameSwapped, &application, [&]() {
        qint64 none = 0;
        if (!firstFrame.compare_exchange_strong(none, monotonicNanoseconds()))
            return;
        QMetaObject::invokeMethod(&application, [&]() {
            if (flow) {
                walker = new FlowWalker(window, flow);
                QObject::connect(walker, &FlowWalker::finished, &application,
                                 &QCoreApplication::quit);
                window->update();
            } else {
                // A few more frames, as the tool's walk has.
                QTimer::singleShot(200, &application, &QCoreApplication::quit);
            }
        }, Qt::QueuedConnection);
    }, Qt::DirectConnection);
    const int status = application.exec();
    std::printf("frame %lld peak %lld\n", firstFrame.load(), peakKilobytes());
    std::fflush(stdout);
    delete walker;
    return status;
}

struct Run
{
    double frameMilliseconds;
    double peakMegabytes;
};

bool measure(const QString &program, const QString &mode, Run *run)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = monotonicNanoseconds();
    child.start(program, {QStringLiteral("--child"), mode});
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 4)
        return false;
    run->frameMilliseconds = (fields.at(1).toLongLong() - started) / 1e6;
    run->peakMegabytes = fields.at(3).toLongLong() / 1024.0;
    return true;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, QString::fromLatin1(argv[2]), QString());
    if (argc >= 3 && qstrcmp(argv[1], "--show") == 0)
        return runChild(argc, argv, QStringLiteral("tool"), QString::fromLatin1(argv[2]));

    QCoreApplication application(argc, argv);
    const int runs = argc >= 2 ? qMax(1, atoi(argv[1])) : 7;
    // Without a display: the offscreen platform, which has no OpenGL, so the software renderer.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
            qputenv("QT_QUICK_BACKEND", "software");
    }
    const QString program = QCoreApplication::applicationFilePath();

    QVector<double> frames[2];
    QVector<double> peaks[2];
    const QString modes[2] = {QStringLiteral("bare"), QStringLiteral("tool")};
    // One warm-up of each, so the first measured run does not pay for a cold disk cache.
    Run run;
    for (const QString &mode : modes)
        measure(program, mode, &run);
    for (int i = 0; i < runs; ++i) {
        for (int m = 0; m < 2; ++m) {
            if (!measure(program, modes[m], &run)) {
                std::fprintf(stderr, "the %s run failed\n", qPrintable(modes[m]));
                return 1;
            }
            frames[m].append(run.frameMilliseconds);
            peaks[m].append(run.peakMegabytes);
        }
    }

    QTextStream out(stdout);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(1);
    out << "platform: " << (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                                    ? QStringLiteral("default")
                                    : qEnvironmentVariable("QT_QPA_PLATFORM"))
        << ", Qt Quick backend: " << (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")
                                    ? QStringLiteral("default")
                                    : qEnvironmentVariable("QT_QUICK_BACKEND"))
        << ", " << runs << " runs of each\n";
    for (int m = 0; m < 2; ++m) {
        out << modes[m] << ": first frame median " << median(frames[m]) << " ms (";
        for (double value : frames[m])
            out << ' ' << value;
        out << " ), peak memory median " << median(peaks[m]) << " MB\n";
    }
    const double frameRatio = median(frames[1]) / median(frames[0]);
    const double extraMemory = median(peaks[1]) - median(peaks[0]);
    out.setRealNumberPrecision(2);
    out << "first frame: tool / bare = " << frameRatio << " (target at most 1.20) "
        << (frameRatio <= 1.2 ? "met" : "MISSED") << '\n';
    out.setRealNumberPrecision(1);
    out << "peak memory over the whole flow: tool - bare = " << extraMemory
        << " MB (target at most 25 MB) " << (extraMemory <= 25 ? "met" : "MISSED") << '\n';
    return 0;
}

#include "uibench.moc"
