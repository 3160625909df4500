#!/usr/bin/env bash
# Install throughput benchmark for `velmora install`.
#
# Generates a deterministic tree (one big file plus many small ones, a mix of
# text-like and random content), packs it, then times `velmora install` of the
# package and, on the same disk, `tar -xf` of an uncompressed tar of the same
# tree. Each measurement runs RUNS times; the median wall time and the median
# and largest peak RSS are reported, with the install/tar ratio.
#
# Usage:
#   tests/bench/install_bench.sh [--data DIR] [VELMORA]
#
#   --data DIR     work folder for the data (or BENCH_DIR): a folder that
#                  does not exist yet or is empty, on the disk to measure;
#                  needs about 5x the tree size free. Default: a fresh
#                  temporary folder under ${TMPDIR:-/tmp}. Removed at the
#                  end unless BENCH_KEEP=1.
#
# Environment:
#   BIG_MIB        size of the big file in MiB (default 1024)
#   SMALL_COUNT    number of small files (default 2000)
#   SMALL_MIB      total size of the small files in MiB (default 200)
#   RUNS           runs per measurement (default 3)
#   BENCH_KEEP     1: keep BENCH_DIR afterwards
#
# Targets checked: install wall time <= 2x tar -x; install peak RSS < 32 MiB.
# Exit code: 0 all checks passed and targets met, 1 a target missed,
# 2 a content check failed or a tool failed.
set -euo pipefail

HERE="$(cd "$(dirname "$0")" && pwd)"
REPO="$(cd "$HERE/../.." && pwd)"
BENCH_DIR="${BENCH_DIR:-}"
if [[ "${1:-}" == "--data" ]]; then
  [[ $# -ge 2 ]] || { echo "install_bench: --data needs a folder" >&2; exit 2; }
  BENCH_DIR=$2
  shift 2
fi
VELMORA="${1:-$REPO/build-bench/tools/velmora}"
BIG_MIB="${BIG_MIB:-1024}"
SMALL_COUNT="${SMALL_COUNT:-2000}"
SMALL_MIB="${SMALL_MIB:-200}"
RUNS="${RUNS:-3}"
TIME_BIN=/usr/bin/time

die() { echo "install_bench: $*" >&2; exit 2; }

[[ -x "$VELMORA" ]] || die "no velmora executable at $VELMORA (build it, or pass its path)"
# The data folder is emptied and removed: never one that holds anything.
if [[ -z "$BENCH_DIR" ]]; then
  BENCH_DIR=$(mktemp -d "${TMPDIR:-/tmp}/velmora-bench.XXXXXX") || die "cannot make a temporary folder"
elif [[ -e "$BENCH_DIR" && -n "$(ls -A "$BENCH_DIR" 2>/dev/null)" ]]; then
  die "the data folder $BENCH_DIR is not empty; give a new or empty one"
fi
if [[ ! -x "$TIME_BIN" ]]; then
  echo "installing GNU time ..."
  apt-get install -y time >/dev/null || die "cannot install the 'time' package"
fi

SRC="$BENCH_DIR/src"          # the tree and its manifest
TREE="$SRC/tree"
PKG="$BENCH_DIR/pkg"          # the packed package
TAR="$BENCH_DIR/tree.tar"
RUNDIR="$BENCH_DIR/run"       # targets of the timed runs
LOGS="$BENCH_DIR/logs"

cleanup() {
  if [[ "${BENCH_KEEP:-0}" != 1 ]]; then rm -rf "$BENCH_DIR"; fi
}
trap cleanup EXIT

mkdir -p "$TREE" "$PKG" "$RUNDIR" "$LOGS"
# Any temporary files stay on the same disk.
export TMPDIR="$BENCH_DIR/tmp"
mkdir -p "$TMPDIR"

echo "== generating tree: big file ${BIG_MIB} MiB + ${SMALL_COUNT} files totalling ${SMALL_MIB} MiB"
python3 - "$SRC" "$BIG_MIB" "$SMALL_COUNT" "$SMALL_MIB" <<'PY'
import os, random, sys

src, big_mib, count, small_mib = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
tree = os.path.join(src, "tree")
MIB = 1 << 20
rng = random.Random(20261207)

# A text pool: lines of pseudo-words, compressible like source or logs.
words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
         for _ in range(800)]
lines = []
size = 0
while size < 4 * MIB:
    line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 14))) + "\r\n"
    lines.append(line)
    size += len(line)
text_pool = "".join(lines).encode("ascii")

