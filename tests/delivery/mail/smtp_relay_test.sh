#!/usr/bin/env bash
# Sends report mails through real relays (aiosmtpd), and straight to exchangers that dnsmasq
# names, and reads them back with Python's email package. Everything runs in a network
# namespace of its own with only loopback up, so no packet can leave the machine, and in a
# mount namespace whose /etc/resolv.conf names only the test's dnsmasq:
# smtp_relay_test.sh WINE_RUN PROBE_EXE SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 probe=$2 src=$3
dm_own_wineserver "$(dm_build_of "$probe")" smtp

dm_scratch

echo "nameserver 127.0.0.1" >"$work/resolv.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf
dnsmasq --keep-in-foreground --no-resolv --no-hosts --bind-interfaces --listen-address=127.0.0.1 \
  --port=53 --pid-file= --local=/test/ --mx-host=dialmoor.test,mx.dialmoor.test,10 \
  --host-record=mx.dialmoor.test,127.0.0.1 2>"$work/dns.log" &
dm_servers+=($!)
dm_serve "$work/relay.log" /usr/bin/python3 "$src/smtp_relay.py" "$work/out" 2525 2526

head -c 3001 /dev/urandom >"$work/report.bin"
head -c 200 /dev/urandom >"$work/Shot.png"
printf 'Report follows\r\n\r\n\r\n.\r\n.leading dot\r\nend' >"$work/body.txt"
win() { echo "Z:${1//\//\\}"; }
files=(--file "$(win "$work/report.bin")" --file "$(win "$work/missing.bin")"
       --file "$(win "$work/Shot.png")")

run_case() {  # name, expected exit code, probe arguments...
  local name=$1 expected=$2; shift 2
  rm -rf "$work/out"; mkdir -p "$work/out"
  local status=0
  bash "$wine_run" "$probe" "$@" >"$work/$name.out" 2>&1 || status=$?
  if [ "$status" != "$expected" ]; then
    echo "$name: exit $status, expected $expected"; cat "$work/$name.out"; exit 1
  fi
}

run_case plain 0 "${files[@]}" 127.0.0.1 2525 app@dialmoor.test "a@x.test; b@x.test," "$(win "$work/body.txt")"
[ ! -s "$work/plain.out" ] || { cat "$work/plain.out"; exit 1; }
/usr/bin/python3 "$src/smtp_relay_check.py" "$work/out" "$work" plain

run_case login 0 --user dev --password s3cret "${files[@]}" 127.0.0.1 2526 app@dialmoor.test \
  c@x.test "$(win "$work/body.txt")"
/usr/bin/python3 "$src/smtp_relay_check.py" "$work/out" "$work" login

# A refused recipient leaves the transcript as the error; the other still gets the mail.
run_case refused 0 127.0.0.1 2525 app@dialmoor.test "nobody@x.test;good@x.test" "$(win "$work/body.txt")"
/usr/bin/python3 "$src/smtp_relay_check.py" "$work/out" "$work" refused
tr -d '\r' <"$work/refused.out" >"$work/refused.txt"
grep -q '^\[SMTP\] Connected to 127.0.0.1 port 2525$' "$work/refused.txt" &&
  grep -q '^RCPT TO:<nobody@x.test>$' "$work/refused.txt" &&
  grep -q '^550 no such user here$' "$work/refused.txt" || { cat "$work/refused.out"; exit 1; }

# Nobody listening: the connection error.
run_case closed 1 127.0.0.1 2599 app@dialmoor.test c@x.test "$(win "$work/body.txt")"
grep -q '^\[SMTP\] Connection error: ' "$work/closed.out" || { cat "$work/closed.out"; exit 1; }

# Direct delivery: the exchanger from DNS, at the configured port, and never a login; a
# domain without an exchanger fails its recipient after every server was asked.
run_case direct 0 --direct --user dev --password s3cret "${files[@]}" 127.0.0.1 2525 app@dialmoor.test \
  "x@nomx.test,d@dialmoor.test" "$(win "$work/body.txt")"
/usr/bin/python3 "$src/smtp_relay_check.py" "$work/out" "$work" direct
grep -q '^\[SMTP\] Cannot resolve the "nomx.test" MX record.' "$work/direct.out" ||
  { cat "$work/direct.out"; exit 1; }

# Misbehaving servers of the test's own, one connection each.
scripted() {  # mode, expected exit code, probe arguments...
  local mode=$1; shift
  /usr/bin/python3 "$src/smtp_scripted.py" 2600 "$mode" >"$work/scripted.log" 2>&1 &
  local server=$!
  for _ in $(seq 100); do grep -q ready "$work/scripted.log" 2>/dev/null && break; sleep 0.1; done
  run_case "$mode" "$@"
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  tr -d '\r' <"$work/$mode.out" >"$work/$mode.txt"
}
login=(--user dev --password s3cret)
scripted badgreeting 1 127.0.0.1 2600 app@dialmoor.test c@x.test "$(win "$work/body.txt")"
[ "$(cat "$work/badgreeting.txt")" = "$(printf '[SMTP] Connected to 127.0.0.1 port 2600\n554 no service here\n')" ] ||
  { cat "$work/badgreeting.out"; exit 1; }
scripted nodigits 1 127.0.0.1 2600 app@dialmoor.test c@x.test "$(win "$work/body.txt")"
[[ "$(cat "$work/nodigits.txt")" == *$'\n220 scripted\nHELO '*$'\nHello there' ]] ||
  { cat "$work/nodigits.out"; exit 1; }
# Lines half a second apart are one reply; two seconds apart, the rest of the EHLO reply is
# taken for the answers to the next commands, and AUTH LOGIN meets "250 AUTH LOGIN".
scripted ehlo-half 0 "${login[@]}" 127.0.0.1 2600 app@dialmoor.test c@x.test "$(win "$work/body.txt")"
[ ! -s "$work/ehlo-half.out" ] || { cat "$work/ehlo-half.out"; exit 1; }
scripted ehlo-two 1 "${login[@]}" 127.0.0.1 2600 app@dialmoor.test c@x.test "$(win "$work/body.txt")"
[[ "$(cat "$work/ehlo-two.txt")" == *$'\nAUTH LOGIN\n250 AUTH LOGIN'* ]] ||
  { cat "$work/ehlo-two.out"; exit 1; }
# A server that closes during DATA: the socket is closed before the error, so the transcript
# after "Socket log:" is empty.
head -c 300000 /dev/urandom >"$work/big.bin"
scripted close-in-data 1 --file "$(win "$work/big.bin")" 127.0.0.1 2600 app@dialmoor.test c@x.test \
  "$(win "$work/body.txt")"
[[ "$(cat "$work/close-in-data.txt")" == *$'\nSocket log:' ]] || { cat "$work/close-in-data.out"; exit 1; }
echo "smtp relay: all cases passed"
