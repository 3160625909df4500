# The installed toolset: `cmake --install` of this build into a fresh
# prefix, then the demo packed with the installed velmora, which finds the
# installed SETUP.EXE when the build made one.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  add_test(NAME cli.toolset.install
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${CMAKE_SOURCE_DIR}
                   -DWORK=${CMAKE_CURRENT_BINARY_DIR}/toolset-install
                   -P ${CMAKE_CURRENT_LIST_FILE})
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(prefix "${WORK}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}${err}")
endif()
foreach(installed bin/velmora share/doc/velmora/README.md share/doc/velmora/manifest.md
                  share/doc/velmora/setup-command-line.md)
  if(NOT EXISTS "${prefix}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

set(VELMORA "${prefix}/bin/velmora")
velmora(pack "${SOURCE}/examples/demo/manifest.toml" -o pkg)
if(EXISTS "${prefix}/share/velmora/SETUP.EXE")
  expect_rc(0)
  file(SHA256 "${prefix}/share/velmora/SETUP.EXE" installed)
  file(SHA256 "${WORK}/pkg/SETUP.EXE" beside)
  if(NOT installed STREQUAL beside)
    message(FATAL_ERROR "the medium's SETUP.EXE is not the installed one")
  endif()
  # SETUP.EXE often runs from a downloads folder: Windows takes a library it
  # imports from beside it unless the library is one Windows always loads
  # from its system directory (a known DLL).
  find_program(objdump NAMES i686-w64-mingw32-objdump x86_64-w64-mingw32-objdump objdump)
  if(objdump)
    execute_process(COMMAND ${objdump} -p "${prefix}/share/velmora/SETUP.EXE"
                    OUTPUT_VARIABLE headers RESULT_VARIABLE rc)
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
    if(NOT rc EQUAL 0 OR NOT imports)
      message(FATAL_ERROR "objdump read no imports of SETUP.EXE (${rc})")
    endif()
    foreach(import IN LISTS imports)
      string(REPLACE "DLL Name: " "" library "${import}")
      string(TOLOWER "${library}" library)
      if(NOT library MATCHES "^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|msvcrt|shlwapi)\\.dll$")
        message(FATAL_ERROR "SETUP.EXE imports ${library}, which Windows may take from beside it")
      endif()
    endforeach()
  endif()
else()
  # Built without the MinGW toolchain: the tool says where it looked.
  expect_rc(3)
  expect_in("${OUT}" "${prefix}/share/velmora/SETUP.EXE")
  velmora(pack --no-setup "${SOURCE}/examples/demo/manifest.toml" -o pkg)
  expect_rc(0)
endif()
if(NOT EXISTS "${WORK}/pkg/velmor.1")
  message(FATAL_ERROR "the installed velmora wrote no velmor.1")
endif()
velmora(list pkg)
expect_rc(0)
expect_in("${OUT}" "Lantern Notes 2.1")
