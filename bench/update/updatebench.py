#!/usr/bin/python3
"""Wall time of one update as a user sees it: from the click on "Update" to Step four on
the screen, with the real program in its own X server and a unit at 1.8 on a tmpfs, whose
disk check answers at once. The design sets a floor of 2.0 s: the progress bar glides to
its end over one second, and the removal pauses one second before it ejects.

    updatebench.py <LumetraInstaller> [runs]

Needs root in a private mount namespace; run it through tests/run-test.sh root, as the
bench_update target does. Prints every run, the median, the floor and their ratio.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))

import uidriver as ui  # noqa: E402

FLOOR_SECONDS = 2.0
TARGET_SECONDS = 2.2
POLL_SECONDS = 0.005
VOLUME_BYTES = 4 * 1024 * 1024


def one_update(executable):
    """(seconds from the click to the removal's start, seconds from the click to Step four)"""
    with ui.Session(executable) as session:
        session.volume = ui.TmpfsVolume(session.workdir, VOLUME_BYTES)
        ui.write_file(os.path.join(session.volume.root, "lumetra.bin"), b"old firmware\n" * 1000)
        ui.write_file(os.path.join(session.volume.root, "Version.txt"), b"1.8")
        program = session.start()
        session.walk_to_step_three()
        clicked = time.monotonic()
        session.screen.click(ui.LABELLED_FORWARD)
        look = session.screen.wait_for("Step four", lambda look: look.screen == "StepFour", 20, POLL_SECONDS)
        shown = look.shot.taken
        removal = program.find(r"^diskName")
        if not removal or not program.find(r"^copy file progress: 1 "):
            raise ui.DriverError("Step four came without a complete copy and a removal request")
        return removal[0][0] - clicked, shown - clicked


def main(arguments):
    if len(arguments) not in (2, 3):
        print(__doc__)
        return 2
    executable = arguments[1]
    runs = int(arguments[2]) if len(arguments) == 3 else 7
    reason = ui.missing_tools()
    if reason:
        print("cannot measure: %s" % reason)
        return 77
    removals = []
    totals = []
    for number in range(1, runs + 1):
        removal, total = one_update(executable)
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
    verdict = "met" if median <= TARGET_SECONDS else "MISSED"
    print("target: at most %.1f s median: %s" % (TARGET_SECONDS, verdict))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
