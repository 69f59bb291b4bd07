#!/usr/bin/env bash
# Start-up of the calculator against the least a Qt program showing the same
# window has to do (bench/minimal_dialog.cpp): the time from exec to the
# window being mapped, and the resident memory (VmRSS) one second later, as
# medians over RUNS runs (11 by default) of each, and Meravel's ratio to the
# reference. The aim is a ratio of at most 1.15 on both. The processor time
# used until the map (cpu) and the memory's anonymous and file-backed parts
# are shown beside them, to tell where a difference comes from.
#
# Each run goes through meravel_bench_startup_watch, which watches the X root
# window for the program's first MapNotify. The X server is a private Xvfb
# without a window manager, so the window is mapped as soon as the program
# asks. A benchmark, not a test: it reports, and fails only when it cannot
# measure.
#
#   bench/startup.sh            (make bench runs it through bench/run.sh)
#   RUNS=21 bench/startup.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${MERAVEL_BUILD_DIR:-build}
runs=${RUNS:-11}
target=1.15

watch=$build_dir/bench/meravel_bench_startup_watch
names=(meravel minimal)
declare -A exes=(
  [meravel]=$build_dir/qt/meravel
  [minimal]=$build_dir/bench/meravel_bench_minimal_dialog
)
for f in "$watch" "${exes[@]}"; do
  if [[ ! -x $f ]]; then
    echo "startup.sh: $f is missing: run make build first" >&2
    exit 1
  fi
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/meravel-startup.XXXXXX")
xvfb_pid=
cleanup() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A private X server on a display number it picks itself.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  grep -q . "$workdir/display" 2>/dev/null && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$workdir/xvfb.log" >&2; exit 1; }
  sleep 0.05
done
display=$(tr -dc 0-9 <"$workdir/display")
[[ -n $display ]] || { echo "startup.sh: Xvfb did not start" >&2; exit 1; }

export DISPLAY=:$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$workdir/runtime
unset WAYLAND_DISPLAY SESSION_MANAGER
mkdir -m 700 "$XDG_RUNTIME_DIR"

# One run of a program: appends its figures to $workdir/<name>.<figure>.
measure() {
  local name=$1 line
  line=$("$watch" -- "${exes[$name]}" 2>>"$workdir/$name.log") || {
    echo "startup.sh: measuring $name failed:" >&2
    cat "$workdir/$name.log" >&2
    exit 1
  }
  for pair in $line; do
    echo "${pair#*=}" >>"$workdir/$name.${pair%%=*}"
  done
}

median() {
  sort -g "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# A first run of each, not counted, warms the file cache and the font cache;
# then the two programs take turns, so that a drift of the machine weighs on
# both alike.
for name in "${names[@]}"; do
  measure "$name"
  rm -f "$workdir/$name".{map_ms,cpu_ms,vm_rss_kb,rss_anon_kb,rss_file_kb}
done
for ((i = 1; i <= runs; i++)); do
  for name in "${names[@]}"; do measure "$name"; done
done

declare -A map cpu rss anon file
for name in "${names[@]}"; do
  map[$name]=$(median "$workdir/$name.map_ms")
  cpu[$name]=$(median "$workdir/$name.cpu_ms")
  rss[$name]=$(median "$workdir/$name.vm_rss_kb")
  anon[$name]=$(median "$workdir/$name.rss_anon_kb")
  file[$name]=$(median "$workdir/$name.rss_file_kb")
done

awk -v runs="$runs" -v target="$target" \
  -v mm="${map[meravel]}" -v mc="${cpu[meravel]}" -v mr="${rss[meravel]}" -v ma="${anon[meravel]}" -v mf="${file[meravel]}" \
  -v rm="${map[minimal]}" -v rc="${cpu[minimal]}" -v rr="${rss[minimal]}" -v ra="${anon[minimal]}" -v rf="${file[minimal]}" '
  function mib(kb) { return kb / 1024 }
  function verdict(r) { return r <= target ? "within target" : "OVER target" }
  BEGIN {
    printf "Start-up, medians of %d runs (Xvfb, no window manager)\n", runs
    printf "%-16s %10s %10s %12s %11s %11s\n", "", "map (ms)", "cpu (ms)", "VmRSS (MiB)", "anon (MiB)", "file (MiB)"
    printf "%-16s %10.1f %10.1f %12.2f %11.2f %11.2f\n", "meravel", mm, mc, mib(mr), mib(ma), mib(mf)
    printf "%-16s %10.1f %10.1f %12.2f %11.2f %11.2f\n", "minimal dialog", rm, rc, mib(rr), mib(ra), mib(rf)
    printf "%-16s %10.3f %10.3f %12.3f %11.3f %11.3f\n", "ratio", mm / rm, mc / rc, mr / rr, ma / ra, mf / rf
    printf "time ratio %.3f: %s (%.2f); memory ratio %.3f: %s\n", mm / rm, verdict(mm / rm), target, mr / rr, verdict(mr / rr)
  }'
