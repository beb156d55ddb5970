#!/usr/bin/env bash
# Compares the OBJ files of two output folders (the Linux and the Windows
# run of one scene): the same files, the same lines, and numbers on vertex
# lines equal to TOL relative (absolute below magnitude 1). Prints the largest
# difference and how many coordinates are not bit-equal in their text.
# Usage: compare-obj.sh DIR_A DIR_B [TOL]
set -u

a=${1:?usage: compare-obj.sh DIR_A DIR_B [TOL]}
b=${2:?usage: compare-obj.sh DIR_A DIR_B [TOL]}
tol=${3:-1e-6}

files_a=$(cd "$a" && ls -- *.obj 2>/dev/null)
files_b=$(cd "$b" && ls -- *.obj 2>/dev/null)
[ -n "$files_a" ] || { echo "$a: no OBJ files" >&2; exit 1; }
[ "$files_a" = "$files_b" ] || { echo "the folders hold different OBJ files" >&2; exit 1; }

for f in $files_a; do
  paste -d '\n' "$a/$f" "$b/$f" | awk -v file="$f" -v tol="$tol" '
    NR % 2 == 1 { left = $0; next }
    { line = NR / 2; lines++ }
    left == $0 { if ($1 == "v") same += 3; next }
    {
      n = split(left, x, " "); m = split($0, y, " ")
      if (x[1] != "v" || y[1] != "v" || n != m) {
        printf "%s:%d: lines differ:\n  %s\n  %s\n", file, line, left, $0; bad = 1; exit
      }
      for (i = 2; i <= n; ++i) {
        d = x[i] - y[i]; d = d < 0 ? -d : d
        s = x[i] < 0 ? -x[i] : x[i]; t = y[i] < 0 ? -y[i] : y[i]
        scale = s > t ? s : t; scale = scale > 1 ? scale : 1
        if (d / scale > worst) { worst = d / scale; where = file ":" line }
        if (x[i] "" == y[i] "") same++; else differ++
        if (d > tol * scale) {
          printf "%s:%d: %s and %s differ by %g\n", file, line, x[i], y[i], d; bad = 1
        }
      }
    }
    END { printf "%s %d %d %.3g %s %d\n", "STAT", same, differ, worst, (where == "" ? "-" : where), bad }'
done | awk '
  /^STAT/ { same += $2; differ += $3; if ($4 > worst) { worst = $4; where = $5 }
            bad += $6; next }
  { print; bad++ }
  END {
    printf "OBJ coordinates: %d equal in every digit, %d differ; largest relative difference %.3g%s\n",
      same, differ, worst, (worst > 0 ? " (" where ")" : "")
    exit bad > 0
  }'
