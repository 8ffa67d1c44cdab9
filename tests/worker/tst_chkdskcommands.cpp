#include "filecopythread.h"

#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// The Windows checker's command lines, from its own platform file, run against a stand-in
// "cmd" on PATH that records its arguments and answers as chkdsk would.
class TestChkdskCommands : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir bin;
};

void TestChkdskCommands::commandLine_data()
{
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("chkdskSays");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("verdict");
    const QString problems = QStringLiteral("Windows has checked the file system and found problems.");
    QTest::newRow("the unit on E: is checked, found with problems, and repaired")
        << "E://lumetra.bin" << problems << "E:" << 1;
    QTest::newRow("chkdsk that cannot lock the drive gives no verdict") << "E:/lumetra.bin"
                                                                        << "Cannot lock current drive."
                                                                        << "E:" << -1;
    QTest::newRow("a destination without a drive letter never reaches cmd")
        << "\"&calc & x/lumetra.bin" << problems << "" << -1;
}

void TestChkdskCommands::commandLine()
{
    QFETCH(QString, destination);
    QFETCH(QString, chkdskSays);
    QFETCH(QString, drive);
    QFETCH(int, verdict);

    QFile cmd(bin.filePath(QStringLiteral("cmd")));
    QVERIFY(cmd.open(QIODevice::WriteOnly) && cmd.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.log\"\n"
                                                        "printf 'Active code page: 437\\r\\n%s' \"$SAYS\"\n") > 0);
    cmd.close();
    QVERIFY(cmd.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QFile::remove(cmd.fileName() + QStringLiteral(".log"));
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));
    qputenv("SAYS", chkdskSays.toUtf8());

    FileCopyThread thread;
    const QString driveArgument = DiskCheckPlatform::create()->driveOf(destination);
    QCOMPARE(thread.checkDisk(driveArgument), verdict);
    QCOMPARE(thread.repairDisk(driveArgument), drive.isEmpty() ? -1 : 0);
    QFile log(cmd.fileName() + QStringLiteral(".log"));
    const QStringList recorded = log.open(QIODevice::ReadOnly)
        ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
        : QStringList();
    const QStringList check = { "/c", "chcp", "437", "&&", "chkdsk", drive };
    QCOMPARE(recorded, drive.isEmpty() ? QStringList() : check + check + QStringList { "/f" });
}

QTEST_GUILESS_MAIN(TestChkdskCommands)
#include "tst_chkdskcommands.moc"
