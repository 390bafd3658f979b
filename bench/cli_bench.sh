#!/usr/bin/env bash
# Times the command line end to end, whole process, stdout to /dev/null: the typical run
# (a=1, b=5, h=0.1, EPS=0.0001; median of 200 runs) and a 1e7-point run (a=1, b=11, h=1e-6,
# EPS=1e-4; median of five runs).
# Usage: bench/cli_bench.sh [PATH-TO-rootfinder-cli]   (default: build-bench/app/rootfinder-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build-bench/app/rootfinder-cli}

csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
# Columns: command,mean,stddev,median,user,system,min,max (seconds).
hyperfine --shell=none --output=null --warmup 10 --runs 200 --style basic --export-csv "$csv" "$cli 1 5 0.1 0.0001" >/dev/null
awk -F, 'NR == 2 { printf "rootfinder-cli 1 5 0.1 0.0001: median %.2f ms\n", $4 * 1000 }' "$csv"
hyperfine --shell=none --output=null --warmup 1 --runs 5 --style basic --export-csv "$csv" "$cli 1 11 1e-6 1e-4"
awk -F, 'NR == 2 { printf "rootfinder-cli 1 11 1e-6 1e-4: median %.3f s (target: under 3 s)\n", $4 }' "$csv"
