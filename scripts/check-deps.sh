#!/usr/bin/env bash
# Checks that the build's tools and libraries are installed. Missing Debian
# packages are named with the command that installs them; with
# MORVANE_AUTO_INSTALL=1 and root rights they are installed right away.
set -u

missing=()
have() { command -v "$1" >/dev/null 2>&1; }
header() { echo '#include <'"$1"'>' | ${CXX:-c++} -x c++ -E - >/dev/null 2>&1; }

have cmake || missing+=(cmake)
have make || missing+=(make)
have c++ || missing+=(g++)
have pkg-config || missing+=(pkg-config)
header gtest/gtest.h || missing+=(libgtest-dev)
header png.h || missing+=(libpng-dev)

# `make fuzz` (MORVANE_FUZZ_DEPS=1): clang and its libFuzzer runtime.
fuzzer_links() {
  local out
  out=$(mktemp -d) || return 1
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o "$out/probe" >/dev/null 2>&1
  local status=$?
  rm -rf "$out"
  return $status
}
if [ "${MORVANE_FUZZ_DEPS:-0}" = 1 ]; then
  if ! have clang++; then
    missing+=(clang libclang-rt-14-dev)
  elif ! fuzzer_links; then
    missing+=(libclang-rt-14-dev)
  fi
fi

# `make windows` (MORVANE_WINDOWS_DEPS=1): the MinGW-w64 cross compiler, in
# its posix thread flavour (the one with std::thread); `make check-windows`
# (MORVANE_WINE_DEPS=1) also Wine to run what it builds.
if [ "${MORVANE_WINDOWS_DEPS:-0}" = 1 ] || [ "${MORVANE_WINE_DEPS:-0}" = 1 ]; then
  have x86_64-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-x86-64-posix)
fi
if [ "${MORVANE_WINE_DEPS:-0}" = 1 ]; then
  have wine64 || have wine || missing+=(wine64)
fi

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "${MORVANE_AUTO_INSTALL:-0}" = 1 ] && [ "$(id -u)" = 0 ] && have apt-get; then
  echo "installing: ${missing[*]}"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  exit $?
fi

echo "missing: ${missing[*]}" >&2
echo "install them with: sudo apt-get install -y ${missing[*]}" >&2
exit 1
