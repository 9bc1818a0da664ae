#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# CPU and resident memory of senrokan left resident and idle, beside its floor measured in the
# same run: a real X server (Xvfb) with a notification area (trayer), the program started
# resident from a settings file with five routes and the default 30-minute interval, so no check
# falls in the measured time, and bench/tray_floor, a bare Qt program with one tray icon.
# Usage: bench/resident_idle.sh [build-dir] [seconds]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
seconds="${2:-60}"
program="$build/src/senrokan"
floor="$build/bench/tray_floor"
testenv="$build/tests/senrokan-testenv"
# The tests' own display session: Xvfb, trayer and a D-Bus session of its own.
[ -n "${SENROKAN_TESTENV:-}" ] || exec "$testenv" display --tray -- "$0" "$build" "$seconds"
work="$(mktemp -d)"
trap 'kill "${program_pid:-}" "${floor_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

routes=()
for r in 1 2 3 4 5; do routes+=("路線$r" 127.0.0.1 "line$r.html" "平常運転"); done
"$testenv" settings "$work/Senrokan.DEF" 30 1 1 0 "${routes[@]}"

(cd "$work" && exec "$program") 2>/dev/null &
program_pid=$!
"$floor" "$top/resources/icons/senrokan.svg" 2>/dev/null &
floor_pid=$!

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
sleep 5 # start-up is not idling
hz=$(getconf CLK_TCK)
start_program=$(ticks $program_pid)
start_floor=$(ticks $floor_pid)
start_ns=$(date +%s%N)
sleep "$seconds"
end_program=$(ticks $program_pid)
end_floor=$(ticks $floor_pid)
end_ns=$(date +%s%N)
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
report() {
    awk -v name="$1" -v t="$2" -v hz="$hz" -v ns=$((end_ns - start_ns)) -v rss="$3" \
        'BEGIN {
            cpu = t / hz; wall = ns / 1e9;
            printf "%-9s idle %.1f s: cpu %.3f s = %.3f %%, resident memory %d KB (%.1f MiB)\n",
                   name, wall, cpu, 100 * cpu / wall, rss, rss / 1024
        }'
}
program_rss=$(rss $program_pid)
floor_rss=$(rss $floor_pid)
report senrokan $((end_program - start_program)) "$program_rss"
report floor $((end_floor - start_floor)) "$floor_rss"
awk -v p="$program_rss" -v f="$floor_rss" \
    'BEGIN { printf "senrokan above its floor: %d KB (%.1f MiB)\n", p - f, (p - f) / 1024 }'
