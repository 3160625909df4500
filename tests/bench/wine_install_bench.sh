#!/usr/bin/env bash
# Wine install benchmark: SETUP.EXE /quiet (beside its media files, and as
# one file that carries them) against two NSIS installers (zlib
# and solid LZMA, run with /S) and xcopy /e of the same tree, all writing
# the same files to C:\BENCH in one fresh 32-bit prefix.
#
# Usage:
#   tests/bench/wine_install_bench.sh WIN_BUILD HOST_BUILD
#
# WIN_BUILD holds tools/SETUP.EXE, HOST_BUILD tools/velmora.  Needs Wine,
# Xvfb, makensis (Debian package nsis: scripts/deps.sh bench) and GNU time.
#
# Environment:
#   BENCH_DIR      work folder (default /work/velmora-wine-bench); needs about
#                  5x the tree size free.  New, empty or kept by an earlier run;
#                  removed at the end unless BENCH_KEEP=1.
#   BIG_MIB        size of the big file of the whole tree (default 256)
#   SMALL_COUNT    number of text files (default 2000)
#   SMALL_MIN_KIB, SMALL_MAX_KIB   their size range (default 1 and 40)
#   RUNS           timed runs of each installer and set (default 3)
#   SETS           which trees: "whole small" (default), "whole" or "small"
#   CALLS          1: also count the file-system system calls per installed
#                  file (strace -c of the installer process and of the
#                  wineserver, 2,000 files against 200)
#   BENCH_KEEP     1: keep BENCH_DIR afterwards
#   RESULTS        also write the results table to this file, tab-separated
#                  (see write_results); written only when every run succeeded
#
# Exit code: 0 measured, 2 a tool failed or an installed tree differs.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
WIN_BUILD=$(cd "${1:?usage: wine_install_bench.sh WIN_BUILD HOST_BUILD}" && pwd)
HOST_BUILD=$(cd "${2:?usage: wine_install_bench.sh WIN_BUILD HOST_BUILD}" && pwd)
SETUP_EXE=$WIN_BUILD/tools/SETUP.EXE
VELMORA=$HOST_BUILD/tools/velmora
BENCH_DIR=${BENCH_DIR:-/work/velmora-wine-bench}
BIG_MIB=${BIG_MIB:-256}
SMALL_COUNT=${SMALL_COUNT:-2000}
SMALL_MIN_KIB=${SMALL_MIN_KIB:-1}
SMALL_MAX_KIB=${SMALL_MAX_KIB:-40}
RUNS=${RUNS:-3}
SETS=${SETS:-whole small}
TIME_BIN=/usr/bin/time

die() { echo "wine_install_bench: $*" >&2; exit 2; }

for tool in "$SETUP_EXE" "$VELMORA" "$TIME_BIN"; do [ -f "$tool" ] || die "$tool not found"; done
for tool in wine wineserver makensis Xvfb python3; do
  command -v "$tool" >/dev/null || die "$tool not found (scripts/deps.sh bench installs what is missing)"
done
[ "${CALLS:-0}" != 1 ] || command -v strace >/dev/null || die "strace not found"
if [ -n "${RESULTS:-}" ]; then
  # An absolute path, as the script changes directory.  A file left by an
  # earlier run goes first, so that a failed run leaves none.
  results_dir=$(cd "$(dirname "$RESULTS")" 2>/dev/null && pwd) || die "RESULTS: no folder $(dirname "$RESULTS")"
  RESULTS=$results_dir/$(basename "$RESULTS")
  rm -f "$RESULTS" "$RESULTS.tmp"
  { : >"$RESULTS.tmp" && rm -f "$RESULTS.tmp"; } 2>/dev/null || die "RESULTS: cannot write in $results_dir"
fi

# BENCH_DIR is removed before and after the run: only a folder that is
# empty or that an earlier run left (its marker file inside) is taken.
MARKER=.velmora-wine-bench
if [ -e "$BENCH_DIR" ] && [ ! -e "$BENCH_DIR/$MARKER" ] && [ -n "$(ls -A "$BENCH_DIR" 2>/dev/null)" ]; then
  die "BENCH_DIR $BENCH_DIR holds files this script did not write; give a new or empty folder"
fi

