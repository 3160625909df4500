# Command-line tests of pack --single-file: one SETUP.EXE that carries its
# package, read back by list and extract, before and after it is signed
# with osslsigncode (skipped when osslsigncode or openssl is missing).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(single_file ${CMAKE_CURRENT_LIST_FILE} packed signed)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

set(demo "${SOURCE}/examples/demo")

# A minimal PE32 program (headers and one 512-byte section), which signing
# accepts: the SETUP.EXE the packages carry here.
run_in_work(sh -c "head -c 1024 /dev/zero > tiny.exe && printf 'MZ' | dd of=tiny.exe conv=notrunc status=none && printf '\\100' | dd of=tiny.exe bs=1 seek=60 conv=notrunc status=none && printf 'PE\\0\\0L\\1\\1\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\340\\0\\2\\1\\13\\1\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\20\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0@\\0\\0\\20\\0\\0\\0\\2\\0\\0\\4\\0\\0\\0\\0\\0\\0\\0\\4\\0\\0\\0\\0\\0\\0\\0\\0 \\0\\0\\0\\2\\0\\0\\0\\0\\0\\0\\2\\0\\0\\0\\0\\0\\20\\0\\0\\20\\0\\0\\0\\0\\20\\0\\0\\20\\0\\0\\0\\0\\0\\0\\20\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0.text\\0\\0\\0\\20\\0\\0\\0\\0\\20\\0\\0\\0\\2\\0\\0\\0\\2\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0 \\0\\0\\140' | dd of=tiny.exe bs=1 seek=64 conv=notrunc status=none && printf '\\303' | dd of=tiny.exe bs=1 seek=512 conv=notrunc status=none")

# list and extract --test read the package inside PROGRAM.
function(expect_readable program)
  velmora(list "${program}" --verify)
  expect_rc(0)
  expect_in("${STDOUT}" "Lantern Notes 2.1")
  velmora(extract "${program}" --test)
  expect_rc(0)
  expect_in("${OUT}" "Tested 6 files")
endfunction()

velmora(pack --setup tiny.exe --single-file --disk-size 6000 "${demo}/manifest.toml" -o out)
expect_rc(0)
expect_in("${STDOUT}" "(tiny.exe with the files below appended)")
file(GLOB left RELATIVE "${WORK}/out" "${WORK}/out/*")
if(NOT left STREQUAL "SETUP.EXE")
  message(FATAL_ERROR "pack --single-file left ${left}")
endif()

if(CASE STREQUAL "packed")
  expect_readable(out/SETUP.EXE)
  # The program comes first, unchanged.
  run_in_work(head -c 1024 out/SETUP.EXE OUTPUT_FILE head.exe)
  expect_same_file("${WORK}/head.exe" "${WORK}/tiny.exe")
  velmora(list tiny.exe)
  expect_rc(1)
  expect_in("${STDERR}" "neither a folder nor a setup program with a package appended to it")
  file(SIZE "${WORK}/out/SETUP.EXE" size)
  math(EXPR at "${size} - 20")
  run_in_work(sh -c "printf X | dd of=out/SETUP.EXE bs=1 seek=${at} conv=notrunc status=none")
  velmora(extract out/SETUP.EXE --test)
  expect_rc(1)
  expect_in("${STDERR}" "the package appended to the program cannot be read: its trailer is damaged")
  velmora(pack --no-setup --single-file "${demo}/manifest.toml" -o refused)
  expect_rc(2)

elseif(CASE STREQUAL "signed")
  find_program(OSSLSIGNCODE osslsigncode)
  find_program(OPENSSL openssl)
  if(NOT OSSLSIGNCODE OR NOT OPENSSL)
    message(STATUS "SKIPPED: osslsigncode or openssl is missing (scripts/deps.sh host installs them)")
    return()
  endif()
  run_in_work(${OPENSSL} req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem
              -days 2 -subj "/CN=Velmora test")
  run_in_work(${OSSLSIGNCODE} sign -certs cert.pem -key key.pem -in out/SETUP.EXE
              -out SETUP-signed.EXE)
  run_in_work(${OSSLSIGNCODE} verify -CAfile cert.pem SETUP-signed.EXE)
  expect_readable(SETUP-signed.EXE)
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
