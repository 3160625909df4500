# Command-line tests of `velmora extract`.  Included from CMakeLists.txt, this
# file registers one test per case (velmora_script_cases in CMakeLists.txt).
if(NOT CMAKE_SCRIPT_MODE_FILE)
  velmora_script_cases(extract ${CMAKE_CURRENT_LIST_FILE} demo as-installed test-only hostile-names
                     corrupt usage)
  return()
endif()

cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
include(${CMAKE_CURRENT_LIST_DIR}/cli_expect.cmake)

set(demo "${SOURCE}/examples/demo")

if(CASE STREQUAL "demo")
  velmora(pack --no-setup "${demo}/manifest.toml" -o pkg)
  expect_rc(0)
  velmora(extract pkg -o out)
  expect_rc(0)
  expect_in("${OUT}" "Extracted 6 files")
  expect_same_file("${WORK}/out/LanternDir/README.TXT" "${demo}/files/README.TXT")
  expect_same_file("${WORK}/out/LanternDir/LOGO.BMP" "${demo}/files/LOGO.BMP")
  expect_same_file("${WORK}/out/_Windows_/LANTERN.INI" "${demo}/files/LANTERN.INI")
  expect_same_file("${WORK}/out/background/LOGO.BMP" "${demo}/files/LOGO.BMP")
  expect_same_file("${WORK}/out/display/LICENSE.TXT" "${demo}/files/LICENSE.TXT")
  # The stored modification time, 1996-08-01T10:00:00Z.
  file(TIMESTAMP "${WORK}/out/LanternDir/README.TXT" stamp "%Y-%m-%dT%H:%M:%S" UTC)
  if(NOT stamp STREQUAL "1996-08-01T10:00:00")
    message(FATAL_ERROR "README.TXT dated ${stamp}")
  endif()
