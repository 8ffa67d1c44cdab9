#!/usr/bin/python3
"""The whole update as a user meets it: the real program in a real window, clicked at its
buttons' places, against a real volume that carries the marker file. One row per thing a
user or the unit can run into; each row says what the screens, the program and the unit
must show afterwards.

    e2e_update.py <LumetraInstaller> <bundled lumetra.bin> <directory for screenshots>

ctest runs it as root in private mount and PID namespaces (ctest -R e2e_update).

Prints one PASS/FAIL/SKIP line per row and "N passed, N failed[, N skipped]"; exits 0,
1 on a failure, 77 when this machine cannot run it at all.
"""

import os
import random
import shutil
import sys
import time
from collections import namedtuple

try:
    import uidriver as ui
    from uidriver import DriverError
except ImportError as missing:  # python3-xlib, from scripts/install-deps.sh
    ui = None
    DriverError = RuntimeError
    MISSING_MODULE = str(missing)

# The firmware the unit carries before the update: anything but the bundled image.
OLD_FIRMWARE = random.Random(1873).randbytes(200000)

# volume: "fat" (a FAT image through fusefat, checked by the real fsck.fat), "udisks" (ext4
# that udisks mounts, so the removal can unmount it), "tmpfs" (too small), None (no unit).
# version: what Version.txt holds before.
# fault: None, or (what happens, while what runs): "pull" the drive, "strand" it (pull it, leaving its mount point) or "close" the window,
# while the disk "check" or the "copy" runs.
# outcome: "stepfour" (Step four, then Finish ends the program), "failure" (the popup closes
# and "Update" is offered again), "exit" (the program ends by itself).
# firmware afterwards: "new" (the bundled image), "old" (untouched), "whole" (one of them,
# never a part). fsck: the file system's checker finds the drive clean afterwards.
Row = namedtuple("Row", "name volume version fault outcome firmware version_after fsck")

ROWS = [
    Row("unit at 1.8 on a FAT drive: updated, version written, then removed",
        "fat", b"1.8", None, "stepfour", "new", b"1.73", True),
    Row("unit at 1.8 on a drive that udisks manages: updated, then unmounted by the removal",
        "udisks", b"1.8", None, "stepfour", "new", b"1.73", True),
    Row("unit already at 1.73: nothing copied, removed, Step four at once",
        "fat", b"1.73", None, "stepfour", "old", b"1.73", True),
    Row("no unit connected: not-detected picture, Update does nothing",
        None, None, None, None, None, None, False),
    Row("drive too small for the firmware: failure shown, Update offered again",
        "tmpfs", b"1.8", None, "failure", "old", b"1.8", False),
    Row("drive pulled while the disk check runs: failure shown, nothing claims success",
        "fat", b"1.8", ("pull", "check"), "failure", "old", b"1.8", False),
    Row("drive pulled while the disk check runs, its mount point left behind: nothing written there",
        "fat", b"1.8", ("strand", "check"), "failure", "old", b"1.8", False),
    Row("drive pulled while the copy runs: failure shown, nothing claims success",
        "fat", b"1.8", ("pull", "copy"), "failure", "old", b"1.8", False),
    Row("window closed while the disk check runs: ends with 0, firmware whole",
        "fat", b"1.8", ("close", "check"), "exit", "whole", b"1.8", True),
    Row("window closed while the copy runs: ends with 0, firmware whole",
        "fat", b"1.8", ("close", "copy"), "exit", "whole", b"1.8", True),
]

# Every answer of a slow drive comes this late: the copy's hundred-odd requests take seconds.
SLOW_REPLY_MS = 20

FAULT_WORDS = {"pull": "pulled", "strand": "pulled leaving its mount point", "close": "closed"}

# Small enough that the new image (411,240 bytes) cannot be written beside the old one.
TOO_SMALL_BYTES = 320 * 1024


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class FusefatTruncateFault:
    """fusefat (0.1a) loses the cluster of a file that is cut to zero and written again:
    fsck.fat then finds a size with no cluster chain. Every program that rewrites a file
    in place meets it, so it is measured once, without the program, and only that exact
    complaint about that one file is forgiven in the program's runs."""

    def __init__(self):
        self.present = None

    def measure(self, scratch):
        if self.present is not None:
            return self.present
        directory = os.path.join(scratch, "fusefat-control")
        os.mkdir(directory)
        volume = ui.FatVolume(directory)
        try:
            path = os.path.join(volume.root, "Version.txt")
            ui.write_file(path, b"1.8")
            descriptor = os.open(path, os.O_WRONLY | os.O_TRUNC)
            os.write(descriptor, b"1.73")
            os.close(descriptor)
            status, _ = volume.fsck()
            self.present = status != 0
        finally:
            volume.close()
        return self.present


