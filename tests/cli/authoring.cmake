# Command-line tests of `velmora pack` and `velmora list`.  Included from
# CMakeLists.txt, this file registers one test per case
# (velmora_script_cases in CMakeLists.txt).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(authoring ${CMAKE_CURRENT_LIST_FILE} demo manifest-error refused-step corrupt
                       two-parts output-folder large-file setup-program check reproducible)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

set(demo "${SOURCE}/examples/demo/manifest.toml")
set(demo_files "${SOURCE}/examples/demo/files")

# Byte offset of the first occurrence of a text in a file, or "" when it
# does not occur.
function(offset_of needle file result)
  file(READ "${file}" hex HEX)
  string(HEX "${needle}" wanted)
  set(${result} "" PARENT_SCOPE)
  set(from 0)
  while(TRUE)
    string(SUBSTRING "${hex}" ${from} -1 rest)
    string(FIND "${rest}" "${wanted}" at)
    if(at EQUAL -1)
      return()
    endif()
    math(EXPR at "${from} + ${at}")
    math(EXPR odd "${at} % 2")
    if(odd EQUAL 0)
      math(EXPR byte "${at} / 2")
      set(${result} ${byte} PARENT_SCOPE)
      return()
    endif()
    math(EXPR from "${at} + 1")
  endwhile()
endfunction()

# Runs velmora in DIR with SOURCE_DATE_EPOCH=VALUE in its environment alone.
function(velmora_with_epoch value dir)
  set(VELMORA ${CMAKE_COMMAND} -E env "SOURCE_DATE_EPOCH=${value}" ${VELMORA})
  velmora_in("${dir}" ${ARGN})
  foreach(result STDOUT STDERR OUT RC)
    set(${result} "${${result}}" PARENT_SCOPE)
  endforeach()
endfunction()

if(CASE STREQUAL "demo")
  velmora(pack --no-setup "${demo}" -o pkg)
  expect_rc(0)
  expect_line("${STDOUT}" "First part \"Lantern Notes 2\\.1\": 11 steps")
  expect_line("${STDOUT}" "  velmor\\.1 [^\n]*")
  expect_exists("${WORK}/pkg/velmor.1")
  expect_no_staging()

  velmora(list pkg)
  expect_rc(0)
  foreach(line "Title:          \"Lantern Notes 2.1\"" "Steps:          11"
               "Step 2: CStepFileDisplay (Agreement text)"
               "Step 3: CStepDirectory (Directory)" "Step 4: CStepPMG"
               "Step 9: CStepUserValue (User value)"
               "REGE  Reg entry                 \"HKEY_LOCAL_MACHINE\\Software\\Lantern\\Notes\\Version\""
               "Step 11: CStepFileDisplayOptional (Readme text)"
               "Payload: 1253 bytes in media file 1 at offset" "Modified: 1996-08-01 10:00:00 UTC")
    expect_in("${STDOUT}" "${line}")
  endforeach()

  velmora(list --json pkg)
  expect_rc(0)
  expect_valid_json("${STDOUT}")
  expect_in("${STDOUT}" "\"class\": \"CStepFileCopy\"")
  expect_in("${STDOUT}" "\"ICON\": true")
  expect_in("${STDOUT}" "\"second_part\": null")

  # The demo pins its file times, so packing again gives the same bytes.
  velmora(pack --no-setup "${demo}" -o again)
  expect_rc(0)
  expect_same_file("${WORK}/pkg/velmor.1" "${WORK}/again/velmor.1")

  # Spread over small media files, every payload still reads back.
  velmora(pack --no-setup "${demo}" -o disks --disk-size 1500)
  expect_rc(0)
  expect_exists("${WORK}/disks/velmor.4")
  file(GLOB disks "${WORK}/disks/velmor.*")
  foreach(disk IN LISTS disks)
    file(SIZE "${disk}" size)
    if(size GREATER 1500)
      message(FATAL_ERROR "${disk} is larger than the disk size")
    endif()
  endforeach()
  velmora(list --verify disks)
  expect_rc(0)

