#!/usr/bin/python3
"""cli_update.py <LumetraInstaller> <bundled lumetra.bin> rows|two|one: the program without a window on real tmpfs
units, the table's rows or a fault sweep. ctest runs it as root in a private mount namespace; it skips (77) without."""
import collections, fcntl, glob, hashlib, json, os, signal, subprocess, sys, tempfile, threading, time  # noqa: E401

OLD = os.urandom(200000)  # the unit's firmware before: anything but the bundled image
QUIET = ["--yes", "--no-eject"]  # the removal is the last row's and the eject tests' (udisks of their own)
TWO, ONE = 4096, 700  # tmpfs KiB: room for two images; for one only (beside a 400,000-byte old image)
SLOW_WRITES = ["strace", "-f", "-qq", "-o", "/dev/null", "--seccomp-bpf", "-e", "trace=write",
               "-e", "inject=write:delay_enter=20000"]  # a copy then takes seconds: a stop lands inside it
EVENTS = ["unit", "versionCheck", "progress", "verified", "versionWritten", "result", "done"]
OPTIONS = "--list --update --verify --all --yes --no-eject --force --watch --json --lang --help --version --log-dir"
# A mount point, and a version, that would forge a row, retitle the terminal, ring it, overwrite or reverse a line
FORGED, CONTROLS = "a\nb\x1b]0;retitled\x07\tup to date\r\u202e", "\n\x1b\x07\r\u202e"
SANITIZED = bool(os.environ.get("LUMETRA_SANITIZER"))
RUNNER = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "run-test.sh")


def says(*lines):
    """Standard output holds these lines, {0}, {1} standing for the units' roots."""
    return lambda run, roots: [line.format(*roots) for line in lines if line.format(*roots) not in run.stdout]


def usage(run, _):
    return "Usage:" not in run.stderr and run.stderr


BY_HAND = "the system cannot open its volume"  # a tmpfs unit's removal: udisks knows no device behind it (code 2)


def by_hand(run, roots):
    """The removal refused: updated and up to date all the same, its code and reason apart (history, JSON result and
    counts, or the words), and no debug or progress line on the terminal."""
    wanted = [("updated", 2, BY_HAND), ("up to date", 2, BY_HAND)]
    wrong = [(r["outcome"], r["removal"], r.get("removalReason")) for r in history()] != wanted
    if "--json" not in run.args:
        hint = "; eject it yourself before unplugging: " + BY_HAND
        return wrong or "copy file progress" in run.stderr or says("{0}: updated: 1.8 -> 1.73" + hint,
                                                                    "{1}: up to date: 1.73" + hint)(run, roots)
    seen = [json.loads(line) for line in run.stdout.splitlines()]
    said = [(e["outcome"], e.get("removal"), e.get("removalReason")) for e in seen if e["event"] == "result"]
    return wrong or said != wanted or [seen[-1][key] for key in ("updated", "upToDate", "failed")] != [1, 1, 0]


def named_once(run, roots):
    """The stopped mount ({-1}) beside the units is named in one warning."""
    return run.stderr.count(roots[-1]) != 1 and "named %d times" % run.stderr.count(roots[-1])


def events(run, roots):
    seen = [json.loads(line) for line in run.stdout.splitlines()]
    kinds = [event["event"] for event in seen]
    missing = [kind for kind in EVENTS if kind not in kinds]
    return missing or "%" in run.stderr or seen[kinds.index("unit")]["root"] != roots[0]


