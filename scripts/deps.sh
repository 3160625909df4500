#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need.  Safe to run
# again: when everything is present it only checks.
# Usage: scripts/deps.sh [host|all|bench|fuzz]
#   host  what the host build needs (the velmora tool, host tests, the demo;
#         osslsigncode and openssl sign a single-file SETUP.EXE in the tests)
#   all   also the static checks (clang-tidy, clang-format), the Windows
#         build and its tests under Wine (the default)
#   bench all of that and what tests/bench/wine_install_bench.sh compares
#         with and measures by (makensis, GNU time, strace)
set -euo pipefail

host_packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev zlib1g-dev
  libtomlplusplus-dev libcli11-dev
  osslsigncode openssl
)
# scripts/tidy and scripts/format (clang-format 14, Debian 12's).
static_packages=(clang-tidy clang-format)
# The Windows build and its tests under Wine: ImageMagick takes and reads
# the end-to-end screenshots, acl lets the unprivileged user that runs the
# unit tests read the source tree's test data (scripts/wine-tests.sh).
windows_packages=(
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 wine64 fonts-wine xvfb xauth
  imagemagick acl
)
bench_packages=(nsis time strace)
fuzz_packages=(clang libclang-rt-14-dev)

case "${1:-all}" in
  host) packages=("${host_packages[@]}") ;;
  all) packages=("${host_packages[@]}" "${static_packages[@]}" "${windows_packages[@]}") ;;
  bench) packages=("${host_packages[@]}" "${static_packages[@]}" "${windows_packages[@]}"
    "${bench_packages[@]}") ;;
  fuzz) packages=("${host_packages[@]}" "${fuzz_packages[@]}") ;;
  *) echo "usage: scripts/deps.sh [host|all|bench|fuzz]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "deps: missing packages: ${missing[*]}" >&2
  echo "deps: run as root (or install them) and try again" >&2
  exit 1
fi
echo "deps: installing ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${packages[@]}"