elseif(CASE STREQUAL "manifest-error")
  file(WRITE "${WORK}/bad.toml" [=[
title = "Broken"

[[step]]
class = "registry"
reg_entry = 'HKEY_CURRENT_USER\Software\X\Y'
default = "1"
icon = true
]=])
  velmora(pack --no-setup bad.toml -o out)
  expect_rc(1)
  expect_line("${STDERR}"
              "velmora pack: bad\\.toml:7: step 1 \\(CStepRegistry\\): the class does not keep 'icon' \\(ICON\\)")
  expect_missing("${WORK}/out")

  file(WRITE "${WORK}/syntax.toml" "title = \"T\"\n[[step]\n")
  velmora(pack --no-setup syntax.toml -o out)
  expect_rc(1)
  expect_line("${STDERR}" "velmora pack: syntax\\.toml:2: [^\n]*")

  file(WRITE "${WORK}/missing.toml"
       "title = \"T\"\n\n[[step]]\nclass = \"file\"\nsource = \"missing.txt\"\ndirectory = \"<Windows>\"\n")
  velmora(pack --no-setup missing.toml -o out)
  expect_rc(3)
  expect_in("${STDERR}" "missing.toml:5: step 1 (CStepFileCopy 'missing.txt'): missing.txt: ")
  expect_missing("${WORK}/out")

elseif(CASE STREQUAL "refused-step")
  file(WRITE "${WORK}/refused.toml" [=[
title = "Refused"

[[step]]
class = "directory"
name = "AppDir"
default = 'C:\APP'

[[step]]
class = "file"
source = "refused.toml"
directory = "NoSuchDir"
]=])
  velmora(pack --no-setup refused.toml -o out)
  expect_rc(1)
  expect_line("${STDERR}" "velmora pack: refused\\.toml:3: step 1 \\(CStepDirectory 'AppDir'\\): 'question' must not be empty")
  expect_in("${STDERR}" "refused.toml:8: step 2 (CStepFileCopy 'refused.toml'): The directory 'NoSuchDir' is not the name of any directory step")
  expect_missing("${WORK}/out")

elseif(CASE STREQUAL "corrupt")
  velmora(pack --no-setup "${demo}" -o pkg)
  expect_rc(0)
  offset_of(CStepPMG "${WORK}/pkg/velmor.1" at)
  if(at STREQUAL "")
    message(FATAL_ERROR "class name not found in velmor.1")
  endif()
  # A damaged class name, found by the data format's own checks: without
  # the package description (velmor.sum), which would refuse the file first.
  file(COPY "${WORK}/pkg/" DESTINATION "${WORK}/flipped")
  file(REMOVE "${WORK}/flipped/velmor.sum")
  file(WRITE "${WORK}/X" "X")
  run_in_work(dd of=flipped/velmor.1 bs=1 seek=${at} conv=notrunc INPUT_FILE X)
  velmora(list flipped)
  expect_rc(1)
  if(NOT STDOUT STREQUAL "")
    message(FATAL_ERROR "a damaged package was listed:\n${STDOUT}")
  endif()
  expect_line("${STDERR}" "velmora list: corrupt: velmor\\.1 at [0-9]*: the record of step 4 of 11 cannot be read \\(it follows step 3, CStepDirectory 'LanternDir'\\)")
  # Cut off in the middle of that record.
  math(EXPR cut "${at} + 4")
  file(MAKE_DIRECTORY "${WORK}/cut")
  run_in_work(head -c ${cut} pkg/velmor.1 OUTPUT_FILE cut/velmor.1)
  velmora(list --json cut)
  expect_rc(1)
  expect_line("${STDERR}" "velmora list: corrupt: velmor\\.1 at ${cut}: the record of step 4 of 11 cannot be read[^\n]*")
  # A missing continuation file.
  velmora(pack --no-setup "${demo}" -o disks --disk-size 1500)
  expect_rc(0)
  file(REMOVE "${WORK}/disks/velmor.3")
  velmora(list --verify disks)
  expect_rc(5)
  expect_line("${STDERR}" "velmora list: missing media: velmor\\.3: the media file is missing[^\n]*")
  velmora(list no-such-folder)
  expect_rc(3)

