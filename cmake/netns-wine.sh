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
