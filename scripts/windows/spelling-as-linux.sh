#!/usr/bin/env bash
# Checks the spelling of a French translation with the Linux zelkstr (the
# system's dictionaries) and with zelkstr.exe under Wine (the zip's, copied
# into a folder named in other letters than ASCII), and compares what they
# print and their exit status:
#   spelling-as-linux.sh LINUX-ZELKSTR ZIP-FOLDER
set -uo pipefail
linux=$(realpath "$1")
stage=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

folder="$work/$(printf '\xc5\x81ukasz \xc3\x9cn\xc3\xafcode')/Zelk"
mkdir -p "$folder"
cp -a "$stage"/. "$folder/"
# "The knight Zorgon" 1, "Very strong" 2; "Le chevalier Zorgon est fort" 1,
# "Trés fort, tres tres fortt" 2.
printf '\xfe\xfe\xfe\xfe\x02\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x20\0\0\0\x32\0\0\0The knight Zorgon\0Very strong\0' >"$work/lang.eng"
printf '\xfe\xfe\xfe\xfe\x02\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x20\0\0\0\x3d\0\0\0Le chevalier Zorgon est fort\0Tr\xc3\xa9s fort, tres tres fortt\0' >"$work/lang.fre"

failed=0
for command in "check lang.eng lang.fre --spell" "spell lang.fre --json" "spell lang.eng"; do
    (cd "$work" && XDG_DATA_HOME="$work/data" "$linux" $command >linux.out 2>/dev/null; echo $? >>linux.out)
    (cd "$work" && wine "$folder/zelkstr.exe" $command >windows.out 2>/dev/null; echo $? >>windows.out)
    if ! cmp -s "$work/linux.out" "$work/windows.out"; then
        echo "differs: zelkstr $command"
        diff "$work/linux.out" "$work/windows.out" | head -n 20
        failed=1
    fi
    grep -q spelling "$work/linux.out" || [ "$command" = "spell lang.eng" ] || { echo "no misspelling found: zelkstr $command"; failed=1; }
done
[ "$failed" -eq 0 ] && echo "zelkstr.exe spells as on Linux from $folder"
exit "$failed"
