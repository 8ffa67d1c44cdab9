#!/usr/bin/python3
"""Wall time of `--update --yes --no-eject` with the bundled firmware onto a unit at 1.8 on
a tmpfs, against what the copy alone costs: `dd bs=4096 conv=fsync` of the same file onto
the same tmpfs, plus the program's start (a run that stops at its options).

    clibench.py <LumetraInstaller> <bundled lumetra.bin> [runs]

Needs root in a private mount namespace; the bench_cli target runs it that way. Prints every
run, the medians and the ratio, against a target of at most 1.5.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

TARGET_RATIO = 1.5


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
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
