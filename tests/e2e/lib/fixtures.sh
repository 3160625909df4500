# Small Windows programs and libraries from tests/e2e/fixtures, built on
# first use into BUILD/e2e/fixtures (rebuilt when a source is newer), for
# the scenarios that install files.  The helpers print what they built (or
# the fixture's answer); a failure is reported on stderr with status 1.

E2E_MINGW_FLAGS=(-std=c11 -O2 -s -Wall -Wextra -Werror -static)

# e2e_fixture_fresh OUT SOURCE...: status 0 when OUT exists and is newer
# than every SOURCE.
e2e_fixture_fresh() {
  local out=$1 source
  shift
  [ -f "$out" ] || return 1
  for source in "$@"; do [ "$out" -nt "$source" ] || return 1; done
}

e2e_fixture_dir() {
  E2E_FIXTURES=$(dirname "$E2E_ROBOT")/fixtures
  mkdir -p "$E2E_FIXTURES"
}

# e2e_versioned_dll VERSION: prints the path of a library whose VERSIONINFO
# has the file version VERSION ("1,2,3,4").
e2e_versioned_dll() {
  e2e_fixture_dir
  local src=$E2E_HERE/fixtures out=$E2E_FIXTURES/versioned-${1//,/_}.dll
  if ! e2e_fixture_fresh "$out" "$src/versioned.c" "$src/versioned.rc"; then
    i686-w64-mingw32-windres "-DFILE_VERSION=$1" "$src/versioned.rc" -O coff -o "$out.res.o" &&
      i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -shared -Wl,--kill-at -o "$out" \
        "$src/versioned.c" "$out.res.o" || { echo "cannot build $out" >&2; return 1; }
  fi
  printf '%s\n' "$out"
}

# e2e_selfreg_dll: prints the path of the library whose DllRegisterServer
# records its own path in HKLM\Software\Tarnwick\VelmoraE2E\SelfReg.
e2e_selfreg_dll() {
  e2e_fixture_dir
  local out=$E2E_FIXTURES/selfreg.dll
  if ! e2e_fixture_fresh "$out" "$E2E_HERE/fixtures/selfreg.c"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -shared -Wl,--kill-at -o "$out" \
      "$E2E_HERE/fixtures/selfreg.c" || { echo "cannot build $out" >&2; return 1; }
  fi
  printf '%s\n' "$out"
}

# e2e_marker_program [version]: prints the path of the marker program
# (marker.c), which writes "<its path>.ran" when it runs; with "version",
# of the build that also imports the version library.
e2e_marker_program() {
  e2e_fixture_dir
  local out=$E2E_FIXTURES/marker${1:+-$1}.exe extra=()
  [ -z "${1:-}" ] || extra=(-DMARKER_IMPORTS_VERSION)
  if ! e2e_fixture_fresh "$out" "$E2E_HERE/fixtures/marker.c"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -mwindows "${extra[@]}" -o "$out" \
      "$E2E_HERE/fixtures/marker.c" ${1:+-lversion} || { echo "cannot build $out" >&2; return 1; }
  fi
  printf '%s\n' "$out"
}

# e2e_marker_library: prints the path of E2EDEP.DLL, the marker library
# (marker_dll.c), which appends to "<its path>.loaded" whenever a process
# loads it; its import library libe2edep.a lies beside it.
e2e_marker_library() {
  e2e_fixture_dir
  local out=$E2E_FIXTURES/E2EDEP.DLL
  if ! e2e_fixture_fresh "$out" "$E2E_HERE/fixtures/marker_dll.c"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -shared -Wl,--kill-at \
      "-Wl,--out-implib,$E2E_FIXTURES/libe2edep.a" -o "$out" "$E2E_HERE/fixtures/marker_dll.c" ||
      { echo "cannot build $out" >&2; return 1; }
  fi
  printf '%s\n' "$out"
}

# e2e_selfreg_importing_dll: prints the path of the self-registering
# library (selfreg.c) built to import E2EDependency from E2EDEP.DLL.
e2e_selfreg_importing_dll() {
  local marker out
  marker=$(e2e_marker_library) || return 1
  e2e_fixture_dir
  out=$E2E_FIXTURES/selfreg-importing.dll
  if ! e2e_fixture_fresh "$out" "$E2E_HERE/fixtures/selfreg.c" "$marker"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -shared -Wl,--kill-at -DSELFREG_IMPORTS_DEPENDENCY \
      -o "$out" "$E2E_HERE/fixtures/selfreg.c" "$E2E_FIXTURES/libe2edep.a" ||
      { echo "cannot build $out" >&2; return 1; }
  fi
  printf '%s\n' "$out"
}

# e2e_file_info WINDOWS_PATH: "attributes=0xHEX written=SECONDS
# created=SECONDS" as Windows programs see the file, or "missing".
e2e_file_info() {
  e2e_fixture_dir
  local exe=$E2E_FIXTURES/fileinfo.exe line
  if ! e2e_fixture_fresh "$exe" "$E2E_HERE/fixtures/fileinfo.c"; then
    i686-w64-mingw32-gcc "${E2E_MINGW_FLAGS[@]}" -o "$exe" "$E2E_HERE/fixtures/fileinfo.c" ||
      { echo "cannot build $exe" >&2; return 1; }
  fi
  line=$(wine "$exe" "$1" 2>/dev/null | tr -d '\r') || return 1
  printf '%s\n' "${line#"$1 "}"
}