. "$REPO/scripts/wine-env.sh"
rm -rf "$BENCH_DIR"
mkdir -p "$BENCH_DIR" || die "cannot create BENCH_DIR $BENCH_DIR"
: >"$BENCH_DIR/$MARKER"
BENCH_DIR=$(cd "$BENCH_DIR" && pwd)
LOGS=$BENCH_DIR/logs
mkdir -p "$LOGS"
cleanup() {
  wine_env_cleanup
  [ -z "${RESULTS:-}" ] || rm -f "$RESULTS.tmp"
  [ "${BENCH_KEEP:-0}" = 1 ] || rm -rf "$BENCH_DIR"
}
WINE_ENV_KEEP=1  # BENCH_DIR holds the prefix; cleanup removes it
wine_env_init "$BENCH_DIR/wine"
trap cleanup EXIT

# ---- the trees ------------------------------------------------------------
# src/small: SMALL_COUNT text files; src/whole: the same files (hard links)
# and BIG.DAT, of alternating 1 MiB blocks of random and text-like bytes.
echo "== generating the trees (big file ${BIG_MIB} MiB, ${SMALL_COUNT} files of ${SMALL_MIN_KIB}-${SMALL_MAX_KIB} KiB)"
python3 - "$BENCH_DIR/src" "$BIG_MIB" "$SMALL_COUNT" "$SMALL_MIN_KIB" "$SMALL_MAX_KIB" <<'PY' || die "cannot generate the trees"
import os, random, sys

src, big_mib, count, low, high = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
rng = random.Random(20261208)
MIB = 1 << 20
words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
         for _ in range(800)]
pool = []
size = 0
while size < 4 * MIB:
    line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 14))) + "\r\n"
    pool.append(line)
    size += len(line)
pool = "".join(pool).encode("ascii")

def text(n):
    start = rng.randrange(0, len(pool) - n) if n < len(pool) else 0
    out = pool[start:start + n]
    while len(out) < n:
        out += pool[:n - len(out)]
    return out

small = os.path.join(src, "small")
whole = os.path.join(src, "whole")
os.makedirs(small)
os.makedirs(whole)
for i in range(count):
    name = "T%04d.TXT" % i
    with open(os.path.join(small, name), "wb") as f:
        f.write(text(rng.randint(low * 1024, high * 1024)))
    os.link(os.path.join(small, name), os.path.join(whole, name))
with open(os.path.join(whole, "BIG.DAT"), "wb") as f:
    for i in range(big_mib):
        f.write(rng.randbytes(MIB) if i % 2 == 0 else text(MIB))
# One fixed time for every file: the packages come out the same each time,
# and every installer leaves the same times.
stamp = 946728000  # 2000-01-01 12:00:00 UTC
for tree in (small, whole):
    for name in os.listdir(tree):
        os.utime(os.path.join(tree, name), (stamp, stamp))
    with open(os.path.join(src, tree + ".toml"), "w") as m:
        m.write('title = "Velmora Bench"\n\n')
        m.write('[[step]]\nclass = "directory"\nname = "BenchDir"\n'
                'question = "Install the benchmark files where?"\n'
                "prefix = \"<None>\"\ndefault = 'C:\\BENCH'\n\n")
        for name in sorted(os.listdir(tree)):
            m.write('[[step]]\nclass = "file"\nsource = "%s/%s"\ndirectory = "BenchDir"\n'
                    'created = %d\nmodified = %d\n\n' % (os.path.basename(tree), name, stamp, stamp))
PY

# ---- the Wine session --------------------------------------------------------
echo "== fresh 32-bit prefix"
wine_env_start_xvfb || die "no Xvfb"
wine_env_create_prefix || die "wineboot failed (log: $WINE_ENV_DIR/wineboot.log)"
DRIVE_C=$WINEPREFIX/drive_c

