#!/usr/bin/env python3
"""Freezes of the crash lab's and the freeze lab's main threads under Wine, and the reports the
freeze watcher makes of them (printed to the standard output)."""
import os
import re
import subprocess
import sys
import tempfile

WINE_RUN, FREEZELAB, FREEZELAB_SOURCE, CRASHLAB, CRASHLAB_SOURCE, CRASHLAB_OPTIONS = sys.argv[1:7]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(exe, *args):
    result = subprocess.run(["bash", WINE_RUN, exe, *args], capture_output=True, timeout=180)
    out = result.stdout.decode("latin-1")
    err = result.stderr.decode("latin-1")
    print("--- %s: exit code %d, %d bytes out; stderr: %s" %
          (" ".join(args), result.returncode, len(out), err[:300]))
    return result.returncode, out


def marked_line(source, marker):
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.rstrip().endswith("// " + marker):
                return number
    raise SystemExit("no marker " + marker)


def field(report, number):
    match = re.search(r"^  %s [^:]*: (.*)$" % re.escape(number), report, re.M)
    return match.group(1).rstrip("\r") if match else None


def reports(out):
    """The reports printed, each from its first line."""
    parts = re.split(r"(?=OskedaLog 5\.1\.12)", out)
    return [p for p in parts if p.startswith("OskedaLog 5.1.12")]


def first_own_frame(report, source_suffix):
    block = report.split("Call Stack Information:", 1)[1].split("Modules Information:", 1)[0]
    rows = []
    first_thread = None
    for line in block.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if re.match(r"\|(Exception|Calling|Running) Thread", line.strip()):
            if first_thread is not None:
                break  # only the first thread's rows
            first_thread = cells[0]
        elif first_thread is not None and len(cells) == 6 and re.fullmatch(r"[0-9A-F]{8}", cells[0]):
            rows.append(cells)
    own = [r for r in rows if r[2].endswith(source_suffix)]
    return first_thread or "", own[0] if own else None


def check_freeze_report(what, report, message, source, source_suffix, function, marker):
    check(field(report, "2.4") == "EFrozenApplication",
          "%s: 2.4 is EFrozenApplication, not %r" % (what, field(report, "2.4")))
    check(field(report, "2.5") == message, "%s: 2.5 is %r, not %r" % (what, message, field(report, "2.5")))
    head, own = first_own_frame(report, source_suffix)
    check(re.match(r"Exception Thread: ID=\d+; .*\[Main\]", head) is not None,
          "%s: the main thread as the exception thread first, not %r" % (what, head))
    check(own is not None and own[4] == function,
          "%s: first own frame in %s, not %r" % (what, function, own))
    if own is not None and marker:
        line = own[5].split("[")[0]
        check(line == str(marked_line(source, marker)),
              "%s: first own frame at line %s, the marked line is %d" % (what, line, marked_line(source, marker)))


# The crash lab's hang case with its own options and the freeze watch on for 2 s: the main
# thread sleeps 8 s in StopAnswering, and is reported as frozen there, again every 2 s.
with open(CRASHLAB_OPTIONS, encoding="utf-8") as f:
    options = f.read().replace("[Options]\n", "[Options]\nFreezeWatch = true\nFreezeSeconds = 2\n"
                               "FreezeText = \"CrashLab stopped answering.\"\n", 1)
fd, path = tempfile.mkstemp(suffix=".ini", dir=os.path.dirname(CRASHLAB))
with os.fdopen(fd, "w") as f:
    f.write(options)
rc, out = run(CRASHLAB, "--options", "Z:" + path.replace("/", "\\"), "hang")
os.unlink(path)
found = reports(out)
check(rc == 1, "hang: exit code 1 after the reports, got %d" % rc)
check(2 <= len(found) <= 4, "hang: reported again while the freeze lasts (%d reports in 8 s)" % len(found))
if found:
    check_freeze_report("hang", found[0], "CrashLab stopped answering.", CRASHLAB_SOURCE,
                        "crashlab/CrashLab.cpp", "StopAnswering", "CrashLab fault: hang")
    main_id = re.search(r"Exception Thread: ID=(\d+)", found[0])
    check(main_id is not None and all(("Exception Thread: ID=%s" % main_id.group(1)) in r for r in found),
          "hang: every report is of the same (main) thread")

# Without the freeze watch the same hang is not reported.
rc, out = run(CRASHLAB, "hang")
check(rc == 0 and not reports(out), "hang without the freeze watch: nothing reported")


def check_lab(case, expect_before):
    rc, out = run(FREEZELAB, case)
    found = reports(out)
    before = re.search(r"reports before the final hang: (\d+)", out)
    check(before is not None and int(before.group(1)) == expect_before,
          "%s: %s report(s) before the final hang" % (case, before.group(1) if before else "no line of"))
    check(rc == 1 and len(found) == 1, "%s: one report in all (%d), exit code %d" % (case, len(found), rc))
    if found:
        check_freeze_report(case, found[0], "FreezeLab stopped answering.", FREEZELAB_SOURCE,
                            "freeze/FreezeLab.cpp", "FinalHang", "FreezeLab hang: final")
    return out


# A main thread that answers every 1.5 s is never reported, with a 2 s limit.
check_lab("slow", 0)
# 1.5 s unanswered, then its window destroyed and another made, then 1.5 s more: the count
# started again with the new window.
check_lab("destroy", 0)
# FreezeWatch off stops the watcher; on again starts a new one, which reports the final hang.
out = check_lab("toggle", 0)
ids = dict(re.findall(r"^(on|off|on again): watcher (\d+)", out, re.M))
check(ids.get("on", "0") != "0" and ids.get("off") == "0" and ids.get("on again", "0") not in ("0", ids.get("on")),
      "toggle: a watcher, none, then a new one: %r" % ids)

# A main thread stopped while it allocates may hold the heap's lock: the report is still made.
rc, out = run(FREEZELAB, "allocate")
found = reports(out)
check(rc == 1 and len(found) == 1, "allocate: one report (%d), exit code %d" % (len(found), rc))
if found:
    check_freeze_report("allocate", found[0], "FreezeLab stopped answering.", FREEZELAB_SOURCE,
                        "freeze/FreezeLab.cpp", "AllocatingHang", None)

print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
