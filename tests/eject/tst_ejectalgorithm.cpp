#include "ejectlumetra.h"
#include "fakeejectsystem.h"

#include <QtTest/QtTest>

using Script = std::function<void(FakeEjectSystem &)>;
Q_DECLARE_METATYPE(Script)

// The whole removal over a scripted system: what reaches the system, how often the caller is
// held 200 ms, what the user's console shows, and that nothing opened is left open.
class TestEjectAlgorithm : public QObject
{
    Q_OBJECT

private slots:
    void ejectDrive_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<Script>("script");
        using S = FakeEjectSystem;
        const QString typed = "openVolume E, driveType E", disk = typed + ", list disk",
                      found = disk + ", parent 32, status 320";
        const QString ok = ", Success/n/n", ejected = found + ", eject 320" + ok, removed = found + ", remove 320" + ok;
        const QString thrice = found + ", eject 320, pause, eject 320, pause, eject 320, pause, failed/n, Result=0x";
        const auto row = [](const char *name, int code, const QString &trace, const Script &script = [](S &) {}) {
            QTest::newRow(name) << code << trace << script;
        };
        row("ejected at the first attempt", 0, ejected);
        // Drive strings that name no volume: the Windows layer's test under Wine (tst_ejectwine).
        row("the volume has no device number", 3, "openVolume E", [](S &s) { s.volumeNumber = S::unnumbered; });
        row("its device number is 0xFFFFFFFF", 3, "openVolume E", [](S &s) { s.volumeNumber = 0xFFFFFFFF; });
        for (const std::uint32_t type : { S::driveUnknown, S::driveNoRootDir, S::driveRemote, S::driveRamDisk })
            row(qPrintable(QString("drive type %1: no device list").arg(type)), 4, typed, [=](S &s) { s.type = type; });
        row("a fixed disk is looked up among disks", 0, ejected, [](S &s) { s.type = S::driveFixed; });
        row("a CD-ROM among CD-ROMs only", 0, typed + ", list cdrom, parent 41, status 410, eject 410" + ok,
            [](S &s) { s.type = S::driveCdRom; });
        row("a CD-ROM whose number only a disk has", 4, typed + ", list cdrom",
            [](S &s) { s.type = S::driveCdRom, s.cdRoms = { { 5, 41 } }; });
        row("no present disk has the number", 4, disk, [](S &s) { s.volumeNumber = 7; });
        row("the device list cannot be made", 4, disk, [](S &s) { s.listFails = true; });
        row("unreadable disks are passed over, up to a 1024-byte detail", 0, ejected, [](S &s) {
            s.disks = { { 2, 33, 0 }, { 2, 34, 1025 }, { 2, 0 }, { S::unopenable, 36 }, { S::unnumbered, 37 },
                        { 2, 32, 1024 } };
        });
        row("a parent without the removable bit is removed", 0, removed, [](S &s) { s.status = 0x0A; });
        row("a parent whose status cannot be read is removed", 0, removed, [](S &s) { s.statusFails = true; });
        row("no parent: every attempt fails", 5,
            disk + ", parent 32, status 0, remove 0, pause, remove 0, pause, remove 0, pause, failed/n, Result=0x 5/n",
            [](S &s) { s.parentResult = S::resultNoSuchNode, s.attempts = { { 0x05 } }; });
        row("a success with a veto is retried", 0, found + ", eject 320, pause, eject 320" + ok,
            [](S &s) { s.attempts = { { 0, S::vetoOutstandingOpen, L"explorer.exe" }, { 0 } }; });
        row("three refusals: the last result and veto name", 5, thrice + "17/n, VetoName=USBSTOR\\Disk)/n/n", [](S &s) {
            s.attempts = { { S::resultFailure }, { S::resultRemoveVetoed, S::vetoDevice, L"first" },
                           { S::resultRemoveVetoed, S::vetoOutstandingOpen, L"USBSTOR\\Disk" } };
        });
        row("an earlier veto name is not printed", 5, thrice + "13/n", [](S &s) {
            s.attempts = { { S::resultRemoveVetoed, S::vetoDevice, L"explorer.exe" }, { S::resultFailure } };
        });
        row("a veto name filling the buffer is cut to it", 5, thrice + "17/n, VetoName=" + QString(259, 'v') + ")/n/n",
            [](S &s) { s.attempts = { { S::resultRemoveVetoed, S::vetoDevice, std::wstring(300, L'v') } }; });
    }

    void ejectDrive()
    {
        QFETCH(Script, script);
        auto owned = std::make_unique<FakeEjectSystem>();
        FakeEjectSystem &system = *owned;
        script(system);
        EjectLumetra ejector(std::move(owned));
        QTEST(int(ejector.ejectDrive("E")), "code");
        QTEST(system.calls.join(", "), "trace");
        QVERIFY2(system.open.empty(), "a handle or a device list was left open");
    }
};

QTEST_GUILESS_MAIN(TestEjectAlgorithm)
#include "tst_ejectalgorithm.moc"