TRUNCATE_FAULT = FusefatTruncateFault()


def fsck_complaints(output):
    """fsck.fat's complaints as (file or None, text); the banner and summary are no complaint."""
    complaints = []
    current = None
    for line in output.splitlines():
        if not line.strip() or line.startswith("fsck.fat ") or line == "Leaving filesystem unchanged." \
                or " files, " in line and "clusters" in line:
            continue
        if line.startswith("/"):
            current = line.strip()
        elif line.startswith("  ") and current:
            complaints.append((current, line.strip()))
        else:
            current = None
            complaints.append((None, line.strip()))
    return complaints


def check_fsck(session, notes):
    volume = session.volume
    status, output = volume.fsck()
    tool = "fsck.fat -n" if isinstance(volume, ui.FatVolume) else "e2fsck -fn"
    if status == 0:
        notes.append("%s clean" % tool)
        return
    complaints = fsck_complaints(output)
    forgiven = isinstance(volume, ui.FatVolume) and complaints \
        and all(path == "/Version.txt" and ("free cluster" in text or "cluster chain" in text
                                            or "Truncating" in text)
                for path, text in complaints)
    check(forgiven and TRUNCATE_FAULT.measure(session.workdir),
          "%s found faults on the drive:\n%s" % (tool, output))
    notes.append("fsck.fat -n clean but for fusefat's own rewrite fault on Version.txt")


def prepare_unit(session, row):
    if row.volume == "fat":
        slow = row.fault is not None and row.fault[1] == "copy"
        session.volume = ui.FatVolume(session.workdir, SLOW_REPLY_MS if slow else 0)
    elif row.volume == "udisks":
        reason = ui.udisks_missing()
        if reason:
            raise Skip(reason)
        session.udisks = ui.UdisksSystem(session.workdir)
        session.volume = ui.UdisksVolume(session.workdir, session.udisks)
    else:
        session.volume = ui.TmpfsVolume(session.workdir, TOO_SMALL_BYTES)
    ui.write_file(os.path.join(session.volume.root, "lumetra.bin"), OLD_FIRMWARE)
    ui.write_file(os.path.join(session.volume.root, "Version.txt"), row.version)


def no_other_unit():
    """A marker file on some other volume would be the unit the program finds."""
    with open("/proc/self/mounts") as mounts:
        for line in mounts:
            root = line.split()[1].replace("\\040", " ")
            if os.path.isfile(os.path.join(root, "lumetra.bin")):
                return root
    return None


def play_no_unit(session, notes):
    screen = session.screen
    session.start()
    look = session.walk_to_step_three()
    check(look.detected is False, "Step three shows %s" % look.describe())
    check(look.forward == ("labelled", "disabled"), "the Update button is %s" % (look.forward,))
    screen.click(ui.LABELLED_FORWARD)
    # Back is handled after the Update click: once Step two shows, the click has been seen.
    screen.click(ui.BACK)
    screen.wait_screen("StepTwo")
    check(not session.program.find("doesLumetraNeedUpdate|diskName|FileCopyThread"),
          "the disabled Update button started something")
    notes.append("not-detected picture, grey Update; a click on it asked nothing")
    screen.close_window()
    status = session.program.wait_exit()
    check(status == 0, "the program ended with %d after its window was closed" % status)


def wait_failure_shown(session, notes):
    """The popup closes and the ready Step three returns with a green "Update"."""
    look = session.screen.wait_for(
        "the failure: Step three without the popup and a green Update button",
        lambda look: look.screen == "StepThree" and not look.popup
        and look.forward == ("labelled", "enabled"), 20)
    check(look.detected is True, "after the failure Step three shows %s" % look.describe())
    notes.append("failure shown, Update offered again")