# ---- the packages ----------------------------------------------------------
# SETUP.EXE: velmora pack, SETUP.EXE beside the media files in C:\media\SET;
# and the single file of pack --single-file, C:\media\SET\single\SETUP.EXE,
# started by its full path from C:\media\SET: it reads the media inside itself.
# NSIS: one installer per compressor, C:\media\SET\nsis-zlib.exe and
# nsis-lzma.exe, whose only work is File /r of the tree into C:\BENCH.
# xcopy: the tree itself, in C:\media\SET\tree.
declare -A PACKAGE_BYTES FILES
for set in $SETS; do
  media=$DRIVE_C/media/$set
  mkdir -p "$media/velmora"
  "$VELMORA" pack --no-setup "$BENCH_DIR/src/$set.toml" -o "$media/velmora" >"$LOGS/pack-$set.log" 2>&1 ||
    die "velmora pack failed (log: $LOGS/pack-$set.log)"
  cp "$SETUP_EXE" "$media/velmora/SETUP.EXE"
  PACKAGE_BYTES[$set,setup]=$(cat "$media"/velmora/velmor.* | wc -c)
  "$VELMORA" pack --single-file --setup "$SETUP_EXE" "$BENCH_DIR/src/$set.toml" -o "$media/single" \
    >"$LOGS/pack-single-$set.log" 2>&1 ||
    die "velmora pack --single-file failed (log: $LOGS/pack-single-$set.log)"
  PACKAGE_BYTES[$set,single]=$(stat -c %s "$media/single/SETUP.EXE")
  for compressor in zlib lzma; do
    {
      echo 'Name "Velmora Bench"'
      echo "OutFile \"$media/nsis-$compressor.exe\""
      if [ "$compressor" = lzma ]; then echo 'SetCompressor /SOLID lzma'; else echo 'SetCompressor zlib'; fi
      echo 'InstallDir "C:\BENCH"'
      echo 'RequestExecutionLevel user'
      echo 'Section'
      echo '  SetOutPath "$INSTDIR"'
      echo "  File /r \"$BENCH_DIR/src/$set/*.*\""
      echo 'SectionEnd'
    } >"$BENCH_DIR/$set-$compressor.nsi"
    makensis -V1 "$BENCH_DIR/$set-$compressor.nsi" >"$LOGS/makensis-$set-$compressor.log" 2>&1 ||
      die "makensis failed (log: $LOGS/makensis-$set-$compressor.log)"
    PACKAGE_BYTES[$set,nsis-$compressor]=$(stat -c %s "$media/nsis-$compressor.exe")
  done
  cp -a "$BENCH_DIR/src/$set" "$media/tree"
  PACKAGE_BYTES[$set,xcopy]=$(du -sb "$media/tree" | cut -f1)
  FILES[$set]=$(ls "$BENCH_DIR/src/$set" | wc -l)
done

# ---- one run ---------------------------------------------------------------
# clean_target: C:\BENCH and what a SETUP.EXE run leaves besides it (its
# uninstaller, log and entry) are removed, outside the measurement.
clean_target() {
  rm -rf "$DRIVE_C/BENCH" "$DRIVE_C/windows/XVelmora Bench.exe" "$DRIVE_C/windows/XVelmora Bench.VMU"
  wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora Bench' /f \
    >/dev/null 2>&1
  sync
}

# command_for SET TOOL: the Windows command line of an installer.
command_for() {
  case $2 in
    setup) echo "C:\\media\\$1\\velmora\\SETUP.EXE /quiet" ;;
    single) echo "C:\\media\\$1\\single\\SETUP.EXE /quiet" ;;
    nsis-*) echo "C:\\media\\$1\\$2.exe /S" ;;
    xcopy) echo "xcopy /e /i /q /y C:\\media\\$1\\tree C:\\BENCH" ;;
  esac
}

# run_tool SET TOOL TIMEFILE: one install into an empty C:\BENCH under GNU
# time; status 0 when the tool succeeded.
run_tool() {
  local dir=$DRIVE_C/media/$1 command
  command=$(command_for "$1" "$2")
  # SETUP.EXE looks for its media files in the current directory.
  [ "$2" != setup ] || dir=$dir/velmora
  clean_target
  # shellcheck disable=SC2086
  (cd "$dir" && "$TIME_BIN" -v -o "$3" wine $command) >"$3.out" 2>&1
}

# check_tree SET: C:\BENCH holds exactly the tree, byte for byte.
check_tree() {
  diff -r "$BENCH_DIR/src/$1" "$DRIVE_C/BENCH" >/dev/null 2>&1
}

wall_seconds() {
  awk -F': ' '/Elapsed \(wall clock\)/ {
    n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; printf "%.2f\n", s }' "$1"
}
peak_kib() { awk -F': ' '/Maximum resident set size/ {print $2}' "$1"; }

