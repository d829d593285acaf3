#!/usr/bin/env bash
# Dialmoor.exe end to end under Wine, in a network namespace with only loopback up: a freeze of
# its main thread is reported, the user sends the report, and the relay (aiosmtpd) and the
# upload server of the delivery tests receive it; the same freeze again is neither logged nor
# sent. Then, with nobody listening on the mail port and the upload refused, the report is kept
# in the log folder, the mail channel's error box and the outcome box are shown, and each
# channel's failure is recorded under its name (read from the debugger output).
# delivery_check.py reads what arrived. The screenshot sent is kept as
# BUILD/screenshots/dialmoor-delivery.png.
# delivery_e2e_test.sh WINE_RUN DRIVER_EXE DELIVERY_EXE UNSENT_EXE SOURCE_DIR BUILD
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 driver=$2 delivery_exe=$3 unsent_exe=$4 src=$5 build=$6
dm_own_wineserver "$(dm_build_of "$driver")" delivery-e2e
delivery_src=$src/../../delivery

work=$(mktemp -d)
[ -n "${DM_E2E_KEEP:-}" ] && echo "work $work" >&2
servers=()
cleanup() {
  stop_wineserver
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  [ -n "${DM_E2E_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

start() {  # log name, command...
  local log=$work/$1.log; shift
  "$@" >"$log" 2>&1 &
  servers+=($!)
  for _ in $(seq 100); do grep -q ready "$log" 2>/dev/null && break; sleep 0.1; done
  grep -q ready "$log" || { cat "$log"; exit 1; }
}
option() { sed -n "s/^$2 *= *//p" "$src/$1"; }
mail_port=$(option DeliveryOptions.ini MailServerPort)
web_port=$(option DeliveryOptions.ini UploadPort)
[ "$(option DeliveryUnsentOptions.ini UploadPort)" = "$web_port" ] || exit 1
start relay /usr/bin/python3 "$delivery_src/send/send_relay.py" "$work/relay" "$mail_port"
start web /usr/bin/python3 "$delivery_src/web/web_server.py" "$work/web" "$web_port"

run_driver() {  # case, exe, driver arguments...
  local name=$1 exe=$2; shift 2
  mkdir -p "$work/$name"
  DM_DIALMOOR_EXE=$exe timeout 400 bash "$wine_run" "$driver" "$@" \
    >"$work/$name.out" 2>"$work/$name.err" || { cat "$work/$name.out" "$work/$name.err"; exit 1; }
  cat "$work/$name.out"
}

run_driver deliver "$delivery_exe" deliver "$work/deliver" "$work/relay" "$work/web"
mkdir -p "$build/screenshots"
/usr/bin/python3 "$src/delivery_check.py" deliver "$work" "$build/screenshots/dialmoor-delivery.png"

# The relay is stopped; the upload server answers 500 to the unsent case's address.
kill "${servers[0]}"; wait "${servers[0]}" 2>/dev/null || true; unset "servers[0]"
rm -rf "$work/relay" "$work/web"; mkdir -p "$work/relay" "$work/web"
run_driver unsent "$unsent_exe" unsent "$work/unsent"
/usr/bin/python3 "$src/delivery_check.py" unsent "$work"
echo "dialmoor delivery: all cases passed"
