#!/bin/sh
# Prints the folder graph of src/: "from -> to (count)" for every #include "folder/..." that
# crosses folders, then any edge whose reverse also exists (a cycle between two folders).
cd "$(dirname "$0")/../src" || exit 1
grep -rEo '^#include "[a-z]+/' --include='*.h' --include='*.cpp' . |
    sed -E 's|^\./([a-z]+)/[^:]*:#include "([a-z]+)/|\1 \2|' |
    awk '$1 != $2' | sort | uniq -c |
    awk '{ printf "%s -> %s (%d)\n", $2, $3, $1 }' >/tmp/include-graph.$$
cat /tmp/include-graph.$$
awk '{ edge[$1 " " $3] = 1 } END { for (e in edge) { split(e, p, " "); if ((p[2] " " p[1]) in edge) print "cycle: " p[1] " <-> " p[2] } }' /tmp/include-graph.$$
rm -f /tmp/include-graph.$$
