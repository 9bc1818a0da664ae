#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""Resident memory of processes side by side, one line per mapped file ([heap], [stack] and
unnamed mappings each as one line), from saved /proc/PID/smaps files: Rss, and of it what is
private and written (Private_Dirty) and anonymous, in KB, with the change from the first file.
Usage: bench/smaps_diff.py [--field Rss|Private_Dirty|Anonymous|Pss] smaps smaps...
Lines whose figures differ by less than --min KB from the first file's are left out."""
import argparse
import collections
import os
import re

HEADER = re.compile(r'^[0-9a-f]+-[0-9a-f]+ \S+ \S+ \S+ \S+(?:\s+(.*))?$')


def read(path, field):
    sizes = collections.Counter()
    name = None
    with open(path) as f:
        for line in f:
            m = HEADER.match(line)
            if m:
                name = (m.group(1) or '[anon]').strip()
                # Thread stacks and the like show as one name each; libraries by their file name.
                name = os.path.basename(name) if name.startswith('/') else name
                continue
            key, _, rest = line.partition(':')
            if key == field:
                sizes[name] += int(rest.split()[0])
    return sizes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--field', default='Rss')
    parser.add_argument('--min', type=int, default=8)
    parser.add_argument('files', nargs='+')
    args = parser.parse_args()
    tables = [read(p, args.field) for p in args.files]
    names = set().union(*tables)
    first = tables[0]
    rows = [n for n in names if any(abs(t[n] - first[n]) >= args.min for t in tables[1:])
            or len(tables) == 1]
    rows.sort(key=lambda n: -max(t[n] - first[n] for t in tables))
    heads = [os.path.basename(p) for p in args.files]
    print(f'{args.field:>10}' + ''.join(f'{h[:12]:>14}' for h in heads) + '  mapping')
    for n in rows:
        cells = [f'{first[n]:>14}'] + [f'{t[n]:>8} {t[n] - first[n]:+6}'[-14:].rjust(14)
                                       for t in tables[1:]]
        print(' ' * 10 + ''.join(cells) + '  ' + n)
    totals = [sum(t.values()) for t in tables]
    print(f'{"total":>10}' + f'{totals[0]:>14}'
          + ''.join(f'{x:>8} {x - totals[0]:+6}'.rjust(14) for x in totals[1:]))


if __name__ == '__main__':
    main()
