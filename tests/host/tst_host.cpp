#include <QtCore/QProcess>
#include <QtTest/QtTest>

// Runs the real host code (through a probe program with test documents) and checks how
// the process ends: the exit status is what a script or installer calling the tool sees.
class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void exitStatus_data();
    void exitStatus();
};

void TestHost::exitStatus_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");

    // -1 from main reaches the parent as 255.
    QTest::newRow("the UI quits") << "quits.qml" << 0 << "version 1.73";
    QTest::newRow("arguments reach the application unchanged")
            << "quits.qml" << 0 << "arguments [\"quits.qml\",\"--not-ours\",\"two words\"]";
    QTest::newRow("the last window is closed") << "closes.qml" << 0 << "";
    QTest::newRow("a later document fails, quit still ends with 0") << "failingscreen.qml" << 0 << "";
    QTest::newRow("syntax error in the main document") << "syntaxerror.qml" << 255 << "";
    QTest::newRow("unknown type in the main document") << "notwindow.qml" << 255 << "";
    QTest::newRow("only version 1.0 of the backend module exists") << "wrongversion.qml" << 255 << "";
    QTest::newRow("no main document") << "missing.qml" << 255 << "";
    QTest::newRow("the window's update is in the history") << "quits.qml" << 0 << "\"reason\":\"probe failure\"";
    QTest::newRow("--version") << "--version" << 0 << "LumetraInstaller 1.73\n";
    QTest::newRow("--log-dir names the per-user folder") << "--log-dir" << 0 << "/data/LumetraInstaller\n";
    QTest::newRow("--help lists them") << "--help" << 0 << "--log-dir";
}

void TestHost::exitStatus()
{
    QFETCH(QString, document);
    QFETCH(int, status);
    QFETCH(QString, output);

    QFile history(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/hostprobe/history.jsonl"));
    history.remove();
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(QString::fromLocal8Bit(document.startsWith("--") ? LUMETRAINSTALLER : HOSTPROBE),
                { document, QStringLiteral("--not-ours"), QStringLiteral("two words") });
    // No user interaction: every case must end by itself.
    QVERIFY2(probe.waitForFinished(30000), "the host did not end by itself");
    QString printed = QString::fromLocal8Bit(probe.readAll());
    if (history.open(QIODevice::ReadOnly))
        printed += QString::fromUtf8(history.readAll());
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QVERIFY2(probe.exitCode() == status, qPrintable(printed));
    QVERIFY2(printed.contains(output), qPrintable(printed));
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
