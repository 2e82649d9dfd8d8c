#!/usr/bin/env bash
# Runs one libFuzzer target and prints how many inputs it executed, and how fast.
#   scripts/fuzz-run.sh TARGET LOG [libFuzzer arguments...]
# The whole libFuzzer output goes to LOG; on a failure its end is shown.
set -uo pipefail
target=${1:?usage: fuzz-run.sh TARGET LOG [ARGS...]}
log=${2:?usage: fuzz-run.sh TARGET LOG [ARGS...]}
shift 2
"$target" -print_final_stats=1 "$@" >"$log" 2>&1
status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
echo "$(basename "$target"): ${runs:-?} executions (${rate:-?} a second)"
if [ $status -ne 0 ]; then
  tail -n 40 "$log" >&2
  exit $status
fi
