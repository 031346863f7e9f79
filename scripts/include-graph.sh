#!/usr/bin/env bash
# The include graph between the folders of src/: for every pair of folders, how many #include lines of the
# one name a header of the other. Each edge is marked "up" when it goes against the layers (a folder that
# includes one above it) and "sideways" between two folders of one layer, and every circle of folders is named. An #include that climbs out of its own folder
# ("../") is listed first: it would pass by the include paths that keep each layer to those below it. Exits 1
# when there is any of these.
#   scripts/include-graph.sh [source folder]      default: src beside this script
set -euo pipefail
cd "$(dirname "$0")/.."
src=${1:-src}
status=0

grep -r -n -E '^#include "\.\./' "$src" --include='*.h' --include='*.cpp' && status=1

# The layers, bottom up, the folders of one layer joined by "+"; a source file directly in src (the folder ".")
# would stand on top.
layers="platform launcher+log+settings scheduler ui app ."

grep -r -o -E '^#include "[A-Za-z_]+/' "$src" --include='*.h' --include='*.cpp' |
    sed -E "s|^$src/||; s|^([^/:]+)/[^:]*:|\\1 |; s|^[^/ ]+\\.cpp:|. |; s|#include \"||; s|/\$||" |
    awk -v layers="$layers" '
        BEGIN {
            n = split(layers, order, " ")
            for (i = 1; i <= n; i++) {
                m = split(order[i], layer, "+")
                for (j = 1; j <= m; j++) rank[layer[j]] = i
            }
        }
        $1 != $2 { count[$1 " " $2]++; folders[$1]; folders[$2] }
        END {
            bad = 0
            for (edge in count) {
                split(edge, e, " ")
                known = (e[1] in rank) && (e[2] in rank)
                mark = !known ? "" : rank[e[2]] > rank[e[1]] ? "  up" : rank[e[2]] == rank[e[1]] ? "  sideways" : ""
                if (mark != "") bad = 1
                printf "%-10s -> %-10s %3d%s\n", e[1], e[2], count[edge], mark | "sort"
                reach[e[1], e[2]] = 1
            }
            close("sort")
            # Transitive closure, then every folder that reaches itself lies on a circle.
            for (k in folders) for (i in folders) for (j in folders)
                if ((i, k) in reach && (k, j) in reach) reach[i, j] = 1
            circle = ""
            for (i in folders) if ((i, i) in reach) circle = circle " " i
            if (circle != "") { print "circle through:" circle; bad = 1 }
            else print "no circle"
            exit bad
        }' || status=1
exit $status
