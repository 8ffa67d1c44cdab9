#include "ejectlumetra.h"
#include "fakeejectsystem.h"

#include <QtTest/QtTest>

using Script = void (*)(FakeEjectSystem &);
Q_DECLARE_METATYPE(Script)

// The whole removal over a scripted system: what reaches the system, what the user's console
// shows, how long the caller is held, and that nothing opened is left open.
class TestEjectAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void ejectDrive_data();
    void ejectDrive();
};

void TestEjectAlgorithm::ejectDrive_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<QString>("drive");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("pauses");
    QTest::addColumn<QStringList>("calls");

    using S = FakeEjectSystem;
    const QStringList opened { "openVolume E" };
    const QStringList typed = opened + QStringList { "driveType E" };
    const QStringList disk = typed + QStringList { "list disk" };
    const QStringList ejected = disk + QStringList { "parent 32", "status 320", "eject 320" };
    const QStringList removed = disk + QStringList { "parent 32", "status 320", "remove 320" };
    const QStringList ejectedThrice = ejected + QStringList { "eject 320", "eject 320" };
    const QByteArray success = "Success/n/n";

    QTest::newRow("the unit is ejected at the first attempt") << Script([](S &) {}) << "E" << 0u << success << 0
                                                                << ejected;
    QTest::newRow("no volume behind the letter: 2, nothing printed")
            << Script([](S &s) { s.volume = "F"; }) << "E" << 2u << QByteArray() << 0 << opened;
    QTest::newRow("an empty drive string names no volume and asks nothing")
            << Script([](S &) {}) << "" << 2u << QByteArray() << 0 << QStringList();
    QTest::newRow("a longer string goes to the volume whole and names none")
            << Script([](S &) {}) << "EF" << 2u << QByteArray() << 0 << QStringList { "openVolume EF" };
    QTest::newRow("the volume cannot tell its device number")
            << Script([](S &s) { s.volumeNumbered = false; }) << "E" << 3u << QByteArray() << 0 << opened;
    QTest::newRow("the volume's device number is 0xFFFFFFFF")
            << Script([](S &s) { s.volumeNumber = 0xFFFFFFFF; }) << "E" << 3u << QByteArray() << 0 << opened;
    QTest::newRow("drive type unknown (0): no device list is made")
            << Script([](S &s) { s.type = S::driveUnknown; }) << "E" << 4u << QByteArray() << 0 << typed;
    QTest::newRow("no root directory (1): no device list is made")
            << Script([](S &s) { s.type = S::driveNoRootDir; }) << "E" << 4u << QByteArray() << 0 << typed;
    QTest::newRow("a network drive (4): no device list is made")
            << Script([](S &s) { s.type = S::driveRemote; }) << "E" << 4u << QByteArray() << 0 << typed;
    QTest::newRow("a RAM disk (6): no device list is made")
            << Script([](S &s) { s.type = S::driveRamDisk; }) << "E" << 4u << QByteArray() << 0 << typed;
    QTest::newRow("a fixed disk is looked up among disks")
            << Script([](S &s) { s.type = S::driveFixed; }) << "E" << 0u << success << 0 << ejected;
    QTest::newRow("a CD-ROM drive is looked up among CD-ROM interfaces only")
            << Script([](S &s) { s.type = S::driveCdRom; }) << "E" << 0u << success << 0
            << typed + QStringList { "list cdrom", "parent 41", "status 410", "eject 410" };
    QTest::newRow("a CD-ROM drive whose number only a disk has is not found")
            << Script([](S &s) { s.type = S::driveCdRom; s.cdRoms = { { 5, 41 } }; }) << "E" << 4u << QByteArray()
            << 0 << typed + QStringList { "list cdrom" };
    QTest::newRow("no present disk has the volume's number")
            << Script([](S &s) { s.volumeNumber = 7; }) << "E" << 4u << QByteArray() << 0 << disk;
    QTest::newRow("the device list cannot be made")
            << Script([](S &s) { s.listFails = true; }) << "E" << 4u << QByteArray() << 0 << disk;
    QTest::newRow("disks that cannot be read are passed over, up to a 1024-byte detail")
            << Script([](S &s) {
                   s.disks = { { 2, 33, 0 },         { 2, 34, 1025 }, { 2, 35, 96, true },
                               { 2, 36, 96, false, false }, { 2, 37, 96, false, true, false }, { 2, 32, 1024 } };
               })
            << "E" << 0u << success << 0 << ejected;
    QTest::newRow("a parent without the removable bit is removed, never ejected")
            << Script([](S &s) { s.status = 0x0A; }) << "E" << 0u << success << 0 << removed;
    QTest::newRow("a parent whose status cannot be read is removed")
            << Script([](S &s) { s.statusFails = true; }) << "E" << 0u << success << 0 << removed;
    QTest::newRow("a device whose parent cannot be found: the attempts fail")
            << Script([](S &s) { s.parentResult = S::resultNoSuchNode; s.attempts = { { 0x05 } }; }) << "E" << 5u
            << QByteArray("failed/nResult=0x 5/n") << 3
            << disk + QStringList { "parent 32", "status 0", "remove 0", "remove 0", "remove 0" };
    QTest::newRow("a success with a veto counts as failed and is retried")
            << Script([](S &s) { s.attempts = { { S::resultSuccess, S::vetoOutstandingOpen, L"explorer.exe" },
                                                { S::resultSuccess } }; })
            << "E" << 0u << success << 1 << ejected + QStringList { "eject 320" };
    QTest::newRow("three refusals print the last result and veto name after three pauses")
            << Script([](S &s) { s.attempts = { { S::resultFailure },
                                                { S::resultRemoveVetoed, S::vetoDevice, L"first" },
                                                { S::resultRemoveVetoed, S::vetoOutstandingOpen, L"USBSTOR\\Disk" } }; })
            << "E" << 5u << QByteArray("failed/nResult=0x17/nVetoName=USBSTOR\\Disk)/n/n") << 3 << ejectedThrice;
    QTest::newRow("an earlier veto name is not printed after a last attempt without one")
            << Script([](S &s) { s.attempts = { { S::resultRemoveVetoed, S::vetoDevice, L"explorer.exe" },
                                                { S::resultFailure } }; })
            << "E" << 5u << QByteArray("failed/nResult=0x13/n") << 3 << ejectedThrice;
    QTest::newRow("a veto name that fills the buffer is cut to it")
            << Script([](S &s) { s.attempts = { { S::resultRemoveVetoed, S::vetoDevice, std::wstring(300, L'v') } }; })
            << "E" << 5u << "failed/nResult=0x17/nVetoName=" + QByteArray(259, 'v') + ")/n/n" << 3 << ejectedThrice;
}

void TestEjectAlgorithm::ejectDrive()
{
    QFETCH(Script, script);
    QFETCH(QString, drive);

    auto owned = std::make_unique<FakeEjectSystem>();
    FakeEjectSystem &system = *owned;
    script(system);
    EjectLumetra ejector(std::move(owned));
    const quint32 code = ejector.ejectDrive(drive);

    QStringList calls;
    for (const std::string &call : system.calls)
        calls << QString::fromStdString(call);
    QTEST(code, "code");
    QTEST(QByteArray::fromStdString(system.output), "output");
    QTEST(calls, "calls");
    QTEST(int(system.pauses.size()), "pauses");
    QVERIFY(std::all_of(system.pauses.begin(), system.pauses.end(), [](std::uint32_t ms) { return ms == 200; }));
    QVERIFY2(system.openHandles.empty(), "a handle was left open");
    QVERIFY2(system.openLists.empty(), "a device list was not released");
    QVERIFY2(system.misuse.empty(), system.misuse.empty() ? "" : system.misuse.front().c_str());
}

QTEST_GUILESS_MAIN(TestEjectAlgorithm)
#include "tst_ejectalgorithm.moc"
