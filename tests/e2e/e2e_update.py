#!/usr/bin/python3
"""The whole update as a user meets it: the real program in its own X server, clicked at its
buttons' places (xdotool), screens told apart by a few pixels of a screenshot (ImageMagick's
import), against real volumes that carry the marker file. One row per thing a user or the unit
can run into. Usage: e2e_update.py <LumetraInstaller> <bundled lumetra.bin> <artefacts directory>
(ctest runs it as root with udisks of its own). Exits 0, 1 on a failure, 77 when it cannot run.
"""

import ctypes, os, random, re, shutil, subprocess, sys, tempfile, threading, time  # noqa: E401
from collections import namedtuple

LABELLED, ARROW, BACK, PARK = (740, 300), (770, 300), (30, 300), (30, 590)  # PARK: nothing reacts there
OLD_FIRMWARE = random.Random(1873).randbytes(200000)  # anything but the bundled image
SIZES = {"tmpfs": 320 << 10, "one": 480 << 10, "big": 4 << 20, "two": 4 << 20}  # the new image is 411,240 bytes

# volume: "fat" (FAT through fusefat, seen by the real fsck.fat), "udisks" (ext4 that udisks mounts and the removal
# unmounts), a tmpfs by its SIZES ("tmpfs": too small even in place of the old image, "one": room for one image
# only, "two": two units), None. fault: "pull" the drive, "strand" it (its mount point left behind) or "close" the
# window, while the disk "check", the "copy" or the device "flush" runs. outcome: "stepfour" (then Finish ends it),
# "failure" (the popup closes, Update is offered again) or "exit". firmware: "new", "old" or "whole" (either, never
# a part). fsck: the drive's checker finds it clean. flush: seconds the device's first flush takes.
Row = namedtuple("Row", "name volume version fault outcome firmware version_after fsck flush")
ROWS = [
    Row("unit at 1.8 on a FAT drive: updated, version written, then removed", "fat", b"1.8", None, "stepfour", "new", b"1.73", True, 0),
    Row("unit at 1.8 on a drive that udisks manages: updated, then unmounted by the removal", "udisks", b"1.8", None, "stepfour", "new", b"1.73", True, 0),
    Row("unit already at 1.73: nothing copied, removed, Step four at once", "fat", b"1.73", None, "stepfour", "old", b"1.73", True, 0),
    Row("no unit connected: not-detected picture, Update does nothing", None, None, None, None, None, None, False, 0),
    Row("drive too small for the firmware: failure shown, Update offered again", "tmpfs", b"1.8", None, "failure", "old", b"1.8", False, 0),
    Row("drive pulled while the disk check runs: failure shown, nothing claims success", "fat", b"1.8", ("pull", "check"), "failure", "old", b"1.8", False, 0),
    Row("drive pulled while the disk check runs, its mount point left: nothing written there", "fat", b"1.8", ("strand", "check"), "failure", "old", b"1.8", False, 0),
    Row("drive pulled while the copy runs: failure shown, nothing claims success", "fat", b"1.8", ("pull", "copy"), "failure", "old", b"1.8", False, 0),
    Row("window closed while the disk check runs: ends with 0, firmware whole", "fat", b"1.8", ("close", "check"), "exit", "whole", b"1.8", True, 0),
    Row("window closed while the copy runs: ends with 0, firmware whole", "fat", b"1.8", ("close", "copy"), "exit", "whole", b"1.8", True, 0),
    Row("a flush of 3 s: Step four only once the new firmware and 1.73 are on the drive", "big", b"1.8", None, "stepfour", "new", b"1.73", False, 3),
    Row("room for one image only: updated in place", "one", b"1.8", None, "stepfour", "new", b"1.73", False, 0),
    Row("two units, the updated one pulled during its flush: the other keeps its version", "two", b"1.8", ("pull", "flush"), "failure", "old", b"1.8", False, 2),
]


class Failure(Exception):
    """A step of the user's road that did not happen: what was expected and what was seen."""


def run(*command, check=True):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
    if check and result.returncode:
        raise Failure("%s failed: %s" % (" ".join(command), result.stdout.decode(errors="replace").strip()))
    return result.stdout.decode(errors="replace")


def wait(what, predicate, seconds=10):
    deadline = time.monotonic() + seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("gave up after %.0f s waiting for %s" % (seconds, what))
        time.sleep(0.02)


def read(path):
    return open(path, "rb").read() if os.path.isfile(path) else None


def write(path, data):
    open(path, "wb").write(data)


