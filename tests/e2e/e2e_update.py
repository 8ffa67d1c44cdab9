#!/usr/bin/python3
"""e2e_update.py <LumetraInstaller> <bundled lumetra.bin> <artefacts directory>: the update as a user meets it, the
real window on an X server of its own (xvfb-run) clicked with xdotool, its screens told apart by a few pixels of a
screenshot, on a real FAT drive (fusefat on a loop device, seen by the real fsck.fat) or, to be written in place, a
tmpfs. ctest runs it as root."""
import json, os, random, re, shutil, signal, subprocess, sys, tempfile, threading, time  # noqa: E401

LABELLED, ARROW, PARK = (740, 300), (770, 300), (30, 590)  # PARK: nothing reacts there
OLD = random.Random(1873).randbytes(200000)  # anything but the bundled image
ONE = 700  # tmpfs KiB: room for one image only beside an old one of 400,000 bytes, so it is overwritten in place
# Each write on the unit's image takes 20 ms: a signal lands inside the copy.
SLOW_IMAGE = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-P", "{unit}/lumetra.bin", "-e", "trace=write",
              "-e", "inject=write:delay_enter=20000"]
# A drive pulled or a stop beside the old image is the worker's, the command line's and the UI's tests' (fake backend).
# name, play, the unit's drive (None: FAT; else a tmpfs of so many KiB)
ROWS = [("unit at 1.8: checked, updated, version written, then removed", "update", None),
        ("SIGTERM (a log-off) while writing in place: the write is finished, the unit whole and on record",
         "stopped", ONE)]


class Failure(Exception):
    """A step of the user's road that did not happen."""


def run(*command, check=True):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
    if check and result.returncode:
        raise Failure("%s failed: %s" % (" ".join(command), result.stdout.decode(errors="replace").strip()))
    return result.stdout.decode(errors="replace")


def wait(what, predicate, seconds=10):
    deadline = time.monotonic() + seconds
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise Failure("gave up after %.0f s waiting for %s" % (seconds, what))
        time.sleep(0.02)
    return value


def read(path):
    return open(path, "rb").read() if os.path.isfile(path) else None


def mounted(path, under=False):
    points = [line.split()[1] for line in open("/proc/self/mounts")]
    return any(point.startswith(path + "/") if under else point == path for point in points)


def screen_of(data):
    """The screen an 800x600 RGB screenshot shows, on Step three with the state of Update; "popup" while the
    progress popup dims the window."""
    def near(point, colour, tolerance=6):
        at = (point[1] * 800 + point[0]) * 3
        return len(data) == 1440000 and all(abs(data[at + i] - int(colour[1 + 2 * i:3 + 2 * i], 16)) <= tolerance
                                            for i in range(3))
    if not near((70, 580), "#ffffff", 8):
        return "popup" if near((249, 268), "#ffffff", 8) else "dimmed"
    button = "enabled" if near((684, 274), "#00ad4e") else "disabled" if near((684, 274), "#dddddd") else None
    back = near((4, 274), "#666666", 8)
    if button:
        return "StepThree " + button if back else "Home" if near((88, 140), "#00ad4e", 10) else \
            "Finish" if near((614, 300), "#00ad4e", 10) else "?"
    if not (near((744, 274), "#00ad4e") and near((684, 274), "#ffffff")):  # the arrow alone
        return "?"
    return "StepTwo" if back else "StepFour" if near((580, 445), "#01a84c", 10) else "StepOne"


def x(*command):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout


class Screen:
    """The X server, the size of the window, which sits at 0,0 without a window manager."""

    def __init__(self, artefacts):
        self.artefacts, self.seen_at = artefacts, 0.0

    def click(self, point):
        # As a user, not within a double click of the screen's appearing; the pointer then parks away, as a hovered
        # button shows another green.
        time.sleep(max(0.0, self.seen_at + 0.5 - time.monotonic()))
        x("xdotool", "mousemove", *map(str, point), "click", "1", "mousemove", *map(str, PARK))

    def wait_for(self, wanted, seconds=10, shots=None):
        """Polls screenshots until the screen is the wanted one; shots collects every screen met."""
        shots = [] if shots is None else shots

        def shot():
            shots.append(screen_of(x("import", "-window", "root", "-depth", "8", "rgb:-")))
            self.seen_at = time.monotonic()
            return shots[-1] == wanted
        try:
            return wait(wanted, shot, seconds) and self.seen_at
        except Failure as failure:
            x("import", "-window", "root", os.path.join(self.artefacts, "timeout.png"))
            raise Failure("%s; the screen showed %s" % (failure, shots[-1:]))


