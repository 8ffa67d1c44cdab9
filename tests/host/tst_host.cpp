#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// Runs the real host code (through a probe program, with a main document of the test's own)
// and checks how the process ends: the exit status is what a script or installer calling the
// tool sees. -1 from main reaches the parent as 255.
class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void exitStatus_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        const QByteArray window = "import QtQuick 2.2\nimport QtQuick.Window 2.3\nimport LumetraInstaller 1.0\n"
                                  "Window { id: window; visible: true; width: 100; height: 100\n";
        QTest::newRow("the UI quits, with the backend declared and every argument passed on")
                << window + "LumetraInstaller { id: backend }\nComponent.onCompleted: { console.log('version', backend.getLumetraUpdateVersion()); "
                            "console.log('arguments', JSON.stringify(Qt.application.arguments.slice(2))); Qt.callLater(Qt.quit) } }"
                << 0 << "version 1.73\nqml: arguments [\"--not-ours\",\"two words\"]";
        QTest::newRow("the last window is closed") << window + "Timer { interval: 50; running: true; onTriggered: window.close() } }" << 0 << "";
        QTest::newRow("a later document fails, quit still ends with 0")
                << window + "Loader { source: 'missing.qml'; onStatusChanged: if (status === Loader.Error) Qt.callLater(Qt.quit) } }" << 0 << "";
        QTest::newRow("syntax error in the main document") << window << 255 << "";
        QTest::newRow("unknown type in the main document") << QByteArray("import QtQuick 2.2\nNoSuchType {}") << 255 << "";
        QTest::newRow("only version 1.0 of the backend module exists") << QByteArray(window).replace("1.0", "1.1") + "}" << 255 << "";
        QTest::newRow("no main document") << QByteArray() << 255 << "";
    }

    void exitStatus()
    {
        QFETCH(QByteArray, document);
        QTemporaryDir directory;
        QFile main(directory.filePath(QStringLiteral("main.qml")));
        QVERIFY(document.isNull() || (main.open(QIODevice::WriteOnly) && main.write(document) == document.size()));
        main.close();
        QProcess probe;
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(QStringLiteral(HOSTPROBE), { QUrl::fromLocalFile(main.fileName()).toString(), "--not-ours", "two words" });
        QVERIFY2(probe.waitForFinished(30000), "the host did not end by itself");
        const QString printed = QString::fromLocal8Bit(probe.readAll());
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QFETCH(int, status);
        QFETCH(QString, output);
        QVERIFY2(probe.exitCode() == status && printed.contains(output), qPrintable(printed));
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
