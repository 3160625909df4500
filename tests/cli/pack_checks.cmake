# Command-line tests of the checks of `velmora pack`: one manifest with
# several mistakes, every one reported at its line, and the closing count.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(pack_checks ${CMAKE_CURRENT_LIST_FILE} every-error)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

if(CASE STREQUAL "every-error")
  file(WRITE "${WORK}/a.txt" "text")
  file(WRITE "${WORK}/m.toml" [=[
title = "Mistakes"

[[step]]
class = "file"
source = "a.txt"
name = "EARLY.TXT"
directory = "App"

[[step]]
class = "directory"
name = "App"
question = "Where?"
default = 'C:\APP'

[[step]]
class = "file"
source = "a.txt"
name = "README.txt"
directory = "App"

[[step]]
class = "file"
source = "a.txt"
name = "readme.TXT"
directory = "App"

[[step]]
class = "registry"
reg_entry = 'HKLM\Software\Lantern\Path'
default = "1"
directory = "<None>"
]=])
  set(cases "--check" "--output=out")
  foreach(output IN LISTS cases)
    velmora(pack --no-setup m.toml ${output})
    expect_rc(1)
    expect_line("${STDERR}" "velmora pack: m\\.toml:3: step 1 \\(CStepFileCopy 'EARLY\\.TXT'\\): The directory 'App' is chosen only by a later directory step")
    expect_line("${STDERR}" "velmora pack: m\\.toml:21: step 4 \\(CStepFileCopy 'readme\\.TXT'\\): The file 'App\\\\readme\\.TXT' is also placed by step 3: Windows does not tell file names apart by case")
    expect_line("${STDERR}" "velmora pack: m\\.toml:27: step 5 \\(CStepRegistry\\): 'reg_entry' starts with 'HKLM', which is not a root key; use one of HKEY_CLASSES_ROOT, [^\n]*HKEY_DYN_DATA")
    expect_line("${STDERR}" "velmora pack: 3 errors, 0 warnings; the package asks 1 question")
    expect_missing("${WORK}/out")
  endforeach()

  # A sound manifest checked without an output folder.
  file(WRITE "${WORK}/m.toml" "title = \"T\"\n[[step]]\nclass = \"readme\"\nsource = \"a.txt\"\n")
  velmora(pack --no-setup --check m.toml)
  expect_rc(0)
  expect_line("${STDOUT}" "0 errors, 0 warnings; the package asks 1 question")
  velmora(pack --no-setup m.toml)
  expect_rc(2)
  expect_match("${STDERR}" "-o OUTDIR is required")
endif()
