#!/usr/bin/env bash
# Pack throughput benchmark for `velmora pack`, against the encoder's own
# throughput measured in the same run.
#
# Generates the install benchmark's tree (make_bench_tree.py), then times
# `velmora pack` of it RUNS times into an empty folder and reports the median
# wall time, the pack rate (bytes of the tree per second), the median and
# largest peak RSS, and the ratio of the pack rate to the encoder rate of the
# codec benchmark (velmora_bench, BM_VelmoraEncode with a 1 MiB output
# buffer), run right before the packs.  MB/s are 10^6 bytes per second of
# uncompressed data.
#
# Usage:
#   tests/bench/pack_bench.sh [VELMORA [VELMORA_BENCH]]
#
# Environment:
#   BENCH_DIR      work folder (default /work/velmora-pack-bench); needs about
#                  2x the tree size free.  Removed at the end unless BENCH_KEEP=1.
#   BIG_MIB        size of the big file in MiB (default 512)
#   SMALL_COUNT    number of small files (default 2000)
#   SMALL_MIB      total size of the small files in MiB (default 100)
#   RUNS           packs timed (default 3)
#   PACK_ARGS      more arguments for `velmora pack` (e.g. "--jobs 1")
#   BENCH_KEEP     1: keep BENCH_DIR (tree, package, logs) afterwards
#
# Target checked: pack rate >= 0.9x the encoder rate.  Exit code 0 when met,
# 1 when missed, 2 when a tool fails.
set -euo pipefail

HERE="$(cd "$(dirname "$0")" && pwd)"
REPO="$(cd "$HERE/../.." && pwd)"
VELMORA="${1:-$REPO/build-bench/tools/velmora}"
CODEC_BENCH="${2:-$(dirname "$VELMORA")/../tests/bench/velmora_bench}"
BENCH_DIR="${BENCH_DIR:-/work/velmora-pack-bench}"
BIG_MIB="${BIG_MIB:-512}"
SMALL_COUNT="${SMALL_COUNT:-2000}"
SMALL_MIB="${SMALL_MIB:-100}"
RUNS="${RUNS:-3}"
TIME_BIN=/usr/bin/time

die() { echo "pack_bench: $*" >&2; exit 2; }

[[ -x "$VELMORA" ]] || die "no velmora executable at $VELMORA (build it, or pass its path)"
[[ -x "$CODEC_BENCH" ]] || die "no velmora_bench at $CODEC_BENCH (configure with -DVELMORA_BENCH=ON, or pass its path)"
if [[ ! -x "$TIME_BIN" ]]; then
  echo "installing GNU time ..."
  apt-get install -y time >/dev/null || die "cannot install the 'time' package"
fi

SRC="$BENCH_DIR/src"
PKG="$BENCH_DIR/pkg"
LOGS="$BENCH_DIR/logs"
cleanup() {
  if [[ "${BENCH_KEEP:-0}" != 1 ]]; then rm -rf "$BENCH_DIR"; fi
}
trap cleanup EXIT

if [[ -f "$SRC/manifest.toml" && -f "$SRC/.made-$BIG_MIB-$SMALL_COUNT-$SMALL_MIB" ]]; then
  echo "== reusing the tree in $SRC"
else
  rm -rf "$BENCH_DIR"
  mkdir -p "$SRC/tree"
  echo "== generating tree: big file ${BIG_MIB} MiB + ${SMALL_COUNT} files totalling ${SMALL_MIB} MiB"
  python3 "$HERE/make_bench_tree.py" "$SRC" "$BIG_MIB" "$SMALL_COUNT" "$SMALL_MIB"
  touch "$SRC/.made-$BIG_MIB-$SMALL_COUNT-$SMALL_MIB"
