#!/bin/sh
# CLI tests of `velmora pack` and `velmora list`.
# Usage: authoring_tests.sh CASE VELMORA WORKDIR SOURCE_DIR
set -u
case_name=$1
velmora=$2
work=$3
source=$4
demo=$source/examples/demo/manifest.toml
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

fail() { echo "FAIL: $*" >&2; exit 1; }
# Byte offset of the first occurrence of a text in a file.
offset_of() { grep -a -b -o "$1" "$2" | head -n 1 | cut -d: -f1; }
json_ok() {  # checks the syntax where a JSON parser is at hand
  if command -v python3 > /dev/null 2>&1; then
    python3 -m json.tool "$1" > /dev/null || fail "$1 is not valid JSON"
  fi
}

case $case_name in
demo)
  "$velmora" pack --no-setup "$demo" -o pkg > pack.txt || fail "pack exited $?: $(cat pack.txt)"
  grep -q '^First part "Lantern Notes 2.1": 11 steps$' pack.txt || fail "summary: $(cat pack.txt)"
  grep -q '^  velmor.1 ' pack.txt || fail "summary lists no media file: $(cat pack.txt)"
  [ -f pkg/velmor.1 ] || fail "no velmor.1"
  ls -a . | grep -q packing && fail "staging folder left behind"

  "$velmora" list pkg > list.txt || fail "list exited $?"
  for line in 'Title:          "Lantern Notes 2.1"' 'Steps:          11' \
              'Step 2: CStepFileDisplay (Agreement text)' \
              'Step 3: CStepDirectory (Directory)' 'Step 4: CStepPMG' \
              'Step 9: CStepUserValue (User value)' \
              'REGE  Reg entry                 "HKEY_LOCAL_MACHINE\Software\Lantern\Notes\Version"' \
              'Step 11: CStepFileDisplayOptional (Readme text)' \
              'Payload: 1217 bytes in media file 1 at offset' 'Modified: 1996-08-01 10:00:00 UTC'; do
    grep -qF "$line" list.txt || fail "listing lacks: $line"
  done

  "$velmora" list --json pkg > list.json || fail "list --json exited $?"
  json_ok list.json
  grep -q '"class": "CStepFileCopy"' list.json || fail "json: no file step"
  grep -q '"ICON": true' list.json || fail "json: no ICON flag"
  grep -q '"second_part": null' list.json || fail "json: second_part"

  # The demo pins its file times, so packing again gives the same bytes.
  "$velmora" pack --no-setup "$demo" -o again > /dev/null || fail "second pack exited $?"
  cmp pkg/velmor.1 again/velmor.1 || fail "packing is not reproducible"

  # Spread over small media files, every payload still reads back.
  "$velmora" pack --no-setup "$demo" -o disks --disk-size 1500 > disks.txt || fail "spanning pack exited $?"
  [ -f disks/velmor.4 ] || fail "expected at least four media files: $(ls disks)"
  for f in disks/velmor.*; do
    [ "$(wc -c < "$f")" -le 1500 ] || fail "$f is larger than the disk size"
  done
  "$velmora" list --verify disks > /dev/null || fail "list --verify of the spanning package exited $?"
  ;;
manifest-error)
  cat > bad.toml <<'EOF'
title = "Broken"

[[step]]
class = "registry"
reg_entry = 'HKEY_CURRENT_USER\Software\X\Y'
default = "1"
icon = true
EOF
  "$velmora" pack --no-setup bad.toml -o out > out.txt 2> err.txt
  rc=$?
  [ $rc -eq 1 ] || fail "exit code $rc, expected 1"
  grep -q "^velmora pack: bad.toml:7: step 1 (CStepRegistry) does not keep 'icon' (ICON)$" err.txt ||
    fail "message: $(cat err.txt)"
  [ ! -e out ] || fail "output created"

  printf 'title = "T"\n[[step]\n' > syntax.toml
  "$velmora" pack --no-setup syntax.toml -o out 2> err.txt
  [ $? -eq 1 ] || fail "syntax error exit code"
  grep -q "^velmora pack: syntax.toml:2: " err.txt || fail "syntax message: $(cat err.txt)"

  printf 'title = "T"\n\n[[step]]\nclass = "file"\nsource = "missing.txt"\ndirectory = "<Windows>"\n' > missing.toml
  "$velmora" pack --no-setup missing.toml -o out 2> err.txt
  rc=$?
  [ $rc -eq 3 ] || fail "missing source: exit code $rc, expected 3"
  grep -q "missing.toml:5: step 1 (CStepFileCopy): missing.txt: " err.txt || fail "message: $(cat err.txt)"
  [ ! -e out ] || fail "output created"
  ;;
