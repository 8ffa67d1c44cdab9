#include "host.h"

#include <QtCore/QTranslator>
#include <QtGui/QAccessible>
#include <QtGui/QDesktopServices>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtQml/QQmlContext>
#include <QtQml/QQmlEngine>
#include <QtQuickTest/quicktest.h>

// The names of the ancestors with the role, nearest first, the interface itself included; a nameless one too.
static QStringList namesAround(QAccessibleInterface *face, QAccessible::Role role)
{
    QStringList names;
    for (; face; face = face->parent()) {
        if (face->role() == role)
            names.append(face->text(QAccessible::Name));
    }
    return names;
}

// Stands in the tests as "host": what a screen reader reads and presses, how often the UI quit, links opened.
class Setup : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int quits MEMBER quits)
    Q_PROPERTY(QString language MEMBER language CONSTANT)
    Q_PROPERTY(QStringList opened MEMBER opened)

public:
    // What a reader says as the focus lands on the item: its name, the screen (pane) and every dialog it lies in.
    Q_INVOKABLE QVariantMap describe(QObject *item) const
    {
        // A reader's bridge has every control report itself from its start (a popup's own item too); offscreen,
        // controls made since the last call are told now.
        QAccessible::setActive(true);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(item);
        return {{"name", face ? face->text(QAccessible::Name) : QString()},
                {"description", face ? face->text(QAccessible::Description) : QString()},
                {"screen", namesAround(face, QAccessible::Pane).value(0)},
                {"dialogs", namesAround(face, QAccessible::Dialog)}};
    }

    Q_INVOKABLE void press(QObject *item) const
    {
        QAccessible::queryAccessibleInterface(item)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
    }

public slots:
    void openUrl(const QUrl &url) { opened.append(url.toString()); }

    // Beside the fake backend, the program's own reasons for a failure.
    void applicationAvailable() { registerFailureReasons(); }

    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // A run at another font DPI than its QT_FONT_DPI would prove nothing.
        const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch());
        if (dpi != qEnvironmentVariableIntValue("QT_FONT_DPI"))
            qFatal("The font DPI is %d, not QT_FONT_DPI", dpi);
        if (language != QLatin1String("en")) {
            if (!translator.load(QStringLiteral(":/translations/lumetrainstaller_") + language))
                qFatal("No translation for %s", qPrintable(language));
            QCoreApplication::installTranslator(&translator);
        }
        // Its fonts as the program has them: a text measured in another font proves nothing.
        installLanguageFonts(language);
        QAccessible::setActive(true); // as when a screen reader runs
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl"); // not in a browser
        // The fake backend, "LumetraInstaller" 1.0, lives beside the tests.
        engine->addImportPath(QStringLiteral(QUICK_TEST_SOURCE_DIR));
        connect(engine, &QQmlEngine::quit, this, [this] { ++quits; });
        engine->rootContext()->setContextProperty(QStringLiteral("host"), this);
    }

private:
    int quits = 0;
    QStringList opened;
    QString language = qEnvironmentVariable("LUMETRA_UI_LANGUAGE", QStringLiteral("en"));
    QTranslator translator;
};

QUICK_TEST_MAIN_WITH_SETUP(ui, Setup)

#include "tst_ui.moc"
