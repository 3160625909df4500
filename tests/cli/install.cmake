# Command-line tests of `velmora install`.  Included from CMakeLists.txt, this
# file registers one test per case (velmora_script_cases in CMakeLists.txt).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(install ${CMAKE_CURRENT_LIST_FILE} demo own-setup remembered cancel unattended-missing-disk no-media unreadable-header bad-answers record unmatched-rules)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

# How often needle occurs in text.
function(count_in text needle result)
  set(count 0)
  string(LENGTH "${needle}" length)
  while(TRUE)
    string(FIND "${text}" "${needle}" at)
    if(at EQUAL -1)
      break()
    endif()
    math(EXPR count "${count} + 1")
    math(EXPR next "${at} + ${length}")
    string(SUBSTRING "${text}" ${next} -1 text)
  endwhile()
  set(${result} ${count} PARENT_SCOPE)
endfunction()

# Names (below the folder) and hashes of every file in a folder, to prove
# it was left alone or holds what another does.  Paths given after the
# result are listed without their hash (what holds the moment of the run,
# such as the simulated machine's store of file times).
function(fingerprint folder result)
  file(GLOB_RECURSE files RELATIVE "${folder}" LIST_DIRECTORIES true "${folder}/*")
  set(print "")
  foreach(path IN LISTS files)
    if(path IN_LIST ARGN)
      string(APPEND print "${path}\n")
    elseif(IS_DIRECTORY "${folder}/${path}")
      string(APPEND print "${path}/\n")
    else()
      file(SHA256 "${folder}/${path}" hash)
      string(APPEND print "${path} ${hash}\n")
    endif()
  endforeach()
  set(${result} "${print}" PARENT_SCOPE)
endfunction()

function(pack)
  velmora(pack --no-setup "${SOURCE}/examples/demo/manifest.toml" -o pkg ${ARGN})
  expect_rc(0)
endfunction()

set(machine "${WORK}/m")

if(CASE STREQUAL "demo")
  pack()
  fingerprint("${WORK}/pkg" before)
  file(WRITE "${WORK}/answers.txt"
       "# the demo, installed elsewhere\n"
       "directory step \"LanternDir\" = type \"C:\\Program Files\\Notes\"\n"
       "message \"The requested directory does not exist.  Create?\" = yes x1\n")
  # Left behind by a run that was killed (no process has this number).
  file(MAKE_DIRECTORY "${machine}/.velmora/media-2147483647-1")
  file(WRITE "${machine}/.velmora/media-2147483647-1/velmor.1" "old")
  velmora(install pkg --machine m --answers answers.txt --transcript transcript.txt)
  expect_rc(0)
  expect_in("${OUT}" "Velmora(TM) is now installing Lantern Notes 2.1")
  expect_in("${OUT}" "[100%]")
  expect_in("${OUT}" "\"Install Successful\" -> OK")
  expect_in("${OUT}" "the uninstaller copy is a stand-in")
  # The agreement and the readme in full, a line of text to a line.
  expect_in("${OUT}" "agreement [\"I accept\", \"I do not accept\"] -> I accept (default)\n"
                     "  | LANTERN NOTES 2.1 - LICENCE AGREEMENT\n  | \n")
  expect_in("${OUT}" "readme [\"OK\"] -> OK (default)\n  | Lantern Notes 2.1\n  | =================\n")
  expect_in("${OUT}" "background 256x128 in 1024x768: x 0 to 1024, y 128 to 640")
  expect_in("${OUT}" "user \"Your name\" \"Lantern User\" -> OK \"Lantern User\" (default)")
  expect_in("${OUT}" "program group \"Lantern Notes\" created\n"
                     "program item \"Lantern Notes Read Me\" in \"Lantern Notes\": C:\\Program Files\\Notes\\README.TXT\n")
  file(READ "${WORK}/transcript.txt" transcript)
  expect_in("${transcript}" "directory \"LanternDir\" ")
  expect_in("${transcript}" "-> OK \"C:\\\\Program Files\\\\Notes\"")
  expect_in("${transcript}" "\"The requested directory does not exist.  Create?\" -> Yes\n")
  expect_in("${transcript}" "progress \"\" 100%")
  if(NOT IS_DIRECTORY "${machine}/C/Program Files/Notes")
    message(FATAL_ERROR "the chosen directory was not created")
  endif()
  file(READ "${machine}/C/WINDOWS/LANTERN.INI" ini)
  expect_in("${ini}" "NotesFolder=C:\\Program Files\\Notes\\NOTES")
  expect_in("${ini}" "Name=Lantern User")
  if(NOT EXISTS "${machine}/C/WINDOWS/XLantern Notes 2.1.exe")
    message(FATAL_ERROR "no uninstaller copy in the Windows directory")
  endif()
  fingerprint("${WORK}/pkg" after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "the package folder changed:\n${before}\n--- became ---\n${after}")
  endif()
  file(GLOB scratch "${machine}/.velmora/media-*")
  if(scratch)
    message(FATAL_ERROR "the installation disk's scratch folder was left behind: ${scratch}")
  endif()

