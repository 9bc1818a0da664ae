#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# Five script-written status pages (the tests' own set, on nginx on a loopback address, port 80,
# so root) read in one run three ways: (a) headless Chromium, its timers fast-forwarded, one page
# after another, the time of each and the total; (b) one senrokan-render reading the five side by
# side, the total and each page's own "ms"; (c) the peak memory of senrokan-render's whole
# process tree (its group, sampled every 50 ms): summed RSS and summed PSS, for the five and for
# one page alone; (d) a whole check by senrokan-check of five routes to the same pages, each
# with Render=true, three times. The target is (b) and (d) at most 1.5 times (a). Chromium is installed with apt when
# missing: it is the bench's yardstick only, never a dependency of the build.
# Usage: bench/render.sh [build-dir]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
testenv="$build/tests/senrokan-testenv"
render="$(find "$build/lib" -name senrokan-render -type f -perm -u+x | head -n 1)"
[ -n "$render" ] || { echo "no senrokan-render in $build (built with Qt WebEngine?)" >&2; exit 1; }
host=127.0.5.9
pages=(feed.html timer.html write.html template.html shadow.html)
word=平常運転

if ! command -v chromium >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq chromium >/dev/null
fi
# Neither engine's sandbox runs as root.
sandbox=()
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
    sandbox=(--no-sandbox)
fi

work="$(mktemp -d)"
trap 'kill "${server_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
coproc server { "$testenv" scriptpages "$host"; }
read -r base <&"${server[0]}"
read -r ready <&"${server[0]}"
[ "$ready" = ready ]

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# The summed RSS and PSS in KiB of the living processes of a group, from /proc.
group_memory() {
    local rss=0 pss=0 pid fields r p
    for stat in /proc/[0-9]*/stat; do
        pid="${stat#/proc/}"; pid="${pid%/stat}"
        fields="$(cat "$stat" 2>/dev/null)" || continue
        fields="${fields##*) }"
        read -r -a f <<< "$fields"
        [ "${f[2]}" = "$1" ] && [ "${f[0]}" != Z ] || continue
        # A process that ends while it is read has no figures: it counts as nothing.
        r="$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)"
        p="$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || true)"
        rss=$(( rss + ${r:-0} ))
        pss=$(( pss + ${p:-0} ))
    done
    echo "$rss $pss"
}

# Reads the pages given with one senrokan-render in a session of its own; prints the wall time in
# ms and the peak summed RSS and PSS in KiB, and leaves its answers in $work/answers.
render_pages() {
    local id=0 lines="" start peak_rss=0 peak_pss=0 rss pss
    for page in "$@"; do
        id=$((id + 1))
        lines+="{\"id\":$id,\"url\":\"$base$page\"}"$'\n'
    done
    start=$(now_ms)
    printf '%s' "$lines" | setsid "$render" > "$work/answers" 2>/dev/null &
    local pid=$!
    while kill -0 "$pid" 2>/dev/null; do
        read -r rss pss < <(group_memory "$pid")
        (( rss > peak_rss )) && peak_rss=$rss
        (( pss > peak_pss )) && peak_pss=$pss
        sleep 0.05
    done
    wait "$pid"
    echo "$(( $(now_ms) - start )) $peak_rss $peak_pss"
}

echo "(a) headless Chromium ($(chromium --version 2>/dev/null | head -n 1)), one page after another"
chromium_total=0
for page in "${pages[@]}"; do
    start=$(now_ms)
    chromium --headless --disable-gpu "${sandbox[@]}" --virtual-time-budget=10000 --dump-dom \
        "$base$page" > "$work/dom" 2>/dev/null
    ms=$(( $(now_ms) - start ))
    chromium_total=$(( chromium_total + ms ))
    grep -q "$word" "$work/dom" && seen=word || seen="NO WORD"
    printf '    %-14s %5d ms  %s\n' "$page" "$ms" "$seen"
done
printf '    total          %5d ms\n' "$chromium_total"

echo "(b) senrokan-render, the five side by side"
read -r render_total five_rss five_pss < <(render_pages "${pages[@]}")
id=0
for page in "${pages[@]}"; do
    id=$((id + 1))
    answer="$(grep "\"id\":$id," "$work/answers" || true)"
    ms="$(sed -n 's/.*"ms":\([0-9]*\).*/\1/p' <<< "$answer")"
    [[ "$answer" == *'"ok":true'* && "$answer" == *"$word"* ]] && seen=word || seen="NO WORD"
    printf '    %-14s %5s ms  %s\n' "$page" "${ms:-?}" "$seen"
done
printf '    total          %5d ms  (%s x Chromium; target at most 1.5)\n' "$render_total" \
    "$(awk -v r="$render_total" -v c="$chromium_total" 'BEGIN { printf "%.2f", r / c }')"

echo "(d) senrokan-check, a whole check of five routes read as the browser shows them"
mkdir -p "$work/check"
routes=()
: > "$work/check/Senrokan.ini"
for r in 1 2 3 4 5; do
    page="${pages[$((r - 1))]}"
    routes+=("$page" "$host" "${base#http://*/}$page" "$word")
    printf '[Route%d]\nRender=true\n' "$r" >> "$work/check/Senrokan.ini"
done
"$testenv" settings "$work/check/Senrokan.DEF" 30 0 0 0 "${routes[@]}"
for run in 1 2 3; do
    start=$(now_ms)
    (cd "$work/check" && "$build/src/senrokan-check" --json > "$work/check/out" 2>/dev/null) || true
    ms=$(( $(now_ms) - start ))
    normal=$(grep -o '"status": *0' "$work/check/out" | wc -l)
    printf '    run %d         %5d ms  (%s x Chromium; %d of 5 normal)\n' "$run" "$ms" \
        "$(awk -v r="$ms" -v c="$chromium_total" 'BEGIN { printf "%.2f", r / c }')" "$normal"
done

echo "(c) senrokan-render's peak memory, its whole process tree"
read -r one_total one_rss one_pss < <(render_pages feed.html)
printf '    five pages: RSS %6d KiB, PSS %6d KiB\n' "$five_rss" "$five_pss"
printf '    one page:   RSS %6d KiB, PSS %6d KiB  (%d ms)\n' "$one_rss" "$one_pss" "$one_total"
