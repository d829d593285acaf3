#!/usr/bin/env bash
# A 5 MB attachment uploaded to a local HTTP server that stores it: ours (HttpUploadBench.exe
# under Wine) and curl -F, in the same run, in a network namespace of its own:
# http_upload_bench.sh WIN32_BUILD
set -euo pipefail
source "$(dirname "$0")/../cmake/netns-wine.sh"
dm_enter_namespace "$@"
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
dm_own_wineserver "$build" web
dm_scratch
dm_serve "$work/server.log" /usr/bin/python3 "$top/tests/delivery/web/web_server.py" "$work/out" 8080
size=5000000
head -c "$size" /dev/urandom >"$work/attachment.bin"
runs=5
bash "$top/cmake/wine-run.sh" "$build/bench/HttpUploadBench.exe" 127.0.0.1 8080 \
  "Z:${work//\//\\}\\attachment.bin" "$runs" | tr -d '\r'
rates=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  curl -s -o /dev/null -F "oz_upload_file_0=@$work/attachment.bin;type=application/octet-stream" \
    http://127.0.0.1:8080/upload
  rates+=($(( size * 10000 / ($(date +%s%N) - start) )))
done
median=$(printf '%s\n' "${rates[@]}" | sort -n | sed -n "$(( runs / 2 + 1 ))p")
printf 'BENCH http_upload_curl %d.%d MB_per_s\n' $(( median / 10 )) $(( median % 10 ))
