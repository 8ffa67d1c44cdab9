#!/usr/bin/python3
"""The whole update as a user meets it: the real program in its own X server, clicked at its
buttons' places (xdotool), screens told apart by a few pixels of a screenshot (ImageMagick's
import), against a real FAT drive (fusefat on a loop device, seen by the real fsck.fat) that
carries the marker file. The finer cases (full, read-only, stranded or two drives, in place)
are the worker's, the backend's and the command line's tests. Usage: e2e_update.py
<LumetraInstaller> <bundled lumetra.bin> <artefacts directory> (ctest runs it as root with
udisks of its own). Exits 0, 1 on a failure, 77 when it cannot run.
"""

import ctypes, json, os, random, re, shutil, subprocess, sys, tempfile, threading, time  # noqa: E401
from collections import namedtuple

LABELLED, ARROW, PARK = (740, 300), (770, 300), (30, 590)  # PARK: nothing reacts there
OLD_FIRMWARE = random.Random(1873).randbytes(200000)  # anything but the bundled image

# fault: "pull" the drive or "close" the window a fifth into the copy (slowed down by strace).
# outcome: "stepfour" (then Finish ends it), "failure" (Update is offered again) or "exit".
# firmware afterwards: "new", "old" or "whole" (either, never a part). history: the record's outcome.
Row = namedtuple("Row", "name fault outcome firmware version_after history")
ROWS = [
    Row("unit at 1.8: checked, updated, version written, then removed", None, "stepfour", "new", b"1.73", "updated"),
    Row("drive pulled during the copy: failure shown, nothing claims success", "pull", "failure", "old", b"1.8",
        "failed"),
    Row("window closed during the copy: ends with 0, firmware whole, on record", "close", "exit", "whole", b"1.8",
        "failed"),
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
    points = [line.split()[1] for line in open("/proc/self/mounts")]
    return any(point.startswith(path + "/") if under else point == path for point in points)


def screen_of(data):
    """What a user sees on an 800x600 RGB screenshot: the screen, on Step three the state of
    Update, or "popup" while the progress popup dims the window."""
    def near(point, colour, tolerance=6):
        offset = (point[1] * 800 + point[0]) * 3
        return len(data) == 1440000 and all(abs(data[offset + i] - int(colour[1 + 2 * i:3 + 2 * i], 16)) <= tolerance
                                            for i in range(3))
    if not near((70, 580), "#ffffff", 8):
        return "popup" if near((249, 268), "#ffffff", 8) else "dimmed"
    button = "enabled" if near((684, 274), "#00ad4e") else "disabled" if near((684, 274), "#dddddd") else None
    arrow = near((744, 274), "#00ad4e") and near((684, 274), "#ffffff")
    back = near((4, 274), "#666666", 8)
    if button and back:
        return "StepThree " + button
    if button:
        return "Home" if near((88, 140), "#00ad4e", 10) else "Finish" if near((614, 300), "#00ad4e", 10) else "?"
    if not arrow:
        return "?"
    return "StepTwo" if back else "StepFour" if near((580, 445), "#01a84c", 10) else "StepOne"


class Screen:
    """A private X server the size of the window, which sits at 0,0 without a window manager."""

    def __init__(self, artefacts):
        pipe, self.artefacts, self.seen_at = os.pipe(), artefacts, 0.0
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(pipe[1]), "-screen", "0", "800x600x24", "-nolisten",
                                      "tcp", "-noreset"], pass_fds=(pipe[1],), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(pipe[1])
        number = b""
        while not number.endswith(b"\n") and self.xvfb.poll() is None:  # the server writes the newline apart
            number += os.read(pipe[0], 16)
        os.close(pipe[0])
        self.env = dict(os.environ, DISPLAY=":" + number.decode().strip(), QT_QPA_PLATFORM="xcb",
                        QT_QUICK_BACKEND="software")

    def x(self, *command):  # an X tool on this server
        return subprocess.run(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout

    def click(self, point):  # a hovered button shows another green: the screens are read with the pointer away
        # As a user, not within a double click of the screen's appearing: the screens ignore that.
        time.sleep(max(0.0, self.seen_at + 0.5 - time.monotonic()))
        self.x("xdotool", "mousemove", *map(str, point), "click", "1", "mousemove", *map(str, PARK))

    def wait_for(self, what, wanted, seconds=10, seen=None):
        """Polls screenshots until the screen is the wanted one; seen collects every screen met."""
        shots = seen if seen is not None else []

        def shot():
            shots.append(screen_of(self.x("import", "-window", "root", "-depth", "8", "rgb:-")))
            self.seen_at = time.monotonic()
            return shots[-1] == wanted
        try:
            wait(what, shot, seconds)
            return self.seen_at
        except Failure as failure:
            self.x("import", "-window", "root", os.path.join(self.artefacts, "timeout.png"))
            raise Failure("%s; the screen showed %s" % (failure, shots[-1:]))

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
        event = (ctypes.c_long * 24)(33, 0, 1, display.value, window, atoms[0], 32, atoms[1])
        x11.XSendEvent(display, ctypes.c_ulong(window), 0, 0, event)
        x11.XCloseDisplay(display)
        wait("the window to go", lambda: not self.window())


class Program:
    """The real program on the X server, its diagnostic lines kept with the time they came."""

    def __init__(self, executable, screen, workdir, slow):
        # No session bus: the program must not wait for one. History and logs of this row alone.
        environment = dict(screen.env, DBUS_SESSION_BUS_ADDRESS="", XDG_DATA_HOME=os.path.join(workdir, "data"))
        prefix = []
        if slow:  # every write delayed, so that the copy takes seconds and a fault lands inside it
            prefix = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-e", "trace=write",
                      "-e", "inject=write:delay_enter=10000"]
            # LeakSanitizer cannot work under a tracer: in a sanitizer build it would fail the program's end.
            environment["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        self.lines, self.at_removal, self.log = [], [], os.path.join(screen.artefacts, "program.log")
        self.history = os.path.join(workdir, "data", "LumetraInstaller", "history.jsonl")
        self.process = subprocess.Popen(prefix + [executable], cwd=workdir, env=environment,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.unit = os.path.join(workdir, "unit")
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        with open(self.log, "wb") as log:
            for raw in self.process.stdout:
                log.write(raw)
                line = raw.decode(errors="replace").rstrip("\n")
                if line.startswith("lumetra.backend: diskName"):  # the removal begins, a second before it acts: the drive then
                    self.at_removal.append([read(os.path.join(self.unit, name)) for name in ("lumetra.bin",
                                                                                            "Version.txt")])
                self.lines.append((time.monotonic(), line))

    def find(self, pattern):
        return [(when, line) for when, line in list(self.lines) if re.search(pattern, line)]

    def wait_exit(self, seconds=20):
        wait("the program to end", lambda: self.process.poll() is not None, seconds)
        return self.process.returncode


class Volume:
    """The unit's FAT drive, mounted at <workdir>/unit, holding the old firmware and 1.8."""

    def __init__(self, workdir):
        self.root, self.image = os.path.join(workdir, "unit"), os.path.join(workdir, "unit.img")
        run("truncate", "-s", "16M", self.image)
        run("mkfs.fat", self.image)  # no label: fusefat would list it as a file
        os.mkdir(self.root)
        self.loop = run("losetup", "--find", "--show", self.image).strip()
        self.mount("rw+,subtype=fusefat,fsname=" + self.loop)  # the loop device named: the real fsck.fat finds it
        write(os.path.join(self.root, "lumetra.bin"), OLD_FIRMWARE)
        write(os.path.join(self.root, "Version.txt"), b"1.8")

    def mount(self, options):
        self.fuse = subprocess.Popen(["fusefat", "-f", "-o", options, self.loop, self.root], stderr=subprocess.DEVNULL)
        wait("fusefat", lambda: mounted(self.root))

    def pull(self):
        """The cable comes out: the mount goes and its requests fail; the root goes too, as a drive letter does."""
        self.close()
        os.rmdir(self.root)

    def files(self):
        """lumetra.bin, Version.txt and the listing of the root, as the unit holds them."""
        if not mounted(self.root):
            os.makedirs(self.root, exist_ok=True)
            self.mount("ro")
        return [read(os.path.join(self.root, name)) for name in ("lumetra.bin", "Version.txt")] + \
            [sorted(os.listdir(self.root))]

    def fsck(self):
        """Complaints of the file system's checker about the unmounted drive. fusefat (0.1a) loses
        the cluster of a file cut to zero and written again, as every rewrite in place of
        Version.txt does: that complaint about that file alone is its own, not the program's."""
        self.close(lazy=False)
        noise = r"^(fsck\.fat |Pass \d|/Version\.txt$|\s+.*(cluster chain|Truncating|free cluster)" \
            r"|.*files?\b.*clusters$)"
        return [line for line in run("fsck.fat", "-n", self.image, check=False).splitlines()
                if line.strip() and not re.match(noise, line, re.I)]

    def close(self, lazy=True):  # lazy: at once, like a pull; else once fusefat has written everything to the image
        if mounted(self.root):
            run("umount", *["-l"][:lazy], self.root, check=not lazy)
        return lazy and self.fuse.kill(), self.fuse.wait(10)

    def release(self):
        self.close()
        run("losetup", "-d", self.loop, check=False)


def check(condition, message):
    if not condition:
        raise Failure(message)


def play(row, executable, bundled, work, artefacts, notes, cleanup):
    screen = Screen(artefacts)
    cleanup.append(lambda: (screen.xvfb.terminate(), screen.xvfb.wait()))
    unit = Volume(work)
    cleanup.append(unit.release)
    program = Program(executable, screen, work, row.fault)
    cleanup.append(lambda: program.process.poll() is None and (program.process.kill(), program.process.wait()))

    for name, button in (("Home", LABELLED), ("StepOne", ARROW), ("StepTwo", ARROW)):
        screen.wait_for(name, name, 20)
        screen.click(button)
    clicked = screen.wait_for("Step three", "StepThree enabled")
    screen.click(LABELLED)
    if row.fault:  # a fifth into the slow copy
        wait("the copy", lambda: program.find(r"copy file progress: 0\.[2-9]"), 20)
        screen.close_window() if row.fault == "close" else unit.pull()
    if row.outcome == "stepfour":
        seen = []
        shown = screen.wait_for("Step four", "StepFour", 20, seen)
        notes.append("Step four %.2f s after Update" % (shown - clicked))
        check("popup" in seen, "the progress popup never showed")
        removal = program.find(r"^lumetra\.backend: diskName")
        check(removal and removal[0][0] < shown, "Step four came without a removal request before it")
        sizes = [len(f or b"") for f in program.at_removal[0]]
        check(program.at_removal[0] == [bundled, b"1.73"], "when the removal began the drive held %s" % sizes)
        check(program.find(r"checkDisk result:.*/dev/loop"), "the real disk check did not run")
        screen.click(ARROW)
        screen.wait_for("Finish", "Finish")
        screen.click(LABELLED)
    elif row.outcome == "failure":
        screen.wait_for("the failure shown", "StepThree enabled", 20)
        check(not program.find(r"^lumetra\.backend: diskName"), "a removal was requested after a failed update")
        screen.close_window()
    status = program.wait_exit()
    check(status == 0 and not program.find(r"QThread: Destroyed|ASSERT|Segmentation"),
          "the program ended with %d or crashed" % status)
    cut = [float(line.split()[4]) for _, line in program.find(r"^lumetra\.progress: copy file progress: ")]
    check(not row.fault or cut and 0 < cut[-1] < 1, "the fault did not land inside the copy (%s)" % cut[-1:])
    records = [json.loads(line)["outcome"] for line in open(program.history)] if os.path.exists(program.history) else []
    check(records == [row.history], "the history holds %s" % records)
    left = os.path.isdir(unit.root) and not mounted(unit.root) and os.listdir(unit.root)
    check(not left, "the computer's own disk got %s where the drive was" % left)
    firmware, version, listing = unit.files()
    # A pull leaves the side file where it was: the next run removes it.
    check(row.fault == "pull" or listing == ["Version.txt", "lumetra.bin"], "the drive holds %s" % listing)
    expected = {"new": [bundled], "old": [OLD_FIRMWARE], "whole": [bundled, OLD_FIRMWARE]}[row.firmware]
    check(firmware in expected and version == row.version_after, "lumetra.bin holds %d bytes (%s firmware expected), "
          "Version.txt %r" % (len(firmware or b""), row.firmware, version))
    complaints = row.fault != "pull" and unit.fsck()
    check(not complaints, "the drive's checker found faults: %s" % complaints)


def main(arguments):
    if len(arguments) != 4:
        return print(__doc__) or 2
    executable, bundled, artefacts = arguments[1], read(arguments[2]), arguments[3]
    tools = [tool for tool in ("Xvfb", "xdotool", "import", "mkfs.fat", "fsck.fat", "fusefat", "strace", "losetup")
             if not shutil.which(tool)]
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1" or tools or not os.path.exists("/dev/fuse"):
        print("SKIP: needs root in a private mount namespace (ctest as root), /dev/fuse and %s "
              "(scripts/install-deps.sh)" % tools)
        return 77
    failed = 0
    for number, row in enumerate(ROWS, 1):
        notes, cleanup, started = [], [], time.monotonic()
        work, row_artefacts = tempfile.mkdtemp(prefix="lumetra-e2e-"), os.path.join(artefacts, str(number))
        shutil.rmtree(row_artefacts, ignore_errors=True) or os.makedirs(row_artefacts)
        try:
            play(row, executable, bundled, work, row_artefacts, notes, cleanup)
            print("PASS: %s: %s (%.1f s)" % (row.name, "; ".join(notes), time.monotonic() - started))
        except Exception as error:
            failed += 1
            print("FAIL: %s: %s; seen so far: %s; screenshots and program.log in %s"
                  % (row.name, error, "; ".join(notes) or "nothing", row_artefacts))
        [part() for part in reversed(cleanup)]  # nothing of this row may stay mounted or running
        mounted(work, under=True) or shutil.rmtree(work, ignore_errors=True)  # never through a mount that did not go
        sys.stdout.flush()
    print("%d rows, %d failed" % (len(ROWS), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
