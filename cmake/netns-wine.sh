# Sourced by the tests and benchmarks that open sockets under Wine.
#
# dm_enter_namespace "$@": runs the calling script again inside a network namespace of its own
# with only loopback up, so that no packet can leave the machine, and a mount namespace, so that
# the script may bind-mount its own resolver or certificate files over the machine's.
#
# dm_own_wineserver BUILD NAME: Wine makes its sockets in the wineserver, so a program's network
# is its server's, not the namespace it was started in. This gives the script the prefix
# BUILD/wineprefix-NAME (through the launcher's WINEPREFIX_OVERRIDE) and stops any server of it,
# so that the next program starts one inside this namespace; stop_wineserver ends it again.
#
# dm_build_of FILE: the CMake build folder that holds FILE.
#
# dm_scratch: makes the scratch folder $work and an exit trap that stops the script's
# wineserver and the servers started with dm_serve, then removes the folder (DM_KEEP_WORK=1
# keeps it and names it on standard error, for a look after a failure).
#
# dm_serve LOG COMMAND...: starts a server in the background and waits until it has written
# "ready" to LOG; one that has not after 10 seconds ends the script with its log shown.
# dm_stop_servers stops them all; $dm_servers holds their process ids in start order.

dm_enter_namespace() {
  if [ -z "${DIALMOOR_IN_NETNS:-}" ]; then
    export DIALMOOR_IN_NETNS=1
    exec unshare -m -n bash "$0" "$@"
  fi
  ip link set lo up
}

dm_build_of() {
  (cd "$(dirname "$1")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)
}

stop_wineserver() { WINEPREFIX=$WINEPREFIX_OVERRIDE wineserver -k 2>/dev/null || true; }

dm_own_wineserver() {
  export WINEPREFIX_OVERRIDE=$1/wineprefix-$2
  stop_wineserver
}

dm_servers=()

dm_stop_servers() {
  local pid
  for pid in "${dm_servers[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  dm_servers=()
}

dm_cleanup() {
  stop_wineserver
  dm_stop_servers
  if [ -n "${DM_KEEP_WORK:-}" ]; then echo "work kept: $work" >&2; else rm -rf "$work"; fi
}

dm_scratch() {
  work=$(mktemp -d)
  trap dm_cleanup EXIT
}

dm_serve() {
  local log=$1 _
  shift
  "$@" >"$log" 2>&1 &
  dm_servers+=($!)
  for _ in $(seq 100); do grep -q ready "$log" 2>/dev/null && return 0; sleep 0.1; done
  cat "$log" >&2
  exit 1
}
