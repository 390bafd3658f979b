#!/usr/bin/env bash
# Times the command line end to end on a 1e7-point run (a=1, b=11, h=1e-6, EPS=1e-4, the
# report only, stdout to /dev/null) and prints the median of five runs.
# Usage: bench/cli_bench.sh [PATH-TO-rootfinder-cli]   (default: build-bench/app/rootfinder-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build-bench/app/rootfinder-cli}

csv=$(mktemp)
trap 'rm -f "$csv"' EXIT
hyperfine --shell=none --output=null --warmup 1 --runs 5 --style basic --export-csv "$csv" "$cli 1 11 1e-6 1e-4"
# Columns: command,mean,stddev,median,user,system,min,max (seconds).
awk -F, 'NR == 2 { printf "rootfinder-cli 1 11 1e-6 1e-4: median %.3f s (target: under 3 s)\n", $4 }' "$csv"
