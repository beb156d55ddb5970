#!/usr/bin/env bash
# The Windows morvane.exe under Wine, in place of the Linux program for the
# command-line tests. MORVANE_WINDOWS_APP names the program.
export WINEDEBUG=${WINEDEBUG:--all}
wine=$(command -v wine64 || command -v wine)
exec "$wine" "${MORVANE_WINDOWS_APP:?set MORVANE_WINDOWS_APP to morvane.exe}" "$@"
