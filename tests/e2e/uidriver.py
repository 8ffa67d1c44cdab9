"""Drives the real LumetraInstaller as a user does: its own X server, real mouse clicks at
the buttons' places, screens recognised from the pixels on the screen, and real volumes
that carry the marker file. Shared by the end-to-end test and the update benchmark.

Needs root in a private mount namespace (tests/run-test.sh gives one to tests labelled
"root"), Xvfb and python3-xlib.
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

from Xlib import X
from Xlib import display as xdisplay
from Xlib import protocol
from Xlib.ext import xtest

WIDTH = 800
HEIGHT = 600
WINDOW_TITLE_PREFIX = "Zentorlab Lumetra Update Tool"

# Where the buttons are in the 800x600 window, which sits at 0,0 without a window manager.
LABELLED_FORWARD = (740, 300)   # "Start", "Update", "Finish": x 680..800, y 270..330
ARROW_FORWARD = (770, 300)      # the arrow-only forward button: x 740..800
BACK = (30, 300)                # the back button: x 0..60, y 270..330
# Nothing reacts to the pointer here: the bottom of the empty back column.
PARK = (30, 590)


class DriverError(Exception):
    """A step of the user's road that did not happen: what was expected and what was seen."""


def missing_tools():
    """Why this machine cannot run the drive, or an empty string."""
    if os.geteuid() != 0:
        return "needs root: it mounts volumes (run it through ctest as root)"
    if os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1":
        return "needs a private mount namespace (tests/run-test.sh gives one to tests labelled root)"
    for tool in ("Xvfb", "mkfs.fat", "fsck.fat", "fusefat", "strace", "losetup", "mount", "umount"):
        if not shutil.which(tool, path=os.environ.get("PATH", "") + ":/usr/sbin:/sbin"):
            return "%s is missing (scripts/install-deps.sh installs it)" % tool
    if not os.path.exists("/dev/fuse"):
        return "/dev/fuse is missing: fusefat cannot mount"
    return ""


def run(arguments, check=True, timeout=30):
    result = subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            timeout=timeout, universal_newlines=True)
    if check and result.returncode != 0:
        raise DriverError("%s failed (%d): %s" % (" ".join(arguments), result.returncode,
                                                   result.stdout.strip()))
    return result


def wait_until(what, predicate, deadline_seconds, interval=0.02):
    """Polls predicate until it returns something true; raises with `what` at the deadline."""
    deadline = time.monotonic() + deadline_seconds
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DriverError("gave up after %.1f s waiting for %s" % (deadline_seconds, what))
        time.sleep(interval)


def is_mounted(path):
    with open("/proc/self/mounts") as mounts:
        return any(line.split()[1] == path for line in mounts)


def write_file(path, data):
    with open(path, "wb") as file:
        file.write(data)


def read_file(path):
    with open(path, "rb") as file:
        return file.read()


# ---------------------------------------------------------------------------------------
# Screens, recognised by pixels

def colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


GREEN = colour("#00ad4e")       # an enabled forward button
HOVER_GREEN = colour("#00c454")
LIGHT_GREY = colour("#dddddd")  # a disabled button
GREY = colour("#666666")        # the back button
WHITE = colour("#ffffff")
BAR_FILL = colour("#17a81a")    # the progress bar's filled part
BAR_TRACK = colour("#e6e6e6")

# White on every screen, grey under the dimming that a modal popup lays over the window.
DIM_PROBE = (70, 580)
# Inside the popup (370 x 72, centred in the screen area: x 245..615, y 264..336).
POPUP_FRAME = (249, 268)
BAR_TRACK_PROBE = (600, 300)

# Points of each picture that no other screen shares, found by comparing screenshots of
# all screens: a flat area of the picture, away from edges and anti-aliasing.
PICTURES = {
    "Home": [((88, 140), colour("#00ad4e"))],            # the maker's logo
    "StepOne": [((120, 300), colour("#ebeff2"))],        # the wall with the socket
    "Detected": [((566, 448), colour("#00ad4e"))],       # the tick's circle on the laptop
    "NotDetected": [((566, 448), colour("#e0493e"))],    # the cross's circle
    "StepFour": [((580, 445), colour("#01a84c"))],       # the eject sign's circle
    "Finish": [((614, 300), colour("#00ad4e"))],         # the big tick's circle
}


