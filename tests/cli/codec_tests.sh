#!/bin/sh
# CLI tests of `velmora codec`.  Usage: codec_tests.sh CASE VELMORA WORKDIR
set -u
case_name=$1
velmora=$2
work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

fail() { echo "FAIL: $*" >&2; exit 1; }

case $case_name in
roundtrip)
  # A deterministic mixed file: numbers as text, zeros, a 0xFF fill made
  # with tr, and the (binary) velmora executable itself.
  { seq 1 40000; head -c 70000 /dev/zero; head -c 3000 /dev/zero | tr '\0' '\377';
    head -c 1500000 "$velmora"; seq 1 3 9000; } > plain.bin || fail "cannot make input"
  "$velmora" codec encode plain.bin packed.vmz > encode.txt || fail "encode exited $?"
  "$velmora" codec decode packed.vmz unpacked.bin > decode.txt || fail "decode exited $?"
  cmp plain.bin unpacked.bin || fail "round trip differs"
  size=$(wc -c < plain.bin | tr -d ' ')
  grep -q "^encoded plain.bin -> packed.vmz: $size bytes in, " encode.txt || fail "encode summary: $(cat encode.txt)"
  grep -q "bytes out, ratio [0-9.]*% (compressed/plain)$" decode.txt || fail "decode summary: $(cat decode.txt)"
  # The empty file is a valid (empty) stream.
  : > empty
  "$velmora" codec encode empty empty.vmz > /dev/null || fail "empty encode exited $?"
  [ ! -s empty.vmz ] || fail "empty input gave output"
  "$velmora" codec decode empty.vmz empty.out > /dev/null || fail "empty decode exited $?"
  cmp empty empty.out || fail "empty round trip"
  ;;
missing-input)
  "$velmora" codec encode does-not-exist.bin out.vmz > out.txt 2> err.txt
  rc=$?
  [ $rc -eq 3 ] || fail "exit code $rc, expected 3"
  grep -q "cannot read input 'does-not-exist.bin': no such file" err.txt || fail "message: $(cat err.txt)"
  [ ! -e out.vmz ] || fail "output created"
  "$velmora" codec decode does-not-exist.vmz out.bin 2> err2.txt
  [ $? -ne 0 ] || fail "decode of a missing file succeeded"
  ;;
unwritable-output)
  echo data > in.txt
  "$velmora" codec encode in.txt no/such/dir/out.vmz 2> err.txt
  rc=$?
  [ $rc -eq 3 ] || fail "exit code $rc, expected 3"
  grep -q "cannot write output 'no/such/dir/out.vmz'" err.txt || fail "message: $(cat err.txt)"
  ;;
bad-stream)
  # FE 61 62: two literals; 00 E0: a pattern of length 7.
  printf '\376ab\000\340\001' > bad.vmz
  "$velmora" codec decode bad.vmz out.bin 2> err.txt
  rc=$?
  [ $rc -eq 1 ] || fail "exit code $rc, expected 1"
  grep -q "not a valid compressed stream" err.txt || fail "message: $(cat err.txt)"
  [ ! -e out.bin ] || fail "partial output left behind"
  ;;
help)
  "$velmora" codec --help > help.txt || fail "codec --help exited $?"
  grep -q "encode" help.txt && grep -q "decode" help.txt || fail "help text: $(cat help.txt)"
  "$velmora" codec encode --help > help2.txt || fail "codec encode --help exited $?"
  grep -q "IN" help2.txt && grep -q "OUT" help2.txt || fail "help text: $(cat help2.txt)"
  "$velmora" codec > /dev/null 2>&1
  [ $? -eq 2 ] || fail "missing subcommand should be a usage error (2)"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