def mounted(path, under=False):
    return any(line.split()[1].startswith(path + "/") if under else line.split()[1] == path for line in open("/proc/self/mounts"))


def screen_of(data):
    """What a user sees on an 800x600 RGB screenshot: the screen, on Step three its picture and
    the state of Update, or "popup" while the progress popup dims the window."""
    def near(point, colour, tolerance=10):
        offset = (point[1] * 800 + point[0]) * 3
        return len(data) == 1440000 and all(abs(data[offset + i] - int(colour[1 + 2 * i:3 + 2 * i], 16)) <= tolerance for i in range(3))
    if not near((70, 580), "#ffffff", 8):
        return "popup" if near((249, 268), "#ffffff", 8) else "dimmed"
    button = "enabled" if near((684, 274), "#00ad4e", 6) else "disabled" if near((684, 274), "#dddddd", 6) else None
    arrow = near((744, 274), "#00ad4e", 6) and near((684, 274), "#ffffff", 6)
    back = near((4, 274), "#666666", 8)
    if button and back:
        picture = "detected" if near((566, 448), "#00ad4e") else "notdetected" if near((566, 448), "#e0493e") else "nopicture"
        return "StepThree %s %s" % (picture, button)
    if button:
        return "Home" if near((88, 140), "#00ad4e") else "Finish" if near((614, 300), "#00ad4e") else "unknown"
    return "unknown" if not arrow else "StepTwo" if back else "StepFour" if near((580, 445), "#01a84c") else "StepOne" if near((120, 300), "#ebeff2") else "unknown"


