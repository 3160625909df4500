# Command-line tests of `velmora log`.  Included from CMakeLists.txt, this
# file registers one test per case (velmora_script_cases in CMakeLists.txt).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(log ${CMAKE_CURRENT_LIST_FILE} text json damaged not-a-log unreadable usage
                       installed)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

set(logs "${SOURCE}/tests/data/logs")

if(CASE STREQUAL "text")
  velmora(log "${logs}/002.VMU")
  expect_rc(0)
  foreach(line "Title:   \"Demo\"" "Entries: 3" "Entry 1: CStepFileCopy, version 7"
               "Entry 2: CStepPMG, version 7" "NAME  File Name                 \"readme.txt\""
               "USRE  Use recommended location  yes" "      Created by install        no"
               "      Target directory          \"C:\\Demo\\\"")
    expect_in("${OUT}" "${line}")
  endforeach()

elseif(CASE STREQUAL "json")
  velmora(log "${logs}/003.VMU" --json)
  expect_rc(0)
  set(got "")
  foreach(path "count" "entries;0;class" "entries;0;version" "entries;4;fields;SHRD"
               "entries;6;fields;target_directory")
    string(JSON value GET "${OUT}" ${path})
    string(APPEND got "${value} ")
  endforeach()
  string(JSON type TYPE "${OUT}" entries 0 fields ICON)
  if(NOT "${got}${type}" STREQUAL "7 CStepFileCopy 1 ON C:\\Demo\\ BOOLEAN")
    message(FATAL_ERROR "unexpected values '${got}${type}' in\n${OUT}")
  endif()

elseif(CASE STREQUAL "damaged")
  velmora(log "${logs}/006.VMU")
  expect_rc(4)
  expect_in("${OUT}" "unsupported: ${logs}/006.VMU at 18: entry 1 of 1 (CStepPMG): stored version 8 is newer than 7")
  velmora(log "${logs}/007.VMU" --json)
  expect_rc(1)
  expect_in("${OUT}" "corrupt: ${logs}/007.VMU at 0: header: invalid string length prefix")
  # 002 cut inside its third entry, which starts at offset 97.
  execute_process(COMMAND head -c 150 "${logs}/002.VMU" OUTPUT_FILE "${WORK}/cut.VMU")
  velmora(log cut.VMU --json)
  expect_rc(1)
  expect_in("${OUT}" "corrupt: cut.VMU at 150: entry 3 of 3 (CStepFileCopy): the log ends")
  expect_not_in("${OUT}" "\"entries\"")

elseif(CASE STREQUAL "not-a-log")
  # Files that do not start as a log are named as such, not as damaged logs.
  file(WRITE "${WORK}/empty.VMU" "")
  # An empty title and an entry count of 0, then bytes that are no additions.
  execute_process(COMMAND head -c 5 /dev/zero OUTPUT_FILE "${WORK}/zero.VMU")
  file(APPEND "${WORK}/zero.VMU" "not additions")
  velmora(pack --no-setup "${SOURCE}/examples/demo/manifest.toml" -o pkg)
  expect_rc(0)
  foreach(pair "${SOURCE}/README.md|a product title, an entry count and a step class name"
               "empty.VMU|it is empty" "zero.VMU|announces no entries"
               "pkg/velmor.1|it does not start with a product title")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 input)
    list(GET pair 1 reason)
    velmora(log "${input}")
    expect_rc(1)
    expect_line("${OUT}" "velmora log: ${input}: not an uninstall log \\([^\n]*${reason}[^\n]*\\)")
  endforeach()

elseif(CASE STREQUAL "unreadable")
  velmora(log missing.VMU)
  expect_rc(3)
  expect_in("${OUT}" "missing.VMU: cannot read: no such file")
  velmora(log "${logs}")
  expect_rc(3)
  expect_in("${OUT}" "is a folder")

elseif(CASE STREQUAL "usage")
  velmora(log)
  expect_rc(2)
  velmora(log "${logs}/001.VMU" --bogus)
  expect_rc(2)
  velmora(log --help)
  expect_rc(0)
  expect_in("${OUT}" "Exit codes: 0 the log was read, 1 the log is damaged")

elseif(CASE STREQUAL "installed")
  # The log an installation of the demo leaves beside its uninstaller.
  velmora(pack --no-setup "${SOURCE}/examples/demo/manifest.toml" -o pkg)
  expect_rc(0)
  velmora(install pkg --machine m --answers "${SOURCE}/examples/demo/answers.txt")
  expect_rc(0)
  set(log "m/C/WINDOWS/XLantern Notes 2.1.VMU")
  if(NOT EXISTS "${WORK}/${log}")
    message(FATAL_ERROR "no uninstall log in the Windows directory")
  endif()
  velmora(log "${log}")
  expect_rc(0)
  expect_in("${OUT}" "Title:   \"Lantern Notes 2.1\"")
  expect_in("${OUT}" ": CStepPMG, version 7\n    NAME  Name                      \"Lantern Notes\"")
  expect_in("${OUT}" ": CStepFileCopy, version 7\n    NAME  File Name                 \"README.TXT\"")
  expect_in("${OUT}" "Target directory          \"C:\\WINDOWS\\\"")

else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
