#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: a private prefix inside the build folder (made
# once), no Wine debug chatter, a virtual X display when none is set, TZ passed through.
set -euo pipefail
exe=$1; shift
build=${DIALMOOR_WINE_ROOT:-$(cd "$(dirname "$exe")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)}
export WINEPREFIX=${WINEPREFIX_OVERRIDE:-$build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

exec 9>"$build/.wine.lock"
flock 9
if [ ! -f "$WINEPREFIX/.dialmoor-ready" ]; then
  rm -rf "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.dialmoor-ready"
fi
# One wineserver that stays: a program started just as the last one's server shuts down can
# otherwise fail to connect. Does nothing when one runs already.
wineserver -p >/dev/null 2>&1 9>&- || true
if [ -z "${DISPLAY:-}" ]; then
  pidfile=$build/.xvfb.pid
  if [ -f "$pidfile" ] && kill -0 "$(cut -d' ' -f1 "$pidfile")" 2>/dev/null; then
    export DISPLAY=:$(cut -d' ' -f2 "$pidfile")
  else
    for n in $(seq 90 140); do
      [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
      echo "$! $n" >"$pidfile"
      for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
      export DISPLAY=:$n
      break
    done
  fi
fi
# The prefix's system processes (services.exe and the ones it starts) outlive every program.
# Started by a test, they would inherit its output pipe and CTest would wait for them until the
# timeout; so they are started here, detached from any output, when this prefix has none.
prefix_services_running() {
  local pid
  for pid in $(pgrep -u "$(id -u)" -f 'system32\\services\.exe' || true); do
    # Redirected first, so that a process that ended since pgrep saw it (a test that stopped its
    # own prefix) leaves no message in the output of the program under test.
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
if ! prefix_services_running; then
  wine wineboot </dev/null >/dev/null 2>&1 9>&- || true
fi
flock -u 9
exec 9>&-

# The program writes to files that followers copy to our own output while it runs. A process it
# starts that outlives it (the system processes above, should a program start them after all)
# then holds a file, not the pipe CTest reads until everyone holding it is gone.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$out" "$err"' EXIT
wine "$exe" "$@" <&0 >"$out" 2>"$err" &
program=$!
# Stopping the launcher stops the program.
trap 'kill "$program" 2>/dev/null' TERM INT HUP
tail -s 0.1 -n +1 -f --pid="$program" "$out" &
follow_out=$!
tail -s 0.1 -n +1 -f --pid="$program" "$err" >&2 &
follow_err=$!
status=0
wait "$program" || status=$?
# The followers end once the program has, with its last output copied. (Not a bare wait: an
# Xvfb this launcher started is a child too, and stays.)
wait "$follow_out" "$follow_err" || true
exit "$status"
