#!/usr/bin/env bash
# The Windows build's end-to-end checks under Wine: the demo's OBJ files
# against the Linux build's, then the command-line tests with the Windows
# program in place of the Linux one.
#
# Usage: check-windows.sh LINUX_BUILD WINDOWS_BUILD
set -uo pipefail

linux=${1:?usage: check-windows.sh LINUX_BUILD WINDOWS_BUILD}
windows=${2:?usage: check-windows.sh LINUX_BUILD WINDOWS_BUILD}
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || command -v wine) || { echo "Wine is not installed" >&2; exit 1; }

# A Wine prefix of the build's own, kept running for the many short runs.
export WINEPREFIX=${WINEPREFIX:-$(cd "$windows" && pwd)/wine-prefix}
export WINEDEBUG=-all
# Wine's own services start with the first program and would hold on to its
# output; they start here, with none.
wineserver -p >/dev/null 2>&1
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
trap 'wineserver -k >/dev/null 2>&1' EXIT

failures=0

echo "== info: the Windows module through LoadLibrary, as the Linux one through dlopen"
expected=$("$linux/morvane" info "$linux/morvane.p" | sed '1s/machine 0x200$/machine 0x300/')
actual=$("$wine" "$windows/morvane.exe" info "$windows/morvane.p" 2>&1)
if [ "$actual" = "$expected" ]; then
  echo "same servers; machine 0x300"
else
  echo "morvane.exe info differs:"; diff <(echo "$expected") <(echo "$actual")
  failures=$((failures + 1))
fi

echo "== demo: Linux and Windows (Wine) OBJ files"
rm -rf "$windows/demo-linux" "$windows/demo-windows"
if "$linux/morvane" demo --out "$windows/demo-linux" >"$windows/demo-linux.log" 2>&1 &&
   "$wine" "$windows/morvane.exe" demo --out "$windows/demo-windows" >"$windows/demo-windows.log" 2>&1; then
  "$here/compare-obj.sh" "$windows/demo-linux" "$windows/demo-windows" 1e-6 || failures=$((failures + 1))
  tail -n 1 "$windows/demo-windows.log"
else
  echo "a demo run failed:"; tail -n 3 "$windows/demo-linux.log" "$windows/demo-windows.log"
  failures=$((failures + 1))
fi

# Left out: tests that load the Linux build's fixture modules or name the
# Linux module file (a Windows program cannot load either). Wine maps the
# root to drive Z:, from which the program names files in its messages.
excluded="MorvaneInfo.PrintsDescriptorAndServers:MorvaneInfo.RefusedModulesGiveOneLineNamingTheFile"
echo "== command-line tests with morvane.exe under Wine (left out: $excluded)"
MORVANE_APP="$here/wine-morvane.sh" MORVANE_WINDOWS_APP="$windows/morvane.exe" MORVANE_APP_DRIVE=Z: \
  "$linux/tests/test_cli" --gtest_brief=1 --gtest_filter="-$excluded" || failures=$((failures + 1))

[ $failures -eq 0 ] && echo "check-windows passed"
exit $failures
