#!/usr/bin/env bash
# The include check passes on the tree as it is and fails, naming the file,
# on each kind of include it exists to catch, planted in a copy of the tree.
#
# Usage: check_includes_test.sh SOURCE_DIR
set -uo pipefail

source_dir=$1
check="$source_dir/scripts/check-includes.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
    rm -rf "$work/tree"
    mkdir -p "$work/tree"
    local d
    for d in host app module cage deform tool command geometry include; do
        cp -r "$source_dir/$d" "$work/tree/$d"
    done
}

# NAME FILE LINE EXPECTED: plants LINE at the end of FILE (relative to the
# tree) and expects the check to fail with EXPECTED in its report.
expect_failure() {
    local name=$1 file=$2 line=$3 expected=$4 output status
    fresh_copy
    printf '%s\n' "$line" >>"$work/tree/$file"
    output=$(bash "$check" "$work/tree" 2>&1)
    status=$?
    if [ "$status" -eq 0 ]; then
        echo "FAIL $name: the check passed with '$line' in $file"
        failures=$((failures + 1))
    elif ! grep -qF -- "$expected" <<<"$output"; then
        echo "FAIL $name: the report does not say '$expected':"
        echo "$output"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

fresh_copy
if output=$(bash "$check" "$work/tree" 2>&1); then
    echo "ok   the tree as it is passes"
else
    echo "FAIL the tree as it is does not pass:"
    echo "$output"
    failures=$((failures + 1))
fi

expect_failure "host includes a module folder" host/scene/transform.cpp \
    '#include "geometry/vector.h"' "host/scene/transform.cpp:"
expect_failure "host includes the module's shared records by bare name" app/main.cpp \
    '#include "cage_instance.h"' "app/main.cpp:"
expect_failure "host climbs out of host/ to the module" host/ui/panels.cpp \
    '#include "../../deform/deform_instance.h"' "host/ui/panels.cpp:"
expect_failure "host includes the module with angle brackets" host/mesh/mesh.cpp \
    '#include <tool/tool_state.h>' "host/mesh/mesh.cpp:"
expect_failure "the module includes the host" cage/cage_model.cpp \
    '#include "host/scene/scene.h"' "cage/cage_model.cpp:"
expect_failure "the module climbs out to the host" module/descriptor.cpp \
    '#include "../host/host.h"' "module/descriptor.cpp:"
expect_failure "a host part uses a part above it" host/scene/scene.cpp \
    '#include "plugins/instances.h"' "host/scene may not use host/plugins"
expect_failure "a host part uses a part it does not link" host/ring/ring.cpp \
    '#include "common/host_error.h"' "host/ring may not use host/common"
expect_failure "a host part includes the host on top" host/plugins/instances.cpp \
    '#include "host.h"' "includes host.h"

# A new folder must be declared as a part before anything in it counts.
fresh_copy
mkdir -p "$work/tree/host/stray"
echo '#include "scene/scene.h"' >"$work/tree/host/stray/stray.cpp"
if output=$(bash "$check" "$work/tree" 2>&1) || ! grep -qF "host/stray: is not a part" <<<"$output"; then
    echo "FAIL an undeclared host folder is not reported:"
    echo "$output"
    failures=$((failures + 1))
else
    echo "ok   an undeclared host folder"
fi

[ "$failures" -eq 0 ]
