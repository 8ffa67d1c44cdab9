#include "fakelumetrainstaller.h"

#include <QtCore/QUrl>
#include <QtQml/QQmlApplicationEngine>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtTest/QtTest>

// "Finish" ends the program through the engine's quit, which the host turns into exit
// status 0. Kept apart from the Qt Quick tests, whose own run a quit would end.
class TestUiQuit : public QObject
{
    Q_OBJECT

private slots:
    void forwardButton_data();
    void forwardButton();
};

void TestUiQuit::forwardButton_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("quits");
    QTest::addColumn<QString>("stateAfter");

    QTest::newRow("Finish on the finish screen") << "Finish" << 1 << "Finish";
    QTest::newRow("Finish on the up-to-date screen") << "UpToDate" << 1 << "UpToDate";
    QTest::newRow("the arrow of step four only moves on") << "StepFour" << 0 << "Finish";
}

void TestUiQuit::forwardButton()
{
    QFETCH(QString, state);
    QFETCH(int, quits);
    QFETCH(QString, stateAfter);

    QQmlApplicationEngine engine;
    installFakeBackend(&engine);
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    QCOMPARE(engine.rootObjects().size(), 1);
    QQuickWindow *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QObject *flow = window->findChild<QObject *>(QStringLiteral("lumetraInstaller"));
    QVERIFY(flow);
    QVERIFY(flow->setProperty("state", state));
    QObject *loader = window->findChild<QObject *>(QStringLiteral("mainScreenLoader"));
    QVERIFY(loader);
    QQuickItem *screen = loader->property("item").value<QQuickItem *>();
    QVERIFY(screen);
    QQuickItem *button = screen->findChild<QQuickItem *>(QStringLiteral("nextButton"));
    QVERIFY(button);

    QSignalSpy quit(&engine, &QQmlEngine::quit);
    const QPointF centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    QCOMPARE(quit.count(), quits);
    QCOMPARE(flow->property("state").toString(), stateAfter);
}

QTEST_MAIN(TestUiQuit)

#include "tst_uiquit.moc"
