# Helpers shared by the script-mode CLI tests (install.cmake, extract.cmake).

# Runs velmora with the arguments in WORK; OUT gets stdout and stderr, RC the
# exit code.
function(velmora)
  execute_process(COMMAND "${VELMORA}" ${ARGN} WORKING_DIRECTORY "${WORK}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  set(OUT "${out}${err}" PARENT_SCOPE)
  set(RC "${rc}" PARENT_SCOPE)
endfunction()

function(expect_rc expected)
  if(NOT RC EQUAL expected)
    message(FATAL_ERROR "exit code ${RC}, expected ${expected}; output:\n${OUT}")
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