refused-step)
  cat > refused.toml <<'EOF'
title = "Refused"

[[step]]
class = "directory"
name = "AppDir"
default = 'C:\APP'

[[step]]
class = "file"
source = "refused.toml"
directory = "NoSuchDir"
EOF
  "$velmora" pack --no-setup refused.toml -o out 2> err.txt
  rc=$?
  [ $rc -eq 1 ] || fail "exit code $rc, expected 1"
  grep -q "^velmora pack: refused.toml:3: step 1 (CStepDirectory 'AppDir'): You must enter a Question$" err.txt ||
    fail "message: $(cat err.txt)"
  grep -q "refused.toml:8: step 2 (CStepFileCopy 'refused.toml'): The directory 'NoSuchDir' is not the name of any directory step" err.txt ||
    fail "message: $(cat err.txt)"
  [ ! -e out ] || fail "output created"
  ;;
corrupt)
  "$velmora" pack --no-setup "$demo" -o pkg > /dev/null || fail "pack exited $?"
  at=$(offset_of CStepPMG pkg/velmor.1)
  [ -n "$at" ] || fail "class name not found in velmor.1"
  # A damaged class name.
  cp -r pkg flipped
  printf 'X' | dd of=flipped/velmor.1 bs=1 seek="$at" conv=notrunc 2> /dev/null
  "$velmora" list flipped > out.txt 2> err.txt
  rc=$?
  [ $rc -eq 1 ] || fail "exit code $rc, expected 1"
  [ ! -s out.txt ] || fail "a damaged package was listed"
  grep -q "^velmora list: corrupt: velmor.1 at [0-9]*: the record of step 4 of 11 cannot be read (it follows step 3, CStepDirectory 'LanternDir')$" err.txt ||
    fail "message: $(cat err.txt)"
  # Cut off in the middle of that record.
  mkdir cut
  head -c "$((at + 4))" pkg/velmor.1 > cut/velmor.1
  "$velmora" list --json cut > out.txt 2> err.txt
  rc=$?
  [ $rc -eq 1 ] || fail "truncated: exit code $rc, expected 1"
  grep -q "^velmora list: corrupt: velmor.1 at $((at + 4)): the record of step 4 of 11 cannot be read" err.txt ||
    fail "truncated message: $(cat err.txt)"
  # A missing continuation file.
  "$velmora" pack --no-setup "$demo" -o disks --disk-size 1500 > /dev/null || fail "spanning pack exited $?"
  rm disks/velmor.3
  "$velmora" list --verify disks 2> err.txt
  rc=$?
  [ $rc -eq 5 ] || fail "missing file: exit code $rc, expected 5"
  grep -q "^velmora list: missing media: velmor.3: the media file is missing" err.txt || fail "message: $(cat err.txt)"
  "$velmora" list no-such-folder 2> err.txt
  [ $? -eq 3 ] || fail "missing folder exit code"
  ;;
two-parts)
  mkdir -p src && cp "$source/examples/demo/files/README.TXT" src/
  cat > two.toml <<'EOF'
title = "Main part"
check_dates = true

[[step]]
class = "directory"
name = "App"
question = "Where?"
default = 'C:\APP'

[second_part]
title = "Extras"

[[second_part.step]]
class = "file"
source = "src/README.TXT"
directory = "App"
modified = 1996-08-01T10:00:00Z
EOF
  "$velmora" pack --no-setup two.toml -o pkg > pack.txt || fail "pack exited $?: $(cat pack.txt)"
  grep -q '^Second part "Extras": 1 step$' pack.txt || fail "summary: $(cat pack.txt)"
  [ -f pkg/velmore.1 ] || fail "no velmore.1"
  "$velmora" list --verify pkg > list.txt || fail "list exited $?"
  grep -q "^Second part$" list.txt || fail "listing: $(cat list.txt)"
  grep -q 'Check dates:    yes' list.txt || fail "first part flags"
  "$velmora" list --json pkg > list.json || fail "list --json exited $?"
  json_ok list.json
  grep -q '"two_parts": true' list.json || fail "json: two_parts"
  grep -q '"title": "Extras"' list.json || fail "json: second title"
  grep -q '"modified": 838893600' list.json || fail "json: modified time"
  ;;
