#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build: first each target over its regression inputs,
# then a campaign from its seeds of the given seconds or two million runs, whichever ends
# first.
# Every target runs; the script fails when any found a crash, leak, sanitizer report,
# timeout or out-of-memory (the input is kept in <build>/artifacts/).
#   bash fuzz/run.sh <build dir> [seconds per target] [target names...]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$(cd "$1" && pwd)
SECONDS_EACH=${2:-20}
shift $(( $# >= 2 ? 2 : $# ))
OPTIONS=(-rss_limit_mb=2048 -timeout=10)
# FUZZ_SEED fixes libFuzzer's random seed, so that a run can be repeated (CI sets it).
[ -n "${FUZZ_SEED:-}" ] && OPTIONS+=(-seed="$FUZZ_SEED")
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$BUILD"/fuzz/fuzz_*; do targets+=("${bin##*/fuzz_}"); done
fi
mkdir -p "$BUILD/artifacts" "$BUILD/fuzz-logs"
failed=()
for name in "${targets[@]}"; do
  bin="$BUILD/fuzz/fuzz_$name"
  log="$BUILD/fuzz-logs/$name.log"
  regressions=("$ROOT/fuzz/regressions/$name"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! "$bin" "${OPTIONS[@]}" "${regressions[@]}" >"$log.regressions" 2>&1; then
      tail -n 60 "$log.regressions"
      echo "FAIL: fuzz_$name on its regression inputs (log: $log.regressions)" >&2
      failed+=("$name")
      continue
    fi
  fi
  work="$BUILD/corpus/$name"
  mkdir -p "$work"
  if ! "$bin" "${OPTIONS[@]}" -max_total_time="$SECONDS_EACH" -runs=2000000 -print_final_stats=1 \
       -artifact_prefix="$BUILD/artifacts/$name-" "$work" "$ROOT/fuzz/corpus/$name" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "FAIL: fuzz_$name found a fault (log: $log, input in $BUILD/artifacts/)" >&2
    failed+=("$name")
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  echo "fuzz_$name: ${runs:-?} runs in ${took:-$SECONDS_EACH} s, nothing found"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz targets with faults: ${failed[*]}" >&2
  exit 1
fi