class Shot:
    """One screenshot of the whole screen."""

    def __init__(self, data, taken):
        self.data = data
        self.taken = taken

    def pixel(self, point):
        x, y = point
        offset = (y * WIDTH + x) * 4
        blue, green, red = self.data[offset:offset + 3]
        return (red, green, blue)

    def near(self, point, expected, tolerance=24):
        return all(abs(a - b) <= tolerance for a, b in zip(self.pixel(point), expected))

    def save_png(self, path):
        rows = bytearray()
        for y in range(HEIGHT):
            rows.append(0)
            line = self.data[y * WIDTH * 4:(y + 1) * WIDTH * 4]
            for x in range(WIDTH):
                rows += bytes((line[x * 4 + 2], line[x * 4 + 1], line[x * 4]))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body
                    + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff))

        with open(path, "wb") as file:
            file.write(b"\x89PNG\r\n\x1a\n")
            file.write(chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)))
            file.write(chunk(b"IDAT", zlib.compress(bytes(rows), 1)))
            file.write(chunk(b"IEND", b""))


class Look:
    """What a user sees on one screenshot, in the words of the screens."""

    def __init__(self, shot):
        self.shot = shot
        self.dimmed = not shot.near(DIM_PROBE, WHITE, 8)
        self.popup = self.dimmed and shot.near(POPUP_FRAME, WHITE, 8) \
            and (shot.near(BAR_TRACK_PROBE, BAR_TRACK, 8) or shot.near(BAR_TRACK_PROBE, BAR_FILL, 24))
        self.back = not self.dimmed and shot.near((4, 274), GREY, 8)
        self.forward = self._forward()
        self.screen = self._screen()

    def _forward(self):
        """The forward button: (kind, state), kind "labelled" or "arrow", state "enabled",
        "hovered" or "disabled"; None when neither is there."""
        if self.dimmed:
            return None
        states = ((GREEN, "enabled"), (HOVER_GREEN, "hovered"), (LIGHT_GREY, "disabled"))
        for kind, corner in (("labelled", (684, 274)), ("arrow", (744, 274))):
            for expected, state in states:
                if self.shot.near(corner, expected, 6):
                    if kind == "arrow" and not self.shot.near((684, 274), WHITE, 6):
                        continue
                    return (kind, state)
        return None

    def _picture(self, name):
        return all(self.shot.near(point, expected, 10) for point, expected in PICTURES[name])

    def _screen(self):
        if self.dimmed:
            return "StepThree" if self.popup else None
        if self.forward is None:
            return None
        kind = self.forward[0]
        if kind == "labelled" and self.back:
            return "StepThree"
        if kind == "labelled":
            if self._picture("Home"):
                return "Home"
            if self._picture("Finish"):
                return "Finish"
            return None
        if self.back:
            return "StepTwo"
        if self._picture("StepFour"):
            return "StepFour"
        if self._picture("StepOne"):
            return "StepOne"
        return None

    @property
    def detected(self):
        """On Step three: True for the detected picture, False for the not-detected one,
        None for neither."""
        if self._picture("Detected"):
            return True
        if self._picture("NotDetected"):
            return False
        return None

    def describe(self):
        parts = [self.screen or "an unknown screen"]
        if self.popup:
            parts.append("progress popup")
        if self.forward:
            parts.append("%s forward button %s" % self.forward)
        if self.screen == "StepThree" and not self.dimmed:
            parts.append({True: "detected picture", False: "not-detected picture",
                          None: "no known picture"}[self.detected])
        return ", ".join(parts)


