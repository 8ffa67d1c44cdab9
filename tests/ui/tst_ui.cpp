#include <QtGui/QAccessible>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQuickTest/quicktest.h>

// What a screen reader learns of an item and its press action; the font DPI the run asked
// for (QT_FONT_DPI) and the one the screens got; the quits of the UI.
class Host : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int requestedDpi MEMBER requestedDpi CONSTANT)
    Q_PROPERTY(int fontDpi READ fontDpi CONSTANT)
    Q_PROPERTY(int quits MEMBER quits)

public:
    int requestedDpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    int quits = 0;
    int fontDpi() const { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

    Q_INVOKABLE QVariantMap describe(QObject *item) const
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(item);
        return {{"name", face ? face->text(QAccessible::Name) : QString()},
                {"description", face ? face->text(QAccessible::Description) : QString()}};
    }

    Q_INVOKABLE void press(QObject *item) const
    {
        QAccessible::queryAccessibleInterface(item)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
    }
};

class Setup : public QObject
{
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // As when a screen reader runs.
        QAccessible::setActive(true);
        // The fake backend, "LumetraInstaller" 1.0, lives beside the tests.
        engine->addImportPath(QStringLiteral(QUICK_TEST_SOURCE_DIR));
        Host *host = new Host;
        connect(engine, &QQmlEngine::quit, host, [host] { ++host->quits; });
        engine->rootContext()->setContextProperty(QStringLiteral("host"), host);
    }
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