elseif(CASE STREQUAL "own-setup")
  # A package with its own Setup.exe runs from its folder as it is: the
  # uninstaller is a copy of that program, and the folder stays unchanged
  # even though the package tries to write to the disk.
  pack()
  file(WRITE "${WORK}/pkg/SETUP.EXE" "MZ the package's own setup program")
  fingerprint("${WORK}/pkg" before)
  file(WRITE "${WORK}/answers.txt"
       "directory \"*\" = type \"A:\\Lantern\"\n")
  velmora(install pkg --machine m --answers answers.txt)
  expect_rc(1)
  expect_not_in("${OUT}" "stand-in")
  expect_in("${OUT}" "\"Install Failed.  Press OK to abort.\"")
  fingerprint("${WORK}/pkg" after)
  if(NOT before STREQUAL after)
    message(FATAL_ERROR "the package folder changed:\n${before}\n--- became ---\n${after}")
  endif()
  velmora(install pkg --machine m)
  expect_rc(0)
  file(READ "${machine}/C/WINDOWS/XLantern Notes 2.1.exe" uninstaller)
  expect_in("${uninstaller}" "MZ the package's own setup program")

elseif(CASE STREQUAL "remembered")
  # The first run records the chosen directory in the registry; a second
  # installation on the same machine suggests it.
  pack()
  file(WRITE "${WORK}/answers.txt"
       "directory \"*\" = type \"D:\\Notes\" x1\n")
  file(MAKE_DIRECTORY "${machine}/D")
  velmora(install pkg --machine m --answers answers.txt)
  expect_rc(0)
  velmora(install pkg --machine m --transcript second.txt)
  expect_rc(0)
  file(READ "${WORK}/second.txt" transcript)
  expect_in("${transcript}" "\"D:\\\\Notes\\\\\" -> OK \"D:\\\\Notes\\\\\" (default)")
  expect_not_in("${transcript}" "Create?")

elseif(CASE STREQUAL "cancel")
  pack()
  file(WRITE "${WORK}/answers.txt" "directory \"*\" = cancel\n")
  velmora(install pkg --machine m --answers answers.txt)
  expect_rc(1)
  expect_in("${OUT}" "\"Install Failed.  Press OK to abort.\"")
  if(EXISTS "${machine}/C/WINDOWS/XLantern Notes 2.1.exe")
    message(FATAL_ERROR "the roll-back left the uninstaller copy behind")
  endif()

elseif(CASE STREQUAL "unattended-missing-disk")
  # Media file 2 is gone and nobody answers: the disk prompt takes its
  # default (OK) a few times, then the run cancels it and ends.
  pack(--disk-size 2000)
  file(REMOVE "${WORK}/pkg/velmor.2")
  velmora(install pkg --machine m --transcript transcript.txt)
  expect_rc(1)
  file(READ "${WORK}/transcript.txt" transcript)
  count_in("${transcript}" "\"Please insert media disk 2\"" prompts)
  if(NOT prompts EQUAL 4)
    message(FATAL_ERROR "the disk prompt came ${prompts} times, expected 4:\n${transcript}")
  endif()
  expect_in("${transcript}" "cancelled to end the run")
  expect_in("${transcript}" "\"Install Failed.  Press OK to abort.\"")

elseif(CASE STREQUAL "no-media")
  file(MAKE_DIRECTORY "${WORK}/empty")
  velmora(install empty --machine m)
  expect_rc(5)
  expect_in("${OUT}" "velmora install: missing media: velmor.1: the media file is missing")
  velmora(install no-such-folder --machine m)
  expect_rc(3)
  expect_in("${OUT}" "is not a folder")

