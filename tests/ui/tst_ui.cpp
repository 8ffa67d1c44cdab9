#include "host.h"

#include <QtCore/QTranslator>
#include <QtGui/QAccessible>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQuickTest/quicktest.h>

// Readies the engine and stands in the tests as "host": what a screen reader reads of an
// item and how it presses one, and how often the UI quit.
class Setup : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int quits MEMBER quits)
    Q_PROPERTY(QString language MEMBER language CONSTANT)

public:
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

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // A run at another font DPI than its QT_FONT_DPI would prove nothing.
        const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
        if (dpi != qEnvironmentVariableIntValue("QT_FONT_DPI"))
            qFatal("The font DPI is %d, not QT_FONT_DPI", dpi);
        // The screens in the language of the run: LUMETRA_UI_LANGUAGE.
        if (language != QLatin1String("en")) {
            if (!translator.load(QStringLiteral(":/translations/lumetrainstaller_") + language))
                qFatal("No translation for %s", qPrintable(language));
            QCoreApplication::installTranslator(&translator);
        }
        // Its fonts as the program has them: a text measured in another font proves nothing.
        installLanguageFonts(language);
        // As when a screen reader runs.
        QAccessible::setActive(true);
        // The fake backend, "LumetraInstaller" 1.0, lives beside the tests.
        engine->addImportPath(QStringLiteral(QUICK_TEST_SOURCE_DIR));
        connect(engine, &QQmlEngine::quit, this, [this] { ++quits; });
        engine->rootContext()->setContextProperty(QStringLiteral("host"), this);
    }

private:
    int quits = 0;
    QString language = qEnvironmentVariable("LUMETRA_UI_LANGUAGE", QStringLiteral("en"));
    QTranslator translator;
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
