#!/usr/bin/python3
"""Wall time of one update as a user sees it: from the click on "Update" to Step four on
the screen, with the real program in its own X server and a unit at 1.8 on a tmpfs, whose
disk check answers at once. The design sets a floor of 2.0 s: the progress bar glides to
its end over one second, and the removal pauses one second before it ejects.

    updatebench.py <LumetraInstaller> [runs] [seconds of the device's flush]

Needs root in a private mount namespace; run it through tests/run-test.sh root, as the
bench_update target does. Prints every run, the median, the floor and their ratio.
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))

import e2e_update as e2e  # noqa: E402

FLOOR_SECONDS = 2.0
TARGET_SECONDS = 2.05  # and one second more for each second the flush takes


def one_update(executable, flush_seconds):
    """(seconds from the click to the removal's start, seconds from the click to Step four)"""
    work = tempfile.mkdtemp(prefix="lumetra-bench-")
    root = os.path.join(work, "unit")
    os.mkdir(root)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "lumetra-bench", root], check=True)
    for name, data in (("lumetra.bin", e2e.OLD), ("Version.txt", b"1.8")):
        open(os.path.join(root, name), "wb").write(data)
    # The unit's slow flush is the flush of the firmware written onto it; the computer's own
    # disk (the log, the history) stays as fast as it is.
    slow = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-P", os.path.join(root, "lumetra.bin.new"),
                "-e", "trace=fsync,fdatasync", "-e", "inject=fsync,fdatasync:delay_enter=%d" % (flush_seconds * 1000000)]
    screen, program = e2e.Screen(work), e2e.Program(executable, work, work, slow if flush_seconds else ())
    try:
        for wanted, button in (("Home", e2e.LABELLED), ("StepOne", e2e.ARROW), ("StepTwo", e2e.ARROW)):
            screen.wait_for(wanted, 20)
            screen.click(button)
        screen.wait_for("StepThree enabled")
        # A user's click comes after the double-click interval, which the screens wait out.
        time.sleep(max(0.0, screen.seen_at + 0.5 - time.monotonic()))
        clicked = time.monotonic()
        screen.click(e2e.LABELLED)
        shown = screen.wait_for("StepFour", 20)
        removal = program.find(r"^lumetra\.backend: diskName")
        if not removal or not program.find(r"^lumetra\.progress: copy file progress: 1 "):
            raise e2e.Failure("Step four came without a complete copy and a removal request")
        return removal[0][0] - clicked, shown - clicked
    finally:
        program.process.kill()
        program.process.wait()
        subprocess.run(["umount", "-l", root])


def main(arguments):
    if len(arguments) not in (2, 3, 4):
        print(__doc__)
        return 2
    executable = os.path.abspath(arguments[1])
    runs = int(arguments[2]) if len(arguments) > 2 else 7
    flush_seconds = int(arguments[3]) if len(arguments) > 3 else 0
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1":
        print("cannot measure: needs root in a private mount namespace (run it through tests/run-test.sh root)")
        return 77
    if not os.environ.get("LUMETRA_E2E_SERVER"):  # on an X server of its own, the window's size
        os.environ["LUMETRA_E2E_SERVER"] = "1"
        return subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 800x600x24 -nolisten tcp -noreset", sys.executable]
                              + arguments).returncode
    removals = []
    totals = []
    for number in range(1, runs + 1):
        removal, total = one_update(executable, flush_seconds)
        removals.append(removal)
        totals.append(total)
        print("run %d: Update -> removal starts %.3f s, Update -> Step four %.3f s"
              % (number, removal, total))
        sys.stdout.flush()
    median = statistics.median(totals)
    print("median Update -> removal starts: %.3f s (the bar's glide alone: 1.000 s)"
          % statistics.median(removals))
    print("median Update -> Step four: %.3f s over %d runs (min %.3f, max %.3f)"
          % (median, runs, min(totals), max(totals)))
    print("floor: %.3f s; median / floor: %.3f" % (FLOOR_SECONDS, median / FLOOR_SECONDS))
    target = TARGET_SECONDS + flush_seconds
    print("device flush: %d s; target: at most %.2f s median: %s" % (flush_seconds, target, "met" if median <= target else "MISSED"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
