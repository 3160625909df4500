#!/usr/bin/env bash
# Runs the Wine install benchmark and draws its results as an SVG bar chart
# (by default docs/wine-bench.svg, the chart the README shows).
#
# Usage:
#   tests/bench/wine_bench_chart.sh WIN_BUILD HOST_BUILD [SVG]
#   tests/bench/wine_bench_chart.sh --from RESULTS_TSV [SVG]     (draw only)
#
# The benchmark's variables (BIG_MIB, SMALL_COUNT, RUNS, SETS, BENCH_DIR, ...)
# pass through.  RESULTS, when set, keeps the tab-separated results there;
# otherwise they go to a temporary file that is removed.
#
# Exit code: the benchmark's when it fails (2), else the chart script's
# (0 written, 1 malformed results, 3 a file cannot be read or written);
# 2 for a bad command line.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
usage() {
  echo "wine_bench_chart.sh: $1" >&2
  echo "usage: wine_bench_chart.sh WIN_BUILD HOST_BUILD [SVG] | --from RESULTS_TSV [SVG]; --help tells more" >&2
  exit 2
}

case ${1:-} in
  -h | --help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
  --from)
    if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage "--from takes a results file and, optionally, the SVG to write"; fi
    exec python3 "$HERE/wine_bench_chart.py" "$2" -o "${3:-$REPO/docs/wine-bench.svg}"
    ;;
  -*) usage "unknown option $1" ;;
esac
if [ $# -lt 2 ] || [ $# -gt 3 ]; then usage "WIN_BUILD and HOST_BUILD are required, and at most an SVG besides"; fi
svg=${3:-$REPO/docs/wine-bench.svg}

if [ -n "${RESULTS:-}" ]; then
  results=$RESULTS
else
  results=$(mktemp "${TMPDIR:-/tmp}/wine-bench.XXXXXX.tsv") || exit 3
  trap 'rm -f "$results"' EXIT
fi
RESULTS=$results "$HERE/wine_install_bench.sh" "$1" "$2" || exit $?
python3 "$HERE/wine_bench_chart.py" "$results" -o "$svg" || exit $?
echo "== chart: $svg"
