#!/usr/bin/env bash
# Checks a Windows module file as the host's loader sees it: a 64-bit DLL
# whose only export is _mod_descrip, a descriptor starting with the sync
# word, version 3 and the Windows machine value 0x300, and whose only imports
# are the C runtime and KERNEL32. Usage: check-dll.sh FILE.p [OBJDUMP]
set -u

file=${1:?usage: check-dll.sh FILE.p [OBJDUMP]}
objdump=${2:-x86_64-w64-mingw32-objdump}
[ -f "$file" ] || { echo "$file: no such file" >&2; exit 1; }
dump=$("$objdump" -p "$file" 2>&1) || { echo "$file: $objdump cannot read it: $dump" >&2; exit 1; }

fail=0
complain() { echo "$file: $*" >&2; fail=1; }

characteristics=$(awk '/^Characteristics/ {print $2; exit}' <<<"$dump")
[ -n "$characteristics" ] && (((characteristics & 0x2000) != 0)) || complain "not a DLL"
grep -Eq '^Magic[[:space:]]+020b' <<<"$dump" || complain "not a 64-bit (PE32+) file"

# The export table lists "[ordinal] name" lines under "[Ordinal/Name Pointer] Table".
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
               on && /^[[:space:]]*\[[[:space:]]*[0-9]+\]/ {print $NF; next}
               on && NF == 0 {on = 0}' <<<"$dump")
[ "$exports" = "_mod_descrip" ] ||
  complain "exports must be _mod_descrip alone, found: $(echo $exports)"

# The descriptor's first three words, read at the export's address.
rva=$(awk '/Export RVA/ {print $(NF - 2); exit}' <<<"$dump")
base=$(awk '/^ImageBase/ {print $2; exit}' <<<"$dump")
if [ "$exports" = "_mod_descrip" ] && [ -n "$rva" ] && [ -n "$base" ]; then
  start=$((0x$base + 0x$rva))
  bytes=$("$objdump" -s --start-address=$start --stop-address=$((start + 12)) "$file" |
    awk '/^ [0-9a-f]+ / {for (i = 2; i <= 4 && i <= NF; ++i) if ($i ~ /^[0-9a-f]+$/) printf "%s", $i}')
  word() { local w=${bytes:$(($1 * 8)):8}; echo "0x${w:6:2}${w:4:2}${w:2:2}${w:0:2}"; }
  [ "$(word 0)" = 0x04121994 ] || complain "descriptor sync word is $(word 0), not 0x04121994"
  [ "$(word 1)" = 0x00000003 ] || complain "descriptor version is $(word 1), not 3"
  [ "$(word 2)" = 0x00000300 ] || complain "descriptor machine is $(word 2), not 0x300 (Windows)"
fi

# Imported DLLs: msvcrt.dll or the Universal C runtime (ucrtbase.dll and its
# api-ms-win-crt-* forwarders) and KERNEL32.dll; nothing else.
imports=$(awk '/DLL Name:/ {print $3}' <<<"$dump")
[ -n "$imports" ] || complain "imports no DLL at all (is this a module file?)"
for dll in $imports; do
  case "${dll,,}" in
    kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll) ;;
    *) complain "imports $dll (only the C runtime and KERNEL32 are allowed)" ;;
  esac
done

[ $fail = 0 ] && echo "$file: exports _mod_descrip only; imports $(echo $imports)"
exit $fail