output-folder)
  mkdir pkg && echo exe > pkg/SETUP.EXE && echo old > pkg/VELMOR.9 && echo old > pkg/velmore.1
  "$velmora" pack --no-setup "$demo" -o pkg > /dev/null || fail "pack exited $?"
  [ -f pkg/SETUP.EXE ] || fail "SETUP.EXE was removed"
  [ ! -e pkg/VELMOR.9 ] && [ ! -e pkg/velmore.1 ] || fail "stale media files left: $(ls pkg)"
  "$velmora" list pkg > /dev/null || fail "list exited $?"
  # A failing pack leaves the folder as it was.
  cp pkg/velmor.1 before.1
  "$velmora" pack --no-setup "$demo" -o pkg --disk-size 100 2> err.txt && fail "packed into 100-byte media files"
  grep -q "does not fit in a media file of 100 bytes" err.txt || fail "message: $(cat err.txt)"
  cmp pkg/velmor.1 before.1 || fail "failed pack changed the output"
  ls -a . | grep -q packing && fail "staging folder left behind"
  ;;
large-file)
  # A file of several chunks and media files, read from its source file a
  # chunk at a time, comes back byte for byte; so do the background and
  # readme texts beside it.
  mkdir src
  head -c 1500000 /dev/urandom > src/BIG.DAT
  yes 'A line of text that compresses well.' | head -c 2000000 >> src/BIG.DAT
  cp "$source/examples/demo/files/README.TXT" "$source/examples/demo/files/LOGO.BMP" src/
  cat > big.toml <<'EOF'
title = "Large"

[[step]]
class = "background"
source = "src/LOGO.BMP"

[[step]]
class = "directory"
name = "App"
question = "Where?"
default = 'C:\APP'

[[step]]
class = "file"
source = "src/BIG.DAT"
directory = "App"

[[step]]
class = "readme"
source = "src/README.TXT"
EOF
  "$velmora" pack --no-setup big.toml -o pkg --disk-size 1457664 > pack.txt || fail "pack exited $?: $(cat pack.txt)"
  [ -f pkg/velmor.3 ] || fail "expected at least three media files: $(ls pkg)"
  grep -q "BIG.DAT  \[3500000 bytes in 5[0-9] chunks, media file 1 at " pack.txt || fail "summary: $(cat pack.txt)"
  "$velmora" extract pkg -o out > /dev/null || fail "extract exited $?"
  cmp out/App/BIG.DAT src/BIG.DAT || fail "BIG.DAT came back different"
  cmp out/background/LOGO.BMP src/LOGO.BMP || fail "LOGO.BMP came back different"
  cmp out/display/README.TXT src/README.TXT || fail "README.TXT came back different"
  ;;
setup-program)
  # The output is a complete medium: SETUP.EXE beside the media files, the
  # one given, or a clear error when there is none to give.
  printf 'MZ a Windows program' > SETUP.EXE
  "$velmora" pack --setup SETUP.EXE "$demo" -o pkg > pack.txt || fail "pack exited $?: $(cat pack.txt)"
  cmp pkg/SETUP.EXE SETUP.EXE || fail "SETUP.EXE was not put beside the media files"
  grep -q '^  SETUP.EXE  .* bytes (SETUP.EXE)$' pack.txt || fail "summary: $(cat pack.txt)"
  printf 'not a program' > NOTES.TXT
  "$velmora" pack --setup NOTES.TXT "$demo" -o bad 2> err.txt
  rc=$?
  [ $rc -eq 3 ] || fail "a text file as SETUP.EXE: exit code $rc, expected 3"
  grep -q "^velmora pack: --setup NOTES.TXT: not a Windows program$" err.txt || fail "message: $(cat err.txt)"
  # The tool is run from the build tree, where no SETUP.EXE lies beside it
  # unless the Windows program was built into it.
  if [ ! -f "$(dirname "$velmora")/SETUP.EXE" ]; then
    "$velmora" pack "$demo" -o none 2> err.txt
    rc=$?
    [ $rc -eq 3 ] || fail "no SETUP.EXE: exit code $rc, expected 3"
    grep -q "no SETUP.EXE to put beside the media files (looked for .*); give one with --setup FILE, or --no-setup" err.txt ||
      fail "message: $(cat err.txt)"
  fi
  [ ! -e bad ] && [ ! -e none ] || fail "output written after a refusal"
  "$velmora" pack --setup SETUP.EXE --no-setup "$demo" -o both 2> /dev/null && fail "--setup with --no-setup accepted"
  ;;
