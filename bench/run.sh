#!/usr/bin/env bash
# Benchmarks, one command each:
#
#   bench/run.sh pageload   page 0 of a 10^4- and a 10^6-line menu.inf through LoadMenuPage, beside std::getline
#   bench/run.sh check      velmaro-author check of a 50-page, 2,500-link disc, in one process, run after run
#   bench/run.sh report     check's text, JSON and SARIF for 10^4 and 10^5 findings: the time per finding
#   bench/run.sh linux      the Linux program against a minimal GTK 4 program on a virtual display: time to
#                           the painted menu and peak resident set (see bench/gtk_startup.sh)
#   bench/run.sh startup     velmaro.exe against a minimal Win32 program under Wine: time to the painted menu
#                           and peak working set (see bench/startup.sh for its settings)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

case "${1:-}" in
  pageload)
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 >/dev/null
    data=build/bench/data
    mkdir -p "$data"
    exec build/bench/bench/bench_pageload "$data"
    ;;
  check)
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 --target bench_check >/dev/null
    mkdir -p build/bench/data
    exec build/bench/bench/bench_check build/bench/data/check-disc
    ;;
  report)
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 --target bench_report >/dev/null
    exec build/bench/bench/bench_report
    ;;
  linux)
    shift
    exec bench/gtk_startup.sh "$@"
    ;;
  startup)
    shift
    exec bench/startup.sh "$@"
    ;;
  *)
    echo "usage: bench/run.sh pageload|check|report|linux|startup" >&2
    exit 2
    ;;
esac
