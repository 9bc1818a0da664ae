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
work="$(mktemp -d)"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT

{
    printf '\r\n30\r\n1\r\n1\r\n0\r\n'
    for r in 1 2 3 4 5; do
        printf '路線%s\r\n127.0.0.1\r\nline%s.html\r\n平常運転\r\n\r\n\r\n\r\n\r\n\r\n' "$r" "$r"
    done
} | iconv -f UTF-8 -t CP932 > "$work/Senrokan.DEF"

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
pids+=($!)
read -r display <&3
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
chmod 700 "$work"
trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 24 &
pids+=($!)
sleep 1
(cd "$work" && exec "$program") 2>/dev/null &
program_pid=$!
pids+=($program_pid)

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
