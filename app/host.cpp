#include "host.h"

#include "applogging.h"
#include "display.h"

#include "commandlineupdater.h"
#include "logfile.h"
#include "lumetrainstaller.h"
#include "shutdownguard.h"
#include "translation.h"
#include "updatehistory.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDebug>
#include <QtCore/QUrl>
#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtQml/QQmlApplicationEngine>
#include <QtQml/qqml.h>

#include <cstdio>

Q_LOGGING_CATEGORY(lcApp, "lumetra.app")

int runLumetraHost(int &argc, char **argv, const QString &mainDocument, const QString &language)
{
    const LogFile log;
    // Qt would end the program with an abort and advice to reinstall it: say what works instead.
    const QString missing = missingDisplay(argc, argv);
    if (!missing.isEmpty()) {
        qCDebug(lcApp) << "no display for the window:" << missing;
        std::fprintf(stderr, "LumetraInstaller: no display to open the window on (%s); --list and --update work "
                             "without one, --help lists every option.\n", qPrintable(missing));
        return CommandLineUpdater::WrongUsage;
    }
    // Must precede the application object; the UI's pixel sizes are device-independent.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication application(argc, argv);
    // A platform that draws to no screen offers no OpenGL: the scene is drawn in software
    // instead of the program ending for want of a GL context.
    const QString platform = QGuiApplication::platformName();
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")
        && (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")))
        qputenv("QT_QUICK_BACKEND", "software"); // read when the first window's scene starts
    // Before the documents are loaded: their texts are translated as they are created.
    installLanguageFonts(installTranslation(application, language));
    // Before the engine, so that it outlives the backends: their end, which records the
    // attempt, is not cut short by a second signal.
    ShutdownGuard guard;
    QObject::connect(&guard, &ShutdownGuard::readyToEnd, &application, &QCoreApplication::quit);
    QQmlApplicationEngine engine;

    qmlRegisterType<LumetraInstaller>("LumetraInstaller", 1, 0, "LumetraInstaller");
    registerFailureReasons();

    const QUrl url(mainDocument, QUrl::TolerantMode);
    // Queued: objectCreated fires inside load(), before exec() could honour an exit().
    QObject::connect(
            &engine, &QQmlApplicationEngine::objectCreated, &application,
            [url](QObject *object, const QUrl &objectUrl) {
                if (!object && url == objectUrl)
                    QCoreApplication::exit(-1);
            },
            Qt::QueuedConnection);
    QObject::connect(&engine, &QQmlEngine::quit, &engine, &QCoreApplication::quit,
                     Qt::DirectConnection);
    engine.load(url);
    // Every update the window runs goes into the history.
    const QList<QObject *> roots = engine.rootObjects();
    for (QObject *root : roots)
        UpdateHistory::attachToAll(root);
    guard.watch(roots);

    return application.exec();
}

void registerFailureReasons()
{
    qmlRegisterUncreatableMetaObject(UpdateFailure::staticMetaObject, "LumetraInstaller", 1, 0, "UpdateFailure",
                                     QStringLiteral("a reason is a value"));
}

void installLanguageFonts(const QString &language)
{
    QStringList families;
    for (const QString &path : languageFonts(language)) {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0)
            qCWarning(lcApp) << "installLanguageFonts: cannot load" << path;
        families += QFontDatabase::applicationFontFamilies(id);
    }
    families.removeDuplicates();
    // Substitutes are the first fallback of a family, ahead of what the system offers: the
    // screens keep naming Roboto, and a glyph it lacks comes from the bundled font, the same
    // on every system. Only this language's fonts are registered, so the first frame of the
    // others pays nothing for them.
    if (!families.isEmpty())
        QFont::insertSubstitutions(QStringLiteral("Roboto"), families);
}
