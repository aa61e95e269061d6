#!/usr/bin/env bash
# Start-up, preview and memory figures of Vidlatch's windows beside a bare Qt
# window with two web views, each mode run three times (long, idle, large,
# asks, held-asks and soak once) on a virtual display against the demo site.
# Usage: bench/window-bench.sh [RUNS], after a build (./test or ./run).
# VIDLATCH_BENCH_MODES picks modes (default: all of them); VIDLATCH_BENCH_HOGS=N
# runs them beside N processes that keep a core busy each (default 0).
set -euo pipefail
cd "$(dirname "$0")/.."
# One virtual display for every run, so that its start is timed in none.
if [ -z "${VIDLATCH_BENCH_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" env VIDLATCH_BENCH_DISPLAY=1 "$0" "$@"
fi
runs=${1:-3}
bench=build/bin/window_bench
[ -f build/CMakeCache.txt ] || { echo "build first: ./test or ./run" >&2; exit 2; }
cmake --build build -j"$(nproc)" --target window_bench
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

fifo=$(mktemp -u); mkfifo "$fifo"
python3 tools/demo-site/demo_site.py > "$fifo" &
site=$!
background=("$site")
trap 'kill "${background[@]}" 2>/dev/null || true' EXIT
read -r _ port _ < "$fifo"; rm -f "$fifo"
for _ in $(seq "${VIDLATCH_BENCH_HOGS:-0}"); do
  bash -c 'while :; do :; done' &
  background+=($!)
done
export http_proxy="http://127.0.0.1:$port" no_proxy="127.0.0.1,localhost"

for mode in ${VIDLATCH_BENCH_MODES:-bare bare-ruffle main browser switch heavy-first fetch fetch-rebuild fetch-after-hung cycles leave long idle large asks held-asks soak}; do
  # The long modes measure a whole session in one run.
  mode_runs=$runs
  case "$mode" in long|idle|large|asks|held-asks|soak) mode_runs=1 ;; esac
  for run in $(seq "$mode_runs"); do
    VIDLATCH_BENCH_T0=$(date +%s%N) "$bench" "$mode" 2>"${VIDLATCH_BENCH_STDERR:-/dev/null}" \
      | sed "s/^/$mode run $run: /"
  done
done
