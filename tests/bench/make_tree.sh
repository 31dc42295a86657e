#!/usr/bin/env bash
# Copies about MEGABYTES of real files of this machine (half from /usr/share, half from
# /usr/lib: documentation and shared libraries) into DIR/tree, with names that Windows and GBK
# take, and prints "FILES BYTES". The benchmarks of the packer and the installer share it.
#   make_tree.sh MEGABYTES DIR
set -euo pipefail
# Regular files of up to 4 MB whose names Windows and GBK both take, without two names that
# only differ in case, in a fixed order, half of the size from each folder.
megabytes=$1
work=$2
: > "$work/list"
for root in /usr/share /usr/lib; do
    find "$root" -type f -size -4M -readable -printf '%s\t%p\n' 2>/dev/null |
        LC_ALL=C grep -E $'\t[A-Za-z0-9/._+-]+$' |
        LC_ALL=C grep -viE '/(con|prn|aux|nul|com[1-9]|lpt[1-9])(\.[^/]*)?(/|$)' |
        LC_ALL=C grep -vE '[. ]$' | LC_ALL=C sort -t $'\t' -k2 |
        awk -F '\t' -v limit=$((megabytes * 1024 * 1024 / 2)) '
            { key = tolower($2); if (key in seen) next; seen[key] = 1
              total += $1; print $2; if (total >= limit) exit }' >>"$work/list" || true
done
mkdir -p "$work/tree"
(cd / && sed 's|^/||' "$work/list" | tr '\n' '\0' | xargs -0 cp --parents -t "$work/tree")
echo "$(find "$work/tree" -type f | wc -l) $(find "$work/tree" -type f -printf '%s\n' |
    awk '{ s += $1 } END { print s }')"
