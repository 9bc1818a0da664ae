#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# CPU time and peak memory of one senrokan-check run over five 180 KB Shift_JIS pages served by
# nginx on loopback port 80 (needs root for the port), set up by the tests' own fixtures.
# Usage: bench/footprint.sh [build-dir]
# With FEED=1 in the environment the five routes read their state from a GTFS-Realtime feed of
# 20 000 alerts (5.2 MB, senrokan-testenv alerts) on the same server instead, each for a line of
# its own (Feed= and FeedLine= in Senrokan.ini); the first line has alerts in force.
# FEED=flood-alerts and FEED=flood-odpt serve instead a feed of tiny messages just within the
# reply cap (senrokan-testenv flood): alerts full of empty selectors, periods and translations,
# or an ODPT array of zeros.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
check="$build/src/senrokan-check"
testenv="$build/tests/senrokan-testenv"
host=127.0.5.2
work="$(mktemp -d)"
trap 'kill "${server_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/www"
# A status page: Shift_JIS markup and text, the match word near the end.
python3 - "$work/www" <<'PY'
import sys
unit = ('<tr><td><a href="/line/yamanote.html">山手線</a></td>'
        '<td>列車の遅れ ダイヤが乱れています ｶﾀｶﾅ 12:34</td></tr>\r\n')
for r in range(1, 6):
    body = '<html><head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS"></head><body><table>\r\n'
    while len(body.encode('cp932')) < 180 * 1024:
        body += unit
    body += '<p>平常運転です</p></table></body></html>\r\n'
    open(f'{sys.argv[1]}/line{r}.html', 'wb').write(body.encode('cp932'))
PY
routes=()
for r in 1 2 3 4 5; do routes+=("路線$r" "$host" "line$r.html" "平常運転"); done
case "${FEED:-0}" in
0) ;;
1) "$testenv" alerts "$work/www/feed" ;;
flood-alerts) "$testenv" flood alerts "$work/www/feed" ;;
flood-odpt) "$testenv" flood odpt "$work/www/feed" ;;
*) echo "FEED is 1, flood-alerts or flood-odpt" >&2; exit 64 ;;
esac
if [ "${FEED:-0}" != 0 ]; then
    for r in 1 2 3 4 5; do
        printf '[Route%d]\nFeed=http://%s/feed\nFeedLine=route-%d\n' "$r" "$host" $((r - 1))
    done > "$work/Senrokan.ini"
    echo "feed: $(stat -c %s "$work/www/feed") bytes"
fi
"$testenv" settings "$work/Senrokan.DEF" 10 0 0 0 "${routes[@]}"

coproc server { "$testenv" serve "$work/www" "$host"; }
read -r ready <&"${server[0]}"
[ "$ready" = ready ]

cd "$work"
# GNU time for the peak memory; bash's own timer for CPU in milliseconds.
TIMEFORMAT='%3U %3S %3R'
{ time /usr/bin/time -f '%M' -o "$work/rss" "$check" --json > "$work/out.json" || true; } 2> "$work/time"
read -r user sys wall < "$work/time"
# GNU time puts "Command exited with non-zero status N" first when a route is delayed or failed.
rss=$(tail -n 1 "$work/rss")
cpu_ms=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
statuses=$(grep -o '"status": [0-9-]*' "$work/out.json" | awk '{printf "%s ", $2}')
echo "routes: statuses ${statuses}"
echo "cpu: ${cpu_ms} ms (user ${user} s, sys ${sys} s), peak memory: $((rss / 1024)) MB (${rss} KB), wall: ${wall} s"