class Program:
    """The real program on the X server, its diagnostic lines kept with the time they came."""

    def __init__(self, executable, artefacts, workdir, prefix=()):  # prefix: a tracer that slows it (bench_update)
        # No session bus: the program must not wait for one. History and logs of this run alone. The lines read
        # here are debug lines, which reach the terminal only when the logging rules name them.
        environment = dict(os.environ, DBUS_SESSION_BUS_ADDRESS="", XDG_DATA_HOME=os.path.join(workdir, "data"),
                           QT_QPA_PLATFORM="xcb", QT_LOGGING_RULES="lumetra.*.debug=true")
        if prefix:  # LeakSanitizer cannot work under a tracer: in a sanitizer build it would fail the program's end
            environment["ASAN_OPTIONS"] = environment.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
        self.lines, self.at_removal, self.log = [], [], os.path.join(artefacts, "program.log")
        self.history = os.path.join(workdir, "data", "LumetraInstaller", "history.jsonl")
        self.process = subprocess.Popen([*prefix, executable], cwd=workdir, env=environment,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.unit = os.path.join(workdir, "unit")
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        with open(self.log, "wb") as log:
            for raw in self.process.stdout:
                log.write(raw)
                line = raw.decode(errors="replace").rstrip("\n")
                if line.startswith("lumetra.backend: diskName"):  # the removal begins, a second before it acts
                    self.at_removal.append([read(os.path.join(self.unit, name)) for name in ("lumetra.bin",
                                                                                            "Version.txt")])
                self.lines.append((time.monotonic(), line))

    def find(self, pattern):
        return [(when, line) for when, line in list(self.lines) if re.search(pattern, line)]


class Volume:
    """The unit's drive, mounted at <workdir>/unit, holding the old firmware and 1.8: a FAT drive, or a tmpfs of kib
    KiB with an old image of twice the size."""

    def __init__(self, workdir, kib=None):
        self.root, image, self.fuse = os.path.join(workdir, "unit"), os.path.join(workdir, "unit.img"), None
        os.mkdir(self.root)
        if kib:
            run("mount", "-t", "tmpfs", "-o", "size=%dk" % kib, "tmpfs", self.root)
        else:
            run("truncate", "-s", "16M", image)
            run("mkfs.fat", image)  # no label: fusefat would list it as a file
            self.loop = run("losetup", "--find", "--show", image).strip()
            # The loop device named: the real fsck.fat finds it.
            self.fuse = subprocess.Popen(["fusefat", "-f", "-o", "rw+,subtype=fusefat,fsname=" + self.loop, self.loop,
                                          self.root], stderr=subprocess.DEVNULL)
            wait("fusefat", lambda: mounted(self.root))
        open(os.path.join(self.root, "lumetra.bin"), "wb").write(OLD * 2 if kib else OLD)
        open(os.path.join(self.root, "Version.txt"), "wb").write(b"1.8")

    def release(self):
        run("umount", "-l", self.root, check=False)
        if self.fuse:
            self.fuse.kill()
            self.fuse.wait(10)
            run("losetup", "-d", self.loop, check=False)


def start(executable, work, artefacts, cleanup, kib, prefix=()):
    """The program on a unit of its own, clicked on to Update; the unit, the program and the time of the click."""
    screen, unit = Screen(artefacts), Volume(work, kib)
    cleanup.append(unit.release)
    program = Program(executable, artefacts, work, [part.format(unit=unit.root) for part in prefix])
    cleanup.append(lambda: program.process.poll() is None and (program.process.kill(), program.process.wait()))
    for wanted, button in (("Home", LABELLED), ("StepOne", ARROW), ("StepTwo", ARROW)):
        screen.wait_for(wanted, 20)
        screen.click(button)
    clicked = screen.wait_for("StepThree enabled")
    screen.click(LABELLED)
    return screen, unit, program, clicked


def check_end(program, unit, bundled, status, records):
    """The program ended with status, the unit holds the new firmware and 1.73, the history these records."""
    wait("the program to end", lambda: program.process.poll() is not None, 20)
    code = program.process.returncode
    assert code == status and not program.find(r"QThread: Destroyed|ASSERT|Segmentation"), "ended with %d" % code
    found = [json.loads(line) for line in open(program.history)] if os.path.exists(program.history) else []
    assert [{name: record[name] for name in records[0]} for record in found] == records, "the history holds %s" % found
    firmware, version = [read(os.path.join(unit.root, name)) for name in ("lumetra.bin", "Version.txt")]
    listing = sorted(os.listdir(unit.root))
    assert listing == ["Version.txt", "lumetra.bin"], "the drive holds %s" % listing
    assert firmware == bundled and version == b"1.73", "lumetra.bin: %d bytes, Version.txt %r" % (
        len(firmware or b""), version)


def play_stopped(executable, bundled, work, artefacts, notes, cleanup, kib):
    """SIGTERM once the old image is being overwritten: the program ends only after the write, with its record."""
    _, unit, program, _ = start(executable, work, artefacts, cleanup, kib, SLOW_IMAGE)
    in_place = wait("the write in place", lambda: program.find(r"writing in place"), 20)[0][0]
    wait("a block written in place", lambda: [when for when, _ in program.find(r"^lumetra\.progress: copy file "
                                                                               r"progress: 0\.") if when > in_place])
    tracer, signalled = program.process.pid, time.monotonic()
    os.kill(int(open("/proc/%d/task/%d/children" % (tracer, tracer)).read().split()[0]), signal.SIGTERM)
    check_end(program, unit, bundled, 0, [{"outcome": "updated", "versionAfter": "1.73", "bytesWritten": len(bundled)}])
    after = [line for when, line in program.find(r"^lumetra\.progress: copy file progress: 0\.") if when > signalled]
    assert after, "the signal came after the copy"
    notes.append("%d blocks written after the signal" % len(after))


def play_update(executable, bundled, work, artefacts, notes, cleanup, kib):
    screen, unit, program, clicked = start(executable, work, artefacts, cleanup, kib)
    seen = []
    shown = screen.wait_for("StepFour", 20, seen)
    notes.append("Step four %.2f s after Update" % (shown - clicked))
    assert "popup" in seen, "the progress popup never showed"
    removal = program.find(r"^lumetra\.backend: diskName")
    assert removal and removal[0][0] < shown, "Step four came without a removal request before it"
    sizes = [len(f or b"") for f in program.at_removal[0]]
    assert program.at_removal[0] == [bundled, b"1.73"], "when the removal began the drive held %s" % sizes
    assert program.find(r"checkDisk result:.*/dev/loop"), "the real disk check did not run"
    screen.click(ARROW)
    screen.wait_for("Finish")
    screen.click(LABELLED)
    check_end(program, unit, bundled, 0, [{"outcome": "updated"}])


def main(arguments):
    if len(arguments) != 4:
        return print(__doc__) or 2
    tools = [tool for tool in ("xvfb-run", "xdotool", "import", "mkfs.fat", "fsck.fat", "fusefat", "losetup")
             if not shutil.which(tool)]
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1" or tools or not os.path.exists("/dev/fuse"):
        print("SKIP: needs root in a private mount namespace (ctest as root), /dev/fuse and %s "
              "(scripts/install-deps.sh)" % tools)
        return 77
    if not os.environ.get("LUMETRA_E2E_SERVER"):  # the rest on an X server of its own, the window's size
        os.environ["LUMETRA_E2E_SERVER"] = "1"
        return subprocess.run(["xvfb-run", "-a", "-n", "110", "-s", "-screen 0 800x600x24 -nolisten tcp -noreset", sys.executable]
                              + arguments).returncode
    executable, bundled, failed = arguments[1], read(arguments[2]), 0
    for number, (name, how, kib) in enumerate(ROWS):
        notes, cleanup, started, work = [], [], time.monotonic(), tempfile.mkdtemp(prefix="lumetra-e2e-")
        artefacts = os.path.join(arguments[3], str(number + 1))
        shutil.rmtree(artefacts, ignore_errors=True) or os.makedirs(artefacts)
        try:
            globals()["play_" + how](executable, bundled, work, artefacts, notes, cleanup, kib)
            print("PASS: %s: %s (%.1f s)" % (name, "; ".join(notes), time.monotonic() - started))
        except Exception as error:
            failed += 1
            print("FAIL: %s: %s; seen so far: %s; screenshots and program.log in %s"
                  % (name, error, "; ".join(notes) or "nothing", artefacts))
        finally:
            [part() for part in reversed(cleanup)]  # nothing may stay mounted or running
            mounted(work, under=True) or shutil.rmtree(work, ignore_errors=True)  # never through a live mount
    return 1 if failed else 0

if __name__ == "__main__":
    sys.exit(main(sys.argv))