# name, units (version, None for a folder in its place; tmpfs KiB; what else: "leftovers", "new" or "empty" image,
# "link": the marker a link off the drive, "bound" also at a second mount point, a mount point name) in mount order,
# options (">full": standard output is a full disk; ">history/": the history a folder, which cannot be written;
# "runner": started through the tests' runner, in a namespace of its own; "ro:<folder>": a read-only tmpfs over the
# folder meanwhile; "stopped TYPE": first in the table a FUSE mount of that type whose server is stopped, as a lost
# share's; NAME=value: in its environment), exit status, firmware afterwards, a check of the run that returns what is
# wrong; or name, a play function, its argument
ROWS = [
    ("no unit", [], ["--update"] + QUIET, 2, [], None),
    ("1.8 and 1.73 with --all: one updated, one left alone", [("1.8", TWO), ("1.73", TWO)],
     ["--update", "--all"] + QUIET, 0, ["new", "old"], None),
    ("a full volume first, --all: fails with the reason, the other still updated",
     [("1.8", 300), ("1.8", TWO)], ["--update", "--all"] + QUIET, 1, ["old", "new"], says("{0}: failed: full drive")),
    ("one unit at 1.8, --json: updated, one object per event, no bar", [("1.8", TWO)],
     ["--update", "--json"] + QUIET, 0, ["new"], events),
    ("no terminal and no --yes: usage, nothing written", [("1.8", TWO)], ["--update", "--no-eject"], 3, ["old"], usage),
    ("--help names every option of both faces and the languages", [], ["--help"], 0, [],
     lambda run, _: [word for word in OPTIONS.split() + ["pt_BR"] if word not in run.stdout]),
    ("--version names the firmware's SHA-256", [], ["--version"], 0, [],
     lambda run, _: hashlib.sha256(BUNDLED).hexdigest() not in run.stdout),
    ("a version file that is a folder: refused before the image is touched", [(None, TWO)], ["--update"] + QUIET, 1,
     ["old"], says("{0}: failed: could not write Version.txt")),
    ("an image cut to nothing, room for the new one but not for the version's side copy too: in place, stamped",
     [("1.8", 408, "empty")], ["--update"] + QUIET, 0, ["new"], None),
    ("an option of the command line alone: usage, no window", [("1.8", TWO)], ["--json"], 3, ["old"], usage),
    ("a mount point and a version with controls: one escaped line", [("1.8" + FORGED, TWO, FORGED)], ["--list"], 0,
     ["old"], lambda run, roots: {*CONTROLS} & {*run.stdout[:-1]} or run.stdout.count("\\e]0;") != 2),
    ("the same with --json: the real path", [("1.8", TWO, FORGED)], ["--list", "--json"], 0, ["old"],
     lambda run, roots: json.loads(run.stdout.splitlines()[0])["root"] != roots[0]),
    ("a mount point that is not UTF-8: named as skipped", [("1.8", TWO, b"caf\xff")], ["--list"], 2, ["old"],
     lambda run, roots: "caf\\xff: skipped" not in run.stderr),
    ("--list onto a full disk: exit 1", [("1.8", TWO)], ["--list", ">full"], 1, ["old"], None),
    ("a unit of the machine's own: a test's program sees none, the unit keeps image, version and mount",
     [("1.8", TWO)], ["runner", "--update", "--all"] + QUIET, 2, ["old"], None),
    ("a lock folder that cannot be written: failed with its reason, not busy", [("1.8", TWO)],
     ["ro:/run/lock", "--update"] + QUIET, 1, ["old"],
     lambda run, roots: [record["outcome"] for record in history()] != ["failed"] or says("{0}: failed: could not lock the unit: /run/")(run, roots)),
    ("--verify: one unit matches, the other's image differs under 1.73", [("1.73", TWO, "new"), ("1.73", TWO)],
     ["--verify", "--all"], 1, ["new", "old"],
     says("{0}: matches 1.73", "{1}: differs from 1.73 (Version.txt says 1.73)")),
    ("--verify on a unit whose lumetra.bin is a link: not a unit, not a drive gone", [("1.73", TWO, "link")],
     ["--verify"], 1, ["old"], says("{0}: failed: not a unit: its lumetra.bin is a link")),
    ("a warning while the bar is drawn starts on a line of its own", [("1.8", 300)], ["--update", ">history/"] + QUIET,
     1, ["old"], lambda run, _: "\nlumetra.output: LumetraInstaller: the update history" not in "\n" + run.stderr),
    ("--update --force rewrites a unit at 1.73", [("1.73", TWO)], ["--update", "--force"] + QUIET, 0, ["new"], None),
    ("leftovers of a crash on a 700 KiB drive: removed first, updated beside the old image",
     [("1.8", ONE, "leftovers")], ["--update"] + QUIET, 0, ["new"], None),
    ("a removal the system refuses: updated and up to date all the same, eject by hand, exit 4",
     [("1.8", TWO), ("1.73", TWO)], ["--update", "--all", "--yes"], 4, ["new", "old"], by_hand),
    ("the same with --json: outcome and counts as updated, the removal's code and reason apart",
     [("1.8", TWO), ("1.73", TWO)], ["--update", "--all", "--yes", "--json"], 4, ["new", "old"], by_hand),
    ("QT_LOGGING_RULES naming the per-block lines: on the terminal", [("1.8", TWO)],
     ["--update", "QT_LOGGING_RULES=lumetra.progress.debug=true"] + QUIET, 0, ["new"],
     lambda run, _: "lumetra.progress: copy file progress" not in run.stderr),
    ("a stopped FUSE mount beside the unit, --list: the unit listed, the mount named once", [("1.8", TWO)],
     ["--list", "stopped fusefat"], 0, ["old"], named_once),
    ("the same with --update: updated", [("1.8", TWO)], ["--update", "stopped fusefat"] + QUIET, 0, ["new"],
     named_once),
    ("a stopped sshfs beside the unit: not looked into", [("1.8", TWO)], ["--list", "stopped sshfs"], 0, ["old"],
     lambda run, roots: roots[-1] in run.stderr and "looked into"),
    ("a unit at two mount points (a bind mount), --all: one unit, updated once", [("1.8", TWO, "bound")],
     ["--update", "--all"] + QUIET, 0, ["new"], lambda run, roots: run.stdout != "%s: updated: 1.8 -> 1.73\n" % roots[0]
     and "not one line, updated"),
    # during: room, what happens once the copy moves, exit status, the history's outcomes, firmware afterwards,
    # further options
    ("--watch, SIGTERM during the copy: the watch ends with 0, old firmware, on record", "during",
     (TWO, signal.SIGTERM, 0, ["failed"], "old", ["--watch"])),
    ("two at once on one unit, each with its own TMPDIR: one updates, the other says busy", "during",
     (TWO, "busy", 0, ["busy", "updated"], "new")),
    ("a run killed mid-copy: its lock keeps no other user out, who updates the unit", "during",
     (TWO, "killed", -signal.SIGKILL, ["updated"], "new")),
    ("SIGHUP during the copy beside the old image: stopped, old firmware, on record", "during",
     (TWO, signal.SIGHUP, 1, ["failed"], "old")),
    ("SIGHUP while writing in place: the write is finished, then updated", "during",
     (ONE, signal.SIGHUP, 0, ["updated"], "new")),
    ("the reader of --json goes away mid-copy: the update goes on, exit 1", "during",
     (TWO, "gone", 1, ["updated"], "new")),
    ("another program halfway through its record: this one's waits, each line whole", "during",
     (TWO, "history", 0, ["other", "updated"], "new")),
    ("--watch: another unit mounted where the updated one was is updated too", "watch", "swap"),
    ("--watch: a unit left with an incomplete firmware is updated again", "watch", "retry"),
    ("--json with a removal that udisks carries out: standard output holds JSON alone", "removal", None),
    ("1.73 beside another image, --force in place, an I/O error mid-write: no longer 1.73, --update mends it",
     "forced", ("write", "error=EIO", 50)),
    ("faults at every call, room for two images", "sweep", TWO), ("the same, room for one", "sweep", ONE),
]


