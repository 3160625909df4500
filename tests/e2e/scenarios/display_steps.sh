# The steps that show something: an agreement accepted and refused, readme
# texts skipped, read and closed, user values typed and left by Escape,
# background pictures placed by the fit rule and replaced, and a package
# with every kind of step.

E2E_SCENARIOS+=(agreement_accepted agreement_refused readme_answers readme_closed user_values
  background_pictures every_step_kind)

# The key the packages' registry and user value steps write to (their
# manifests name it in full).
E2E_DISPLAY_KEY='HKLM\Software\Tarnwick\VelmoraE2E\Display'
E2E_AGREEMENT_QUESTION='Please read the agreement.  Only if you agree to the terms and conditions in full may you continue with the installation.  Installing this product indicates agreement in full with the terms and conditions.  If you do not agree with the terms and conditions, press the "I do not accept" button to quit the installation.'
E2E_README_QUESTION='If you wish to view the readme file, press Yes now, otherwise press No'

# The colours of the two background pictures (none of them a colour of the
# backdrop, its texts, or the standard colours of message box icons).
E2E_PICTURE_ONE=(C82828 28C828 2828C8 C8C828)
E2E_PICTURE_TWO=(28C8C8 C828C8 5A5A5A FABE96)

# e2e_display_text FILE: a text whose lines end in CR LF, in a bare LF and
# in nothing, so that any conversion of line ends shows.
e2e_display_text() {
  printf 'E2E terms, line one\r\nline two ends bare\nlast line' >"$1"
}

# e2e_display_shown FILE: that text as the dialog shows it: `velmora pack`
# ends every line in CR LF, and the dialog shows what the package holds.
e2e_display_shown() {
  printf 'E2E terms, line one\r\nline two ends bare\r\nlast line' >"$1"
}

# e2e_display_install [--fails] NAME ROBOT_COMMANDS...: installs the packed
# package from C:\media\NAME, answered by the robot; with --fails the run
# is to end with exit code 1.  $PACKAGE/shown.txt, the text a dialog is
# expected to show, goes there too when there is one.
e2e_display_install() {
  local expected=0
  if [ "$1" = --fails ]; then
    expected=1
    shift
  fi
  e2e_media "$1"
  shift
  e2e_copy_media
  [ ! -f "$PACKAGE/shown.txt" ] || cp "$PACKAGE/shown.txt" "$MEDIA/shown.txt"
  e2e_start_setup
  e2e_robot "$@" || return 1
  e2e_finish_setup "$expected"
}

# Accepted: the text as packed, three line breaks and the
# standard question, shown from its start with nothing selected; both
# buttons are shown and the installation goes on.
scenario_agreement_accepted() {
  e2e_package_dir agreement-accepted
  e2e_display_text "$PACKAGE/terms.txt"
  e2e_pack_manifest agreement-accepted || return 1
  e2e_display_shown "$PACKAGE/shown.txt"
  printf '\r\n\r\n\r\n%s' "$E2E_AGREEMENT_QUESTION" >>"$PACKAGE/shown.txt"
  e2e_display_install agreement-accepted \
    dialog Setup \
    expectfile 1004 'C:\media\agreement-accepted\shown.txt' \
    attop 1004 \
    expect 1 "I accept" \
    expect 2 "I do not accept" \
    shown 2 \
    snap agreement \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_expect_reg "$E2E_DISPLAY_KEY" Accepted yes
}

# Refused: the installation fails and is rolled back.  The file it
# installed goes, a file that was there before stays, and the ini and
# registry steps before the agreement give the entries their earlier
# values back.  Without a question the
# text is the file's alone.
scenario_agreement_refused() {
  local dir="$E2E_DRIVE_C/E2E Refused"
  e2e_package_dir agreement-refused
  e2e_display_text "$PACKAGE/terms.txt"
  printf 'installed by the refused package\r\n' >"$PACKAGE/new.txt"
  e2e_pack_manifest agreement-refused || return 1
  rm -rf "$dir"
  mkdir -p "$dir"
  printf 'there before the installation\r\n' >"$dir/KEEP.TXT"
  cp "$dir/KEEP.TXT" "$PACKAGE/keep.txt"
  e2e_display_shown "$PACKAGE/shown.txt"
  e2e_set_reg "$E2E_DISPLAY_KEY" Refused before
  printf '[Display]\r\nRefused=before\r\n' >"$E2E_DRIVE_C/windows/velmora-refused.ini"
  e2e_display_install --fails agreement-refused \
    window "Select Directory" \
    click 1 \
    dialog Setup \
    expectfile 1004 'C:\media\agreement-refused\shown.txt' \
    click 2 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_expect_no_file "$dir/NEW.TXT"
  e2e_expect_same "$dir/KEEP.TXT" "$PACKAGE/keep.txt"
  e2e_expect_ini velmora-refused.ini Display Refused before
  e2e_expect_reg "$E2E_DISPLAY_KEY" Refused before
}

# Two readme steps: No to the package's own question skips the first, Yes
# to the standard question shows the second with OK alone, and OK goes on.
scenario_readme_answers() {
  e2e_package_dir readme-answers
  e2e_display_text "$PACKAGE/readme.txt"
  printf 'skipped readme\r\n' >"$PACKAGE/skipped.txt"
  e2e_pack_manifest readme-answers || return 1
  e2e_display_shown "$PACKAGE/shown.txt"
  e2e_display_install readme-answers \
    box "Read the E2E notes now?" \
    click 7 \
    box "$E2E_README_QUESTION" \
    click 6 \
    dialog Setup \
    expectfile 1004 'C:\media\readme-answers\shown.txt' \
    expect 1 OK \
    hidden 2 \
    snap readme \
    click 1 \
    box "Install Successful" \
    click 1 || return 1
  e2e_expect_reg "$E2E_DISPLAY_KEY" ReadmeRead yes
}

