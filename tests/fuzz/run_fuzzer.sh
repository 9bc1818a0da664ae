#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
# run_fuzzer.sh FUZZER SEEDS SECONDS ARTIFACTS
# Runs a fuzz target for SECONDS from the committed SEEDS (left untouched: new inputs go to a
# scratch directory); a crashing input is written to ARTIFACTS and fails the run.
set -eu
fuzzer=$1 seeds=$2 seconds=$3 artifacts=$4
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
name=$(basename "$fuzzer")
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "$scratch" "$seeds"
