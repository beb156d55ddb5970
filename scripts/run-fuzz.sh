#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build (MORVANE_FUZZ) for SECONDS seconds:
#   scripts/run-fuzz.sh BUILD SECONDS TARGET...
# Each starts from the committed corpus (tests/fuzz/corpus/TARGET) and what
# earlier runs in BUILD found (BUILD/corpus/TARGET, where new inputs go; the
# committed corpus is never written). A crash leaves its input in
# BUILD/artifacts/TARGET/ and fails the run. The last line of each target is
# libFuzzer's final statistics: executions per second, coverage.
set -u
cd "$(dirname "$0")/.."

build=$1
seconds=$2
shift 2

# The targets' scratch files go to a folder of the build, emptied first.
export TMPDIR="$PWD/$build/fuzz-tmp"
case "$build" in /*) TMPDIR="$build/fuzz-tmp" ;; esac
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"

failed=()
for target in "$@"; do
  program="$build/fuzz_$target"
  committed="tests/fuzz/corpus/$target"
  work="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  log="$build/fuzz_$target.log"
  mkdir -p "$work" "$artifacts"
  echo "== fuzz $target for ${seconds}s"
  # Scenes and scripts past 64 KiB add nothing the smaller ones do not.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$committed" >"$log" 2>&1
  status=$?
  # The last status line (cov, ft, corp, exec/s) and the totals.
  grep -E '^#[0-9]+' "$log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | tr '\n' ' '
  echo
  if [ $status -ne 0 ]; then
    echo "fuzz $target: failed (status $status); see $log and $artifacts/" >&2
    grep -E 'ERROR|runtime error|SUMMARY' "$log" | head -n 5 >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi
