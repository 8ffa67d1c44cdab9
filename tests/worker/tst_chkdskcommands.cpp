#include "filecopythread.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtTest/QtTest>

// The Windows checker's command lines, built here from its own platform file and run
// against a stand-in "cmd" on PATH that records what it was given.
class TestChkdskCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();

private:
    QStringList recordedArguments() const;

    QTemporaryDir bin;
};

void TestChkdskCommands::initTestCase()
{
    QVERIFY(bin.isValid());
    QFile cmd(bin.filePath(QStringLiteral("cmd")));
    QVERIFY(cmd.open(QIODevice::WriteOnly));
    cmd.write("#!/bin/sh\n"
              "for argument in \"$@\"; do printf '%s\\n' \"$argument\"; done >> \"$FAKE_CMD_RECORD\"\n"
              "printf 'Active code page: 437\\r\\n%s' \"$FAKE_CMD_VERDICT\"\n");
    cmd.close();
    QVERIFY(cmd.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + qgetenv("PATH"));
    qputenv("FAKE_CMD_RECORD", QFile::encodeName(bin.filePath(QStringLiteral("record.txt"))));
}

QStringList TestChkdskCommands::recordedArguments() const
{
    QFile record(bin.filePath(QStringLiteral("record.txt")));
    if (!record.open(QIODevice::ReadOnly))
        return QStringList();
    QStringList lines = QString::fromUtf8(record.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

void TestChkdskCommands::commandLine_data()
{
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("chkdskSays");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("verdict");

    const QString problems = QStringLiteral("Windows has checked the file system and found problems.");
    QTest::newRow("the unit on E: is checked, found with problems, and repaired")
            << QStringLiteral("E://lumetra.bin") << problems << QStringLiteral("E:") << 1;
    QTest::newRow("a clean unit on a lower-case drive letter")
            << QStringLiteral("f:/lumetra.bin")
            << QStringLiteral("Windows has scanned the file system and found no problems.") << QStringLiteral("f:") << 0;
    QTest::newRow("chkdsk that cannot lock the drive gives no verdict")
            << QStringLiteral("E:/lumetra.bin") << QStringLiteral("Cannot lock current drive.") << QStringLiteral("E:")
            << -1;
    QTest::newRow("a destination without a drive letter never reaches cmd")
            << QStringLiteral("\"&calc & x/lumetra.bin") << problems << QString() << -1;
}

void TestChkdskCommands::commandLine()
{
    QFETCH(QString, destination);
    QFETCH(QString, chkdskSays);
    QFETCH(QString, drive);
    QFETCH(int, verdict);

    QFile::remove(bin.filePath(QStringLiteral("record.txt")));
    qputenv("FAKE_CMD_VERDICT", chkdskSays.toUtf8());
    FileCopyThread thread;
    const QString driveArgument = DiskCheckPlatform::create()->driveOf(destination);
    QCOMPARE(thread.checkDisk(driveArgument), verdict);
    if (drive.isEmpty()) {
        QCOMPARE(thread.repairDisk(driveArgument), -1);
        QCOMPARE(recordedArguments(), QStringList());
        return;
    }
    QCOMPARE(thread.repairDisk(driveArgument), 0);
    const QStringList check = { QStringLiteral("/c"), QStringLiteral("chcp"), QStringLiteral("437"),
                                QStringLiteral("&&"), QStringLiteral("chkdsk"), drive };
    QCOMPARE(recordedArguments(), check + check + QStringList { QStringLiteral("/f") });
}

QTEST_GUILESS_MAIN(TestChkdskCommands)
#include "tst_chkdskcommands.moc"