TOOLS=(setup single nsis-zlib nsis-lzma xcopy)
declare -A NAMES=([setup]="SETUP.EXE /quiet" [single]="single SETUP.EXE" [nsis-zlib]="NSIS zlib /S" [nsis-lzma]="NSIS lzma /S" [xcopy]="xcopy /e")

# An untimed round: every tool must install the tree exactly, and the
# file system and page cache meet the timed rounds in the same state.
echo "== warm-up round with content check (not measured)"
for set in $SETS; do
  for tool in "${TOOLS[@]}"; do
    run_tool "$set" "$tool" "$LOGS/$set-$tool.warmup.time" ||
      die "$tool failed on $set (log: $LOGS/$set-$tool.warmup.time.out)"
    check_tree "$set" || die "$tool installed a tree that differs from $set"
  done
done

echo "== timed rounds (tools interleaved; other Wine sessions: $(pgrep -c wineserver) wineserver(s) on the machine)"
for ((run = 1; run <= RUNS; run++)); do
  for set in $SETS; do
    for tool in "${TOOLS[@]}"; do
      run_tool "$set" "$tool" "$LOGS/$set-$tool.$run.time" || die "$tool failed on $set, run $run"
      printf 'run %d %-6s %-18s %7.2f s %8d KiB\n' "$run" "$set" "${NAMES[$tool]}" \
        "$(wall_seconds "$LOGS/$set-$tool.$run.time")" "$(peak_kib "$LOGS/$set-$tool.$run.time")"
    done
  done
done
clean_target

stats() {  # numbers on stdin -> "median min max"; an even count takes the mean of the middle two
  sort -g | awk '{v[NR] = $1}
    END {print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR]}'
}

echo
echo "== results: median of $RUNS runs [min - max], one fresh prefix, warm page cache"
declare -A MEDIAN
# write_results LINE...: appends to RESULTS, when given, one tab-separated
# line per set and tool, after a header line: set, tool, median, min and max
# of the wall seconds, files per second at the median, package bytes, the
# set's number of files and bytes, the number of runs and the tool's name as
# the table shows it.
write_results() { [ -z "${RESULTS:-}" ] || printf '%s\n' "$@" >>"$RESULTS.tmp"; }
write_results "$(printf 'set\ttool\tmedian_s\tmin_s\tmax_s\tfiles_per_s\tpackage_bytes\tfiles\ttree_bytes\truns\tlabel')"
for set in $SETS; do
  bytes=$(du -sb "$BENCH_DIR/src/$set" | cut -f1)
  echo "-- $set: ${FILES[$set]} files, $bytes bytes"
  printf '%-18s %22s %10s %12s %22s\n' tool "wall s [range]" files/s "package B" "peak RSS KiB [range]"
  for tool in "${TOOLS[@]}"; do
    read -r med lo hi < <(for f in "$LOGS/$set-$tool".[0-9]*.time; do wall_seconds "$f"; done | stats)
    read -r rmed rlo rhi < <(for f in "$LOGS/$set-$tool".[0-9]*.time; do peak_kib "$f"; done | stats)
    MEDIAN[$set,$tool]=$med
    rate=$(awk -v n="${FILES[$set]}" -v s="$med" 'BEGIN {print (s > 0 ? n / s : 0)}')
    printf '%-18s %7.2f [%5.2f-%5.2f] %10.0f %12d %8.0f [%d-%d]\n' "${NAMES[$tool]}" "$med" "$lo" "$hi" \
      "$rate" "${PACKAGE_BYTES[$set,$tool]}" "$rmed" "$rlo" "$rhi"
    write_results "$(printf '%s\t%s\t%.2f\t%.2f\t%.2f\t%.0f\t%d\t%d\t%d\t%d\t%s' "$set" "$tool" "$med" "$lo" "$hi" \
      "$rate" "${PACKAGE_BYTES[$set,$tool]}" "${FILES[$set]}" "$bytes" "$RUNS" "${NAMES[$tool]}")"
  done
  for tool in nsis-zlib nsis-lzma xcopy; do
    printf 'SETUP.EXE / %-14s %.2fx\n' "${NAMES[$tool]}" \
      "$(awk -v a="${MEDIAN[$set,setup]}" -v b="${MEDIAN[$set,$tool]}" 'BEGIN {print (b > 0 ? a / b : 0)}')"
  done
done

[ -z "${RESULTS:-}" ] || mv "$RESULTS.tmp" "$RESULTS" || die "RESULTS: cannot write $RESULTS"

