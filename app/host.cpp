#include "host.h"

#include "lumetrainstaller.h"
#include "translation.h"
#include "updatehistory.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>
#include <QtQml/QQmlApplicationEngine>
#include <QtQml/qqml.h>

int runLumetraHost(int &argc, char **argv, const QString &mainDocument, const QString &language)
{
    // Must precede the application object; the UI's pixel sizes are device-independent.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication application(argc, argv);
    // Before the documents are loaded: their texts are translated as they are created.
    installTranslation(application, language);
    QQmlApplicationEngine engine;

    qmlRegisterType<LumetraInstaller>("LumetraInstaller", 1, 0, "LumetraInstaller");

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

    return application.exec();
}
