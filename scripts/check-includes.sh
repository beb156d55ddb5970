#!/usr/bin/env bash
# Keeps the module and the stand-in host apart, and the host's parts in order:
#
#  1. nothing under host/ or app/ includes a header of the module's folders
#     (module/ cage/ deform/ tool/ command/ geometry/ include/), by its path
#     or by the bare name of a header in include/;
#  2. nothing in the module's folders includes host/ or app/;
#  3. a host part (host/NAME/) includes only its own headers and those of the
#     parts host/CMakeLists.txt lets it use (USES, directly or through them),
#     and never host.h, which sits above every part.
#
# The host is the oracle the module is checked against: the two share the
# SDK headers (sdk/) and nothing else.
#
# Usage: scripts/check-includes.sh [ROOT]   (ROOT defaults to this repository)
# Prints FILE:LINE: why for every offending include; exits 1 if there is one.
set -euo pipefail

root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

module_dirs=(module cage deform tool command geometry include)
failed=0

report() {
    echo "$1: $2" >&2
    failed=1
}

# FILE LINE PATH for every #include in the files given.
includes() {
    [ $# -gt 0 ] || return 0
    grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]+[>"]' "$@" |
        sed -E 's/^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1 \2 \3/'
}

# The included path with leading ./ and ../ taken off: what it names from a
# folder of the repository or of host/.
normalise() {
    local path=$1
    while :; do
        case $path in
        ./*) path=${path#./} ;;
        ../*) path=${path#../} ;;
        *) break ;;
        esac
    done
    echo "$path"
}

sources_in() {
    local dir
    for dir in "$@"; do
        [ -d "$dir" ] && find "$dir" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' \
            -o -name '*.cpp' -o -name '*.inc' \) | sort
    done
    return 0
}

is_module_dir() {
    local d
    for d in "${module_dirs[@]}"; do [ "$1" = "$d" ] && return 0; done
    return 1
}

# 1. The host and the program include nothing of the module.
mapfile -t host_files < <(sources_in host app)
while read -r file line path; do
    path=$(normalise "$path")
    first=${path%%/*}
    if [ "$first" != "$path" ] && is_module_dir "$first"; then
        report "$file:$line" "includes the module's $path; the host shares no code with the module"
    elif [ "$first" = "$path" ] && [ -f "include/$path" ]; then
        report "$file:$line" "includes the module's include/$path; the host shares no code with the module"
    fi
done < <(includes "${host_files[@]}")

# 2. The module includes nothing of the host.
mapfile -t module_files < <(sources_in "${module_dirs[@]}")
while read -r file line path; do
    path=$(normalise "$path")
    case $path in
    host/* | app/*) report "$file:$line" "includes $path; the module knows no host but the SDK" ;;
    esac
done < <(includes "${module_files[@]}")

# 3. Each host part uses only the parts host/CMakeLists.txt gives it.
if [ -f host/CMakeLists.txt ]; then
    declare -A uses=()
    # "NAME DEP..." for every morvane_host_part(NAME USES host_DEP ...), which
    # may run over several lines.
    while read -r name deps; do
        uses[$name]=$deps
    done < <(awk '
        /morvane_host_part\(/ && !/^function/ { text = ""; open = 1 }
        open { text = text " " $0 }
        open && /\)/ {
            open = 0
            sub(/.*morvane_host_part\(/, "", text); sub(/\).*/, "", text)
            n = split(text, word, /[[:space:]]+/); out = ""
            for (i = 1; i <= n; i++) {
                w = word[i]
                if (w == "" || w == "USES") continue
                if (out == "") { out = w; continue }
                if (w ~ /^host_/) { sub(/^host_/, "", w); out = out " " w }
            }
            print out
        }' host/CMakeLists.txt)

    # Every part a part may use, directly or through the parts it uses.
    reachable() {
        local todo=("$1") seen=" $1 " part dep
        while [ ${#todo[@]} -gt 0 ]; do
            part=${todo[0]}
            todo=("${todo[@]:1}")
            for dep in ${uses[$part]-}; do
                case $seen in *" $dep "*) continue ;; esac
                seen="$seen$dep "
                todo+=("$dep")
            done
        done
        echo "$seen"
    }

    for dir in host/*/; do
        part=$(basename "$dir")
        if [ -z "${uses[$part]+set}" ]; then
            report "host/$part" "is not a part in host/CMakeLists.txt (morvane_host_part)"
            continue
        fi
        allowed=$(reachable "$part")
        mapfile -t part_files < <(sources_in "host/$part")
        while read -r file line path; do
            path=$(normalise "$path")
            first=${path%%/*}
            if [ "$path" = "host.h" ]; then
                report "$file:$line" "includes host.h, which is above every part"
            elif [ "$first" != "$path" ] && [ -d "host/$first" ]; then
                case $allowed in
                *" $first "*) ;;
                *) report "$file:$line" "host/$part may not use host/$first (see USES in host/CMakeLists.txt)" ;;
                esac
            fi
        done < <(includes "${part_files[@]}")
    done
fi

if [ "$failed" -ne 0 ]; then
    echo "include check failed" >&2
    exit 1
fi
echo "include check passed"
