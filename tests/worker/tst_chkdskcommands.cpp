#include "filecopythread.h"

#include <QtTest/QtTest>

// The Windows checker's command lines, from its own platform file, run against a stand-in "cmd" on PATH that
// records its arguments and answers as chkdsk would.
class TestChkdskCommands : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QByteArray>("chkdskSays");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<int>("verdict");
        const QByteArray problems = "Windows has checked the file system and found problems.";
        QTest::newRow("the unit on E: is checked, found with problems, and repaired")
            << "E://lumetra.bin" << problems << "E:" << 1;
        QTest::newRow("chkdsk that cannot lock the drive gives no verdict")
            << "E:/lumetra.bin" << QByteArray("Cannot lock current drive.") << "E:" << -1;
        QTest::newRow("a destination without a drive letter never reaches cmd")
            << "\"&calc & x/lumetra.bin" << problems << "" << -1;
    }

    void commandLine()
    {
        QFETCH(QString, destination);
        QFETCH(QByteArray, chkdskSays);
        QFETCH(QString, drive);
        QTemporaryDir bin;
        QFile cmd(bin.filePath(QStringLiteral("cmd")));
        QVERIFY(cmd.open(QIODevice::WriteOnly) && cmd.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.log\"\n"
                                                            "printf 'Active code page: 437\\r\\n%s' \"$SAYS\"\n") > 0);
        cmd.close();
        QVERIFY(cmd.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));
        qputenv("SAYS", chkdskSays);
        FileCopyThread thread;
        const QString driveArgument = DiskCheckPlatform::create()->driveOf(destination);
        QTEST(thread.checkDisk(driveArgument), "verdict");
        QCOMPARE(thread.repairDisk(driveArgument), drive.isEmpty() ? -1 : 0);
        QFile log(cmd.fileName() + QStringLiteral(".log"));
        const QString recorded = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
        const QString check = "/c\nchcp\n437\n&&\nchkdsk\n" + drive + '\n';
        QCOMPARE(recorded, drive.isEmpty() ? QString() : check + check + "/f\n");
    }
};

QTEST_GUILESS_MAIN(TestChkdskCommands)
#include "tst_chkdskcommands.moc"
