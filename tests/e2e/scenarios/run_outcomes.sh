# How a run ends when there is nothing to install: no media file at all,
# and the program started under another name than SETUP (uninstall mode).
# Both must still close by themselves, with exit code 1 for the failure.

E2E_SCENARIOS+=(missing_media uninstall_mode)

# No velmor.1 beside SETUP.EXE: the prompt for disk 1, Cancel, the failure
# message.  The screenshot taken at the prompt shows the backdrop.
scenario_missing_media() {
  e2e_media missing
  e2e_start_setup
  e2e_robot \
    box "Please insert media disk 1" \
    snap media-prompt \
    click 2 \
    box "Install Failed.  Press OK to abort." \
    click 1 || return 1
  e2e_finish_setup 1
  e2e_expect_backdrop_pixel "$E2E_SHOTS/$E2E_SCENARIO-media-prompt.png" 200 300
  e2e_expect_backdrop_pixel "$E2E_SHOTS/$E2E_SCENARIO-media-prompt.png" 900 700
}

# Any other name uninstalls, with the command line as the log's path; a log
# that is not the one beside the uninstaller with its name (here one that
# does not exist) is refused before anything is removed.
scenario_uninstall_mode() {
  e2e_media uninstall
  cp "$MEDIA/SETUP.EXE" "$MEDIA/XE2E Product.exe"
  e2e_start_setup "XE2E Product.exe" 'C:\media\uninstall\missing.log'
  e2e_robot \
    box "The uninstall log C:\media\uninstall\missing.log is not this uninstaller's own.  Nothing has been removed." \
    click 1 \
    box "Uninstall unsuccessful" \
    click 1 || return 1
  e2e_finish_setup 1
}
