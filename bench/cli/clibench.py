#!/usr/bin/python3
"""Wall time of `--update --yes --no-eject` with the bundled firmware onto a unit at 1.8 on
a tmpfs, against what the copy alone costs: `dd bs=4096 conv=fsync` of the same file onto
the same tmpfs, plus the program's start (a run that stops at its options).

Then `--list` beside a FUSE mount whose server is stopped (a lost network share): its wall
time, or that it did not answer.

Then the cost of many mounts (a container host, a build server): with 100, 1,000 and 2,000
extra tmpfs mounts and one unit among them, the wall time of `--list`, the CPU an idle
`--update --watch` uses (no unit) and how long it takes to end after SIGTERM.

    clibench.py <LumetraInstaller> <bundled lumetra.bin> [runs]

Needs root in a private mount namespace; the bench_cli target runs it that way. Prints every
run, the medians and the ratio, against a target of at most 1.5, and the figures per mount
count against their targets.
"""

import ctypes
import glob
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TARGET_RATIO = 1.5
MOUNT_COUNTS = (100, 1000, 2000)
TARGET_LIST_SECONDS = 0.2  # --list with 2,000 mounts
TARGET_WATCH_CPU = 2.0  # per cent of one core, --watch idle with 1,000 mounts
TARGET_STOP_SECONDS = 0.5
TARGET_STOPPED_MOUNT_SECONDS = 2.0  # --list beside a stopped FUSE mount
IDLE_SECONDS = 10
LIBC = ctypes.CDLL(None, use_errno=True)


def timed(command, **options):
    started = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options)
    return time.monotonic() - started


def main(program, bundled, runs=9):
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1":
        print("needs root in a private mount namespace: cmake --build build --target bench_cli")
        return 77
    root = tempfile.mkdtemp()
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", root], check=True)
    size = os.path.getsize(bundled)
    updates, copies, starts = [], [], []
    try:
        for run in range(int(runs)):
            with open(os.path.join(root, "lumetra.bin"), "wb") as old:
                old.write(b"old firmware\n" * 1000)
            with open(os.path.join(root, "Version.txt"), "wb") as version:
                version.write(b"1.8")
            updates.append(timed([program, "--update", "--yes", "--no-eject"], stdin=subprocess.DEVNULL))
            with open(os.path.join(root, "Version.txt"), "rb") as version:
                if version.read() != b"1.73" or os.path.getsize(os.path.join(root, "lumetra.bin")) != size:
                    print("run %d did not update the unit" % (run + 1))
                    return 1
            copies.append(timed(["dd", "if=" + bundled, "of=" + os.path.join(root, "x"), "bs=4096",
                                 "conv=fsync"]))
            os.remove(os.path.join(root, "x"))
            # Wrong usage ends the program right after the application object and the options.
            starts.append(timed([program, "--update", "--no-such-option"]))
            print("run %d: update %.3f s, dd %.3f s, start %.3f s" % (run + 1, updates[-1], copies[-1], starts[-1]))
    finally:
        subprocess.run(["umount", "-l", root])
        os.rmdir(root)
    update = statistics.median(updates)
    floor = statistics.median(copies) + statistics.median(starts)
    print("median: update %.3f s; dd + start %.3f s (dd %.3f, start %.3f); ratio %.2f (target at most %.1f)"
          % (update, floor, statistics.median(copies), statistics.median(starts), update / floor, TARGET_RATIO))
    stopped_mount(program)
    return many_mounts(program)


def stopped_mount(program, limit=30):
    """--list with a unit beside a FAT image served by fusefat whose server is stopped."""
    work = tempfile.mkdtemp()
    image, dead, unit = (os.path.join(work, name) for name in ("fat.img", "dead", "unit"))
    os.mkdir(dead)
    os.mkdir(unit)
    subprocess.run(["truncate", "-s", "1M", image], check=True)
    subprocess.run(["mkfs.fat", image], stdout=subprocess.DEVNULL, check=True)
    subprocess.run(["fusefat", "-o", "ro", image, dead], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True)
    server = int(subprocess.run(["pgrep", "-f", image], capture_output=True, text=True).stdout.split()[0])
    os.kill(server, signal.SIGSTOP)
    tasks = "/proc/%d/task/*/stat" % server
    while any(open(stat).read().rsplit(")", 1)[1].split()[0] != "T" for stat in glob.glob(tasks)):
        pass  # each of its threads stopped: none takes a request any more
    mount_tmpfs(unit)
    for name, content in (("lumetra.bin", b"old firmware\n"), ("Version.txt", b"1.8")):
        with open(os.path.join(unit, name), "wb") as file:
            file.write(content)
    try:
        wall = timed([program, "--list"], timeout=limit)
        print("--list beside a stopped FUSE mount: %.3f s (target at most %.1f s)"
              % (wall, TARGET_STOPPED_MOUNT_SECONDS))
    except subprocess.TimeoutExpired:
        print("--list beside a stopped FUSE mount: no answer within %d s" % limit)
    finally:
        os.kill(server, signal.SIGKILL)
        subprocess.run(["umount", "-l", dead])
        subprocess.run(["umount", "-l", unit])
        subprocess.run(["rm", "-rf", work])


def mount_tmpfs(path):
    # Through the system call: 2,000 runs of mount(8) would take longer than the measurements.
    if LIBC.mount(b"tmpfs", path.encode(), b"tmpfs", 0, b"size=64k") != 0:
        raise OSError(ctypes.get_errno(), "mount " + path)


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def idle_watch(program):
    """CPU share of an idle --watch over IDLE_SECONDS after its start, and its time to end after SIGTERM."""
    watch = subprocess.Popen([program, "--update", "--watch", "--yes", "--no-eject"], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(2)
        before = cpu_seconds(watch.pid)
        time.sleep(IDLE_SECONDS)
        share = 100 * (cpu_seconds(watch.pid) - before) / IDLE_SECONDS
        started = time.monotonic()
        watch.send_signal(signal.SIGTERM)
        watch.wait(60)
        return share, time.monotonic() - started
    finally:
        if watch.poll() is None:
            watch.kill()
            watch.wait()


def many_mounts(program):
    work = tempfile.mkdtemp()
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", work], check=True)
    unit = os.path.join(work, "unit")
    os.mkdir(unit)
    mount_tmpfs(unit)
    for name, content in (("lumetra.bin", b"old firmware\n"), ("Version.txt", b"1.8")):
        with open(os.path.join(unit, name), "wb") as file:
            file.write(content)
    mounted = 0
    try:
        for count in MOUNT_COUNTS:
            while mounted < count:
                path = os.path.join(work, "m%d" % mounted)
                os.mkdir(path)
                mount_tmpfs(path)
                mounted += 1
            table = sum(1 for _ in open("/proc/self/mountinfo"))
            listed = subprocess.run([program, "--list"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            if unit.encode() not in listed.stdout:
                print("%d mounts: --list did not find the unit" % count)
                return 1
            wall = min(timed([program, "--list"]) for _ in range(3))
            share, stop = idle_watch(program)
            print("%4d extra mounts (%4d in the table): --list %.3f s, --watch idle %.1f %% of a core, "
                  "SIGTERM to exit %.3f s" % (count, table, wall, share, stop))
        print("targets: --list at most %.1f s with 2,000 mounts; --watch idle at most %.0f %% with 1,000; "
              "SIGTERM at most %.1f s" % (TARGET_LIST_SECONDS, TARGET_WATCH_CPU, TARGET_STOP_SECONDS))
    finally:
        subprocess.run(["umount", "-R", "-l", work])
        os.rmdir(work)
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