check)
  # --check reads every source and writes nothing; a missing or unreadable
  # source fails it as it would fail packing.
  "$velmora" pack --no-setup --check "$demo" -o out > out.txt || fail "check exited $?: $(cat out.txt)"
  grep -q "^Checked .*: 11 steps, 6 source files, [0-9]* bytes read; no SETUP.EXE; nothing written$" out.txt ||
    fail "summary: $(cat out.txt)"
  [ ! -e out ] || fail "--check wrote the output folder"
  ls -a . | grep -q packing && fail "--check left a staging folder"
  mkdir src && printf 'text' > src/A.TXT
  printf 'title = "T"\n[[step]]\nclass = "readme"\nsource = "src/A.TXT"\n' > t.toml
  chmod 000 src/A.TXT
  if ! cat src/A.TXT > /dev/null 2>&1; then  # root reads it anyway
    "$velmora" pack --no-setup --check t.toml -o out 2> err.txt
    rc=$?
    [ $rc -eq 3 ] || fail "unreadable source: exit code $rc, expected 3"
  fi
  chmod 644 src/A.TXT && rm src/A.TXT
  "$velmora" pack --no-setup --check t.toml -o out 2> err.txt
  rc=$?
  [ $rc -eq 3 ] || fail "missing source: exit code $rc, expected 3"
  grep -q "t.toml:4: .*A.TXT: No such file or directory" err.txt || fail "message: $(cat err.txt)"
  ;;
reproducible)
  # Sources without times in the manifest: their own times go into the
  # package, unless SOURCE_DATE_EPOCH replaces them; nothing else of the
  # machine or the moment does.
  mkdir src && printf 'some text\r\n' > src/A.TXT
  printf 'title = "T"\n[[step]]\nclass = "directory"\nname = "D"\nquestion = "Where?"\ndefault = '"'"'C:\\T'"'"'\n[[step]]\nclass = "file"\nsource = "src/A.TXT"\ndirectory = "D"\n' > t.toml
  SOURCE_DATE_EPOCH=838893600 "$velmora" pack --no-setup t.toml -o one > /dev/null || fail "first pack exited $?"
  touch -d '2001-02-03 04:05:06' src/A.TXT
  mkdir elsewhere && cp -p t.toml elsewhere/ && cp -rp src elsewhere/
  (cd elsewhere && SOURCE_DATE_EPOCH=838893600 "$velmora" pack --no-setup t.toml -o ../two > /dev/null) ||
    fail "second pack exited $?"
  cmp one/velmor.1 two/velmor.1 || fail "two packs with SOURCE_DATE_EPOCH differ"
  "$velmora" list two | grep -q "Modified: 1996-08-01 10:00:00 UTC" || fail "the epoch is not the file's time"
  "$velmora" pack --no-setup t.toml -o own > /dev/null || fail "pack without the epoch exited $?"
  "$velmora" list own | grep -q "Modified: 2001-02-03 04:05:06" || fail "the file's own time was not taken"
  SOURCE_DATE_EPOCH=yesterday "$velmora" pack --no-setup t.toml -o bad 2> err.txt
  rc=$?
  [ $rc -eq 2 ] || fail "malformed SOURCE_DATE_EPOCH: exit code $rc, expected 2"
  grep -q "SOURCE_DATE_EPOCH is not a time a package can store" err.txt || fail "message: $(cat err.txt)"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
echo "ok: $case_name"
