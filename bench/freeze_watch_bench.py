#!/usr/bin/env python3
"""Runs FreezeWatchBench.exe and measures the threads that appeared when its watcher started
(the watcher, and whatever Wine started beside it: an upper bound) over the 20 s it watches."""
import os
import subprocess
import sys

WINE_RUN, EXE = sys.argv[1:3]
WATCH_MS = 20000


def parent_of(pid):
    try:
        return open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()[1]
    except OSError:
        return None


def find_process(launcher):
    """The Wine process of the bench: the launcher itself once it has become Wine, or one of
    its descendants, whichever runs FreezeWatchBench.exe."""
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            cmdline = open("/proc/%s/cmdline" % pid, "rb").read()
        except OSError:
            continue
        if b"FreezeWatchBench.exe" not in cmdline or b"wine-run" in cmdline:
            continue
        ancestor = pid
        for _ in range(10):
            if ancestor is None or ancestor == str(launcher):
                break
            ancestor = parent_of(ancestor)
        if ancestor == str(launcher):
            return pid
    return None


def run_times(pid, tasks):
    total = 0
    for tid in tasks:
        try:
            total += int(open("/proc/%s/task/%s/schedstat" % (pid, tid)).read().split()[0])
        except OSError:
            pass
    return total


bench = subprocess.Popen(["bash", WINE_RUN, EXE], stdout=subprocess.PIPE, text=True)
pid = before = watcher = None
t0 = 0
for line in bench.stdout:
    line = line.strip()
    if line == "ready":
        pid = find_process(bench.pid)
        before = set(os.listdir("/proc/%s/task" % pid)) if pid else None
    elif line == "watching" and before is not None:
        watcher = set(os.listdir("/proc/%s/task" % pid)) - before
        t0 = run_times(pid, watcher)
    elif line == "done" and watcher:
        ns = run_times(pid, watcher) - t0
        print("BENCH freeze_watch_cpu %.2f ms_per_min" % (ns / 1e6 * 60000.0 / WATCH_MS))
        print("(%d Linux thread(s) measured)" % len(watcher))
    elif line.startswith("thread_times"):
        print("GetThreadTimes: " + line.split(" ", 1)[1])
bench.wait()
if not watcher:
    print("freeze_watch_bench: the watcher's thread was not found", file=sys.stderr)
    sys.exit(1)
sys.exit(bench.returncode)