elseif(CASE STREQUAL "two-parts")
  file(COPY "${demo_files}/README.TXT" DESTINATION "${WORK}/src")
  file(WRITE "${WORK}/two.toml" [=[
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
]=])
  velmora(pack --no-setup two.toml -o pkg)
  expect_rc(0)
  expect_line("${STDOUT}" "Second part \"Extras\": 1 step")
  expect_exists("${WORK}/pkg/velmore.1")
  velmora(list --verify pkg)
  expect_rc(0)
  expect_line("${STDOUT}" "Second part")
  expect_in("${STDOUT}" "Check dates:    yes")
  velmora(list --json pkg)
  expect_rc(0)
  expect_valid_json("${STDOUT}")
  expect_in("${STDOUT}" "\"two_parts\": true")
  expect_in("${STDOUT}" "\"title\": \"Extras\"")
  expect_in("${STDOUT}" "\"modified\": 838893600")

elseif(CASE STREQUAL "output-folder")
  file(WRITE "${WORK}/pkg/SETUP.EXE" "exe\n")
  file(WRITE "${WORK}/pkg/VELMOR.9" "old\n")
  file(WRITE "${WORK}/pkg/velmore.1" "old\n")
  velmora(pack --no-setup "${demo}" -o pkg)
  expect_rc(0)
  expect_exists("${WORK}/pkg/SETUP.EXE")
  expect_missing("${WORK}/pkg/VELMOR.9")
  expect_missing("${WORK}/pkg/velmore.1")
  velmora(list pkg)
  expect_rc(0)
  # A failing pack leaves the folder as it was.
  file(COPY_FILE "${WORK}/pkg/velmor.1" "${WORK}/before.1")
  velmora(pack --no-setup "${demo}" -o pkg --disk-size 100)
  expect_failure()
  expect_in("${STDERR}" "does not fit in a media file of 100 bytes")
  expect_same_file("${WORK}/pkg/velmor.1" "${WORK}/before.1")
  expect_no_staging()

elseif(CASE STREQUAL "large-file")
  # A file of several chunks and media files, read from its source file a
  # chunk at a time, comes back byte for byte; so do the background and
  # readme texts beside it.
  file(MAKE_DIRECTORY "${WORK}/src")
  run_in_work(head -c 1500000 /dev/urandom OUTPUT_FILE random.part)
  run_in_work(yes "A line of text that compresses well." COMMAND head -c 2000000 OUTPUT_FILE text.part)
  run_in_work(${CMAKE_COMMAND} -E cat random.part text.part OUTPUT_FILE src/BIG.DAT)
  file(COPY "${demo_files}/LOGO.BMP" DESTINATION "${WORK}/src")
  file(WRITE "${WORK}/src/README.TXT" "Lantern Notes 2.1\r\n\r\nRead me first.\r\n")
  file(WRITE "${WORK}/big.toml" [=[
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
]=])
  velmora(pack --no-setup big.toml -o pkg --disk-size 1457664)
  expect_rc(0)
  expect_exists("${WORK}/pkg/velmor.3")
  expect_match("${STDOUT}" "BIG\\.DAT  \\[3500000 bytes in 5[0-9] chunks, media file 1 at ")
  velmora(extract pkg -o out)
  expect_rc(0)
  expect_same_file("${WORK}/out/App/BIG.DAT" "${WORK}/src/BIG.DAT")
  expect_same_file("${WORK}/out/background/LOGO.BMP" "${WORK}/src/LOGO.BMP")
  expect_same_file("${WORK}/out/display/README.TXT" "${WORK}/src/README.TXT")

