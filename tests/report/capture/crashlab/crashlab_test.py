#!/usr/bin/env python3
"""Runs the crash lab's cases under Wine and reads each report the way its developer would."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

WINE_RUN, CRASHLAB, SOURCE = sys.argv[1:4]
KEYED = sys.argv[4] if len(sys.argv) > 4 else None
failures = []
last_err = ""


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(case, options=None, exe=None):
    args = ["bash", WINE_RUN, exe or CRASHLAB]
    if options is not None:
        fd, path = tempfile.mkstemp(suffix=".ini", dir=os.path.dirname(CRASHLAB))
        with os.fdopen(fd, "w") as f:
            f.write(options)
        args += ["--options", "Z:" + path.replace("/", "\\")]
    args.append(case)
    result = subprocess.run(args, capture_output=True, timeout=120)
    if options is not None:
        os.unlink(path)
    out = result.stdout.decode("latin-1")
    global last_err
    last_err = result.stderr.decode("latin-1")
    print("--- %s: exit code %d, %d bytes out; stderr: %s" %
          (case, result.returncode, len(out), last_err[:300]))
    return result.returncode, out


def marked_line(case):
    with open(SOURCE, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.rstrip().endswith("// CrashLab fault: " + case):
                return number
    raise SystemExit("no marker for " + case)


def field(report, number):
    match = re.search(r"^  %s [^:]*: (.*)$" % re.escape(number), report, re.M)
    return match.group(1).rstrip("\r") if match else None


def stack_threads(report):
    """The call-stack block as (thread line, [rows as column lists]) in order."""
    block = report.split("Call Stack Information:", 1)[1].split("Modules Information:", 1)[0]
    threads = []
    for line in block.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if re.match(r"\|(Exception|Calling|Running) Thread", line.strip()):
            threads.append((cells[0], []))
        elif threads and len(cells) == 6 and re.fullmatch(r"[0-9A-F]{8}", cells[0]):
            threads[-1][1].append(cells)
    return threads


def check_report(case, out, type_, message, raise_kind):
    check("OskedaLog 5.1.12" in out, case + ": a report was printed")
    check(out.startswith("CrashLab has met an error.\r\n\r\n"), case + ": text 3 and an empty line first")
    address = field(out, "2.2")
    started, raised = field(out, "1.1"), field(out, "2.1")
    check(started is not None and raised is not None and started.split()[3] == raised.split()[3],
          "%s: 1.1 the start of the process (%r), in the year of 2.1" % (case, started))
    check(field(out, "2.3") == "CrashLab.exe", case + ": 2.3 is the program")
    check(field(out, "2.4") == type_, "%s: 2.4 is %s, not %s" % (case, type_, field(out, "2.4")))
    check(field(out, "2.5") is not None and re.fullmatch(message, field(out, "2.5")) is not None,
          "%s: 2.5 %r" % (case, field(out, "2.5")))
    threads = stack_threads(out)
    check(threads and threads[0][0].startswith("Exception Thread"), case + ": the exception thread first")
    check(len(threads) >= 5, "%s: %d threads listed" % (case, len(threads)))
    if not threads:
        return
    rows = threads[0][1]
    own = [r for r in rows if r[2].endswith("crashlab/CrashLab.cpp")]
    check(bool(own), case + ": a frame of the crash lab's own code")
    if own:
        line = own[0][5].split("[")[0]
        check(line == str(marked_line(case)),
              "%s: first own frame at line %s, the marked line is %d" % (case, line, marked_line(case)))
        check(own[0][0] == address, case + ": the first own frame is the raise address")
    eip = re.search(r"EIP: ([0-9A-F]{8})", out)
    check(eip is not None and eip.group(1) == address, case + ": EIP at the fault")
    modules = out.split("Modules Information:", 1)[1]
    check(re.search(r"\|CrashLab\.exe\s*\|", modules) is not None, case + ": the program in the modules")
    check(re.search(r"\|kernel32\.dll\s*\|[^|]*\|\d+\.\d+\.\d+\.\d+", modules) is not None,
          case + ": kernel32 with its version in the modules")


AV = r"Access violation at address [0-9A-F]{8} in module 'CrashLab\.exe'\. %s of address %s\."
REPORTING = [
    ("throw-handler", 0, "Exception", r"CrashLab handler failure\."),
    ("throw-std", 0, "std::runtime_error", r"CrashLab standard failure\."),
    ("throw-int", 0, "Unknown exception type.", r"Unknown error message\."),
    ("av-read", 1, "EAccessViolation", AV % ("Read", "00000000")),
    ("av-write", 1, "EAccessViolation", AV % ("Write", "00000010")),
    ("div-zero", 1, "EDivByZero", r"Division by zero\."),
    ("thread-throw", 1, "Exception", r"CrashLab thread failure\."),
    ("winthread-av", 1, "EAccessViolation", AV % ("Read", "00000000")),
    ("stack-overflow", 1, "EStackOverflow", r"Stack overflow\."),
    # std::terminate() with no exception active: reported where it was called.
    ("terminate", 1, "EAbnormalTermination", r"terminate called without an active exception\."),
]
for case, code, type_, message in REPORTING:
    rc, out = run(case)
    check(rc == code, "%s: exit code %d, expected %d" % (case, rc, code))
    check_report(case, out, type_, message, None)
    # After a stack overflow the faulting thread has no stack left: the reporting thread runs them.
    where = "other" if case == "stack-overflow" else "faulting"
    check("event notify on the %s thread" % where in last_err
          and "event action 0 on the %s thread" % where in last_err,
          case + ": the events ran on the %s thread" % where)
    check("CrashLab custom data" in out, case + ": the process-wide custom data in the report")

# The DLL's copy forwards its throw record and ExceptionManager to the program's copy: the
# throw call lies in the DLL. (The DLL's own frames are named once the collector reads the
# debug tables of every registered module.)
rc, out = run("dll-throw")
check(rc == 0 and out.count("OskedaLog 5.1.12") == 1, "dll-throw: one report, program survives")
check(field(out, "2.3") == "CrashLabDll.dll" and field(out, "2.4") == "Exception"
      and field(out, "2.5") == "CrashLab DLL failure.", "dll-throw: 2.3 to 2.5 of the DLL's throw")
eip = re.search(r"EIP: ([0-9A-F]{8})", out)
check(eip is not None and eip.group(1) == field(out, "2.2"), "dll-throw: EIP at the throw call")
# The module's exported event comes before the process-wide handler.
check("CrashLab DLL data; CrashLab custom data" in out, "dll-throw: the DLL's own event first")

# A vetoing notify event ends the handling: nothing shown; a skipped display action likewise.
os.environ["CRASHLAB_EVENTS"] = "veto"
rc, out = run("av-read")
check(rc == 1 and "OskedaLog" not in out and "event notify" in last_err
      and "event action" not in last_err, "veto: no display, no action")
os.environ["CRASHLAB_EVENTS"] = "skip-display"
rc, out = run("throw-handler")
check(rc == 0 and "OskedaLog" not in out and "event action 0" in last_err,
      "skip-display: the display action skipped")
del os.environ["CRASHLAB_EVENTS"]

rc, out = run("caught")
check(rc == 0 and out.strip() == "caught", "caught: prints caught and reports nothing")
rc, out = run("abort")
check(rc == 0 and "OskedaLog" not in out, "abort: an EAbort is never reported")
# A second exception, raised while the first is reported (by a paint handled on the waiting
# main thread), is not reported.
rc, out = run("nested")
check(rc == 0 and out.count("OskedaLog 5.1.12") == 1 and "second exception raised" in out
      and "CrashLab second failure" not in out and "nested done" in out,
      "nested: one report, of the first exception")

BASE = "[Options]\nDialogFlags = dfShowDialog\nLogFlags = lfModulesSection, lfCpuSection\n"
# The filter on: a filtered class shows its message instead of a report.
rc, out = run("av-read", BASE + "FilterEnabled = true\n[Filter]\nEExternal = \"Filtered away.\"\n")
check(rc == 1 and out.strip() == "Filtered away." and "OskedaLog" not in out,
      "filter on: the filter's message in place of the report")
# The filter off: the same options report it.
rc, out = run("av-read", BASE + "FilterEnabled = false\n[Filter]\nEExternal = \"Filtered away.\"\n")
check(rc == 1 and "OskedaLog 5.1.12" in out, "filter off: reported")
# Without dfShowDialog nothing is displayed, and a handled exception still leaves the program
# running.
rc, out = run("throw-handler", "[Options]\nDialogFlags =\n")
check(rc == 0 and "OskedaLog" not in out, "no display without dfShowDialog")
# The rate limit: one error within the window ends the program (exit code 1), even after an
# exception the program would have survived.
rc, out = run("throw-handler", BASE + "BehaviourFlags = bfRateLimit\nCrashCount = 1\n"
              "CrashWindowMinutes = 5\nCrashAction = cbaTerminate\n")
check(rc == 1 and "OskedaLog 5.1.12" in out, "rate limit: reported, then terminated with 1")

# Enabled off: nothing is reported; the fault still ends the program.
os.environ["CRASHLAB_ENABLED"] = "0"
rc, out = run("av-read")
check(rc == 1 and "OskedaLog" not in out and "event" not in last_err, "Enabled off: no report")
rc, out = run("caught")
check(rc == 0 and out.strip() == "caught", "Enabled off: a caught exception stays the program's")
del os.environ["CRASHLAB_ENABLED"]

# Restart: the program starts itself again with its own command line, then ends with 1.
mark = os.path.join(os.path.dirname(CRASHLAB), "crashlab-restart.mark")
if os.path.exists(mark):
    os.unlink(mark)
os.environ["CRASHLAB_RESTART_MARK"] = "Z:" + mark.replace("/", "\\")
rc, out = run("throw-handler", BASE + "BehaviourFlags = bfRateLimit\nCrashCount = 1\n"
              "CrashWindowMinutes = 5\nCrashAction = cbaRestart\n")
for _ in range(100):
    if os.path.exists(mark):
        break
    time.sleep(0.1)
check(rc == 1 and os.path.exists(mark), "restart: a second instance started, the first ended with 1")
if os.path.exists(mark):
    os.unlink(mark)
del os.environ["CRASHLAB_RESTART_MARK"]


def win_path(path):
    return "Z:" + path.replace("/", "\\")


def log_reports(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1").count("OskedaLog 5.1.12")


# The log step: the report lands in the log after the log action; the same fault again with
# lfSkipDuplicates adds nothing, another fault is added.
log_dir = tempfile.mkdtemp(dir=os.path.dirname(CRASHLAB))
log_file = os.path.join(log_dir, "lab.osk")
LOGGED = ("[Options]\nDialogFlags = dfShowDialog\nSaveToLog = true\nLogFolder = %s\n"
          "LogFlags = lfModulesSection, lfCpuSection, lfSkipDuplicates\n" % win_path(log_file))
rc, out = run("av-read", LOGGED)
check(rc == 1 and os.path.exists(log_file) and log_reports(log_file) == 1
      and "event action 1 on the faulting thread" in last_err,
      "log: the report in the log, after the log action")
if os.path.exists(log_file):
    with open(log_file, "rb") as f:
        logged = f.read().decode("latin-1")
    check(field(logged, "2.2") == field(out, "2.2") and logged.endswith("\r\n\r\n\r\n"),
          "log: the logged report is the one shown, the file ends with three line breaks")
rc, out = run("av-read", LOGGED)
check(rc == 1 and os.path.exists(log_file) and log_reports(log_file) == 1,
      "log: the same fault again adds nothing with lfSkipDuplicates")
rc, out = run("div-zero", LOGGED)
check(os.path.exists(log_file) and log_reports(log_file) == 2, "log: another fault is added")

# A log that can be written neither where it is named nor in the profile's fallback folder
# gives the error event of the log action.
blocked = os.path.join(log_dir, "blocked.osk")
os.mkdir(blocked)
prefix = os.path.dirname(CRASHLAB)
while not os.path.exists(os.path.join(prefix, "CMakeCache.txt")) and prefix != "/":
    prefix = os.path.dirname(prefix)
users = os.path.join(prefix, "wineprefix", "drive_c", "users")
fallbacks = [os.path.join(users, u, "OskedaLog", "CrashLab", "blocked.osk")
             for u in os.listdir(users) if u != "Public"] if os.path.isdir(users) else []
for fallback in fallbacks:
    os.makedirs(fallback, exist_ok=True)
rc, out = run("av-read", LOGGED.replace(win_path(log_file), win_path(blocked)))
check(rc == 1 and "OskedaLog 5.1.12" in out and re.search(r"event error 1 \[Log\] .+", last_err),
      "log: an unwritable log gives the error event")
for fallback in fallbacks:
    os.rmdir(fallback)

# The keyed lab's tables hold enciphered names: without the key (or with a wrong one) its report
# shows none; with the key its password export hands the loader, it shows them; the XML copy of
# its log deciphers the names with the key the export gives.
if KEYED:
    keyed_log = os.path.join(log_dir, "keyed.osk")
    KEYED_LOG = ("[Options]\nDialogFlags = dfShowDialog\nSaveToLog = true\nLogFolder = %s\n"
                 "LogFlags = lfModulesSection, lfCpuSection\n" % win_path(keyed_log))

    def keyed_rows(out):
        threads = stack_threads(out)
        return [r for r in threads[0][1] if r[1] == "CrashLabKeyed.exe"] if threads else []

    for key in (None, "wrong"):
        if key:
            os.environ["CRASHLAB_KEY"] = key
        rc, out = run("throw-handler", KEYED_LOG, exe=KEYED)
        named = [r for r in keyed_rows(out) if r[2]]
        check(rc == 0 and named and all(r[2].startswith("?c") and r[4].startswith("?") for r in named)
              and "CrashLab.cpp" not in out, "keyed, key %r: no names in the report" % key)
    os.environ["CRASHLAB_KEY"] = "crash lab names"
    rc, out = run("throw-handler", KEYED_LOG, exe=KEYED)
    own = [r for r in keyed_rows(out) if r[2] == "tests/report/capture/crashlab/CrashLab.cpp"]
    check(rc == 0 and own and own[0][5].split("[")[0] == str(marked_line("throw-handler")),
          "keyed, right key: the names and the marked line in the report")

    xml_file = os.path.join(log_dir, "keyed.xml")
    os.environ["CRASHLAB_XML_LOG"] = win_path(keyed_log)
    os.environ["CRASHLAB_XML"] = win_path(xml_file)
    rc, out = run("caught", exe=KEYED)
    for name in ("CRASHLAB_XML_LOG", "CRASHLAB_XML", "CRASHLAB_KEY"):
        del os.environ[name]
    xml = open(xml_file, "rb").read().decode("latin-1") if os.path.exists(xml_file) else ""
    check(xml.count("<Log Version=") == 3 and 'Unit="?c' not in xml
          and xml.count('Unit="tests/report/capture/crashlab/CrashLab.cpp"') >= 3,
          "keyed: the XML copy deciphers the names of every report with the key")

shutil.rmtree(log_dir, ignore_errors=True)
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
