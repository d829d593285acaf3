#!/usr/bin/env bash
# From the fault in the send lab to the relay holding the report mail (no dialog, SMTP to a
# local relay, screenshot and archive on), the median of five runs, in a network namespace of
# its own: crash_to_delivered_bench.sh WIN32_BUILD
set -euo pipefail
source "$(dirname "$0")/../cmake/netns-wine.sh"
dm_enter_namespace "$@"
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
lab=$build/tests/delivery/send/SendLab.exe
dm_own_wineserver "$build" send
dm_scratch
dm_serve "$work/relay.log" /usr/bin/python3 "$top/tests/delivery/send/send_relay.py" "$work/relay" 2525
cat >"$work/bench.ini" <<OPTIONS
[Options]
DialogFlags =
MailChannel = mcSmtpClient
MailServer = 127.0.0.1
MailServerPort = 2525
MailSender = lab@dialmoor.test
MailRecipients = dev@dialmoor.test
SendFlags = sfAttachScreenshot, sfCompressAttachments
OPTIONS
options="Z:${work//\//\\}\\bench.ini"
times=()
for run in 1 2 3 4 5 6; do
  rm -rf "$work/relay"/*
  timeout 120 bash "$top/cmake/wine-run.sh" "$lab" --options "$options" throw 2>"$work/lab.err" >/dev/null
  fault=$(tr -d '\r' <"$work/lab.err" | sed -n 's/^fault //p')
  arrived=$(/usr/bin/python3 -c 'import json,sys; print(int(json.load(open(sys.argv[1]))["arrived"]))' \
    "$(ls "$work"/relay/*.json)")
  # The first run warms the prefix and is not counted.
  [ "$run" = 1 ] || times+=($(( arrived - fault )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
printf 'BENCH crash_to_delivered %d ms\n' "$median"