class XScreen:
    """A private X server the size of the window, with a pointer we move and click."""

    def __init__(self, artefacts):
        self.artefacts = artefacts
        read_end, write_end = os.pipe()
        # -displayfd: the server picks a free display number, so parallel tests never clash.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT),
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            piece = os.read(read_end, 16)
            if not piece:
                break
            number += piece
        os.close(read_end)
        if not number.strip():
            self.process.kill()
            self.process.wait()
            raise DriverError("Xvfb did not start")
        self.name = ":" + number.decode().strip()
        self.display = xdisplay.Display(self.name)
        self.root = self.display.screen().root
        self.protocols = self.display.intern_atom("WM_PROTOCOLS")
        self.delete_window = self.display.intern_atom("WM_DELETE_WINDOW")
        self.shots_saved = 0

    def close(self):
        self.display.close()
        self.process.terminate()
        self.process.wait()

    def shot(self):
        # Stamped when asked for: what it shows was on the screen by then at the latest.
        asked = time.monotonic()
        image = self.root.get_image(0, 0, WIDTH, HEIGHT, X.ZPixmap, 0xffffffff)
        return Shot(image.data, asked)

    def look(self):
        return Look(self.shot())

    def save(self, label):
        """Keeps a screenshot for whoever reads a failure."""
        self.shots_saved += 1
        path = os.path.join(self.artefacts, "%02d-%s.png" % (self.shots_saved, label))
        self.shot().save_png(path)
        return path

    def move(self, point):
        xtest.fake_input(self.display, X.MotionNotify, x=point[0], y=point[1])
        self.display.sync()

    def click(self, point):
        self.move(point)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()
        # A hovered button shows another green; the screens are read with the pointer away.
        self.move(PARK)

    def wait_for(self, what, predicate, deadline_seconds=10, interval=0.02):
        """Polls screenshots until predicate(look) holds; returns that look."""
        last = [None]

        def attempt():
            last[0] = self.look()
            return last[0] if predicate(last[0]) else None

        try:
            return wait_until(what, attempt, deadline_seconds, interval)
        except DriverError as error:
            seen = last[0].describe() if last[0] else "nothing"
            raise DriverError("%s; the screen showed %s (%s)" % (error, seen, self.save("timeout")))

    def wait_screen(self, screen, deadline_seconds=10):
        return self.wait_for(screen, lambda look: look.screen == screen, deadline_seconds)

    def top_window(self):
        for window in self.root.query_tree().children:
            try:
                name = window.get_wm_name()
                mapped = window.get_attributes().map_state == X.IsViewable
            except Exception:  # the window went while we looked at it
                continue
            if mapped and name and str(name).startswith(WINDOW_TITLE_PREFIX):
                return window
        return None

    def close_window(self):
        """Closes the window as a window manager does when the user clicks its close box:
        WM_DELETE_WINDOW, which the program may act on in its own time."""
        window = wait_until("the program's window", self.top_window, 10)
        event = protocol.event.ClientMessage(window=window, client_type=self.protocols,
                                             data=(32, [self.delete_window, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=X.NoEventMask)
        self.display.sync()


# ---------------------------------------------------------------------------------------
# The program

class Program:
    """The real executable on the private X server, its diagnostic lines read as they come."""

    def __init__(self, executable, screen, workdir, extra_path=None, extra_environment=None):
        environment = dict(os.environ)
        environment.update(extra_environment or {})
        environment["QT_QPA_PLATFORM"] = "xcb"
        environment["QT_QUICK_BACKEND"] = "software"
        environment["DISPLAY"] = screen.name
        # No session bus here: the program must not wait for one.
        environment.pop("DBUS_SESSION_BUS_ADDRESS", None)
        if extra_path:
            environment["PATH"] = extra_path + ":" + environment.get("PATH", "/usr/bin:/bin")
        self.lines = []
        self.lock = threading.Lock()
        self.watches = []
        self.log_path = os.path.join(workdir, "program.log")
        self.process = subprocess.Popen([executable], cwd=workdir, env=environment,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        with open(self.log_path, "wb") as log:
            for raw in self.process.stdout:
                log.write(raw)
                log.flush()
                line = raw.decode("utf-8", "replace").rstrip("\n")
                with self.lock:
                    self.lines.append((time.monotonic(), line))
                    watches = list(self.watches)
                for pattern, action in watches:
                    if re.search(pattern, line):
                        try:
                            action(line)
                        except Exception as failure:
                            # The reading must go on, or the program blocks on a full pipe.
                            note = "e2e: the watch for %r failed: %s" % (pattern, failure)
                            log.write(note.encode() + b"\n")
                            with self.lock:
                                self.lines.append((time.monotonic(), note))

    def on_line(self, pattern, action):
        """Runs action(line) on the reading thread the moment a matching line arrives."""
        with self.lock:
            self.watches.append((pattern, action))

    def find(self, pattern):
        with self.lock:
            return [(when, line) for when, line in self.lines if re.search(pattern, line)]

    def wait_line(self, pattern, deadline_seconds=10):
        return wait_until("a log line matching %r" % pattern, lambda: self.find(pattern),
                          deadline_seconds)[0]

    def wait_exit(self, deadline_seconds=15):
        try:
            status = self.process.wait(timeout=deadline_seconds)
        except subprocess.TimeoutExpired:
            raise DriverError("the program was still running %.0f s later" % deadline_seconds)
        self.reader.join(5)
        return status

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.reader.join(5)


# ---------------------------------------------------------------------------------------
# Volumes that stand in for the unit

class TmpfsVolume:
    """A tmpfs with a size limit: its disk check answers at once (no FAT, no checker)."""

    def __init__(self, workdir, size_bytes):
        self.root = os.path.join(workdir, "unit")
        os.mkdir(self.root)
        run(["mount", "-t", "tmpfs", "-o", "size=%d" % size_bytes, "tmpfs", self.root])

    def read_files(self, names):
        return read_root(self.root, names)

    def close(self):
        if is_mounted(self.root):
            run(["umount", "-l", self.root], check=False)


def read_root(root, names):
    """({name: bytes, or None when missing}, sorted listing of the root)."""
    found = {}
    for name in names:
        path = os.path.join(root, name)
        found[name] = read_file(path) if os.path.exists(path) else None
    return found, sorted(os.listdir(root))


class FatVolume:
    """A FAT image on a loop device, mounted by fusefat with the loop device as its name,
    so that the program's real disk checker (fsck.fat -n on that device) runs. A slow
    volume answers every request late on purpose (strace delays each of fusefat's replies),
    so that a copy takes seconds and a test can act while it runs."""

    image_bytes = 16 * 1024 * 1024

    def __init__(self, workdir, reply_delay_ms=0):
        self.image = os.path.join(workdir, "unit.img")
        self.root = os.path.join(workdir, "unit")
        os.mkdir(self.root)
        with open(self.image, "wb") as image:
            image.truncate(self.image_bytes)
        # No volume label: fusefat would list it as a file.
        run(["mkfs.fat", self.image])
        self.loop = run(["losetup", "--find", "--show", self.image]).stdout.strip()
        self.fuse = None
        self.fuse_pid = None
        self._mount(["-o", "rw+,fsname=%s,subtype=fusefat" % self.loop], reply_delay_ms)

    def _mount(self, options, reply_delay_ms=0):
        # In the foreground, so that the process is ours to kill by its id.
        command = ["fusefat", "-f"] + options + [self.loop, self.root]
        if reply_delay_ms:
            command = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-e", "trace=writev",
                       "-e", "inject=writev:delay_enter=%d" % (reply_delay_ms * 1000)] + command
        self.fuse = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until("fusefat to mount %s" % self.root, lambda: is_mounted(self.root), 10)
        self.fuse_pid = self.fuse.pid
        if reply_delay_ms:
            children = "/proc/%d/task/%d/children" % (self.fuse.pid, self.fuse.pid)
            self.fuse_pid = int(read_file(children).split()[0])

    def pull(self, keep_mount_point=False):
        """The cable comes out: the mount goes, the FUSE process dies with requests pending
        (they fail), and the drive's root no longer exists, as a drive letter vanishes.
        On Linux the mount point may stay behind as an empty directory of the computer's
        own disk."""
        run(["umount", "-l", self.root], check=False)
        os.kill(self.fuse_pid, 9)
        self.fuse.wait()
        if not keep_mount_point:
            os.rmdir(self.root)

    def stranded_files(self):
        """What lies in the left-behind mount point while the drive is gone."""
        return sorted(os.listdir(self.root)) if os.path.isdir(self.root) and not is_mounted(self.root) else []

    def unmount(self):
        """A clean unmount that waits until fusefat has written everything to the image."""
        if self.fuse and self.fuse.poll() is None:
            run(["umount", self.root])
            try:
                self.fuse.wait(timeout=10)
            except subprocess.TimeoutExpired:
                raise DriverError("fusefat did not end after the unmount")

    def fsck(self):
        """fsck.fat -n on the unmounted image: (exit status, output)."""
        self.unmount()
        result = run(["fsck.fat", "-n", self.image], check=False)
        return result.returncode, result.stdout

    def read_files(self, names):
        """The files as the unit holds them; a pulled drive is mounted again, read-only."""
        if self.fuse.poll() is None:
            return read_root(self.root, names)
        if not os.path.isdir(self.root):
            os.mkdir(self.root)
        self._mount(["-o", "ro"])
        try:
            return read_root(self.root, names)
        finally:
            self.unmount()

    def close(self):
        if is_mounted(self.root):
            run(["umount", "-l", self.root], check=False)
        if self.fuse and self.fuse.poll() is None:
            try:
                os.kill(self.fuse_pid, 9)
            except ProcessLookupError:  # already gone; strace follows it out
                pass
            self.fuse.wait()
        run(["losetup", "-d", self.loop], check=False)


UDEVD = "/lib/systemd/systemd-udevd"
UDISKSD = "/usr/libexec/udisks2/udisksd"
SYSTEM_BUS = "/run/dbus/system_bus_socket"


def udisks_missing():
    for program in ("dbus-daemon", UDEVD, UDISKSD, "udisksctl", "mkfs.ext4", "e2fsck"):
        if not shutil.which(program, path=os.environ.get("PATH", "") + ":/usr/sbin:/sbin"):
            return "%s is missing (Debian packages dbus, udev, udisks2, e2fsprogs)" % program
    return ""


class UdisksSystem:
    """A system bus, udev and udisks of our own, on a private /run and /media: the program's
    removal then talks to a real udisks, as it does on a desktop."""

    def __init__(self, workdir):
        self.daemons = []
        self.mounted = []
        try:
            for directory in ("/run", "/media"):
                run(["mount", "-t", "tmpfs", "-o", "mode=0755,nosuid,nodev", "lumetra-e2e", directory])
                self.mounted.append(directory)
            os.makedirs("/run/dbus")
            os.makedirs("/run/udev")
            config = os.path.join(workdir, "system-bus.conf")
            write_file(config, (
                '<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"\n'
                ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                '<busconfig><type>system</type><listen>unix:path=%s</listen><auth>EXTERNAL</auth>'
                '<policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/>'
                '<allow receive_sender="*"/></policy></busconfig>\n' % SYSTEM_BUS).encode())
            self.address = "unix:path=" + SYSTEM_BUS
            self.environment = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=self.address)
            self._start(["dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile"],
                        lambda: os.path.exists(SYSTEM_BUS))
            # Without udev's database udisks sees no block devices at all.
            self._start([UDEVD], lambda: os.path.exists("/run/udev/control"))
            self._start([UDISKSD, "--no-sigint"], self._udisks_answers)
        except Exception:
            self.close()
            raise

    def _start(self, command, ready):
        process = subprocess.Popen(command, env=self.environment, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self.daemons.append(process)
        wait_until("%s to come up" % os.path.basename(command[0]),
                   lambda: ready() or process.poll() is not None, 15, 0.05)
        if process.poll() is not None:
            raise DriverError("%s ended at once with %d" % (command[0], process.returncode))

    def _udisks_answers(self):
        return self.udisksctl(["status"]).returncode == 0

    def udisksctl(self, arguments):
        if arguments[0] != "status":
            arguments = arguments + ["--no-user-interaction"]
        return subprocess.run(["udisksctl"] + arguments, env=self.environment,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True,
                              timeout=30)

    def close(self):
        for process in reversed(self.daemons):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for directory in reversed(self.mounted):
            run(["umount", "-l", directory], check=False)


class UdisksVolume:
    """An ext4 image that udisks sets up on a loop device and mounts under /media, as it
    does a USB stick: the removal can really unmount it."""

    image_bytes = 16 * 1024 * 1024

    def __init__(self, workdir, udisks):
        self.udisks = udisks
        self.image = os.path.join(workdir, "unit.img")
        self.readback = os.path.join(workdir, "readback")
        with open(self.image, "wb") as image:
            image.truncate(self.image_bytes)
        run(["mkfs.ext4", "-q", "-F", self.image])
        # udisks answers on the bus a moment before its manager object is there.
        answer = [None]

        def loop_setup():
            answer[0] = udisks.udisksctl(["loop-setup", "-f", self.image]).stdout.strip()
            return re.search(r" as (/dev/loop\d+)", answer[0])

        try:
            self.loop = wait_until("udisks to set up a loop device", loop_setup, 15, 0.1).group(1)
        except DriverError:
            raise DriverError("udisks set up no loop device: %s" % answer[0])
        # The file system shows once udev has probed the new loop device.
        mounted = [None]

        def mount():
            result = udisks.udisksctl(["mount", "-b", self.loop])
            mounted[0] = result.stdout.strip()
            return re.search(r" at (/.+)$", mounted[0])

        try:
            self.root = wait_until("udisks to mount %s" % self.loop, mount, 15, 0.1).group(1)
        except DriverError:
            raise DriverError("udisks did not mount %s: %s" % (self.loop, mounted[0]))

    def is_mounted(self):
        return is_mounted(self.root)

    def read_files(self, names):
        if self.is_mounted():
            return read_root(self.root, names)
        os.makedirs(self.readback, exist_ok=True)
        run(["mount", "-o", "ro", self.loop, self.readback])
        try:
            return read_root(self.readback, names)
        finally:
            run(["umount", self.readback])

    def fsck(self):
        """e2fsck -fn on the unmounted image: (exit status, output)."""
        if self.is_mounted():
            self.udisks.udisksctl(["unmount", "-b", self.loop])
        result = run(["e2fsck", "-fn", self.image], check=False)
        return result.returncode, result.stdout

    def close(self):
        if self.is_mounted():
            self.udisks.udisksctl(["unmount", "-b", self.loop])
        self.udisks.udisksctl(["loop-delete", "-b", self.loop])


class HeldChecker:
    """A fsck.fat first in the program's PATH that announces the check and waits until the
    test lets it go, then runs the real checker: the test acts while the check runs."""

    def __init__(self, workdir):
        self.directory = os.path.join(workdir, "checker")
        os.mkdir(self.directory)
        self.started = os.path.join(self.directory, "started")
        self.go = os.path.join(self.directory, "go")
        real = shutil.which("fsck.fat", path="/usr/sbin:/sbin:/usr/bin:/bin")
        script = ("#!/bin/sh\n"
                  "touch '%s'\n"
                  "while [ ! -e '%s' ]; do sleep 0.02; done\n"
                  "exec '%s' \"$@\"\n") % (self.started, self.go, real)
        path = os.path.join(self.directory, "fsck.fat")
        write_file(path, script.encode())
        os.chmod(path, 0o755)

    def wait_started(self, deadline_seconds=10):
        wait_until("the disk check to start", lambda: os.path.exists(self.started), deadline_seconds)

    def release(self):
        write_file(self.go, b"")


class Session:
    """One user's session: a scratch directory, an X server, a volume and the program."""

    def __init__(self, executable, keep_artefacts_in=None):
        self.executable = executable
        self.workdir = tempfile.mkdtemp(prefix="lumetra-e2e-")
        self.artefacts = keep_artefacts_in or self.workdir
        os.makedirs(self.artefacts, exist_ok=True)
        self.screen = None
        self.volume = None
        self.program = None
        self.udisks = None

    def __enter__(self):
        self.screen = XScreen(self.artefacts)
        return self

    def __exit__(self, *error):
        # Every part is released even when another one fails to: a test goes on with the
        # next row, and nothing of this one may stay mounted or running.
        for part in (self.program and self.program.stop, self.volume and self.volume.close,
                     self.udisks and self.udisks.close, self.screen and self.screen.close):
            if part:
                try:
                    part()
                except Exception as failure:
                    print("cleanup: %s" % failure, file=sys.stderr)
        # Never through a mount that did not go: that would delete what it holds.
        with open("/proc/self/mounts") as mounts:
            if not any(line.split()[1].startswith(self.workdir + "/") for line in mounts):
                shutil.rmtree(self.workdir, ignore_errors=True)
        return False

    def start(self, extra_path=None):
        # Without a udisks of our own, no bus at all: the removal then fails at once, and
        # never reaches a service of the machine the test runs on.
        bus = self.udisks.address if self.udisks else "unix:path=" + os.path.join(self.workdir, "no-bus")
        environment = {"DBUS_SYSTEM_BUS_ADDRESS": bus}
        self.program = Program(self.executable, self.screen, self.workdir, extra_path, environment)
        return self.program

    def walk_to_step_three(self):
        """Start, the arrow of Step one, the arrow of Step two: Step three as a user reaches it."""
        screen = self.screen
        screen.wait_screen("Home", 20)
        screen.click(LABELLED_FORWARD)
        screen.wait_screen("StepOne")
        screen.click(ARROW_FORWARD)
        screen.wait_screen("StepTwo")
        screen.click(ARROW_FORWARD)
        return screen.wait_for("Step three with its picture",
                               lambda look: look.screen == "StepThree" and not look.dimmed
                               and look.forward is not None and look.forward[1] != "hovered")