def text_bytes(n):
    start = rng.randrange(0, len(text_pool) - 1)
    out = bytearray()
    while len(out) < n:
        out += text_pool[start:start + (n - len(out))]
        start = 0
    return bytes(out)

def random_bytes(n):
    return rng.randbytes(n)

# The big file: alternating 1 MiB blocks of random and text-like content.
with open(os.path.join(tree, "BIG.DAT"), "wb") as f:
    for i in range(big_mib):
        f.write(random_bytes(MIB) if i % 2 == 0 else text_bytes(MIB))

# Small files: varied sizes summing exactly to small_mib MiB; even indices
# text-like (.TXT), odd indices random (.BIN).
total = small_mib * MIB
weights = [rng.uniform(0.05, 1.95) for _ in range(count)]
scale = total / sum(weights)
sizes = [max(1, int(w * scale)) for w in weights]
sizes[-1] += total - sum(sizes)
names = []
for i, n in enumerate(sizes):
    name = "S%04d.%s" % (i, "TXT" if i % 2 == 0 else "BIN")
    names.append(name)
    with open(os.path.join(tree, name), "wb") as f:
        f.write(text_bytes(n) if i % 2 == 0 else random_bytes(n))

# Fixed times so that the package is the same from run to run.
stamp = 946728000  # 2000-01-01T12:00:00Z
with open(os.path.join(src, "manifest.toml"), "w") as m:
    m.write('title = "Velmora Bench"\n\n')
    m.write('[[step]]\nclass = "directory"\nname = "BenchDir"\n'
            'question = "Install the benchmark files where?"\n'
            'prefix = "<None>"\ndefault = \'C:\\BENCH\'\n\n')
    for name in ["BIG.DAT"] + names:
        m.write('[[step]]\nclass = "file"\nsource = "tree/%s"\ndirectory = "BenchDir"\n'
                'created = %d\nmodified = %d\n\n' % (name, stamp, stamp))
PY
du -sb "$TREE" | awk '{printf "tree: %d bytes in ", $1}'; ls "$TREE" | wc -l | awk '{print $1 " files"}'

cat >"$BENCH_DIR/answers.txt" <<'EOF'
directory "*" = ok
message "*" = yes
EOF

echo "== packing (not part of the measurement)"
"$TIME_BIN" -v -o "$LOGS/pack.time" "$VELMORA" pack --no-setup "$SRC/manifest.toml" -o "$PKG" >"$LOGS/pack.out" \
  || { cat "$LOGS/pack.out"; die "velmora pack failed"; }
du -sb "$PKG" | awk '{printf "package: %d bytes\n", $1}'
awk -F': ' '/Elapsed/ {print "pack wall time: " $2} /Maximum resident/ {print "pack peak RSS: " $2 " KiB"}' "$LOGS/pack.time"

echo "== tar -cf (not part of the measurement)"
tar -cf "$TAR" -C "$SRC" tree
sync

