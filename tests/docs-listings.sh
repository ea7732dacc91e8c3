#!/bin/sh
# Every listing in the guides is a piece of a real file: a line
#   <!-- listing: examples/cave/cave.cpp world -->
# before a fenced block says that the block is the lines between "// [world]" and
# "// [world end]" in that file (without the marker lines and their indentation's common part).
#   docs-listings.sh <source dir>
set -eu
src=$1
status=0
checked=0
for doc in "$src"/docs/*.md; do
    grep -n '^<!-- listing: ' "$doc" | while IFS=: read -r line rest; do
        file=$(echo "$rest" | sed 's/^ *<!-- listing: \([^ ]*\) \([^ ]*\) -->.*/\1/')
        name=$(echo "$rest" | sed 's/^ *<!-- listing: \([^ ]*\) \([^ ]*\) -->.*/\2/')
        # The fenced block after the marker line.
        shown=$(tail -n +"$((line + 1))" "$doc" | awk 'NR == 1 && /^```/ { inside = 1; next } inside && /^```/ { exit } inside')
        # The marked lines, their common indentation taken off.
        real=$(sed -n "/\/\/ \[$name\]\$/,/\/\/ \[$name end\]\$/p" "$src/$file" | sed '1d;$d' |
            awk '{ lines[NR] = $0; if ($0 ~ /[^ ]/) { match($0, /^ */); if (min == "" || RLENGTH < min) min = RLENGTH } }
                 END { for (i = 1; i <= NR; i++) print substr(lines[i], min + 1) }')
        if [ -z "$real" ] || [ "$shown" != "$real" ]; then
            echo "FAIL: $(basename "$doc") line $line: the listing differs from $file [$name]" >&2
            printf '%s\n' "$real" >"${TMPDIR:-/tmp}/listing-real.$$"
            printf '%s\n' "$shown" | diff -u - "${TMPDIR:-/tmp}/listing-real.$$" >&2 || true
            rm -f "${TMPDIR:-/tmp}/listing-real.$$"
            exit 1
        fi
        echo "$(basename "$doc"): $file [$name] matches"
    done || status=1
done
exit $status