def plug(workdir, version, kib, what=None):
    root = tempfile.mkdtemp(dir=workdir)
    if isinstance(what, (str, bytes)) and what not in ("leftovers", "new", "empty", "link", "bound"):
        root = os.path.join(os.fsencode(root) if isinstance(what, bytes) else root, what)
        os.mkdir(root)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % kib, "tmpfs", root], check=True)
    if what == "link":  # the old image is written through it
        os.symlink(os.path.join(workdir, "elsewhere.bin"), os.path.join(root, "lumetra.bin"))
    files = {"lumetra.bin": {"new": BUNDLED, "empty": b""}.get(what, OLD * 2 if kib == ONE and not what else OLD),
             "Version.txt": version and version.encode()}
    if what == "leftovers":  # a whole image beside the old one: no room left even in place until it goes
        files.update({"lumetra.bin.new": os.urandom(411240), "Version.txt.new": b""})
    for name, data in files.items():
        path = os.path.join(os.fsdecode(root), name)
        os.mkdir(path) if data is None else open(path, "wb").write(data)
    if what == "bound":
        os.mkdir(root + ".bound")
        subprocess.run(["mount", "--bind", root, root + ".bound"], check=True)
    return root


def stopped_fuse(workdir, subtype):
    """A FAT image served by fusefat as a file system of the given type, its server then stopped: every look into it
    waits for an answer that never comes. Its path and its server's pid."""
    image, path = os.path.join(workdir, "fat.img"), os.path.join(workdir, subtype)
    subprocess.run(["truncate", "-s", "1M", image], check=True)
    subprocess.run(["mkfs.fat", image], stdout=subprocess.DEVNULL, check=True)
    os.mkdir(path)
    subprocess.run(["fusefat", "-o", "ro,subtype=" + subtype, image, path], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    server = int(subprocess.run(["pgrep", "-f", image], capture_output=True, text=True).stdout.split()[0])
    os.kill(server, signal.SIGSTOP)
    # Stopped once every thread of it is: one still on its way could take the first request and hold the asking
    # thread where not even a kill reaches it.
    tasks = "/proc/%d/task/*/stat" % server
    while any(open(stat).read().rsplit(")", 1)[1].split()[0] != "T" for stat in glob.glob(tasks)):
        pass
    return path, server


def state(root):
    """What the unit holds: (firmware "new", "old", "part" or None, Version.txt, the other files)."""
    root = os.fsdecode(root)
    image, version = os.path.join(root, "lumetra.bin"), os.path.join(root, "Version.txt")
    image = open(image, "rb").read() if os.path.isfile(image) else None
    firmware = None if image is None else "new" if image == BUNDLED else "old" if image in (OLD, OLD * 2) else "part"
    version = open(version, "rb").read().decode() if os.path.isfile(version) else None
    return firmware, version, sorted(set(os.listdir(root)) - {"lumetra.bin", "Version.txt"})


def check_units(roots, versions, expected):
    for root, version, firmware in zip(roots, versions, expected):
        found = state(root)
        assert found == (firmware, "1.73" if firmware == "new" else version, []), "%s holds %s" % (root, found)


def history():
    files = glob.glob(os.path.join(os.environ["XDG_DATA_HOME"], "LumetraInstaller", "history.jsonl"))
    return [json.loads(line) for line in open(files[0])] if files else []


def traced():
    # LeakSanitizer cannot work under a tracer, nor stop a thread the kernel holds in a dead mount's request: in a
    # sanitizer build it would fail or hang the program's end.
    return dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")


def start(program, options):
    return subprocess.Popen(SLOW_WRITES + [program] + options + QUIET, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            text=True, env=traced())


def traced_pid(tracer):
    return int(open("/proc/%d/task/%d/children" % (tracer.pid, tracer.pid)).read().split()[0])


def wait_for(tracer, seen, wanted):
    for line in tracer.stdout:
        seen.append(json.loads(line))
        if wanted(seen[-1]):
            return
    raise AssertionError("the program ended early: %s" % seen)


def play_during(program, workdir, how):
    """Once the copy moves: a second run ("busy"), the reader of --json gone ("gone"), a kill and a run as another
    user ("killed"), another program writing the history ("history") or a signal."""
    kib, what, status, outcomes, firmware, *more = how
    root, seen = plug(workdir, "1.8", kib), []
    tracer = start(program, ["--update", "--json"] + sum(more, []))
    wait_for(tracer, seen, lambda event: event["event"] == "progress" and event["root"] == root and event["value"] > 0)
    if what == "busy":
        second = subprocess.run([program, "--update"] + QUIET, capture_output=True, text=True, timeout=30,
                                env=dict(os.environ, TMPDIR=workdir))
        assert second.returncode == 1 and "%s: busy: being updated by another LumetraInstaller (pid %d)" % (
            root, traced_pid(tracer)) in second.stdout, second
    elif what == "gone":
        tracer.stdout.close()
    elif what == "history":  # held, half a line written, until the program has it open to add its own record
        path, fds = os.path.join(os.environ["XDG_DATA_HOME"], "LumetraInstaller"), "/proc/%d/fd/" % traced_pid(tracer)
        os.makedirs(path, exist_ok=True)
        with open(os.path.join(path, "history.jsonl"), "a") as other:
            fcntl.flock(other, fcntl.LOCK_EX)
            other.write('{"outcome": '), other.flush()
            while other.name not in [os.path.realpath(fds + fd) for fd in os.listdir(fds)]:
                time.sleep(0.01)
            other.write('"other"}\n')
    elif what == "killed":
        os.kill(traced_pid(tracer), signal.SIGKILL)
        tracer.wait(60)
        os.makedirs(os.environ["XDG_DATA_HOME"], exist_ok=True)
        os.chmod(workdir, 0o755)
        subprocess.run(["chown", "-R", "nobody", root, os.environ["XDG_DATA_HOME"]], check=True)
        second = subprocess.run(["runuser", "-u", "nobody", "--", program, "--update"] + QUIET, capture_output=True,
                                text=True, timeout=30)
        assert second.returncode == 0 and "%s: updated" % root in second.stdout, second
    else:
        os.kill(traced_pid(tracer), what)
        wait_for(tracer, seen, lambda event: event["event"] == "done")
    assert tracer.wait(60) == status, "exit status %d" % tracer.returncode
    assert ("finishing the write, do not unplug" in tracer.stderr.read()) == (kib == ONE)
    assert [record["outcome"] for record in history()] == outcomes, history()
    check_units([root], ["1.8"], [firmware])


def play_watch(program, workdir, how):
    """--watch, beside a stopped FUSE mount named once: another unit mounted where the first one was ("swap"), or one
    whose write in place failed once ("retry"); a guard ends the watch should the second update never come."""
    stopped, server = stopped_fuse(workdir, "fusefat")
    root, seen = plug(workdir, "1.8", TWO if how == "swap" else ONE), []
    fault = ["strace", "-f", "-qq", "-o", "/dev/null", "-P", os.path.join(root, "lumetra.bin"), "-e",
             "inject=write:error=EIO:when=2"] if how == "retry" else []
    watch = subprocess.Popen(fault + [program, "--update", "--watch", "--json"] + QUIET, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True, env=traced())
    end = lambda: os.kill(traced_pid(watch) if fault else watch.pid, signal.SIGTERM)  # noqa: E731
    guard = threading.Timer(60, end)
    guard.start()
    ended = lambda outcome: lambda event: event["event"] == "result" and event["outcome"] == outcome  # noqa: E731
    try:
        wait_for(watch, seen, ended("updated" if how == "swap" else "failed"))
        if how == "swap":
            check_units([root], ["1.8"], ["new"])
            stage = tempfile.mkdtemp(dir=workdir)
            subprocess.run(["mount", "-t", "tmpfs", "tmpfs", stage], check=True)
            os.mkdir(os.path.join(stage, "unit"))
            for name, data in (("lumetra.bin", OLD), ("Version.txt", b"1.8")):
                open(os.path.join(stage, "unit", name), "wb").write(data)
            # Over the first one in one step: the path never shows no unit between two looks.
            subprocess.run(["mount", "--bind", os.path.join(stage, "unit"), root], check=True)
        else:
            assert "incomplete firmware" in seen[-1]["detail"], seen[-1]
        wait_for(watch, seen, ended("updated"))
        check_units([root], ["1.8"], ["new"])
        end()
        said = watch.communicate(timeout=60)[1]
        # The failed first try still counts.
        assert watch.returncode == (how == "retry") and said.count(stopped) == 1, \
            "exit %d, the stopped mount named %d times: %s" % (watch.returncode, said.count(stopped), said)
    finally:
        guard.cancel()
        os.kill(server, signal.SIGKILL)
        if watch.poll() is None:
            end()
        watch.wait(60)
        if how == "swap":
            subprocess.run(["umount", root])


def play_removal(program, workdir, _):
    if subprocess.run(["udisksctl", "status"], capture_output=True).returncode:
        return print("SKIP: no udisks here")
    image = os.path.join(workdir, "unit.img")
    subprocess.run(["truncate", "-s", "16M", image], check=True)
    subprocess.run(["mkfs.ext4", "-q", "-F", image], check=True)
    device = udisks(["loop-setup", "-f", image], " as ")
    root = udisks(["mount", "-b", device], " at ")
    for name, data in (("lumetra.bin", OLD), ("Version.txt", b"1.8")):
        open(os.path.join(root, name), "wb").write(data)
    run = subprocess.run([program, "--update", "--json", "--yes"], capture_output=True, text=True, timeout=60)
    subprocess.run(["losetup", "-d", device])
    removal = {"event": "removal", "root": root, "code": 0}
    assert run.returncode == 0 and removal in [json.loads(line) for line in run.stdout.splitlines()], run
    assert "Success" in run.stderr, "the removal's own words are gone: %r" % run.stderr


def udisks(command, before):
    """What udisksctl answers after the given word, once it answers (udev may be slow to probe a new device)."""
    for _ in range(100):
        answer = subprocess.run(["udisksctl"] + command + ["--no-user-interaction"], capture_output=True, text=True)
        if answer.returncode == 0 and before in answer.stdout:
            return answer.stdout.strip().rstrip(".").split(before)[-1]
        time.sleep(0.2)
    raise AssertionError("udisksctl %s: %s" % (" ".join(command), answer.stderr))


def play(row, program, workdir):
    name, units, options = row[:3]
    if isinstance(units, str):
        return globals()["play_" + units](program, workdir, options)
    status, firmware, check = row[3:]
    stopped = [stopped_fuse(workdir, option.split()[1]) for option in options if option.startswith("stopped ")]
    covered = [option[3:] for option in options if option.startswith("ro:")]
    try:
        roots = [plug(workdir, *unit) for unit in units]
        if ">history/" in options:
            os.makedirs(os.path.join(os.environ["XDG_DATA_HOME"], "LumetraInstaller", "history.jsonl"))
        for folder in covered:
            subprocess.run(["mount", "-t", "tmpfs", "-o", "ro", "tmpfs", folder], check=True)
        command = [RUNNER, "root"] if "runner" in options else []
        command += [program] + [option for option in options if option[0] == "-"]
        settings = dict(option.split("=", 1) for option in options if "=" in option and option[0] != "-")
        with open("/dev/full" if ">full" in options else os.devnull, "w") as full:
            started = time.monotonic()
            run = subprocess.run(command, stdin=subprocess.DEVNULL, errors="replace", timeout=30,
                                 env=dict(traced() if stopped else os.environ, **settings),
                                 stdout=full if ">full" in options else subprocess.PIPE, stderr=subprocess.PIPE)
        if stopped:
            print("  %.2f s with a stopped mount beside the unit: %s" % (time.monotonic() - started, name))
        assert run.returncode == status, "exit status %d, expected %d\n%s" % (run.returncode, status, run.stderr)
        wrong = check and check(run, [os.fsdecode(root) for root in roots] + [path for path, _ in stopped])
        assert not wrong, "%s\n%s%s" % (wrong, run.stdout, run.stderr)
        check_units(roots, [unit[0] for unit in units], firmware)
    finally:
        for folder in covered:
            subprocess.run(["umount", folder], check=True)
        for _, server in stopped:  # a stopped server holds every look into it, the cleanup's too
            os.kill(server, signal.SIGKILL)


def faulted(program, root, path, fault, trace="/dev/null", more=()):
    """One update with strace making one call on one file fail (EIO) or kill the program; or tracing them."""
    command = ["strace", "-f", "-qq", "-o", trace, "-P", os.path.join(root, path)]
    command += ["-e", "inject=%s:%s:when=%d" % fault] if fault else []
    return subprocess.run(command + [program, "--update", *more] + QUIET, capture_output=True, text=True,
                          timeout=60, env=traced())


def play_forced(program, workdir, fault):
    """A unit stamped 1.73 beside another image, rewritten in place, the write failing midway: it must ask again."""
    root = plug(workdir, "1.73", ONE)
    run = faulted(program, root, "lumetra.bin", fault, more=["--force"])
    assert run.returncode == 1 and "incomplete firmware" in run.stdout, run.stdout
    again = faulted(program, root, "lumetra.bin", None)
    assert again.returncode == 0 and state(root) == ("new", "1.73", []), "%s\n%s" % (state(root), again.stdout)


def fault_points(program, workdir, kib, path):
    """Every call the update makes on the file, with the per-block writes sampled: first, middle, last."""
    root, trace = plug(workdir, "1.8", kib), os.path.join(workdir, "trace")
    assert faulted(program, root, path, None, trace).returncode == 0
    subprocess.run(["umount", root], check=True)
    names = [line.split(None, 1)[1].split("(")[0] for line in open(trace) if "(" in line]
    # A side file takes the old one's place only once it is on the device: a power cut after the rename
    # must not leave the unit with an empty or torn file under the real name.
    renamed = [index for index, name in enumerate(names) if name.startswith("rename")]
    assert not renamed or {"fsync", "fdatasync"} & set(names[:renamed[0]]), "%s renamed unflushed: %s" % (path, names)
    for call, count in sorted(collections.Counter(names).items()):
        for number in sorted({1, count // 2 or 1, count}) if call == "write" else range(1, count + 1):
            # Under a sanitizer the error paths are what it can see; a kill is the normal build's to prove.
            for action in ("error=EIO",) if SANITIZED else ("error=EIO", "signal=SIGKILL"):
                yield call, action, number


def unflushed(program, workdir, kib):
    """The changes of the unit's folder (a rename, a removal) that its flush does not follow before the next one or the
    end: a drive pulled right after would bring the old name back."""
    root, trace = plug(workdir, "1.8", kib), os.path.join(workdir, "folder")
    command = ["strace", "-f", "-qq", "-y", "-o", trace, "-e", "trace=rename,renameat,renameat2,unlink,unlinkat,fsync"]
    assert subprocess.run(command + [program, "--update"] + QUIET, capture_output=True, env=traced()).returncode == 0
    subprocess.run(["umount", root], check=True)
    missed, pending = [], []
    for call in [line.split(None, 1)[1].strip() for line in open(trace) if root in line]:
        if not call.startswith("fsync("):
            missed, pending = missed + pending, [call]
        elif "<%s>)" % root in call:
            pending = []
    return missed + pending


def play_sweep(program, workdir, kib):
    """Faults at every call on the unit's files: the unit is never left unrecognised or called up to date. First,
    without faults, each change of its folder flushed."""
    missed = unflushed(program, workdir, kib)
    assert not missed, "the folder not flushed after %s" % missed
    tried, failures = 0, []
    for path in ["lumetra.bin", "lumetra.bin.new", "Version.txt", "Version.txt.new"]:
        for fault in list(fault_points(program, workdir, kib, path)):
            root = plug(workdir, "1.8", kib)
            run = faulted(program, root, path, fault)
            firmware, version, others = state(root)
            where, tried = "%s %s:%s:when=%d" % (path, *fault), tried + 1
            sound = firmware in ("new", "old") or (firmware == "part" and kib == ONE)
            # In place, Version.txt goes before the first byte: none (read as 1.0) asks for the update again.
            stamps = ("1.8", "1.73", None) if kib == ONE else ("1.8", "1.73")
            if not sound or version not in stamps or (version == "1.73" and firmware != "new"):
                failures.append("%s: firmware %s, Version.txt %r" % (where, firmware, version))
            elif run.returncode == 0 and (firmware, version) != ("new", "1.73"):
                failures.append("%s: exit 0 with firmware %s, Version.txt %r" % (where, firmware, version))
            elif firmware == "part" and run.returncode > 0 and "incomplete firmware" not in run.stdout:
                failures.append("%s: a part-written image not said: %r" % (where, run.stdout))
            elif fault[:2] in (("write", "error=EIO"), ("fsync", "error=EIO")) and (
                    run.returncode == 0 or "verification failed" in run.stdout):  # the error, not the read-back
                failures.append("%s: the error not told, exit %d: %r" % (where, run.returncode, run.stdout))
            again = None if SANITIZED else faulted(program, root, path, None)
            if again and (again.returncode != 0 or state(root) != ("new", "1.73", [])):
                failures.append("%s: the next run left %s (exit %d)" % (where, state(root), again.returncode))
            subprocess.run(["umount", root], check=True)
    print("%s: %d fault points, %d failed" % ("room for one" if kib == ONE else "room for two", tried, len(failures)))
    assert not failures, "\n".join(failures)


def main(program, bundled_path, part):
    if os.geteuid() != 0 or os.environ.get("LUMETRA_PRIVATE_MOUNTS") != "1":
        print("SKIP: needs root in a private mount namespace (ctest -R cli_update)")
        return 77
    global BUNDLED
    BUNDLED = open(bundled_path, "rb").read()
    failed = 0
    # "rows", or one of the fault sweeps ("two", "one"): three tests that ctest runs side by side.
    for row in [row for row in ROWS if (row[1] == "sweep") != (part == "rows")
                and (part == "rows" or row[2] == {"two": TWO, "one": ONE}[part])]:
        with tempfile.TemporaryDirectory() as workdir:
            os.environ["XDG_DATA_HOME"] = os.path.join(workdir, "data")
            try:
                play(row, program, workdir)
                print("PASS: %s" % row[0])
            except Exception as error:
                print("FAIL: %s: %s" % (row[0], error))
                failed += 1
            finally:
                for root in glob.glob(os.path.join(workdir, "*", "*")) + glob.glob(os.path.join(workdir, "*")):
                    subprocess.run(["umount", "-l", root], stderr=subprocess.DEVNULL)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