# ---- system calls per file ----------------------------------------------------
# The installer process (strace -f) and the wineserver (strace -p) are
# counted for a package of SMALL_COUNT files and one of a tenth of them;
# the difference over the files between is the cost of one file.
if [ "${CALLS:-0}" = 1 ]; then
  echo
  echo "== system calls per installed file (strace -c; $SMALL_COUNT files against $((SMALL_COUNT / 10)))"
  few=$((SMALL_COUNT / 10))
  mkdir -p "$BENCH_DIR/src/few"
  ls "$BENCH_DIR/src/small" | head -n "$few" | while read -r name; do
    ln "$BENCH_DIR/src/small/$name" "$BENCH_DIR/src/few/$name"
  done
  python3 - "$BENCH_DIR/src" "$few" <<'PY'
import sys
src, few = sys.argv[1], int(sys.argv[2])
text = open(src + "/small.toml").read().replace('source = "small/', 'source = "few/')
steps = text.split("[[step]]")
open(src + "/few.toml", "w").write("[[step]]".join(steps[:2 + few]))
PY
  server=$(for p in $(pgrep wineserver); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"; done | head -n 1)
  for set in small few; do
    media=$DRIVE_C/media/calls-$set
    mkdir -p "$media"
    "$VELMORA" pack --no-setup "$BENCH_DIR/src/$set.toml" -o "$media" >/dev/null 2>&1 || die "pack $set failed"
    cp "$SETUP_EXE" "$media/SETUP.EXE"
    clean_target
    strace -c -o "$LOGS/calls-$set.server" -p "$server" 2>/dev/null &
    tracer=$!
    sleep 0.5
    (cd "$media" && strace -f -c -o "$LOGS/calls-$set.client" wine SETUP.EXE /quiet) >/dev/null 2>&1
    kill -INT "$tracer"
    wait "$tracer" 2>/dev/null
  done
  clean_target
  # strace -c rows: % time, seconds, usecs/call, calls, [errors,] syscall;
  # one table per personality (the 32-bit process on a 64-bit kernel).
  all_calls() { awk '$NF == "total" {sum += $4} END {print sum + 0}' "$1"; }
  file_calls() {
    awk '$NF ~ /^(open|openat|close|read|write|pread64|pwrite64|readv|writev|fstat|fstat64|stat|stat64|lstat|lstat64|newfstatat|statx|fstatat64|getdents64|rename|renameat|renameat2|unlink|unlinkat|mkdir|mkdirat|fchmod|chmod|fchmodat|utimensat|fsync|fdatasync|ftruncate|ftruncate64|lseek|_llseek|fcntl|fcntl64|flock|access|faccessat|faccessat2|readlink|readlinkat|fstatfs|fstatfs64|statfs|statfs64|fgetxattr|fsetxattr|getxattr|setxattr|lgetxattr|fremovexattr|removexattr|dup|dup2|dup3)$/ {sum += $4}
         END {print sum + 0}' "$1"
  }
  for side in client server; do
    for measure in all file; do
      if [ "$measure" = all ]; then
        a=$(all_calls "$LOGS/calls-small.$side"); b=$(all_calls "$LOGS/calls-few.$side")
      else
        a=$(file_calls "$LOGS/calls-small.$side"); b=$(file_calls "$LOGS/calls-few.$side")
      fi
      printf '%-7s %-5s %8d calls for %d files, %8d for %d: %.1f per file\n' "$side" "$measure" \
        "$a" "$SMALL_COUNT" "$b" "$few" "$(awk -v a="$a" -v b="$b" -v n=$((SMALL_COUNT - few)) 'BEGIN {print (a - b) / n}')"
    done
  done
  # The calls that grow with the number of files, per file, largest first.
  for side in client server; do
    echo "$side, per file:" $(awk -v n=$((SMALL_COUNT - few)) '
      $4 ~ /^[0-9]+$/ && $NF != "total" { c[$NF] += (FILENAME ~ /calls-small/ ? $4 : -$4) }
      END { for (k in c) if (c[k] / n >= 0.5) printf "%.1f %s\n", c[k] / n, k }' \
      "$LOGS/calls-small.$side" "$LOGS/calls-few.$side" | sort -rn | head -n 14 | tr '\n' ',')
  done
  echo "(per-call tables: $LOGS/calls-*.{client,server})"
fi
