# Helpers shared by the script-mode CLI tests.

# Runs velmora with the arguments in DIR; STDOUT and STDERR get what it
# wrote there, OUT both (stdout first), RC the exit code.  VELMORA may be a
# command with arguments (a list).
function(velmora_in dir)
  execute_process(COMMAND ${VELMORA} ${ARGN} WORKING_DIRECTORY "${dir}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  set(STDOUT "${out}" PARENT_SCOPE)
  set(STDERR "${err}" PARENT_SCOPE)
  set(OUT "${out}${err}" PARENT_SCOPE)
  set(RC "${rc}" PARENT_SCOPE)
endfunction()

# Runs velmora with the arguments in WORK, as velmora_in does.
function(velmora)
  velmora_in("${WORK}" ${ARGN})
  foreach(result STDOUT STDERR OUT RC)
    set(${result} "${${result}}" PARENT_SCOPE)
  endforeach()
endfunction()

function(expect_rc expected)
  if(NOT RC EQUAL expected)
    message(FATAL_ERROR "exit code ${RC}, expected ${expected}; output:\n${OUT}")
  endif()
endfunction()

# The run failed, with whatever exit code.
function(expect_failure)
  if(RC EQUAL 0)
    message(FATAL_ERROR "exit code 0, expected a failure; output:\n${OUT}")
  endif()
endfunction()

function(expect_in text needle)
  string(FIND "${text}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected to find\n  ${needle}\nin\n${text}")
  endif()
endfunction()

function(expect_not_in text needle)
  string(FIND "${text}" "${needle}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "did not expect\n  ${needle}\nin\n${text}")
  endif()
endfunction()

# Some line of the text matches the regular expression as a whole (a "."
# of CMake's expressions matches a line end too: use [^\n] within a line).
function(expect_line text regex)
  string(REGEX MATCH "(^|\n)${regex}(\n|$)" found "${text}")
  if(found STREQUAL "")
    message(FATAL_ERROR "expected a line matching\n  ${regex}\nin\n${text}")
  endif()
endfunction()

function(expect_match text regex)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "expected a match of\n  ${regex}\nin\n${text}")
  endif()
endfunction()

function(expect_valid_json text)
  string(JSON type ERROR_VARIABLE error TYPE "${text}")
  if(error)
    message(FATAL_ERROR "not valid JSON (${error}):\n${text}")
  endif()
endfunction()

function(expect_same_file a b)
  file(SHA256 "${a}" ha)
  file(SHA256 "${b}" hb)
  if(NOT ha STREQUAL hb)
    message(FATAL_ERROR "${a} and ${b} differ")
  endif()
endfunction()

function(expect_exists path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${path} does not exist")
  endif()
endfunction()

function(expect_missing path)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(FATAL_ERROR "${path} exists")
  endif()
endfunction()

# No staging folder of a pack is left in WORK.
function(expect_no_staging)
  file(GLOB left LIST_DIRECTORIES true "${WORK}/*packing*")
  if(left)
    message(FATAL_ERROR "staging folder left behind: ${left}")
  endif()
endfunction()

# Runs a helper program (head, dd, ...) in WORK; fails the test when it fails.
function(run_in_work)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc
                  ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${rc}): ${err}")
  endif()
endfunction()
