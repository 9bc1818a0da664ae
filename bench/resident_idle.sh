#!/usr/bin/env bash
# CPU and resident memory of senrokan left resident and idle: a real X server (Xvfb) with a
# notification area (trayer), the program started resident from a settings file with five
# routes and the default 30-minute interval, so no check falls in the measured minute.
# Usage: bench/resident_idle.sh [build-dir] [seconds]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
seconds="${2:-60}"
program="$build/src/senrokan"
testenv="$build/tests/senrokan-testenv"
# The tests' own display session: Xvfb, trayer and a D-Bus session of its own.
[ -n "${SENROKAN_TESTENV:-}" ] || exec "$testenv" display --tray -- "$0" "$build" "$seconds"
work="$(mktemp -d)"
trap 'kill "${program_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

routes=()
for r in 1 2 3 4 5; do routes+=("路線$r" 127.0.0.1 "line$r.html" "平常運転"); done
"$testenv" settings "$work/Senrokan.DEF" 30 1 1 0 "${routes[@]}"

(cd "$work" && exec "$program") 2>/dev/null &
program_pid=$!

ticks() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
sleep 5 # start-up is not idling
hz=$(getconf CLK_TCK)
start_ticks=$(ticks)
start_ns=$(date +%s%N)
sleep "$seconds"
end_ticks=$(ticks)
end_ns=$(date +%s%N)
rss_kb=$(awk '/^VmRSS:/ {print $2}' "/proc/$program_pid/status")
awk -v t=$((end_ticks - start_ticks)) -v hz="$hz" -v ns=$((end_ns - start_ns)) -v rss="$rss_kb" \
    'BEGIN {
        cpu = t / hz; wall = ns / 1e9;
        printf "idle %.1f s: cpu %.3f s = %.3f %%, resident memory %d KB (%.1f MiB)\n",
               wall, cpu, 100 * cpu / wall, rss, rss / 1024
    }'
