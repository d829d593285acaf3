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

dm_scratch
option() { sed -n "s/^$2 *= *//p" "$src/$1"; }
mail_port=$(option DeliveryOptions.ini MailServerPort)
web_port=$(option DeliveryOptions.ini UploadPort)
[ "$(option DeliveryUnsentOptions.ini UploadPort)" = "$web_port" ] || exit 1
dm_serve "$work/relay.log" /usr/bin/python3 "$delivery_src/send/send_relay.py" "$work/relay" "$mail_port"
dm_serve "$work/web.log" /usr/bin/python3 "$delivery_src/web/web_server.py" "$work/web" "$web_port"

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
kill "${dm_servers[0]}"; wait "${dm_servers[0]}" 2>/dev/null || true; unset "dm_servers[0]"
rm -rf "$work/relay" "$work/web"; mkdir -p "$work/relay" "$work/web"
run_driver unsent "$unsent_exe" unsent "$work/unsent"
/usr/bin/python3 "$src/delivery_check.py" unsent "$work"
echo "dialmoor delivery: all cases passed"
