#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# CPU and resident memory of senrokan left resident and idle, before its first check and after
# it, beside their floor measured in the same run: a real X server (Xvfb) with a notification
# area (trayer), two programs started resident from settings files with five routes to small
# UTF-8 pages that nginx serves on a loopback address (needs root for port 80) and the default
# 30-minute interval, so no check falls in the measured time; the second has " 常駐後すぐにチェック"
# on, so it checks all five routes 10 seconds after its start and idles after that. The floor is
# bench/tray_floor, a bare Qt program with one tray icon.
# Usage: bench/resident_idle.sh [build-dir] [seconds] [smaps-dir]
# With a smaps-dir, the three programs' /proc/PID/smaps at the end of the idle time are kept there
# (before, after, floor) for bench/smaps_diff.py. With RENDERED=1 in the environment the five
# routes are read as the browser shows them (Render=true in Senrokan.ini): what the idle program
# keeps after a check that ran the page reader. With FEED=1 they read their state from a
# GTFS-Realtime feed of 20 000 alerts (5.2 MB, senrokan-testenv alerts) on the same server, each
# for a line of its own without alerts in force (a delay would leave its popup open): what the
# idle program keeps after five big feeds were decoded.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
seconds="${2:-60}"
smaps="${3:+$(mkdir -p "$3" && cd "$3" && pwd)}"
program="$build/src/senrokan"
floor="$build/bench/tray_floor"
testenv="$build/tests/senrokan-testenv"
host=127.0.5.7
# The tests' own display session: Xvfb, trayer and a D-Bus session of its own.
[ -n "${SENROKAN_TESTENV:-}" ] || exec "$testenv" display --tray -- "$0" "$build" "$seconds" ${smaps:+"$smaps"}
work="$(mktemp -d)"
trap 'kill "${before_pid:-}" "${after_pid:-}" "${floor_pid:-}" "${server_PID:-}" 2>/dev/null || true
      rm -rf "$work"' EXIT

mkdir -p "$work/www" "$work/before" "$work/after"
routes=()
for r in 1 2 3 4 5; do
    printf '<html><head><meta charset="utf-8"></head><body><p>路線%s 平常運転</p></body></html>\n' \
        "$r" > "$work/www/line$r.html"
    routes+=("路線$r" "$host" "line$r.html" "平常運転")
done
if [ "${RENDERED:-0}" = 1 ]; then
    for r in 1 2 3 4 5; do printf '[Route%d]\nRender=true\n' "$r"; done > "$work/before/Senrokan.ini"
    cp "$work/before/Senrokan.ini" "$work/after/Senrokan.ini"
    # The engine's sandbox does not run as root.
    [ "$(id -u)" != 0 ] || export QTWEBENGINE_DISABLE_SANDBOX=1
elif [ "${FEED:-0}" = 1 ]; then
    "$testenv" alerts "$work/www/alerts.pb"
    for r in 1 2 3 4 5; do
        printf '[Route%d]\nFeed=http://%s/alerts.pb\nFeedLine=route-%d\n' "$r" "$host" "$r"
    done > "$work/before/Senrokan.ini"
    cp "$work/before/Senrokan.ini" "$work/after/Senrokan.ini"
fi
"$testenv" settings "$work/before/Senrokan.DEF" 30 1 1 0 "${routes[@]}"
"$testenv" settings "$work/after/Senrokan.DEF" 30 1 1 1 "${routes[@]}"
coproc server { "$testenv" serve "$work/www" "$host" "$work/access.log"; }
read -r ready <&"${server[0]}"
[ "$ready" = ready ]

(cd "$work/before" && exec "$program") 2>/dev/null &
before_pid=$!
(cd "$work/after" && exec "$program") 2>/dev/null &
after_pid=$!
"$floor" "$top/resources/icons/senrokan.svg" 2>/dev/null &
floor_pid=$!

# The first check's five requests, then a pause: neither start-up nor the check is idling.
for _ in $(seq 300); do
    [ "$(wc -l < "$work/access.log" 2>/dev/null || echo 0)" -ge 5 ] && break
    sleep 0.1
done
[ "$(wc -l < "$work/access.log")" -ge 5 ] || { echo "the first check did not come" >&2; exit 1; }
sleep 5

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
start_before=$(ticks $before_pid)
start_after=$(ticks $after_pid)
start_floor=$(ticks $floor_pid)
start_ns=$(date +%s%N)
sleep "$seconds"
end_before=$(ticks $before_pid)
end_after=$(ticks $after_pid)
end_floor=$(ticks $floor_pid)
end_ns=$(date +%s%N)
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
floor_rss=$(rss $floor_pid)
if [ -n "$smaps" ]; then
    cp "/proc/$before_pid/smaps" "$smaps/before"
    cp "/proc/$after_pid/smaps" "$smaps/after"
    cp "/proc/$floor_pid/smaps" "$smaps/floor"
fi
report() {
    awk -v name="$1" -v t="$2" -v hz="$hz" -v ns=$((end_ns - start_ns)) -v rss="$3" \
        -v floor="$floor_rss" \
        'BEGIN {
            cpu = t / hz; wall = ns / 1e9;
            printf "%-22s idle %.1f s: cpu %.3f s = %.3f %%, resident memory %d KB (%.1f MiB)",
                   name, wall, cpu, 100 * cpu / wall, rss, rss / 1024
            if (name != "floor")
                printf ", %d KB (%.1f MiB) above the floor", rss - floor, (rss - floor) / 1024
            printf "\n"
        }'
}
report "senrokan before check" $((end_before - start_before)) "$(rss $before_pid)"
report "senrokan after check" $((end_after - start_after)) "$(rss $after_pid)"
report floor $((end_floor - start_floor)) "$floor_rss"
