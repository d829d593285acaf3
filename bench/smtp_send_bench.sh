#!/usr/bin/env bash
# One mail with a 1 MB attachment to a local relay: ours (SmtpSendBench.exe under Wine) and
# swaks, in the same run, in a network namespace of its own: smtp_send_bench.sh WIN32_BUILD
set -euo pipefail
source "$(dirname "$0")/../cmake/netns-wine.sh"
dm_enter_namespace "$@"
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
dm_own_wineserver "$build" smtp
work=$(mktemp -d)
relay=""
cleanup() {
  stop_wineserver
  if [ -n "$relay" ]; then kill "$relay" 2>/dev/null; wait "$relay" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
/usr/bin/python3 "$top/tests/delivery/mail/smtp_relay.py" "$work/out" 2525 2526 >"$work/relay.log" 2>&1 &
relay=$!
for _ in $(seq 100); do grep -q ready "$work/relay.log" 2>/dev/null && break; sleep 0.1; done
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
