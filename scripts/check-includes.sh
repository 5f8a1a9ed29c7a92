#!/usr/bin/env bash
# Fails, naming the files, on an include that goes the wrong way between the
# folders or on an include cycle. Usage: check-includes.sh [ROOT] (default:
# the project).
#
# The order is the picture in docs/architecture.md, from the bottom:
#   base/ < richtext/ < store/ < state/ < link/, macrotext/
#         < library/, download/, utilities/ < contents/
# A core folder includes only its own files and folders below it; folders on
# one level do not include each other, except library/ -> download/. link/qt/
# (the Qt port and pump) includes only the core; app/, cli/ and sim/ sit on
# top and include none of each other.
#
# A cycle is one between units: a header and the .cpp of the same name are
# one unit, so a.cpp -> b.h and b.cpp -> a.h is a cycle, as is a.h -> b.h ->
# a.h.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
if ! cd "$root" 2>/dev/null; then
    echo "check-includes: no folder $root" >&2
    exit 2
fi

folders=(base richtext store state link macrotext library download utilities contents app cli sim)
present=()
for folder in "${folders[@]}"; do
    [ -d "$folder" ] && present+=("$folder")
done
if [ ${#present[@]} -eq 0 ]; then
    echo "check-includes: no source folders under $root" >&2
    exit 2
fi

# One line per project include: "file<TAB>line<TAB>included path<TAB>exists".
includes=$(
    find "${present[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print | LC_ALL=C sort |
        while IFS= read -r file; do
            { grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/[^"]+"' "$file" || true; } |
                sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1\t\2/' |
                while IFS=$'\t' read -r line target; do
                    exists=0
                    [ -f "$target" ] && exists=1
                    printf '%s\t%s\t%s\t%s\n' "$file" "$line" "$target" "$exists"
                done
        done
)

[ -z "$includes" ] && exit 0

awk -F'\t' '
function folder(path,   parts) {
    split(path, parts, "/")
    if (parts[1] == "link" && parts[2] == "qt") return "link/qt"
    return parts[1]
}
function unit(path) {
    sub(/\.(h|cpp)$/, "", path)
    return path
}
# Whether a file in folder from may include one in folder to.
function allowed(from, to) {
    if (from == to) return 1
    if (!(to in known)) return 1  # not one of ours
    if (from in rank) {
        if (from == "library" && to == "download") return 1
        return (to in rank) && rank[to] < rank[from]
    }
    if (from == "link/qt") return (to in rank)
    # app/, cli/, sim/: the core and link/qt, not each other.
    return (to in rank) || to == "link/qt"
}
function visit(u,   i, v, k, path) {
    state[u] = 1
    stack[++depth] = u
    for (i = 1; i <= degree[u]; i++) {
        v = next_unit[u, i]
        if (state[v] == 1) {
            path = ""
            for (k = depth; k >= 1 && stack[k] != v; k--) {}
            for (; k <= depth; k++) path = path stack[k] " -> "
            printf "Include cycle: %s%s\n", path, v > "/dev/stderr"
            failed = 1
        } else if (state[v] == 0) {
            visit(v)
        }
    }
    depth--
    state[u] = 2
}
BEGIN {
    split("base richtext store state link macrotext library download utilities contents", core, " ")
    level["base"] = 0; level["richtext"] = 1; level["store"] = 2; level["state"] = 3
    level["link"] = 4; level["macrotext"] = 4
    level["library"] = 5; level["download"] = 5; level["utilities"] = 5
    level["contents"] = 6
    for (f in level) { rank[f] = level[f]; known[f] = 1 }
    known["link/qt"] = 1; known["app"] = 1; known["cli"] = 1; known["sim"] = 1
    failed = 0
}
{
    file = $1; line = $2; target = $3; exists = $4
    from = folder(file); to = folder(target)
    if (!allowed(from, to)) {
        printf "Wrong way: %s:%s includes %s (%s/ may not include %s/)\n", file, line, target,
               from, to > "/dev/stderr"
        failed = 1
    }
    if (exists == 1) {
        u = unit(file); v = unit(target)
        if (u != v && !((u, v) in seen)) {
            seen[u, v] = 1
            next_unit[u, ++degree[u]] = v
            units[u] = 1; units[v] = 1
        }
    }
}
END {
    n = 0
    for (u in units) order[++n] = u
    # A fixed order, so that a cycle is reported the same way every run.
    for (i = 2; i <= n; i++) {
        x = order[i]
        for (j = i - 1; j >= 1 && order[j] > x; j--) order[j + 1] = order[j]
        order[j + 1] = x
    }
    depth = 0
    for (i = 1; i <= n; i++) if (state[order[i]] == 0) visit(order[i])
    exit failed
}' <<<"$includes"
