#!/usr/bin/env bash
# check-dll.sh passes a sound module file and fails, saying why, on each fault
# it exists to catch, planted in a small module built with the cross compiler.
#
# Usage: check_dll_test.sh SOURCE_DIR
set -uo pipefail

source_dir=$1
check="$source_dir/tests/windows/check-dll.sh"
cc=$(command -v x86_64-w64-mingw32-gcc-posix || command -v x86_64-w64-mingw32-gcc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# NAME EXPECTED FLAGS...: builds the planted module with FLAGS; EXPECTED ""
# means the check must pass, else fail with EXPECTED in its report.
expect() {
    local name=$1 expected=$2 output status
    shift 2
    if ! "$cc" -shared -O1 -I"$source_dir/sdk" "$@" "$source_dir/tests/windows/planted.c" \
        -o "$work/$name.p" 2>"$work/cc.log"; then
        echo "FAIL $name: the planted module does not build:"; cat "$work/cc.log"
        failures=$((failures + 1)); return
    fi
    output=$(bash "$check" "$work/$name.p" 2>&1)
    status=$?
    if [ -z "$expected" ] && [ $status -ne 0 ]; then
        echo "FAIL $name: the check refused a sound module:"; echo "$output"
        failures=$((failures + 1))
    elif [ -n "$expected" ] && [ $status -eq 0 ]; then
        echo "FAIL $name: the check passed"; failures=$((failures + 1))
    elif [ -n "$expected" ] && ! grep -qF -- "$expected" <<<"$output"; then
        echo "FAIL $name: the report does not say '$expected':"; echo "$output"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

expect sound "" -D_MSWIN
expect second_export "found: _mod_descrip morvaneLeak" -D_MSWIN -DPLANT_EXPORT
expect user32 "imports USER32.dll" -D_MSWIN -DPLANT_USER32 -luser32
expect unix_machine "machine is 0x00000200" -D_XGL
expect mac_machine "machine is 0x00000400" -D_MACOS

# Not a Windows file at all: the Linux shared object of the same source.
printf 'int x;\n' | cc -shared -fPIC -x c - -o "$work/linux.p"
if bash "$check" "$work/linux.p" >/dev/null 2>&1; then
    echo "FAIL linux_file: the check passed"; failures=$((failures + 1))
else
    echo "ok   linux_file"
fi

[ $failures -eq 0 ]
