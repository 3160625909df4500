# Command-line tests of what velmora says about a command line it refuses,
# and of the sizes `velmora pack` takes.  Included from CMakeLists.txt, this
# file registers one test per case (velmora_script_cases in CMakeLists.txt).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(usage ${CMAKE_CURRENT_LIST_FILE} parse-errors sizes)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

set(demo "${SOURCE}/examples/demo/manifest.toml")

# Every refused command line: exit code 2 and exactly two lines on standard
# error, "COMMAND: what is wrong" and where the options are told.
function(expect_usage_error command what)
  expect_rc(2)
  set(expected "${command}: ${what}\nRun '${command} --help' for the options.\n")
  if(NOT STDERR STREQUAL expected)
    message(FATAL_ERROR "expected on standard error\n${expected}got\n${STDERR}")
  endif()
endfunction()

# Runs velmora with the arguments after the first two and expects it to
# refuse them: exit code 2 and exactly two lines on standard error,
# "COMMAND: what is wrong" and where the options are told.
function(refused command what)
  velmora(${ARGN})
  expect_rc(2)
  set(expected "${command}: ${what}\nRun '${command} --help' for the options.\n")
  if(NOT STDERR STREQUAL expected)
    string(JOIN " " line ${ARGN})
    message(FATAL_ERROR "velmora ${line}: expected on standard error\n${expected}got\n${STDERR}")
  endif()
endfunction()

if(CASE STREQUAL "parse-errors")
  refused("velmora pack" "The following argument was not expected: --bogus"
          pack --bogus m.toml -o out)
  refused("velmora pack" "MANIFEST is required" pack)
  refused("velmora list" "The following argument was not expected: y" list --json x y)
  refused("velmora codec encode" "The following argument was not expected: --bogus"
          codec encode --bogus a b)
  refused("velmora codec encode" "IN is required" codec encode)
  refused("velmora" "A subcommand is required" bogus)
  refused("velmora pack" "--jobs: Value 99 not in range 0 to 64" pack m.toml -o out --jobs 99)
  # --help is no error: the command's options, exit code 0.
  velmora(pack --help)
  expect_rc(0)
  expect_in("${STDOUT}" "--disk-size")
  expect_in("${STDOUT}" "All exit codes: docs/exit-codes.md")

elseif(CASE STREQUAL "sizes")
  # A size with K or M, or floppy, packs as its number of bytes does.
  foreach(size "1.5K=1536" "1.5k=1536" "2K=2048" "0.002M=2097" "floppy=1457664")
    string(REPLACE "=" ";" size "${size}")
    list(GET size 0 written)
    list(GET size 1 bytes)
    velmora(pack --no-setup "${demo}" -o "${written}" --disk-size ${written} --chunk-size 1K)
    expect_rc(0)
    velmora(pack --no-setup "${demo}" -o "bytes-${bytes}" --disk-size ${bytes} --chunk-size 1024)
    expect_rc(0)
    file(GLOB media RELATIVE "${WORK}/bytes-${bytes}" "${WORK}/bytes-${bytes}/velmor.*")
    file(GLOB written_media RELATIVE "${WORK}/${written}" "${WORK}/${written}/velmor.*")
    if(NOT media STREQUAL written_media)
      message(FATAL_ERROR "--disk-size ${written} made ${written_media}, ${bytes} made ${media}")
    endif()
    foreach(file IN LISTS media)
      expect_same_file("${WORK}/${written}/${file}" "${WORK}/bytes-${bytes}/${file}")
    endforeach()
  endforeach()
  # Anything else is refused with what a size is; a size out of range, too.
  foreach(written "1.4X" "1.5" "K" "-1" "1.44MB" "1.M" "1e3")
    refused("velmora pack"
            "--disk-size: '${written}' is not a size (bytes, or a number with K or M, or floppy)"
            pack "${demo}" -o out --disk-size "${written}")
  endforeach()
  refused("velmora pack" "--disk-size: Value 2147483648 not in range 1 to 2147483647"
          pack "${demo}" -o out --disk-size 2048M)
  refused("velmora pack" "--chunk-size: Value 0 not in range 1 to 2147483647"
          pack "${demo}" -o out --chunk-size 0K)
endif()
