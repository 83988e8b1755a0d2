#!/usr/bin/env bash
# Opens the compiled manual with a CHM reader and checks that its default topic and every page
# of its table of contents are there and not empty.
set -euo pipefail
chm=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
extract_chmLib "$chm" "$dir" >/dev/null

# #SYSTEM holds a version word, then records: code (2 bytes), length (2 bytes), data.
# Code 2 is the default topic, a zero-terminated text.
bytes=($(od -An -tu1 -v "$dir/#SYSTEM"))
default=""
i=4
while [ $((i + 4)) -le ${#bytes[@]} ]; do
    code=$((bytes[i] + 256 * bytes[i + 1]))
    length=$((bytes[i + 2] + 256 * bytes[i + 3]))
    if [ "$code" -eq 2 ]; then
        for ((j = i + 4; j < i + 4 + length && bytes[j] != 0; j++)); do
            default+=$(printf "\\$(printf %03o "${bytes[j]}")")
        done
    fi
    i=$((i + 4 + length))
done
[ -n "$default" ] || { echo "no default topic in $chm"; exit 1; }
[ -s "$dir/$default" ] || { echo "default topic $default is missing"; exit 1; }

pages=$(grep -o 'name="Local" value="[^"]*"' "$dir/toc.hhc" | sed 's/.*value="\([^"]*\)"/\1/')
[ -n "$pages" ] || { echo "the table of contents is empty"; exit 1; }
for page in $pages; do
    [ -s "$dir/$page" ] || { echo "contents page $page is missing"; exit 1; }
done
echo "default topic $default; contents: $(echo $pages)"
