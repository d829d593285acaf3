#!/usr/bin/env bash
# One mail with a 1 MB attachment to a local relay: ours (SmtpSendBench.exe under Wine) and
# swaks, in the same run, in a network namespace of its own: smtp_send_bench.sh WIN32_BUILD
set -euo pipefail
source "$(dirname "$0")/../cmake/netns-wine.sh"
dm_enter_namespace "$@"
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
dm_own_wineserver "$build" smtp
dm_scratch
dm_serve "$work/relay.log" /usr/bin/python3 "$top/tests/delivery/mail/smtp_relay.py" "$work/out" 2525 2526
head -c 1048576 /dev/urandom >"$work/attachment.bin"
runs=5
bash "$top/cmake/wine-run.sh" "$build/bench/SmtpSendBench.exe" 127.0.0.1 2525 \
  "Z:${work//\//\\}\\attachment.bin" "$runs" | tr -d '\r'
times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  swaks --silent 2 --server 127.0.0.1:2525 --from app@dialmoor.test --to bench@x.test \
    --header "Subject: Dialmoor error report" --body "Report follows" \
    --attach-type application/octet-stream --attach @"$work/attachment.bin" >/dev/null
  times+=($(( ($(date +%s%N) - start) / 100000 )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( runs / 2 + 1 ))p")
printf 'BENCH smtp_send_swaks %d.%d ms\n' $(( median / 10 )) $(( median % 10 ))