elseif(CASE STREQUAL "unreadable-header")
  # The header of velmor.1 is read before the run: another data file
  # version and a file without the end of its banner end the command with
  # their own exit codes, and nothing is installed.
  file(COPY "${SOURCE}/tests/data/media/e01_version_3/velmor.1" DESTINATION "${WORK}/v3")
  velmora(install v3 --machine m)
  expect_rc(4)
  expect_in("${OUT}" "velmora install: unsupported: velmor.1 at ")
  expect_in("${OUT}" "data file format version 3; this program reads version 4")
  expect_not_in("${OUT}" "Install Failed")
  file(WRITE "${WORK}/cut/velmor.1" "a banner without its end")
  velmora(install cut --machine m)
  expect_rc(1)
  expect_in("${OUT}" "velmora install: corrupt: velmor.1 at 24: the banner has no zero byte")
  file(GLOB installed "${machine}/C/WINDOWS/X*")
  if(installed)
    message(FATAL_ERROR "an unreadable package left an uninstaller: ${installed}")
  endif()

elseif(CASE STREQUAL "bad-answers")
  pack()
  file(WRITE "${WORK}/answers.txt" "message \"x\" = maybe\n")
  velmora(install pkg --machine m --answers answers.txt)
  expect_rc(2)
  expect_in("${OUT}" "answers.txt:1: unknown answer 'maybe'")
  velmora(install pkg --machine m --answers missing.txt)
  expect_rc(3)

elseif(CASE STREQUAL "record")
  # Recorded once, replayed on a fresh machine: the same files, ini entries,
  # registry values and program groups.
  pack()
  file(WRITE "${WORK}/answers.txt"
       "directory step \"LanternDir\" = type \"C:\\Notes\" ok\n"
       "message \"If you wish to view the readme file*\" = no\n"
       "user \"Your name\" = type \"Ada\"\n")
  velmora(install pkg --machine first --answers answers.txt --record recorded.txt)
  expect_rc(0)
  file(READ "${WORK}/recorded.txt" recorded)
  expect_in("${recorded}" "directory step \"LanternDir\" = type \"C:\\Notes\" ok\n")
  expect_in("${recorded}" "message \"The requested directory does not exist.  Create?\" = yes\n")
  expect_in("${recorded}" "user \"Your name\" = type \"Ada\" ok\n")
  velmora(install pkg --machine second --answers recorded.txt --transcript replay.txt)
  expect_rc(0)
  expect_not_in("${OUT}" "warning")
  fingerprint("${WORK}/first" first .velmora/attributes)
  fingerprint("${WORK}/second" second .velmora/attributes)
  expect_in("${first}" "C/Notes/")
  if(NOT first STREQUAL second)
    message(FATAL_ERROR "the replay made another machine:\n${first}\n--- and ---\n${second}")
  endif()
  # The record file is opened as the log is: a link is refused as it is.
  file(CREATE_LINK "${WORK}/target.txt" "${WORK}/link.txt" SYMBOLIC)
  velmora(install pkg --machine third --record link.txt)
  expect_rc(3)
  expect_in("${OUT}" "cannot write record file 'link.txt': it is a link")
  expect_missing("${WORK}/target.txt")

elseif(CASE STREQUAL "unmatched-rules")
  # A rule whose pattern no prompt matches: a warning on the last line.  With
  # --strict, a rule the package shows can never match refuses the answers
  # before the first step (exit 2, nothing installed), and one only the run
  # can judge (a message box) fails the installation, which is rolled back.
  pack()
  file(WRITE "${WORK}/answers.txt"
       "directory step \"LanternDirr\" = type \"C:\\Elsewhere\"\n"
       "user \"Your name\" = type \"Ada\" ok\n")
  velmora(install pkg --machine m --answers answers.txt)
  expect_rc(0)
  string(REGEX REPLACE "\n$" "" trimmed "${OUT}")
  string(REGEX MATCH "[^\n]*$" last "${trimmed}")
  expect_in("${last}" "warning: 1 rule of answers.txt never answered a prompt: line 1")
  set(uninstaller "C/WINDOWS/XLantern Notes 2.1.exe")
  velmora(install pkg --machine before --answers answers.txt --strict)
  expect_rc(2)
  expect_line("${STDERR}" "velmora install: 1 rule of answers\\.txt can answer no prompt of this package: line 1")
  if(EXISTS "${WORK}/before/${uninstaller}" OR EXISTS "${WORK}/before/C/Program Files/Lantern")
    message(FATAL_ERROR "answers refused before the run left something installed")
  endif()
  file(WRITE "${WORK}/answers.txt" "message \"No such box\" = ok\n")
  velmora(install pkg --machine end --answers answers.txt --strict)
  expect_rc(1)
  expect_in("${OUT}" "\"1 rule of answers.txt never answered a prompt: line 1\"")
  if(EXISTS "${WORK}/end/${uninstaller}")
    message(FATAL_ERROR "a strict installation with an unmatched rule was not rolled back")
  endif()
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
