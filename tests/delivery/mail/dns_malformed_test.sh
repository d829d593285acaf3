#!/usr/bin/env bash
# Direct delivery when a DNS server answers the MX query with a malformed exchange name: that
# server gives no host after its three attempts and the next one is asked. Two DNS servers of the
# test's own (127.0.0.1 and 127.0.0.2) in a network namespace of its own with only loopback up,
# named by the resolver file of its own mount namespace, and a relay on 127.0.0.1:2525.
# dns_malformed_test.sh WINE_RUN PROBE_EXE SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 probe=$2 src=$3
dm_own_wineserver "$(dm_build_of "$probe")" dns

dm_scratch

printf 'nameserver 127.0.0.1\nnameserver 127.0.0.2\n' >"$work/resolv.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf
printf 'Report follows\r\n' >"$work/body.txt"
body="Z:${work//\//\\}\\body.txt"

servers() {  # mode of the first DNS server, mode of the second
  dm_stop_servers
  rm -rf "$work/out" "$work"/dns*.log
  dm_serve "$work/relay.log" /usr/bin/python3 "$src/smtp_relay.py" "$work/out" 2525 2526
  dm_serve "$work/dns1.out" /usr/bin/python3 "$src/dns_responder.py" 127.0.0.1 "$1" "$work/dns1.log"
  dm_serve "$work/dns2.out" /usr/bin/python3 "$src/dns_responder.py" 127.0.0.2 "$2" "$work/dns2.log"
}
queries() { grep -c '^query' "$1" 2>/dev/null || true; }
send() {  # expected exit code
  local status=0
  bash "$wine_run" "$probe" --direct 127.0.0.1 2525 app@dialmoor.test d@dialmoor.test "$body" \
    >"$work/out.txt" 2>&1 || status=$?
  [ "$status" = "$1" ] || { echo "exit $status, expected $1"; cat "$work/out.txt"; exit 1; }
}

# An exchange name that runs past its record: three attempts, then the second server's answer.
servers overrun good
send 0
[ "$(queries "$work/dns1.log")" = 3 ] && [ "$(queries "$work/dns2.log")" = 1 ] ||
  { echo "overrun: queries $(queries "$work/dns1.log")/$(queries "$work/dns2.log")"; exit 1; }
ls "$work/out"/*.eml >/dev/null 2>&1 || { echo "overrun: no mail at the exchanger"; exit 1; }

# Both servers broken: every server is asked three times and the lookup fails with its text.
servers loop overrun
send 1
[ "$(queries "$work/dns1.log")" = 3 ] && [ "$(queries "$work/dns2.log")" = 3 ] ||
  { echo "loop: queries $(queries "$work/dns1.log")/$(queries "$work/dns2.log")"; exit 1; }
tr -d '\r' <"$work/out.txt" | grep -qx '\[SMTP\] Cannot resolve the "dialmoor.test" MX record.' ||
  { cat "$work/out.txt"; exit 1; }
[ ! -e "$work/out" ] || [ -z "$(ls "$work/out")" ] || { echo "loop: a mail was sent"; exit 1; }
echo "dns: malformed exchange names give no host"