class Screen:
    """A private X server the size of the window, which sits at 0,0 without a window manager."""

    def __init__(self, artefacts):
        pipe, self.artefacts, self.seen_at = os.pipe(), artefacts, 0.0
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(pipe[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"],
                                     pass_fds=(pipe[1],), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(pipe[1])
        number = b""
        while not number.endswith(b"\n") and self.xvfb.poll() is None:  # the server writes the newline apart
            number += os.read(pipe[0], 16)
        os.close(pipe[0])
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), QT_QPA_PLATFORM="xcb", QT_QUICK_BACKEND="software")

    def x(self, *command):  # an X tool on this server
        return subprocess.run(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout

    def click(self, point):  # a hovered button shows another green: the screens are read with the pointer away
        # As a user, not within a double click of the screen's appearing: the screens ignore that.
        time.sleep(max(0.0, self.seen_at + 0.5 - time.monotonic()))
        self.x("xdotool", "mousemove", *map(str, point), "click", "1", "mousemove", *map(str, PARK))

    def wait_for(self, what, predicate, seconds=10):
        """Polls screenshots until predicate(screen) holds: (screen, when the shot was asked for)."""
        seen = [None, 0]

        def shot():
            seen[1] = time.monotonic()
            seen[0] = screen_of(self.x("import", "-window", "root", "-depth", "8", "rgb:-"))
            return predicate(seen[0])
        try:
            wait(what, shot, seconds)
            self.seen_at = seen[1]
            return seen
        except Failure as failure:
            self.x("import", "-window", "root", os.path.join(self.artefacts, "timeout.png"))
            raise Failure("%s; the screen showed %s" % (failure, seen[0]))

    def window(self):
        return self.x("xdotool", "search", "--onlyvisible", "--name", "Zentorlab Lumetra Update Tool").split()

    def close_window(self):
        """As a window manager does for the close box: WM_DELETE_WINDOW, which the program
        may act on in its own time."""
        window = int(wait("the window", self.window)[0])
        x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        x11.XOpenDisplay.restype, x11.XInternAtom.restype = ctypes.c_void_p, ctypes.c_ulong
        display = ctypes.c_void_p(x11.XOpenDisplay(self.env["DISPLAY"].encode()))
        atoms = [x11.XInternAtom(display, name, 0) for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW")]
        # XClientMessageEvent: type, serial, send_event, display, window, message_type, format, data
        x11.XSendEvent(display, ctypes.c_ulong(window), 0, 0, (ctypes.c_long * 24)(33, 0, 1, display.value, window, atoms[0], 32, atoms[1]))
        x11.XCloseDisplay(display)
        wait("the window to go", lambda: not self.window())

    def walk_to_step_three(self):
        """Start, the arrow of Step one, the arrow of Step two: Step three as a user reaches it."""
        for screen, button in (("Home", LABELLED), ("StepOne", ARROW), ("StepTwo", ARROW)):
            self.wait_for(screen, lambda seen: seen == screen, 20)
            self.click(button)
        return self.wait_for("Step three", lambda seen: seen.startswith("StepThree"))[0]


class Program:
    """The real program on the X server, its diagnostic lines kept with the time they came."""

    def __init__(self, executable, screen, workdir, prefix=(), path=None):
        # No session bus: the program must not wait for one.
        environment = dict(screen.env, PATH=(path + ":" if path else "") + os.environ["PATH"], DBUS_SESSION_BUS_ADDRESS="")
        if prefix:  # LeakSanitizer cannot work under a tracer: in a sanitizer build it would fail the program's end
            environment["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        self.lines, self.watches, self.log = [], [], os.path.join(screen.artefacts, "program.log")
        self.process = subprocess.Popen(list(prefix) + [executable], cwd=workdir, env=environment, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        with open(self.log, "wb") as log:
            for raw in self.process.stdout:
                log.write(raw)
                line = raw.decode(errors="replace").rstrip("\n")
                for pattern, action in self.watches:
                    if re.search(pattern, line):
                        action()
                self.lines.append((time.monotonic(), line))

    def find(self, pattern):
        return [(when, line) for when, line in list(self.lines) if re.search(pattern, line)]

    def wait_line(self, pattern, seconds=20):
        return wait(pattern, lambda: self.find(pattern), seconds)

    def wait_exit(self, seconds=20):
        wait("the program to end", lambda: self.process.poll() is not None, seconds)
        return self.process.returncode


class Volume:
    """One unit's drive, mounted at <workdir>/<name>, holding the old firmware and a version."""

    def __init__(self, kind, workdir, name, version):
        self.kind, self.root, self.image, self.fuse = kind, os.path.join(workdir, name), os.path.join(workdir, name + ".img"), None
        if kind in ("udisks", "fat"):
            run("truncate", "-s", "16M", self.image)
            run("mkfs.ext4", "-q", self.image) if kind == "udisks" else run("mkfs.fat", self.image)  # no label: fusefat lists it as a file
        if kind == "udisks":
            self.loop = wait("udisks", lambda: re.findall(r" as (/dev/loop\d+)", run("udisksctl", "loop-setup", "--no-user-interaction", "-f", self.image, check=False)))[0]
            self.root = wait("udisks to mount", lambda: re.findall(r" at (/.+)$", run("udisksctl", "mount", "--no-user-interaction", "-b", self.loop, check=False).strip()))[0]
        else:
            os.mkdir(self.root)
        if kind == "fat":  # on a loop device, so that the program's real fsck.fat looks at it
            self.loop = run("losetup", "--find", "--show", self.image).strip()
            self.mount_fat("rw+,subtype=fusefat,fsname=" + self.loop)
        elif kind in SIZES:
            run("mount", "-t", "tmpfs", "-o", "size=%d" % SIZES[kind], "tmpfs", self.root)
        [write(os.path.join(self.root, name), data) for name, data in (("lumetra.bin", OLD_FIRMWARE), ("Version.txt", version))]

    def mount_fat(self, options):
        self.fuse = subprocess.Popen(["fusefat", "-f", "-o", options, self.loop, self.root], stderr=subprocess.DEVNULL)
        wait("fusefat", lambda: mounted(self.root))

    def pull(self, keep_mount_point):
        """The cable comes out: the mount goes and its requests fail; the root goes too, as a drive
        letter vanishes, unless the mount point stays behind on the computer's own disk."""
        self.close()
        return keep_mount_point or os.rmdir(self.root)

    def files(self):
        """lumetra.bin, Version.txt and the listing of the root, as the unit holds them."""
        if self.kind in ("fat", "udisks") and not mounted(self.root):
            os.makedirs(self.root, exist_ok=True)
            self.mount_fat("ro") if self.kind == "fat" else run("mount", "-o", "ro", self.loop, self.root)
        return [read(os.path.join(self.root, name)) for name in ("lumetra.bin", "Version.txt")] + [sorted(set(os.listdir(self.root)) - {"lost+found"})]

    def fsck(self):
        """Complaints of the file system's checker about the unmounted drive. fusefat (0.1a) loses
        the cluster of a file cut to zero and written again, as every rewrite in place of
        Version.txt does: that complaint about that file alone is its own, not the program's."""
        self.close(lazy=False)
        output = run("fsck.fat", "-n", self.image, check=False) if self.kind == "fat" else run("e2fsck", "-fn", self.image, check=False)
        noise = r"^(fsck\.fat |e2fsck |Pass \d|Leaving filesystem|/Version\.txt$|\s+.*(cluster chain|Truncating|free cluster)|.*files?\b.*(clusters|blocks)$)"
        return [line for line in output.splitlines() if line.strip() and not re.match(noise, line, re.I)]

    def close(self, lazy=True):  # lazy: at once, like a pull; else once fusefat has written everything to the image
        run("umount", *["-l"][:lazy], self.root, check=not lazy) if mounted(self.root) else None
        return self.fuse and (lazy and self.fuse.kill(), self.fuse.wait(10))

    def release(self):
        self.close()
        return self.kind in ("fat", "udisks") and run("losetup", "-d", self.loop, check=False)


def check(condition, message):
    if not condition:
        raise Failure(message)


def play(row, executable, bundled, work, artefacts, notes, cleanup):
    screen = Screen(artefacts)
    cleanup.append(lambda: (screen.xvfb.terminate(), screen.xvfb.wait()))
    units = [Volume(row.volume, work, name, row.version) for name in ("unit", "other")[:2 if row.volume == "two" else 1 if row.volume else 0]]
    cleanup += [unit.release for unit in units]
    what, when = row.fault or (None, None)
    checker = os.path.join(work, "checker") if when == "check" else None
    if checker:  # a fsck.fat first in the program's PATH that holds the check until the test lets it go
        os.mkdir(checker)
        write(checker + "/fsck.fat", ("#!/bin/sh\ntouch %s/started\nwhile [ ! -e %s/go ]; do sleep 0.02; done\nexec %s \"$@\"\n"
                                      % (checker, checker, shutil.which("fsck.fat"))).encode())
        os.chmod(checker + "/fsck.fat", 0o755)
    # A slow drive: its first flush in each thread, or every write of the copy (so that the copy takes seconds).
    call, delay = ("fsync,fdatasync", "%d:when=1" % (row.flush * 1000000)) if row.flush else ("write", "10000")
    prefix = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-e", "trace=" + call, "-e", "inject=%s:delay_enter=%s" % (call, delay)]
    program = Program(executable, screen, work, prefix if row.flush or when == "copy" else [], checker)
    cleanup.append(lambda: program.process.poll() is None and (program.process.kill(), program.process.wait()))
    at_removal = []  # the removal starts with this line and a second's pause: the drive as it is then
    program.watches.append((r"^lumetra\.backend: diskName", lambda: at_removal.append([read(os.path.join(units[0].root, name)) for name in ("lumetra.bin", "Version.txt")])))

    seen = screen.walk_to_step_three()
    check(seen == ("StepThree detected enabled" if units else "StepThree notdetected disabled"), "Step three shows %s" % seen)
    clicked = time.monotonic()
    screen.click(LABELLED)
    if not units:  # Back after Update: once Step two shows, the click on Update has been seen
        screen.click(BACK)
        screen.wait_for("Step two", lambda seen: seen == "StepTwo")
        check(not program.find("doesLumetraNeedUpdate|diskName|FileCopyThread"), "the disabled Update button started something")
        screen.close_window()
    if what:
        if when == "check":
            wait("the disk check", lambda: os.path.exists(checker + "/started"))
        else:  # a fifth into the slow copy, or the flush after the last block
            program.wait_line(r"copy file progress: (0\.[2-9])" if when == "copy" else r"copy file progress: (1 |0\.99)")
        screen.close_window() if what == "close" else units[0].pull(what == "strand")
        if checker:
            write(checker + "/go", b"")
    if row.outcome == "stepfour":
        popup = []
        seen, shown = screen.wait_for("Step four", lambda seen: popup.append(seen == "popup") or seen == "StepFour", 20)
        notes.append("Step four %.2f s after Update" % (shown - clicked))
        check(any(popup) == (row.firmware == "new"), "a progress popup %s" % ("never showed" if any(popup) else "showed for a unit at 1.73"))
        removal = program.find(r"^lumetra\.backend: diskName")
        check(removal and removal[0][0] < shown, "Step four came without a removal request before it")
        if row.firmware == "new":
            check(at_removal[0] == [bundled, b"1.73"], "when the removal began the drive held %s" % [len(f or b"") for f in at_removal[0]])
        else:
            check(not program.find("FileCopyThread|copy file progress"), "a copy ran for an up-to-date unit")
        refused = program.find("uninstallUsb failed")  # only udisks knows how to remove a drive here
        check(not refused and not mounted(units[0].root) if row.volume == "udisks" else refused, "the removal did not unmount the drive, or said so")
        if row.volume == "fat" and row.firmware == "new":
            check(program.find(r"checkDisk result:.*/dev/loop"), "the real disk check did not run")
        screen.click(ARROW)
        screen.wait_for("Finish", lambda seen: seen == "Finish")
        screen.click(LABELLED)
    elif row.outcome == "failure":
        failures = len(program.wait_line(r"failed|interrupted|gone"))
        screen.wait_for("the failure shown", lambda seen: seen == "StepThree detected enabled", 20)
        if not what:  # offered again means it works again: a second try meets the same drive
            screen.click(LABELLED)
            wait("a second failure", lambda: len(program.find(r"failed")) > failures, 20)
            screen.wait_for("the second failure shown", lambda seen: seen == "StepThree detected enabled", 20)
        check(not program.find(r"^lumetra\.backend: diskName"), "a removal was requested after a failed update")
        screen.close_window()
    status = program.wait_exit()
    check(status == 0 and not program.find(r"QThread: Destroyed|ASSERT|Segmentation"), "the program ended with %d or crashed" % status)
    cut = [float(line.split()[4]) for _, line in program.find(r"^lumetra\.progress: copy file progress: ")]
    check(when != "check" or not cut, "the copy went on after the fault, up to %s" % cut[-1:])
    check(when != "copy" or cut and 0 < cut[-1] < 1, "the fault did not land inside the copy (%s)" % cut[-1:])
    if units:
        left = os.path.isdir(units[0].root) and not mounted(units[0].root) and os.listdir(units[0].root)
        check(not left, "the computer's own disk got %s where the drive was" % left)
        firmware, version, listing = units[-1].files()
        check(what in ("pull", "strand") and row.volume != "two" or listing == ["Version.txt", "lumetra.bin"], "the drive holds %s" % listing)
        check(firmware in {"new": [bundled], "old": [OLD_FIRMWARE], "whole": [bundled, OLD_FIRMWARE]}[row.firmware] and version == row.version_after,
              "lumetra.bin holds %d bytes (%s firmware expected), Version.txt %r" % (len(firmware or b""), row.firmware, version))
        check(not row.fsck or not units[0].fsck(), "the drive's checker found faults: %s" % (row.fsck and units[0].fsck()))


def main(arguments):
    if len(arguments) != 4:
        return print(__doc__) or 2
    executable, bundled, artefacts = arguments[1], read(arguments[2]), arguments[3]
    tools = [tool for tool in ("Xvfb", "xdotool", "import", "mkfs.fat", "fsck.fat", "fusefat", "strace", "losetup") if not shutil.which(tool)]
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1" or tools or not os.path.exists("/dev/fuse"):
        return print("SKIP: needs root in a private mount namespace (ctest as root), /dev/fuse and %s (scripts/install-deps.sh)" % tools) or 77
    # A marker on another volume would be the unit found.
    other = [root for root in (line.split()[1] for line in open("/proc/self/mounts")) if os.path.isfile(root + "/lumetra.bin")]
    udisks, failed = subprocess.run(["udisksctl", "status"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0, 0
    for number, row in enumerate(ROWS, 1):
        if row.volume is None and other or row.volume == "udisks" and not udisks:
            print("SKIP: %s: %s" % (row.name, "lumetra.bin is on %s" % other if other else "no udisks (dbus, udev, udisks2)"))
            continue
        notes, cleanup, started, work, row_artefacts = [], [], time.monotonic(), tempfile.mkdtemp(prefix="lumetra-e2e-"), os.path.join(artefacts, str(number))
        shutil.rmtree(row_artefacts, ignore_errors=True) or os.makedirs(row_artefacts)
        try:
            play(row, executable, bundled, work, row_artefacts, notes, cleanup)
            print("PASS: %s: %s (%.1f s)" % (row.name, "; ".join(notes), time.monotonic() - started))
        except Exception as error:
            failed += 1
            print("FAIL: %s: %s; seen so far: %s; screenshots and program.log in %s" % (row.name, error, "; ".join(notes) or "nothing", row_artefacts))
        [part() for part in reversed(cleanup)]  # nothing of this row may stay mounted or running
        mounted(work, under=True) or shutil.rmtree(work, ignore_errors=True)  # never through a mount that did not go
        sys.stdout.flush()
    print("%d rows, %d failed" % (len(ROWS), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
