#!/bin/sh
# The engine's classes must not depend on each other in a circle. A class is the pair X.h and
# X.cpp; it depends on Y when either of its files has #include "Y.h". tsort finds any loop.
#   include-cycles.sh <engine dir>
set -eu
dir=$1
edges=$(for file in "$dir"/*.h "$dir"/*.cpp; do
    class=$(basename "$file" | sed 's/\.[^.]*$//')
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"/]*\)\.h".*/\1/p' "$file" |
        while read -r used; do
            [ "$used" = "$class" ] || echo "$class $used"
        done
done)
[ -n "$edges" ] || { echo "FAIL: no includes found in $dir" >&2; exit 1; }
if ! loop=$(echo "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
    echo "FAIL: the engine's classes include each other in a circle:" >&2
    echo "$loop" >&2
    exit 1
fi
echo "engine classes: $(echo "$edges" | wc -l) dependencies, no circle"