def apply_fault(session, row, checker):
    what, when = row.fault
    program = session.program
    if when == "check":
        checker.wait_started()
    else:
        # The slow drive takes seconds for the copy: a fifth of it is well inside.
        program.wait_line(r"copy file progress: 0\.[2-9]", 20)
    if what in ("pull", "strand"):
        session.volume.pull(keep_mount_point=what == "strand")
    else:
        session.screen.close_window()
        ui.wait_until("the window to go", lambda: session.screen.top_window() is None, 10)
    if checker:
        checker.release()


def copy_cut_at(program):
    """The last fraction the copy reported, or None when it reported none."""
    lines = program.find(r"^copy file progress: ")
    return float(lines[-1][1].split()[3]) if lines else None


def expect_step_four(session, row, clicked, notes):
    popup_seen = [False]

    def step_four(look):
        popup_seen[0] = popup_seen[0] or look.popup
        return look.screen == "StepFour"

    session.screen.wait_for("Step four", step_four, 20)
    notes.append("Step four %.2f s after Update" % (time.monotonic() - clicked))
    program = session.program
    if row.firmware == "new":
        check(popup_seen[0], "no progress popup was shown during the update")
    else:
        check(not popup_seen[0], "a progress popup was shown for a unit that needs no update")
        check(not program.find("FileCopyThread|copy file progress"), "a copy ran for an up-to-date unit")
    check(program.find(r"^diskName"), "no removal was requested")
    # The removal is over before Step four shows: udisks has unmounted the drive by then.
    # Elsewhere no udisks knows the drive, and the refusal comes with its code.
    refused = program.find(r"LumetraInstaller::uninstallUsb failed")
    if row.volume == "udisks":
        check(not refused and not session.volume.is_mounted(),
              "the drive is still mounted after the removal (%s)"
              % (refused[0][1] if refused else "no failure logged"))
        notes.append("removal requested; udisks unmounted the drive")
    else:
        check(refused, "the removal neither unmounted the drive nor reported a failure")
        notes.append("removal requested (refused with code %s, no udisks here)" % refused[0][1].split()[-1])


def expect_failure(session, row, clicked, notes):
    program = session.program
    # The worker names why it gave up: a failed step, a stop, or a drive that went away.
    program.wait_line(r"failed|interrupted|the drive is gone", 20)
    wait_failure_shown(session, notes)
    if row.fault is None:
        # Offered again means it works again: a second try meets the same full drive.
        failures = len(program.find(r"failed"))
        session.screen.click(ui.LABELLED_FORWARD)
        ui.wait_until("a second failure", lambda: len(program.find(r"failed")) > failures, 20)
        wait_failure_shown(session, [])
        notes.append("a second Update failed the same way")
    check(not program.find(r"^diskName"), "a removal was requested after a failed update")
    session.screen.close_window()


def end_of_program(session, row, notes):
    program = session.program
    if row.outcome == "stepfour":
        screen = session.screen
        screen.click(ui.ARROW_FORWARD)
        screen.wait_screen("Finish")
        screen.click(ui.LABELLED_FORWARD)
    status = program.wait_exit(20)
    how = "Finish" if row.outcome == "stepfour" else "closing the window"
    check(status == 0, "%s ended the program with %d" % (how, status))
    check(not program.find(r"QThread: Destroyed|ASSERT|Segmentation"), "the program reported a crash")
    notes.append("%s ended it with 0" % how)


def check_unit(session, row, bundled, notes):
    names = ["lumetra.bin", "Version.txt"]
    found, listing = session.volume.read_files(names)
    pulled = row.fault is not None and row.fault[0] in ("pull", "strand")
    if pulled:
        stranded = session.volume.stranded_files()
        check(not stranded, "the computer's own disk got %s where the drive was" % stranded)
    # A pulled drive may keep the remains of the file that was being written; the unit
    # looks at lumetra.bin only.
    ignored = {"lost+found"} if row.volume == "udisks" else set()
    check(pulled or set(listing) - ignored == set(names), "the drive holds %s" % listing)
    firmware = found["lumetra.bin"]
    expected = {"new": [bundled], "old": [OLD_FIRMWARE], "whole": [bundled, OLD_FIRMWARE]}[row.firmware]
    check(firmware in expected, "lumetra.bin holds %s bytes, not the %s firmware"
          % (len(firmware) if firmware is not None else "no",
             {"new": "bundled", "old": "old", "whole": "old or the complete new"}[row.firmware]))
    notes.append("firmware %s" % ("new" if firmware == bundled else "old, intact"))
    check(found["Version.txt"] == row.version_after,
          "Version.txt holds %r, expected %r" % (found["Version.txt"], row.version_after))
    if row.fsck:
        check_fsck(session, notes)


