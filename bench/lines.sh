#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# Peak memory of `senrokan-check --lines` when the ODPT API answers its odpt:Railway request with
# a list just within the 16 MiB reply cap: 16 MiB of `[0],`, of `{"a":0},` and of `0,` (one array
# of zeros), and the most that is parsed and printed: 9 999 railways of four stations each with
# long titles, just within the bounds on railways, on arrays and objects and on values, and within
# the cap; each served by nginx on loopback port 80 (needs root for the port), set up by the
# tests' own fixtures. A real list of 600 railways with their stations is 2.6 MB.
# Usage: bench/lines.sh [build-dir]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$top/build}" && pwd)"
check="$build/src/senrokan-check"
testenv="$build/tests/senrokan-testenv"
host=127.0.5.3
work="$(mktemp -d)"
trap 'kill "${server_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

printf '[ODPT]\nBase=http://%s/\n' "$host" > "$work/Senrokan.ini"
for kind in arrays objects zeros railways; do
    rm -rf "$work/www"
    mkdir -p "$work/www"
    python3 - "$work/www" "$kind" <<'PY'
import sys
folder, kind = sys.argv[1], sys.argv[2]
cap = 16 * 1024 * 1024 - 4096
if kind == 'railways':
    station = '{"odpt:index":1,"odpt:stationTitle":{"ja":"%s"}}' % ('駅' * 100)
    units = ['{"owl:sameAs":"odpt.Railway:Op.L%05d","odpt:railwayTitle":"%s","odpt:stationOrder":[%s]}'
             % (i, '線' * 30, ','.join([station] * 4)) for i in range(9999)]
else:
    unit = {'arrays': '[0]', 'objects': '{"a":0}', 'zeros': '0'}[kind]
    units = [unit] * (cap // (len(unit) + 1))
open(f'{folder}/odpt:Railway', 'w').write('[' + ','.join(units) + ']')
open(f'{folder}/odpt:Operator', 'w').write('[]')
PY
    coproc server { "$testenv" serve "$work/www" "$host"; }
    read -r ready <&"${server[0]}"
    [ "$ready" = ready ]
    (cd "$work" && /usr/bin/time -f '%M' -o "$work/rss" "$check" --lines > "$work/out" 2> "$work/err") || true
    rss=$(tail -n 1 "$work/rss")
    echo "$kind: $(stat -c %s "$work/www/odpt:Railway") bytes, $(wc -l < "$work/out") lines printed," \
         "peak memory $((rss / 1024)) MB (${rss} KB); $(head -n 1 "$work/err")"
    exec {server[1]}>&-
    wait "$server_PID" || true
done
