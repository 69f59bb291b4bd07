#!/usr/bin/env bash
# Runs every benchmark step in turn against the build in build/ (make bench
# builds it first). Extra arguments go to each Google Benchmark executable,
# e.g. bench/run.sh --benchmark_repetitions=5.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${MERAVEL_BUILD_DIR:-build}

# The steps, in order: a built Google Benchmark executable under
# $build_dir/bench, or a script under bench/.
steps=(
  meravel_bench_recalculation
  meravel_bench_rounded_math
  startup.sh
)

status=0
for step in "${steps[@]}"; do
  echo "== $step"
  if [[ $step == *.sh ]]; then
    "bench/$step" || status=1
  elif [[ -x $build_dir/bench/$step ]]; then
    "$build_dir/bench/$step" "$@" || status=1
  else
    echo "$build_dir/bench/$step is missing: run make build first" >&2
    status=1
  fi
done
exit $status
