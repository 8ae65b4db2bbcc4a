#!/bin/sh
# Prints the folder graph of src/: "from -> to (count)" for every #include "folder/..." that
# crosses folders; then, if the folders include each other in a cycle (of any length), says so
# and exits with status 1.
cd "$(dirname "$0")/../src" || exit 1
edges=$(mktemp) || exit 1
trap 'rm -f "$edges"' EXIT
grep -rEo '^#include "[a-z]+/' --include='*.h' --include='*.cpp' . |
    sed -E 's|^\./([a-z]+)/[^:]*:#include "([a-z]+)/|\1 \2|' |
    awk '$1 != $2' | sort | uniq -c |
    awk '{ printf "%s -> %s (%d)\n", $2, $3, $1 }' >"$edges"
cat "$edges"
# tsort orders the folders; it reports the folders of any cycle and fails when there is one.
if ! awk '{ print $1, $3 }' "$edges" | tsort >/dev/null 2>"$edges.cycle"; then
    printf 'cycle among: %s\n' "$(grep -v 'input contains a loop' "$edges.cycle" |
        sed 's/^tsort: //' | sort -u | tr '\n' ' ')"
    rm -f "$edges.cycle"
    exit 1
fi
rm -f "$edges.cycle"
