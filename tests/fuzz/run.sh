#!/usr/bin/env bash
# run.sh FUZZER SEED_CORPUS WORK_FOLDER SECONDS: a time-boxed libFuzzer run; fails on any finding.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
mkdir -p "$work/corpus" "$work/artifacts"
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" 2>"$work/fuzz.log" || {
  tail -n 40 "$work/fuzz.log"
  exit 1
}
tail -n 3 "$work/fuzz.log"
