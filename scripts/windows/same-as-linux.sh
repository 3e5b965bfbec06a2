#!/usr/bin/env bash
# Runs every zelkstr command with the Linux zelkstr and with zelkstr.exe
# under Wine, each in a copy of the same inputs, and compares what they
# print on stdout, the files they write and their exit status:
#   same-as-linux.sh LINUX-ZELKSTR WINDOWS-ZELKSTR.EXE
# The inputs are the strings files under tests/ and files made here.
set -uo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

inputs=$work/inputs
mkdir -p "$inputs"
cp -p "$root"/tests/fuzz/corpus/* "$inputs/"
make_file() { printf "$2" >"$inputs/$1"; touch -d '2026-01-02 03:04:05 UTC' "$inputs/$1"; }
# New layout: "Hello" 1, "Open the door" 2, "Bye" 3; a French translation in
# another order; a new version with one entry moved, one changed, one new.
make_file old.eng '\xfe\xfe\xfe\xfe\x03\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\0\x28\0\0\0\x2e\0\0\0\x3c\0\0\0Hello\0Open the door\0Bye\0'
make_file old.fre '\xfe\xfe\xfe\xfe\x03\0\0\0\0\0\0\0\0\0\0\0\x03\0\0\0\x01\0\0\0\x02\0\0\0\x28\0\0\0\x32\0\0\0\x3a\0\0\0Au revoir\0Bonjour\0Ouvrez la porte^\xc3\xa0 %%d\0'
make_file new.eng '\xfe\xfe\xfe\xfe\x03\0\0\0\0\0\0\0\0\0\0\0\x03\0\0\0\x09\0\0\0\x02\0\0\0\x28\0\0\0\x2c\0\0\0\x35\0\0\0Bye\0Inserted\0Open the doors\0'
make_file bom.csv '\xef\xbb\xbfindex,number,text\r\n0,00000003,"Salut, ""toi"""\r\n'
make_file terms.csv 'term,translation,note\nDoor,Porte|Portail\nBye,Salut\n'

# A name in several scripts, and a folder deeper than Windows' old 260
# characters.
unicode=$(printf 'fran\xc3\xa7ais-\xce\xb5\xce\xbb-\xe6\x97\xa5\xe6\x9c\xac.fre')
cp -p "$inputs/old.fre" "$inputs/$unicode"
deep=$(printf 'a-folder-with-a-rather-long-name-%s/' 1 2 3 4 5 6 7 8)
mkdir -p "$inputs/$deep"
cp -p "$inputs/old.eng" "$inputs/${deep}old.eng"

commands=(
    "info $unicode" "export $unicode $unicode.po --source old.eng" "import $unicode bom.csv -o ${unicode}2"
    "convert ${deep}old.eng ${deep}converted.eng --layout old" "dump ${deep}old.eng"
    "--help" "--version" "help import" "frobnicate" "hash abc ABC menu_title caf\xc3\xa9"
    "info old.fre" "dump old.fre" "dump --json old.fre" "diff old.eng new.eng" "diff --by-number old.eng new.eng"
    "convert old.fre out.fre --layout old" "convert old.fre out.fre --layout newer"
    "export old.fre out.csv" "export old.fre out.po --source old.eng" "export new.eng out.pot --template"
    "import old.fre bom.csv -o out.fre" "import old.fre bom.csv -o out.fre --set-numbers"
    "merge old.eng old.fre new.eng -o out.fre --json out.json"
    "check old.eng old.fre" "check new.eng old.fre --json --max-length-ratio 1.2"
    "check old.eng old.fre --glossary terms.csv" "export old.fre out.tmx --source old.eng"
    "pretranslate new.eng old.fre -o out.fre --fuzzy 70"
    "info missing.eng"
)
for file in "$root"/tests/fuzz/corpus/*; do
    commands+=("info $(basename "$file")" "dump --json $(basename "$file")" "export $(basename "$file") out.po")
done

# run TOOL FOLDER COMMAND: runs the command in a fresh copy of the inputs.
run() {
    local tool=$1 folder=$2 command=$3 arguments=()
    rm -rf "$folder" && cp -a "$inputs" "$folder"
    eval "arguments=($(printf '%b' "$command" | sed 's/[^ ][^ ]*/"&"/g'))"
    (cd "$folder" && "$tool" "${arguments[@]}" >stdout 2>/dev/null; echo $? >status)
}

failed=0
for command in "${commands[@]}"; do
    run "$linux" "$work/linux" "$command"
    run wine "$work/windows" "$windows $command" 2>/dev/null
    if ! diff -r "$work/linux" "$work/windows" >"$work/difference"; then
        echo "differs: zelkstr $command"
        head -n 20 "$work/difference"
        failed=1
    fi
done
# A PO round trip: Windows exports, Linux imports, and the other way round.
run "$linux" "$work/linux" "export old.fre out.po --source old.eng"
run wine "$work/windows" "$windows export old.fre out.po --source old.eng"
cp "$work/windows/out.po" "$work/linux/from-windows.po"
cp "$work/linux/out.po" "$work/windows/from-linux.po"
(cd "$work/linux" && "$linux" import old.fre from-windows.po -o back.fre 2>/dev/null) || failed=1
(cd "$work/windows" && wine "$windows" import old.fre from-linux.po -o back.fre 2>/dev/null) || failed=1
cmp -s "$work/linux/back.fre" "$inputs/old.fre" || { echo "differs: a PO from Windows does not import back on Linux"; failed=1; }
cmp -s "$work/windows/back.fre" "$inputs/old.fre" || { echo "differs: a PO from Linux does not import back on Windows"; failed=1; }
[ "$failed" -eq 0 ] && echo "zelkstr.exe: ${#commands[@]} commands and a PO round trip give the same bytes as on Linux"
exit "$failed"