# Seconds from GNU time's "h:mm:ss" or "m:ss.ss".
wall_seconds() {
  awk -F': ' '/Elapsed \(wall clock\)/ {
    n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.2f\n", s }' "$1"
}
peak_kib() { awk -F': ' '/Maximum resident set size/ {print $2}' "$1"; }
cpu_split() { awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "user %.2f s, sys %.2f s", u, s}' "$1"; }
median() { sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
largest() { sort -g | tail -n 1; }

# A first, untimed round: the install's content is checked, and both
# commands meet the file system in the state the timed rounds will (the
# first writes after packing are slowed by the blocks just freed and
# written).
echo "== warm-up round with content check (not part of the measurement)"
rm -rf "$RUNDIR/machine"; sync
"$VELMORA" install "$PKG" --machine "$RUNDIR/machine" --answers "$BENCH_DIR/answers.txt" \
  >"$LOGS/install.warmup.out" 2>&1 || { cat "$LOGS/install.warmup.out"; die "velmora install failed"; }
# Content check: the big file and a sample of the small ones.
target="$RUNDIR/machine/C/BENCH"
[[ -d "$target" ]] || target="$(find "$RUNDIR/machine" -maxdepth 2 -iname BENCH -type d | head -n 1)"
[[ -d "$target" ]] || die "installed folder C:\\BENCH not found under $RUNDIR/machine"
installed_count=$(find "$TREE" -type f | wc -l)
found=0; for f in "$TREE"/*; do [[ -e "$target/$(basename "$f")" ]] && found=$((found + 1)); done
[[ $found -eq $installed_count ]] || die "only $found of $installed_count files were installed"
cmp "$TREE/BIG.DAT" "$target/BIG.DAT" || die "BIG.DAT differs"
checked=1
for ((i = 0; i < SMALL_COUNT; i += 37)); do
  name=$(printf 'S%04d.%s' "$i" "$([[ $((i % 2)) -eq 0 ]] && echo TXT || echo BIN)")
  cmp "$TREE/$name" "$target/$name" || die "$name differs"
  checked=$((checked + 1))
done
last=$(printf 'S%04d.%s' $((SMALL_COUNT - 1)) "$([[ $(((SMALL_COUNT - 1) % 2)) -eq 0 ]] && echo TXT || echo BIN)")
cmp "$TREE/$last" "$target/$last" || die "$last differs"
echo "content check: all $installed_count files present; $((checked + 1)) compared byte for byte (BIG.DAT included): identical"
rm -rf "$RUNDIR/machine" "$RUNDIR/tar"; mkdir -p "$RUNDIR/tar"; sync
tar -xf "$TAR" -C "$RUNDIR/tar" || die "tar -xf failed"
rm -rf "$RUNDIR/tar"; sync

for ((run = 1; run <= RUNS; run++)); do
  # install into a fresh machine
  rm -rf "$RUNDIR/machine"; sync
  "$TIME_BIN" -v -o "$LOGS/install.$run.time" \
    "$VELMORA" install "$PKG" --machine "$RUNDIR/machine" --answers "$BENCH_DIR/answers.txt" \
    >"$LOGS/install.$run.out" 2>&1 || { cat "$LOGS/install.$run.out"; die "velmora install failed (run $run)"; }
  rm -rf "$RUNDIR/machine"; sync

  # tar -x into an empty folder
  rm -rf "$RUNDIR/tar"; mkdir -p "$RUNDIR/tar"; sync
  "$TIME_BIN" -v -o "$LOGS/tar.$run.time" tar -xf "$TAR" -C "$RUNDIR/tar" \
    || die "tar -xf failed (run $run)"
  rm -rf "$RUNDIR/tar"; sync

  printf 'run %d: install %6.2f s %7d KiB (%s) | tar -x %6.2f s %7d KiB (%s)\n' "$run" \
    "$(wall_seconds "$LOGS/install.$run.time")" "$(peak_kib "$LOGS/install.$run.time")" \
    "$(cpu_split "$LOGS/install.$run.time")" \
    "$(wall_seconds "$LOGS/tar.$run.time")" "$(peak_kib "$LOGS/tar.$run.time")" \
    "$(cpu_split "$LOGS/tar.$run.time")"
done

inst_wall=$(for f in "$LOGS"/install.*.time; do wall_seconds "$f"; done | median)
tar_wall=$(for f in "$LOGS"/tar.*.time; do wall_seconds "$f"; done | median)
inst_rss_med=$(for f in "$LOGS"/install.*.time; do peak_kib "$f"; done | median)
inst_rss_max=$(for f in "$LOGS"/install.*.time; do peak_kib "$f"; done | largest)
tar_rss=$(for f in "$LOGS"/tar.*.time; do peak_kib "$f"; done | median)
ratio=$(awk -v a="$inst_wall" -v b="$tar_wall" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}')

echo "== results (median of $RUNS; big file ${BIG_MIB} MiB, ${SMALL_COUNT} small files, ${SMALL_MIB} MiB)"
printf 'install wall time      %8.2f s\n' "$inst_wall"
printf 'tar -x wall time       %8.2f s\n' "$tar_wall"
printf 'ratio install/tar      %8s   (target <= 2.00)\n' "$ratio"
printf 'install peak RSS       %8d KiB median, %d KiB largest (%.1f MiB; target < 32 MiB)\n' \
  "$inst_rss_med" "$inst_rss_max" "$(awk -v k="$inst_rss_max" 'BEGIN {print k / 1024}')"
printf 'tar -x peak RSS        %8d KiB\n' "$tar_rss"

status=0
awk -v r="$ratio" 'BEGIN {exit !(r <= 2.0)}' || { echo "MISSED: install/tar ratio $ratio > 2.00"; status=1; }
[[ $inst_rss_max -lt $((32 * 1024)) ]] || { echo "MISSED: install peak RSS ${inst_rss_max} KiB >= 32768 KiB"; status=1; }
[[ $status -eq 0 ]] && echo "targets met"
exit $status
