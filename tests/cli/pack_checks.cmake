# Command-line tests of the checks of `velmora pack`: one manifest with
# mistakes of every kind, every one reported at its line, and the closing
# count; a folder entry; agreement and readme texts converted.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(pack_checks ${CMAKE_CURRENT_LIST_FILE} every-error folder-source display-text)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

if(CASE STREQUAL "every-error")
  file(WRITE "${WORK}/a.txt" "text")
  file(WRITE "${WORK}/LICENSE.txt" "Terms\n→ here\n")
  file(WRITE "${WORK}/m.toml" [=[
title = "Mistakes"
colour = "red"
check_dates = "yes"

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

[[step]]
class = "file"
name = "NOSOURCE.TXT"
directory = "App"

[[step]]
class = "file"
source = "a.txt"
name = "LATE.TXT"
directory = "App"
modified = 2040-01-01T00:00:00Z

[[step]]
class = "registry"
reg_entry = 'HKEY_CURRENT_USER\Software\Lantern\Path'
directory = "<None>"

[[step]]
class = "agreement"
source = "LICENSE.txt"

[[step]]
class = "folder"
source = "nosuch"
directory = "App"
]=])
  set(cases "--check" "--output=out")
  foreach(output IN LISTS cases)
    velmora(pack --no-setup m.toml ${output})
    expect_rc(1)
    foreach(line
        "2: unknown key 'colour' in the package"
        "3: 'check_dates' must be true or false"
        "5: step 1 \\(CStepFileCopy 'EARLY\\.TXT'\\): The directory 'App' is chosen only by a later directory step"
        "23: step 4 \\(CStepFileCopy 'readme\\.TXT'\\): The file 'App\\\\readme\\.TXT' is also placed by step 3: Windows does not tell file names apart by case"
        "29: step 5 \\(CStepRegistry\\): 'reg_entry' starts with 'HKLM', which is not a root key; use one of HKEY_CLASSES_ROOT, [^\n]*HKEY_DYN_DATA"
        "35: step 6 \\(CStepFileCopy 'NOSOURCE\\.TXT'\\): 'source' is missing"
        "45: step 7 \\(CStepFileCopy 'LATE\\.TXT'\\): 'modified' lies outside 1901-12-13 \\.\\. 2038-01-19, which a package cannot store"
        "47: step 8 \\(CStepRegistry\\): 'default' must not be empty"
        "54: step 9 \\(CStepFileDisplay 'LICENSE\\.txt'\\): LICENSE\\.txt:2: U\\+2192 is not in code page 1252"
        "58: step 10 \\(folder 'nosuch'\\): nosuch: No such file or directory")
      expect_line("${STDERR}" "velmora pack: m\\.toml:${line}")
    endforeach()
    expect_line("${STDERR}" "velmora pack: 10 errors, 0 warnings; the package asks 2 questions")
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

elseif(CASE STREQUAL "folder-source")
  # A folder entry packs the tree below it, sorted as harvest sorts it,
  # without what its patterns exclude.
  foreach(path APP.EXE APP.pdb .config DOCS/README.TXT bin/TOOL.EXE bin/TOOL.pdb tmp/x.log)
    file(WRITE "${WORK}/app/${path}" "${path}")
  endforeach()
  file(WRITE "${WORK}/m.toml" [=[
title = "Tree"

[[step]]
class = "directory"
name = "AppDir"
question = "Where?"
default = 'C:\APP'

[[step]]
class = "folder"
source = "app"
directory = "AppDir"
exclude = ["*.pdb", "tmp/**", "*.obj"]
shared = true
modified = 1996-08-01T10:00:00Z
]=])
  velmora(pack --no-setup m.toml -o out)
  expect_rc(0)
  expect_line("${STDERR}" "velmora pack: m\\.toml:11: step 2 \\(folder 'app'\\): warning: 'exclude' pattern '\\*\\.obj' matches nothing in app")
  expect_line("${STDOUT}" "velmora pack: 4 files, 41 bytes in, [0-9]+ bytes of media files \\([0-9]+%\\)")
  expect_line("${STDOUT}" "0 errors, 1 warning; the package asks 1 question")
  velmora(list out)
  expect_rc(0)
  string(REGEX MATCHALL "NAME  [^\n]*" names "${STDOUT}")
  list(TRANSFORM names REPLACE "^NAME  [^\"]*" "")
  string(REPLACE ";" " " names "${names}")
  set(expected [=["AppDir" ".config" "APP.EXE" "DOCS\README.TXT" "bin\TOOL.EXE"]=])
  if(NOT names STREQUAL expected)
    message(FATAL_ERROR "names ${names}, expected ${expected}")
  endif()
  expect_in("${STDOUT}" "SHRD  ")

  # Names Windows cannot hold, names that differ only by case and links are
  # each refused; so is a folder with no file.
  foreach(path bad/CON.txt bad/a.txt bad/A.TXT bad/ok.txt)
    file(WRITE "${WORK}/${path}" "x")
  endforeach()
  file(CREATE_LINK /etc "${WORK}/bad/etc" SYMBOLIC)
  file(MAKE_DIRECTORY "${WORK}/empty")
  file(WRITE "${WORK}/m.toml" "title = \"T\"\n[[step]]\nclass = \"folder\"\nsource = \"bad\"\ndirectory = \"<Windows>\"\n[[step]]\nclass = \"folder\"\nsource = \"empty\"\ndirectory = \"<Windows>\"\n")
  velmora(pack --no-setup --check m.toml)
  expect_rc(1)
  foreach(line "4: step 1 \\(folder 'bad'\\): bad/CON\\.txt: cannot be a Windows file name: it [^\n]*"
               "4: step 1 \\(folder 'bad'\\): bad/a\\.txt: differs from A\\.TXT only by case[^\n]*"
               "4: step 1 \\(folder 'bad'\\): bad/etc: is a symbolic link"
               "8: step 3 \\(folder 'empty'\\): empty: holds no file")
    expect_line("${STDERR}" "velmora pack: m\\.toml:${line}")
  endforeach()

elseif(CASE STREQUAL "display-text")
  # UTF-8 with LF line ends goes into the package as code page 1252 with
  # CR LF, with a warning; a text already so is left as it is.
  file(WRITE "${WORK}/readme.txt" "Café\nok\n")
  file(WRITE "${WORK}/terms.txt" "Terms\r\n")
  file(WRITE "${WORK}/m.toml" "title = \"T\"\n[[step]]\nclass = \"readme\"\nsource = \"readme.txt\"\n[[step]]\nclass = \"agreement\"\nsource = \"terms.txt\"\n")
  velmora(pack --no-setup m.toml -o out)
  expect_rc(0)
  expect_line("${STDERR}" "velmora pack: m\\.toml:4: step 1 \\(CStepFileDisplayOptional 'readme\\.txt'\\): warning: readme\\.txt: converted from UTF-8 to code page 1252 and LF to CR LF line ends")
  expect_line("${STDOUT}" "0 errors, 1 warning; the package asks 2 questions")
  velmora(extract out -o files)
  expect_rc(0)
  file(READ "${WORK}/files/display/readme.txt" bytes HEX)
  if(NOT bytes STREQUAL "436166e90d0a6f6b0d0a")
    message(FATAL_ERROR "readme.txt holds ${bytes}")
  endif()
  expect_same_file("${WORK}/terms.txt" "${WORK}/files/display/terms.txt")
endif()