elseif(CASE STREQUAL "as-installed")
  # The files below OUTDIR are exactly those expected.
  function(expect_tree dir)
    file(GLOB_RECURSE files RELATIVE "${WORK}/${dir}" "${WORK}/${dir}/*")
    list(SORT files)
    if(NOT files STREQUAL ARGN)
      message(FATAL_ERROR "tree of ${dir}:\n  ${files}\nexpected\n  ${ARGN}")
    endif()
  endfunction()
  velmora(pack --no-setup "${demo}/manifest.toml" -o pkg)
  velmora(extract pkg -o out --as-installed)
  expect_rc(0)
  expect_tree(out "C/Program Files/Lantern/LOGO.BMP" "C/Program Files/Lantern/README.TXT"
              "C/WINDOWS/LANTERN.INI")
  expect_same_file("${WORK}/out/C/Program Files/Lantern/README.TXT" "${demo}/files/README.TXT")
  # Prefixes, the system directory, names with folders and a shared file at
  # its recommended location; then a default that is no drive path.
  file(WRITE "${WORK}/a.txt" "a")
  set(file "class = 'file', source = 'a.txt'")
  file(WRITE "${WORK}/layout.toml" "title = 'Layout'
step = [
  { class = 'directory', name = 'App', question = '?', prefix = '<Windows>', default = 'TOOLS' },
  { class = 'directory', name = 'Data', question = '?', prefix = 'App', default = 'DATA' },
  { ${file}, name = 'BIN\\TOOL.EXE', directory = 'App' },
  { ${file}, name = 'D.DAT', directory = 'Data' },
  { ${file}, name = 'S.DLL', directory = '<Windows system>' },
  { ${file}, name = 'SHARED.DLL', directory = 'App', shared = true, use_recommended = true },
]
")
  velmora(pack --no-setup layout.toml -o lpkg)
  velmora(extract lpkg -o lout --as-installed)
  expect_rc(0)
  expect_tree(lout "C/WINDOWS/SYSTEM/S.DLL" "C/WINDOWS/SYSTEM/SHARED.DLL"
              "C/WINDOWS/TOOLS/BIN/TOOL.EXE" "C/WINDOWS/TOOLS/DATA/D.DAT")
  file(READ "${WORK}/layout.toml" manifest)
  string(REPLACE "'<Windows>'" "'<None>'" manifest "${manifest}")
  file(WRITE "${WORK}/relative.toml" "${manifest}")
  velmora(pack --no-setup relative.toml -o rpkg)
  velmora(extract rpkg -o rout --as-installed)
  expect_rc(1)
  expect_in("${OUT}" "directory step \"App\": its default path \"TOOLS\" is not an absolute path")
  expect_tree(rout)
elseif(CASE STREQUAL "test-only")
  velmora(pack --no-setup "${demo}/manifest.toml" -o pkg)
  expect_rc(0)
  velmora(extract pkg --test)
  expect_rc(0)
  expect_in("${OUT}" "Tested 6 files")
  expect_in("${OUT}" "all OK")
  if(EXISTS "${WORK}/out")
    message(FATAL_ERROR "--test wrote files")
  endif()
elseif(CASE STREQUAL "hostile-names")
  # A file step names its file below the target directory: pack refuses a
  # name that would leave it.  The names of texts and pictures only label
  # them, and extract keeps whatever they hold inside the output folder.
  file(WRITE "${WORK}/evil.txt" "payload")
  file(WRITE "${WORK}/escape.toml" "title = \"Evil\"
[[step]]
class = \"file\"
source = \"evil.txt\"
name = '..\\..\\..\\escaped.txt'
directory = \"<Windows>\"
")
  velmora(pack --no-setup escape.toml -o refused)
  expect_rc(1)
  expect_in("${OUT}" "The file name has the component '..'")
  file(WRITE "${WORK}/evil.toml" "title = \"Evil\"
[[step]]
class = \"agreement\"
source = \"evil.txt\"
name = '..\\..\\..\\escaped.txt'
[[step]]
class = \"readme\"
source = \"evil.txt\"
name = 'C:\\AUTOEXEC.BAT'
[[step]]
class = \"background\"
source = \"evil.txt\"
name = 'con.txt'
")
  velmora(pack --no-setup evil.toml -o pkg)
  expect_rc(0)
  file(MAKE_DIRECTORY "${WORK}/deep/er")
  velmora(extract pkg -o deep/er/out)
  expect_rc(0)
  expect_in("${OUT}" "warning")
  foreach(outside "${WORK}/escaped.txt" "${WORK}/deep/escaped.txt" "${WORK}/deep/er/escaped.txt"
                  "/AUTOEXEC.BAT")
    if(EXISTS "${outside}")
      message(FATAL_ERROR "wrote outside the output folder: ${outside}")
    endif()
  endforeach()
  expect_same_file("${WORK}/deep/er/out/display/escaped.txt" "${WORK}/evil.txt")
  expect_same_file("${WORK}/deep/er/out/display/AUTOEXEC.BAT" "${WORK}/evil.txt")
  expect_same_file("${WORK}/deep/er/out/background/_con.txt" "${WORK}/evil.txt")
  # A symbolic link inside the output folder is not followed.
  file(REMOVE_RECURSE "${WORK}/deep/er/out")
  file(MAKE_DIRECTORY "${WORK}/deep/er/out" "${WORK}/elsewhere")
  file(CREATE_LINK "${WORK}/elsewhere" "${WORK}/deep/er/out/display" SYMBOLIC)
  velmora(extract pkg -o deep/er/out)
  expect_rc(3)
  expect_in("${OUT}" "symbolic link")
  file(GLOB written "${WORK}/elsewhere/*")
  if(written)
    message(FATAL_ERROR "wrote through a link: ${written}")
  endif()
elseif(CASE STREQUAL "corrupt")
  velmora(pack --no-setup "${demo}/manifest.toml" -o pkg)
  expect_rc(0)
  # Cut velmor.1 short inside the payloads: the first payload that reaches
  # past the cut is named, with the media file and the offset.
  file(SIZE "${WORK}/pkg/velmor.1" size)
  math(EXPR keep "${size} - 40")
  file(MAKE_DIRECTORY "${WORK}/cut")
  execute_process(COMMAND head -c ${keep} "${WORK}/pkg/velmor.1" OUTPUT_FILE "${WORK}/cut/velmor.1")
  velmora(extract cut --test)
  expect_rc(1)
  expect_in("${OUT}" "corrupt: velmor.1 at ")
  expect_in("${OUT}" "step ")
  velmora(extract missing -o out)
  expect_rc(3)
elseif(CASE STREQUAL "usage")
  velmora(extract)
  expect_rc(2)
  velmora(pack --no-setup "${demo}/manifest.toml" -o pkg)
  velmora(extract pkg)
  expect_rc(2)
  expect_in("${OUT}" "-o OUTDIR")
endif()