fi
rm -rf "$PKG" "$LOGS"
mkdir -p "$LOGS"
tree_bytes=$(du -sb "$SRC/tree" | awk '{print $1}')
echo "tree: $tree_bytes bytes in $(ls "$SRC/tree" | wc -l) files"
cat "$SRC/tree"/* > /dev/null  # into the page cache

echo "== encoder: $CODEC_BENCH"
"$CODEC_BENCH" --benchmark_filter='BM_VelmoraEncode/outbuf:1048576' \
  --benchmark_out="$LOGS/codec.json" --benchmark_out_format=json >"$LOGS/codec.out" 2>&1 \
  || { cat "$LOGS/codec.out"; die "velmora_bench failed"; }
# Wall-clock and CPU rates, MB/s.
read -r encoder_rate encoder_cpu_rate < <(python3 -c '
import json, sys
for run in json.load(open(sys.argv[1]))["benchmarks"]:
    if run["name"].startswith("BM_VelmoraEncode/outbuf:1048576"):
        seconds = run["cpu_time"] / {"ns": 1e9, "us": 1e6, "ms": 1e3, "s": 1.0}[run["time_unit"]]
        print("%.1f %.1f" % (run["bytes_per_second"] / 1e6, run["corpus_MB"] * (1 << 20) / seconds / 1e6))
        break
' "$LOGS/codec.json")
[[ -n "$encoder_rate" ]] || { cat "$LOGS/codec.out"; die "no encoder figure in the codec benchmark's output"; }

wall_seconds() {
  awk -F': ' '/Elapsed \(wall clock\)/ {
    n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.2f\n", s }' "$1"
}
peak_kib() { awk -F': ' '/Maximum resident set size/ {print $2}' "$1"; }
cpu_split() { awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "user %.2f s, sys %.2f s", u, s}' "$1"; }
cpu_seconds() { awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f\n", u + s}' "$1"; }
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
largest() { sort -g | tail -n 1; }

echo "== packing: $VELMORA pack ${PACK_ARGS:-}"
for ((run = 1; run <= RUNS; run++)); do
  rm -rf "$PKG"; sync
  # shellcheck disable=SC2086  # PACK_ARGS is a list of arguments
  "$TIME_BIN" -v -o "$LOGS/pack.$run.time" "$VELMORA" pack "$SRC/manifest.toml" -o "$PKG" ${PACK_ARGS:-} \
    >"$LOGS/pack.$run.out" 2>&1 || { cat "$LOGS/pack.$run.out"; die "velmora pack failed (run $run)"; }
  printf 'run %d: pack %6.2f s %7d KiB (%s)\n' "$run" "$(wall_seconds "$LOGS/pack.$run.time")" \
    "$(peak_kib "$LOGS/pack.$run.time")" "$(cpu_split "$LOGS/pack.$run.time")"
done
package_bytes=$(du -sb "$PKG" | awk '{print $1}')

pack_wall=$(for f in "$LOGS"/pack.*.time; do wall_seconds "$f"; done | median)
rss_med=$(for f in "$LOGS"/pack.*.time; do peak_kib "$f"; done | median)
rss_max=$(for f in "$LOGS"/pack.*.time; do peak_kib "$f"; done | largest)
pack_cpu=$(for f in "$LOGS"/pack.*.time; do cpu_seconds "$f"; done | median)
pack_rate=$(awk -v b="$tree_bytes" -v s="$pack_wall" 'BEGIN {printf "%.1f", (s > 0 ? b / s / 1e6 : 0)}')
pack_cpu_rate=$(awk -v b="$tree_bytes" -v s="$pack_cpu" 'BEGIN {printf "%.1f", (s > 0 ? b / s / 1e6 : 0)}')
ratio=$(awk -v p="$pack_rate" -v e="$encoder_rate" 'BEGIN {printf "%.2f", (e > 0 ? p / e : 0)}')
cpu_ratio=$(awk -v p="$pack_cpu_rate" -v e="$encoder_cpu_rate" 'BEGIN {printf "%.2f", (e > 0 ? p / e : 0)}')

echo "== results (median of $RUNS; big file ${BIG_MIB} MiB, ${SMALL_COUNT} small files, ${SMALL_MIB} MiB)"
printf 'package                %8d bytes\n' "$package_bytes"
printf 'pack wall time         %8.2f s\n' "$pack_wall"
printf 'pack rate              %8.1f MB/s\n' "$pack_rate"
printf 'encoder rate           %8.1f MB/s   (codec benchmark, wall clock)\n' "$encoder_rate"
printf 'ratio pack/encoder     %8s   (target >= 0.90)\n' "$ratio"
printf 'pack CPU time          %8.2f s   (user + sys, all threads)\n' "$pack_cpu"
printf 'per CPU second         %8.1f MB/s pack, %.1f MB/s encoder: %s\n' "$pack_cpu_rate" "$encoder_cpu_rate" "$cpu_ratio"
printf 'pack peak RSS          %8d KiB median, %d KiB largest\n' "$rss_med" "$rss_max"
printf 'load average           %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"

if awk -v r="$ratio" 'BEGIN {exit !(r >= 0.9)}'; then
  echo "target met"
else
  echo "MISSED: pack/encoder ratio $ratio < 0.90"
  exit 1
fi