# Yes, then the close box of the readme: the installation stops, and the
# registry step before it gives the value its earlier data back.
scenario_readme_closed() {
  e2e_package_dir readme-closed
  e2e_display_text "$PACKAGE/readme.txt"
  e2e_pack_manifest readme-closed || return 1
  e2e_set_reg "$E2E_DISPLAY_KEY" ReadmeClosed before
  e2e_display_install --fails readme-closed \
    box "$E2E_README_QUESTION" \
    click 6 \
    dialog Setup \
    closebox \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_expect_reg "$E2E_DISPLAY_KEY" ReadmeClosed before
}

# A value typed over the suggestion, and one left by Escape, which keeps
# the suggestion: each goes to the registry and to the ini file.
scenario_user_values() {
  e2e_package_dir user-values
  e2e_pack_manifest user-values || return 1
  e2e_display_install user-values \
    window "Enter user information" \
    expect 1000 "Your name" \
    expect 1007 "E2E Suggested Owner" \
    settext 1007 "E2E Typed Owner" \
    click 1 \
    gone \
    window "Enter user information" \
    expect 1000 "Company" \
    expect 1007 "E2E Suggested Company" \
    settext 1007 "E2E Discarded Company" \
    escape \
    gone \
    box "Install Successful" \
    click 1 || return 1
  e2e_expect_reg "$E2E_DISPLAY_KEY" Owner "E2E Typed Owner"
  e2e_expect_ini velmora-e2e.ini User Owner "E2E Typed Owner"
  e2e_expect_reg "$E2E_DISPLAY_KEY" Company "E2E Suggested Company"
  e2e_expect_ini velmora-e2e.ini User Company "E2E Suggested Company"
}

# A wide picture, then a tall one, each held on the screen by a readme
# question while a screenshot is taken: each fills exactly the rectangle
# the fit rule gives for the main window's client area, and the second
# replaces the first.
scenario_background_pictures() {
  e2e_package_dir background
  e2e_quadrant_bmp "$PACKAGE/one.bmp" 64 32 "${E2E_PICTURE_ONE[@]}"
  e2e_quadrant_bmp "$PACKAGE/two.bmp" 32 64 "${E2E_PICTURE_TWO[@]}"
  printf 'not read\r\n' >"$PACKAGE/notes.txt"
  e2e_pack_manifest background || return 1
  e2e_display_install background \
    box "Is the first picture shown?" \
    class VelmoraSetupWindow \
    fit 64 32 'C:\media\background\fit-one.txt' \
    snap first-picture \
    box "Is the first picture shown?" \
    click 7 \
    box "Is the second picture shown?" \
    class VelmoraSetupWindow \
    fit 32 64 'C:\media\background\fit-two.txt' \
    snap second-picture \
    box "Is the second picture shown?" \
    click 7 \
    box "Install Successful" \
    click 1 || return 1
  e2e_expect_picture_tools || return 1
  local shots=$E2E_SHOTS/$E2E_SCENARIO
  e2e_expect_picture "$shots-first-picture.png" "$MEDIA/fit-one.txt" "${E2E_PICTURE_ONE[@]}"
  e2e_expect_picture "$shots-second-picture.png" "$MEDIA/fit-two.txt" "${E2E_PICTURE_TWO[@]}"
  e2e_expect_no_picture "$shots-second-picture.png" "${E2E_PICTURE_ONE[@]}"
}

# Every kind of step in one package, installed completely.
scenario_every_step_kind() {
  local dir="$E2E_DRIVE_C/E2E Every" programs
  programs=$(e2e_groups_folder) || { e2e_fail "no Start Menu Programs folder in the prefix"; return 1; }
  rm -rf "$dir" "$programs/E2E Every Group"
  e2e_package_dir every-step
  e2e_quadrant_bmp "$PACKAGE/logo.bmp" 16 16 "${E2E_PICTURE_ONE[@]}"
  e2e_display_text "$PACKAGE/terms.txt"
  e2e_display_text "$PACKAGE/readme.txt"
  printf 'the program of every step\r\n' >"$PACKAGE/every.txt"
  e2e_pack_manifest every-step || return 1
  e2e_display_install every-step \
    dialog Setup \
    click 1 \
    window "Select Directory" \
    click 1 \
    box "The requested directory does not exist.  Create?" \
    click 6 \
    window "Enter user information" \
    click 1 \
    box "Create program group and icons?" \
    click 6 \
    window "Select Group" \
    click 1 \
    box "$E2E_README_QUESTION" \
    click 6 \
    dialog Setup \
    click 1 \
    box "Install Successful" \
    click 1 \
    window "E2E Every Group" \
    close "E2E Every Group" || return 1
  e2e_expect_same "$dir/EVERY.TXT" "$PACKAGE/every.txt"
  e2e_expect_reg "$E2E_DISPLAY_KEY" EveryUser "E2E Every User"
  e2e_expect_ini velmora-e2e.ini User EveryUser "E2E Every User"
  e2e_expect_ini velmora-e2e.ini Display EveryData 'C:\E2E Every\DATA'
  e2e_expect_reg "$E2E_DISPLAY_KEY" EveryVersion 9.9
  [ -f "$programs/E2E Every Group/E2E Every Item.lnk" ] || e2e_fail "no link E2E Every Item"
}
