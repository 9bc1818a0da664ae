#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# Wall time of one senrokan-check run over five status pages (Shift_JIS, UTF-8 and EUC-JP, about
# 20 KB each) served by nginx on loopback port 80 (needs root for the port), set up by the tests'
# own fixtures, beside urlwatch reading the same five pages. Each program runs once to warm up,
# then RUNS times (5 unless given); each run's time is shown, then the fastest and the median.
# urlwatch is Debian's package of that name; without it its half is skipped, saying so.
# Usage: bench/pages.sh [build-dir]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
check="$build/src/senrokan-check"
testenv="$build/tests/senrokan-testenv"
host=127.0.5.4
runs="${RUNS:-5}"
work="$(mktemp -d)"
trap 'kill "${server_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/www"
python3 - "$work/www" <<'PY'
import sys
codings = ['cp932', 'utf-8', 'euc_jp', 'cp932', 'utf-8']
labels = {'cp932': 'Shift_JIS', 'utf-8': 'UTF-8', 'euc_jp': 'EUC-JP'}
unit = ('<tr><td><a href="/line/yamanote.html">山手線</a></td>'
        '<td>列車の遅れ ダイヤが乱れています ｶﾀｶﾅ 12:34</td></tr>\r\n')
for r, coding in enumerate(codings, 1):
    body = ('<html><head><meta http-equiv="Content-Type" content="text/html; charset=%s">'
            '</head><body><table>\r\n' % labels[coding])
    while len(body.encode(coding)) < 20 * 1024:
        body += unit
    body += '<p>平常運転です</p></table></body></html>\r\n'
    open(f'{sys.argv[1]}/line{r}.html', 'wb').write(body.encode(coding))
PY
routes=()
for r in 1 2 3 4 5; do
    routes+=("路線$r" "$host" "line$r.html" "平常運転")
    printf 'name: line%d\nurl: http://%s/line%d.html\n---\n' "$r" "$host" "$r" >> "$work/urls.yaml"
done
"$testenv" settings "$work/Senrokan.DEF" 10 0 0 0 "${routes[@]}"

coproc server { "$testenv" serve "$work/www" "$host"; }
read -r ready <&"${server[0]}"
[ "$ready" = ready ]

# Runs the command given RUNS times after one run to warm up, and prints the times in seconds.
timed() {
    "$@" > /dev/null 2>&1 || true
    local times=() start end
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "$@" > /dev/null 2>&1 || true
        end=$(date +%s%N)
        times+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk -v all="${times[*]}" \
        '{ t[NR] = $1 } END { printf "runs %s s; fastest %s s, median %s s\n", all, t[1], t[int((NR + 1) / 2)] }'
}

cd "$work"
statuses=$("$check" --json | grep -o '"status": [0-9-]*' | awk '{printf "%s ", $2}' || true)
echo "senrokan-check: statuses ${statuses}"
echo "senrokan-check: $(timed "$check")"
if command -v urlwatch > /dev/null; then
    # A folder of its own: no user's settings, jobs or cache are read or touched.
    uw=(env HOME="$work" urlwatch --urls "$work/urls.yaml" --config "$work/urlwatch.yaml"
        --hooks "$work/hooks.py" --cache "$work/cache.db")
    echo "urlwatch $(urlwatch --version | awk '{print $2}'): $(timed "${uw[@]}")"
else
    echo "urlwatch: not installed (Debian package urlwatch); its half is skipped"
fi
