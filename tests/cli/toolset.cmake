# The installed toolset: `cmake --install` of this build into a fresh
# prefix, then the demo packed with the installed velmora, which finds the
# installed SETUP.EXE when the build made one.
# tests-off configures a build tree without the tests and checks that it
# would build the toolset and nothing else.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  foreach(case install tests-off)
    add_test(NAME cli.toolset.${case}
             COMMAND ${CMAKE_COMMAND} -DCASE=${case} -DBUILD=${CMAKE_BINARY_DIR}
                     -DSOURCE=${CMAKE_SOURCE_DIR} -DGENERATOR=${CMAKE_GENERATOR}
                     -DWORK=${CMAKE_CURRENT_BINARY_DIR}/toolset-${case}
                     -P ${CMAKE_CURRENT_LIST_FILE})
  endforeach()
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

if(CASE STREQUAL "tests-off")
  run_in_work(${CMAKE_COMMAND} -S "${SOURCE}" -B tree -G "${GENERATOR}" -DVELMORA_TESTS=OFF
              -DVELMORA_BUILD_SETUP=OFF)
  execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK}/tree" --target help
                  OUTPUT_VARIABLE targets)
  expect_line("${targets}" "velmora: [a-z]+")
  expect_in("${targets}" "/velmora_man_pages: ")
  foreach(absent velmora_tests velmora_bench fuzz_ gtest test:)
    expect_not_in("${targets}" "${absent}")
  endforeach()
  return()
endif()

set(prefix "${WORK}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}${err}")
endif()
set(doc share/doc/velmora)
set(man share/man/man1)
foreach(installed bin/velmora ${doc}/README.md ${doc}/manifest.md ${doc}/setup-command-line.md
                  ${doc}/examples/demo/manifest.toml ${doc}/examples/demo/files/LOGO.BMP
                  ${doc}/copyright ${man}/velmora.1 ${man}/velmora-pack.1 ${man}/velmora-log.1)
  expect_exists("${prefix}/${installed}")
endforeach()
# A page for every command, each with that command's --help; a copyright
# file in the machine-readable format.
file(GLOB pages "${prefix}/${man}/velmora-*.1")
list(LENGTH pages count)
expect_match("${count}" "^(8|9|[1-9][0-9])$")
file(READ "${prefix}/${man}/velmora-extract.1" page)
expect_match("${page}" "^\\.TH \"VELMORA-EXTRACT\" 1 ")
expect_in("${page}" ".SH NAME\nvelmora-extract \\- Write the files a package holds")
expect_in("${page}" "--as-installed")
file(READ "${prefix}/${doc}/copyright" copyright)
expect_match("${copyright}" "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\nUpstream-Name: velmora\n")
expect_in("${copyright}" "\nFiles: *\n")

# The Debian package holds the same, its program stripped.
find_program(dpkg_deb dpkg-deb)
find_program(readelf readelf)
if(dpkg_deb AND readelf)
  get_filename_component(cmake_bin "${CMAKE_COMMAND}" DIRECTORY)
  run_in_work("${cmake_bin}/cpack" --config "${BUILD}/CPackConfig.cmake" -B deb)
  file(GLOB deb "${WORK}/deb/velmora_*.deb")
  execute_process(COMMAND ${dpkg_deb} -c ${deb} OUTPUT_VARIABLE listing)
  foreach(packaged usr/bin/velmora usr/${man}/velmora-extract.1 usr/${doc}/copyright
                   usr/${doc}/examples/demo/manifest.toml)
    expect_in("${listing}" " ./${packaged}\n")
  endforeach()
  run_in_work(${dpkg_deb} -x ${deb} deb/root)
  execute_process(COMMAND ${readelf} -S "${WORK}/deb/root/usr/bin/velmora" OUTPUT_VARIABLE sections)
  expect_in("${sections}" ".text")
  expect_not_in("${sections}" ".symtab")
endif()

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
