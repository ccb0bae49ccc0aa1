#!/bin/sh
# Fails when a source folder includes a header of a folder it may not use. Which folder may
# use which is read from the CMake files, the one place that says it: framora_folder(NAME
# ... DEPENDS ...) and the framora_* libraries a library links; what a folder may use is
# what it depends on, directly or through others. A folder's sources are its own files,
# not those of a folder below it that is a library of its own (playback/media,
# playback/vlc).
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# module folder and the modules it names, one "module folder deps..." line each.
for cmake in $(git ls-files '*CMakeLists.txt'); do
    dir=$(dirname "$cmake")
    tr '\n' ' ' <"$cmake" | sed 's/)/)\n/g' | while IFS= read -r call; do
        case $call in
        *framora_folder\(*)
            name=$(echo "$call" | sed -E 's/.*framora_folder\( *([A-Za-z0-9_]+).*/\1/')
            deps=$(echo "$call" | sed -nE 's/.*DEPENDS(.*)\)/\1/p')
            echo "$name $dir $deps"
            ;;
        *add_library\(framora_*)
            name=$(echo "$call" | sed -E 's/.*add_library\( *framora_([A-Za-z0-9]+).*/\1/')
            case $name in core | warnings | test) ;; *) echo "$name $dir" ;; esac
            ;;
        *target_link_libraries\(framora_*)
            name=$(echo "$call" | sed -E 's/.*target_link_libraries\( *framora_([A-Za-z0-9]+).*/\1/')
            deps=$(echo "$call" | grep -oE 'framora_[a-z]+' | sed 's/framora_//' | grep -v -x "$name" |
                grep -v -E '^(warnings|core)$' | tr '\n' ' ')
            if [ -n "$deps" ]; then echo "$name - $deps"; fi
            ;;
        esac
    done
done >"$work/raw"

# Folder of each module, and its direct dependencies (rules libraries are their folder's).
awk '$2 != "-" { print $1, $2 }' "$work/raw" | sort -u >"$work/folders"
awk '{ for (i = 3; i <= NF; ++i) print $1, $i }' "$work/raw" | sed 's/_rules$//' |
    awk '$1 != $2' | sort -u >"$work/deps"

# What each module may use: its dependencies, theirs, and so on.
cp "$work/deps" "$work/closure"
while :; do
    awk 'NR == FNR { below[$1] = below[$1] " " $2; next }
         { print; n = split(below[$2], more, " "); for (i = 1; i <= n; ++i) print $1, more[i] }' \
        "$work/deps" "$work/closure" | awk '$1 != $2' | sort -u >"$work/next"
    if cmp -s "$work/next" "$work/closure"; then break; fi
    mv "$work/next" "$work/closure"
done

status=0
while read -r module folder; do
    # The folder's own sources: not those of a module folder inside it.
    inner=$(awk -v f="$folder/" 'index($2, f) == 1 { print $2 }' "$work/folders")
    for source in $(git ls-files "$folder" | grep -E '\.(cpp|h)$'); do
        skip=
        for sub in $inner; do
            case $source in "$sub"/*) skip=1 ;; esac
        done
        if [ -n "$skip" ]; then continue; fi
        grep -oE '^#include "[a-z]+(/[a-z]+)*/[A-Za-z0-9_]+\.h"' "$source" |
            sed -E 's/#include "(.*)\/[A-Za-z0-9_]+\.h"/\1/' | sort -u | while read -r included; do
            # The module whose folder holds the header: the longest folder that matches.
            owner=$(awk -v p="$included" '$2 == p { print length($2), $1 }' "$work/folders" |
                sort -rn | head -n 1 | cut -d' ' -f2)
            if [ -z "$owner" ] || [ "$owner" = "$module" ]; then continue; fi
            if ! grep -qx "$module $owner" "$work/closure"; then
                echo "$source: $module may not include $included/ ($owner is not below it)" >&2
                echo fail >"$work/failed"
            fi
        done
    done
done <"$work/folders"
if [ -f "$work/failed" ]; then status=1; fi
exit $status