elseif(CASE STREQUAL "setup-program")
  # The output is a complete medium: SETUP.EXE beside the media files, the
  # one given, or a clear error when there is none to give.
  file(WRITE "${WORK}/SETUP.EXE" "MZ a Windows program")
  velmora(pack --setup SETUP.EXE "${demo}" -o pkg)
  expect_rc(0)
  expect_same_file("${WORK}/pkg/SETUP.EXE" "${WORK}/SETUP.EXE")
  expect_line("${STDOUT}" "  SETUP\\.EXE  [^\n]* bytes \\(SETUP\\.EXE\\)")
  file(WRITE "${WORK}/NOTES.TXT" "not a program")
  velmora(pack --setup NOTES.TXT "${demo}" -o bad)
  expect_rc(3)
  expect_line("${STDERR}" "velmora pack: --setup NOTES\\.TXT: not a Windows program")
  # The tool is run from the build tree, where no SETUP.EXE lies beside it
  # unless the Windows program was built into it.
  get_filename_component(tool_dir "${VELMORA}" DIRECTORY)
  if(NOT EXISTS "${tool_dir}/SETUP.EXE")
    velmora(pack "${demo}" -o none)
    expect_rc(3)
    expect_match("${STDERR}" "no SETUP\\.EXE to put beside the media files \\(looked for [^\n]*\\); give one with --setup FILE, or --no-setup")
  endif()
  expect_missing("${WORK}/bad")
  expect_missing("${WORK}/none")
  velmora(pack --setup SETUP.EXE --no-setup "${demo}" -o both)
  expect_failure()

elseif(CASE STREQUAL "check")
  # --check reads every source and writes nothing; a missing or unreadable
  # source fails it as it would fail packing.
  velmora(pack --no-setup --check "${demo}" -o out)
  expect_rc(0)
  expect_line("${STDOUT}" "Checked [^\n]*: 11 steps, 6 source files, [0-9]* bytes read; no SETUP\\.EXE; nothing written")
  expect_missing("${WORK}/out")
  expect_no_staging()
  file(WRITE "${WORK}/src/A.TXT" "text")
  file(WRITE "${WORK}/t.toml" "title = \"T\"\n[[step]]\nclass = \"readme\"\nsource = \"src/A.TXT\"\n")
  run_in_work(chmod 000 src/A.TXT)
  # Root reads it anyway.
  execute_process(COMMAND cat src/A.TXT WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE unreadable
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT unreadable EQUAL 0)
    velmora(pack --no-setup --check t.toml -o out)
    expect_rc(3)
  endif()
  run_in_work(chmod 644 src/A.TXT)
  file(REMOVE "${WORK}/src/A.TXT")
  velmora(pack --no-setup --check t.toml -o out)
  expect_rc(3)
  expect_match("${STDERR}" "t\\.toml:4: [^\n]*A\\.TXT: No such file or directory")

elseif(CASE STREQUAL "reproducible")
  # Sources without times in the manifest: their own times go into the
  # package, unless SOURCE_DATE_EPOCH replaces them; nothing else of the
  # machine or the moment does.
  file(WRITE "${WORK}/src/A.TXT" "some text\r\n")
  file(WRITE "${WORK}/t.toml" [=[
title = "T"
[[step]]
class = "directory"
name = "D"
question = "Where?"
default = 'C:\T'
[[step]]
class = "file"
source = "src/A.TXT"
directory = "D"
]=])
  velmora_with_epoch(838893600 "${WORK}" pack --no-setup t.toml -o one)
  expect_rc(0)
  run_in_work(touch -d "2001-02-03 04:05:06" src/A.TXT)
  file(COPY "${WORK}/t.toml" "${WORK}/src" DESTINATION "${WORK}/elsewhere")
  velmora_with_epoch(838893600 "${WORK}/elsewhere" pack --no-setup t.toml -o ../two)
  expect_rc(0)
  expect_same_file("${WORK}/one/velmor.1" "${WORK}/two/velmor.1")
  velmora(list two)
  expect_in("${STDOUT}" "Modified: 1996-08-01 10:00:00 UTC")
  velmora(pack --no-setup t.toml -o own)
  expect_rc(0)
  velmora(list own)
  expect_in("${STDOUT}" "Modified: 2001-02-03 04:05:06")
  velmora_with_epoch(yesterday "${WORK}" pack --no-setup t.toml -o bad)
  expect_rc(2)
  expect_in("${STDERR}" "SOURCE_DATE_EPOCH is not a time a package can store")

else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