def play(session, row, bundled, notes):
    if row.volume is None:
        play_no_unit(session, notes)
        return
    checker = None
    if row.fault and row.fault[1] == "check":
        checker = ui.HeldChecker(session.workdir)
    prepare_unit(session, row)
    program = session.start(checker.directory if checker else None)
    # The removal begins with this line and a one-second pause: the drive as it is then.
    version_at_removal = []
    program.on_line(r"^diskName", lambda line: version_at_removal.append(
        ui.read_file(os.path.join(session.volume.root, "Version.txt"))))

    look = session.walk_to_step_three()
    check(look.detected is True and look.forward == ("labelled", "enabled"),
          "with the unit connected Step three shows %s" % look.describe())
    clicked = time.monotonic()
    session.screen.click(ui.LABELLED_FORWARD)
    if row.fault:
        apply_fault(session, row, checker)
    # "exit": the fault closed the window; the program ends by itself.
    expect = {"stepfour": expect_step_four, "failure": expect_failure}.get(row.outcome)
    if expect:
        expect(session, row, clicked, notes)

    if row.fault:
        cut = copy_cut_at(program)
        if row.fault[1] == "check":
            check(cut is None, "the copy went on after the fault, up to %s" % cut)
            notes.append("%s while the disk check ran" % FAULT_WORDS[row.fault[0]])
        else:
            check(cut is not None and 0 < cut < 1, "the fault did not land inside the copy (%s)" % cut)
            notes.append("%s at %d%% of the copy" % (FAULT_WORDS[row.fault[0]], int(cut * 100)))
    if row.firmware == "new":
        check(version_at_removal == [b"1.73"],
              "at the removal request Version.txt held %r" % version_at_removal)
        notes.append("Version.txt was 1.73 when the removal began")
    if row.volume == "fat" and row.firmware == "new":
        check(program.find(r"checkDisk result:.*/dev/loop"), "the real disk check did not run")
        notes.append("the real fsck.fat checked the drive first")

    end_of_program(session, row, notes)
    check_unit(session, row, bundled, notes)


def main(arguments):
    if len(arguments) != 4:
        print(__doc__)
        return 2
    executable, bundled_path, artefacts = arguments[1:]
    reason = ("%s (scripts/install-deps.sh installs python3-xlib)" % MISSING_MODULE) if ui is None \
        else ui.missing_tools()
    if reason:
        print("SKIP: the whole end-to-end test: %s" % reason)
        print("0 passed, 0 failed, %d skipped" % len(ROWS))
        return 77
    bundled = ui.read_file(bundled_path)
    other = no_other_unit()
    os.makedirs(artefacts, exist_ok=True)
    passed = failed = skipped = 0
    for number, row in enumerate(ROWS, 1):
        if row.volume is None and other:
            print("SKIP: %s: a volume at %s already carries lumetra.bin" % (row.name, other))
            skipped += 1
            continue
        notes = []
        row_artefacts = os.path.join(artefacts, "%d" % number)
        shutil.rmtree(row_artefacts, ignore_errors=True)
        started = time.monotonic()
        try:
            with ui.Session(executable, row_artefacts) as session:
                try:
                    play(session, row, bundled, notes)
                finally:
                    if session.program:
                        session.program.stop()
                        os.replace(session.program.log_path, os.path.join(row_artefacts, "program.log"))
            print("PASS: %s: %s (%.1f s)" % (row.name, "; ".join(notes), time.monotonic() - started))
            passed += 1
        except Skip as reason:
            print("SKIP: %s: %s" % (row.name, reason))
            skipped += 1
        except Exception as error:
            if not isinstance(error, (Failure, DriverError)):
                error = "%s: %s" % (type(error).__name__, error)
            print("FAIL: %s: %s; seen so far: %s; screenshots and program.log in %s"
                  % (row.name, error, "; ".join(notes) or "nothing", row_artefacts))
            failed += 1
        sys.stdout.flush()
    line = "%d passed, %d failed" % (passed, failed)
    if skipped:
        line += ", %d skipped" % skipped
    print(line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
