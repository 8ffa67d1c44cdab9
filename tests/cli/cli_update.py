#!/usr/bin/python3
"""cli_update.py <LumetraInstaller> <bundled lumetra.bin>: the program without a window on real
tmpfs units. ctest runs it as root in a private mount namespace; it skips (77) without one."""
import json, os, signal, subprocess, sys, tempfile, time

OLD = os.urandom(200000)  # the unit's firmware before: anything but the bundled image
QUIET = ["--yes", "--no-eject"]  # no udisks here: the removal is not what these rows test
# name, units (version, tmpfs KiB) in mount order, options, exit status, firmware afterwards
ROWS = [
    ("no unit", [], ["--update"] + QUIET, 2, []),
    ("one unit at 1.8: updated", [("1.8", 4096)], ["--update"] + QUIET, 0, ["new"]),
    ("1.8 and 1.73 with --all: one updated, one left alone", [("1.8", 4096), ("1.73", 4096)],
     ["--update", "--all"] + QUIET, 0, ["new", "old"]),
    ("a full volume first, --all: fails with the reason, the other still updated",
     [("1.8", 300), ("1.8", 4096)], ["--update", "--all"] + QUIET, 1, ["old", "new"]),
    ("--json: one object per event, no bar", [("1.8", 4096)], ["--update", "--json"] + QUIET, 0, ["new"]),
    ("no terminal and no --yes: usage, nothing written", [("1.8", 4096)], ["--update", "--no-eject"], 3, ["old"]),
    ("--watch: a unit plugged after the start, SIGTERM during a later copy", None, [], 0, ["new", "whole"]),
]


def plug(workdir, version, kib):
    root = tempfile.mkdtemp(dir=workdir)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % kib, "tmpfs", root], check=True)
    open(os.path.join(root, "lumetra.bin"), "wb").write(OLD)
    open(os.path.join(root, "Version.txt"), "wb").write(version.encode())
    return root


def check_units(roots, units, expected, bundled):
    for root, (version, _), firmware in zip(roots, units, expected):
        found = open(os.path.join(root, "lumetra.bin"), "rb").read()
        allowed = {"new": [bundled], "old": [OLD], "whole": [OLD, bundled]}[firmware]
        assert found in allowed, "%s holds %d bytes of the wrong firmware" % (root, len(found))
        after = open(os.path.join(root, "Version.txt"), "rb").read().decode()
        assert after == ("1.73" if found == bundled else version), "%s: Version.txt %r" % (root, after)


# LeakSanitizer cannot work under a tracer: in a sanitizer build it would fail the program's end.
UNDER_STRACE = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")


def play_watch(program, workdir, bundled):
    # Every write waits 20 ms, so that a copy takes seconds and the stop lands inside one.
    tracer = subprocess.Popen(["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-e", "trace=write",
                               "-e", "inject=write:delay_enter=20000", program, "--update", "--watch", "--json"]
                              + QUIET, stdout=subprocess.PIPE, text=True, env=UNDER_STRACE)
    seen, roots = [], []

    def wait_for(wanted):
        for line in tracer.stdout:
            seen.append(json.loads(line))
            if wanted(seen[-1]):
                return
        raise AssertionError("the program ended early: %s" % seen)
    time.sleep(1.5)
    roots.append(plug(workdir, "1.8", 4096))
    wait_for(lambda event: event["event"] == "result")
    assert seen[-1]["outcome"] == "updated" and seen[-1]["updated"] == 1, seen[-1]
    roots.append(plug(workdir, "1.8", 4096))
    wait_for(lambda event: event["event"] == "progress" and event["root"] == roots[1] and event["value"] > 0)
    task = "/proc/%d/task/%d/children" % (tracer.pid, tracer.pid)
    os.kill(int(open(task).read().split()[0]), signal.SIGTERM)
    wait_for(lambda event: event["event"] == "done")
    assert tracer.wait(20) == 0, "exit status %d after SIGTERM" % tracer.returncode
    assert [event["outcome"] for event in seen if event["event"] == "result"] == ["updated", "stopped"], seen
    return roots, [("1.8", 0)] * 2


def play(row, program, workdir, bundled):
    name, units, options, status, firmware = row
    if units is None:
        roots, units = play_watch(program, workdir, bundled)
    else:
        roots = [plug(workdir, version, kib) for version, kib in units]
        run = subprocess.run([program] + options, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                             timeout=60)
        assert run.returncode == status, "exit status %d, expected %d\n%s" % (run.returncode, status, run.stderr)
        if status == 3:
            assert "Usage:" in run.stderr, run.stderr
        if status == 1:
            assert "%s: failed: full drive" % roots[0] in run.stdout, run.stdout
        if "--json" in options:
            seen = [json.loads(line) for line in run.stdout.splitlines()]
            kinds = [event["event"] for event in seen]
            for kind in ["unit", "versionCheck", "progress", "verified", "versionWritten", "result", "done"]:
                assert kind in kinds, "no %r event in %s" % (kind, kinds)
            assert seen[kinds.index("verified")]["bytes"] == len(bundled), seen
            assert "%" not in run.stderr, "a progress bar beside --json: %r" % run.stderr
    check_units(roots, units, firmware, bundled)


def main(program, bundled_path):
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1":
        print("SKIP: needs root in a private mount namespace (ctest -R cli_update)")
        return 77
    bundled = open(bundled_path, "rb").read()
    # Units of the machine's own stay out of this namespace's sight.
    for line in open("/proc/self/mounts"):
        if os.path.isfile(os.path.join(line.split()[1], "lumetra.bin")):
            subprocess.run(["umount", "-l", line.split()[1]], check=True)
    failed = 0
    for row in ROWS:
        with tempfile.TemporaryDirectory() as workdir:
            try:
                play(row, program, workdir, bundled)
                print("PASS: %s" % row[0])
            except Exception as error:
                print("FAIL: %s: %s" % (row[0], error))
                failed += 1
            finally:
                for root in os.listdir(workdir):
                    subprocess.run(["umount", "-l", os.path.join(workdir, root)], stderr=subprocess.DEVNULL)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
