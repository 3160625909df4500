# Recorded once, replayed everywhere: SETUP.EXE /record writes the answers
# the user gave through the real dialogs as an answer file; SETUP.EXE
# /quiet /answers of that file in a fresh prefix makes the same
# installation (files, registry values, ini entries, program items).

E2E_SCENARIOS+=(record_replay)

E2E_RECORD_TITLE="E2E Record"
E2E_RECORD_KEY='HKLM\Software\Tarnwick\VelmoraE2E\Record'

# e2e_record_listing OUT: what the installation made in the current prefix,
# one a line: the files below its directory and the ini file with their
# sums, the uninstaller, the registry values, the program items.
e2e_record_listing() {
  local programs
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder in $WINEPREFIX"; return 1; }
  {
    (cd "$E2E_DRIVE_C" && find "E2E Recorded Here" windows/e2e-record.ini -type f -print0 |
      LC_ALL=C sort -z | xargs -0 -r md5sum)
    [ -f "$E2E_DRIVE_C/windows/X$E2E_RECORD_TITLE.exe" ] && echo "uninstaller X$E2E_RECORD_TITLE.exe"
    e2e_snapshot_registry "$E2E_RECORD_KEY" "$E2E_UNINSTALL_KEY\\$E2E_RECORD_TITLE"
    (cd "$programs" && find "E2E Recorded Group" -print | LC_ALL=C sort)
  } >"$1" 2>&1
}

scenario_record_replay() {
  local programs recorded main_prefix=$WINEPREFIX main_drive_c=$E2E_DRIVE_C
  local first=$E2E_LOGS/$E2E_SCENARIO-first.txt second=$E2E_LOGS/$E2E_SCENARIO-second.txt
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder in the prefix"; return 1; }
  rm -rf "$E2E_DRIVE_C/E2E Recorded Here" "$E2E_DRIVE_C/windows/e2e-record.ini" \
    "$programs/E2E Recorded Group"
  wine reg delete "$E2E_RECORD_KEY" /f /reg:32 >/dev/null 2>&1
  e2e_package_dir record
  e2e_display_text "$PACKAGE/terms.txt"
  e2e_display_text "$PACKAGE/readme.txt"
  printf 'the recorded file\r\n' >"$PACKAGE/recorded.txt"
  e2e_pack_manifest record || return 1

  # Recorded through the real dialogs, every answer but the agreement's
  # other than the suggestion.
  e2e_media record
  e2e_copy_media
  e2e_start_setup SETUP.EXE /record 'C:\media\record\recorded answers.txt'
  e2e_robot \
    dialog Setup \
    click 1 \
    window "Select Directory" \
    settext 1001 'C:\E2E Recorded Here' \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 6 \
    window "Enter user information" \
    settext 1007 "E2E Recorded User" \
    click 1 \
    box "Create program group and icons?" \
    click 6 \
    window "Select Group" \
    settext 1009 "E2E Recorded Group" \
    click 1 \
    box "$E2E_README_QUESTION" \
    click 7 \
    box "Install Successful" \
    click 1 || return 1
  e2e_finish_setup || return 1
  e2e_groups_close "E2E Recorded Group"
  recorded=$MEDIA/recorded\ answers.txt
  [ -f "$recorded" ] || { e2e_fail "no recorded answer file"; return 1; }
  cp "$recorded" "$E2E_LOGS/$E2E_SCENARIO-recorded.txt"
  local rule
  for rule in 'directory step "RECDIR" = type "C:\E2E Recorded Here" ok' \
    'user "Recorded user" = type "E2E Recorded User" ok' \
    'group "E2E Record Group" = type "E2E Recorded Group" ok' \
    "message \"$E2E_README_QUESTION\" = no" \
    'message "The requested directory does not exist.  Create?" = yes'; do
    tr -d '\r' <"$recorded" | grep -qxF -- "$rule" || e2e_fail "the recorded file has no rule: $rule"
  done
  # The uninstaller is a byte copy of the program, application manifest
  # included.
  e2e_expect_same "$E2E_DRIVE_C/windows/X$E2E_RECORD_TITLE.exe" "$E2E_SETUP_EXE"
  e2e_expect_reg "$E2E_RECORD_KEY" User "E2E Recorded User"
  e2e_expect_ini e2e-record.ini Paths Data 'C:\E2E Recorded Here\DATA'
  e2e_record_listing "$first" || return 1

  # Replayed without a window in a prefix of its own.
  export WINEPREFIX=$WINE_ENV_DIR/replay-prefix
  rm -rf "$WINEPREFIX"
  if wine_env_create_prefix --desktop 1024x768; then
    E2E_DRIVE_C=$WINEPREFIX/drive_c
    # The desktop, and with it the shell that answers the Program Manager's
    # commands, starts with the first program that asks for it.
    timeout 20 wine "$E2E_ROBOT" windows >/dev/null 2>&1
    e2e_media record
    e2e_copy_media
    cp "$recorded" "$MEDIA/recorded.txt"
    e2e_quiet_run 0 "$MEDIA_WIN\\SETUP.EXE /quiet /answers $MEDIA_WIN\\recorded.txt /log $MEDIA_WIN\\replay.log" \
      "E2E Recorded Group"
    cp "$MEDIA/replay.log" "$E2E_LOGS/$E2E_SCENARIO-replay-log.txt" 2>/dev/null
    grep -q '(default)' <(tr -d '\r' <"$MEDIA/replay.log") &&
      e2e_fail "the replay left a prompt to its default: $(grep '(default)' "$MEDIA/replay.log" | head -n 1)"
    e2e_record_listing "$second"
  else
    e2e_fail "cannot make a second prefix (log: $WINE_ENV_DIR/wineboot.log)"
  fi
  wineserver -k
  timeout 10 wineserver -w
  export WINEPREFIX=$main_prefix
  E2E_DRIVE_C=$main_drive_c
  [ -f "$second" ] || return 1
  diff "$first" "$second" >"$E2E_LOGS/$E2E_SCENARIO-differences.txt" ||
    e2e_fail "the replay made another installation: $(tr '\n' ' ' <"$E2E_LOGS/$E2E_SCENARIO-differences.txt")"
  grep -q 'RECORDED.TXT' "$first" || e2e_fail "the listing has no installed file: $(tr '\n' ' ' <"$first")"
}
