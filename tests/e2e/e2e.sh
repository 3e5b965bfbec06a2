#!/usr/bin/env bash
# Drives the real editor on a real X server with real keys and clicks, then
# checks the bytes it saved:
#   e2e.sh VANTREL ZELKSTR GRAB OUTPUT-FOLDER
# Run it under an X server (xvfb-run); needs xdotool.
set -euo pipefail
vantrel=$1 zelkstr=$2 grab=$3 out=$4
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true' EXIT

fail() {
    echo "e2e: $*" >&2
    exit 1
}

# Waits until a window with this exact title is visible; prints its id.
window_named() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# u32 VALUE: four bytes, little-endian, as printf escapes.
u32() {
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
}

# strings_file OUT NUMBER TEXT [NUMBER TEXT]...: a new-layout strings file.
strings_file() {
    local out=$1 header numbers='' offsets='' texts='' count=0 offset
    shift
    count=$(($# / 2))
    offset=$((16 + 8 * count))
    while [ $# -gt 0 ]; do
        numbers+=$(u32 "$1")
        offsets+=$(u32 "$offset")
        texts+="$2"'\0'
        offset=$((offset + $(printf '%s' "$2" | wc -c) + 1))
        shift 2
    done
    header='\xfe\xfe\xfe\xfe'$(u32 "$count")'\0\0\0\0\0\0\0\0'
    printf "$header$numbers$offsets$texts" >"$out"
}

# The worked example: "Yes" with 12345678, then e-acute, a line break, B with 9ABCDEF0.
printf '\xfe\xfe\xfe\xfe\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x78\x56\x34\x12\xf0\xde\xbc\x9a\x20\x00\x00\x00\x24\x00\x00\x00Yes\x00\xc3\xa9^B\x00' >"$work/lang.eng"

"$vantrel" "$work/lang.eng" &
pid=$!
main=$(window_named "Zelk Strings Editor - lang.eng") || fail "the main window did not open"
xdotool windowfocus --sync "$main"

# The list has the focus on its first row: Down and Up select that row. A
# click in the text editor, then type at its end.
xdotool key --window "$main" Down Up
xdotool mousemove --window "$main" 450 300 click 1
xdotool key ctrl+End
xdotool type --delay 20 " typed"
# Tab on to the number edit (key, Hash button, number) and replace the digits.
xdotool key Tab Tab Tab ctrl+a
xdotool type --delay 20 "abcdef01"

# Strings > Add... from the keyboard, and a text in its dialog.
xdotool key alt+s a
add=$(window_named "Add String") || fail "the Add dialog did not open"
xdotool windowfocus --sync "$add"
xdotool type --delay 20 "Added"
xdotool key Return

# File > Save from the keyboard.
xdotool windowfocus --sync "$main"
xdotool key alt+f s

expected=$(printf '0\tABCDEF01\tYes typed\n1\t9ABCDEF0\t\xc3\xa9\\nB\n2\t00000000\tAdded')
for _ in $(seq 1 100); do
    saved=$("$zelkstr" dump "$work/lang.eng" || true)
    [ "$saved" = "$expected" ] && break
    timeout 0.1 xdotool search --sync --name "^no such window$" >/dev/null 2>&1 || true
done
"$grab" "$out/e2e-window.png" "$main" || echo "e2e: no screenshot" >&2
if [ "$saved" != "$expected" ]; then
    printf 'e2e: the saved file holds\n%s\nexpected\n%s\n' "$saved" "$expected" >&2
    exit 1
fi

# File > Exit: the document is saved, so the program ends without asking.
xdotool key alt+f x
timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor did not exit"
wait "$pid" || fail "the editor exited with an error"
pid=

# A translator's window: French beside its English reference, a row chosen
# with Next Untranslated (F8); the README shows this picture.
printf '\xfe\xfe\xfe\xfe\x04\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\0\x04\0\0\0\x30\0\0\0\x36\0\0\0\x4d\0\0\0\x55\0\0\0Hello\0You have %%d gold coins\0Options\0Open the door^and run\0' >"$work/game.eng"
printf '\xfe\xfe\xfe\xfe\x04\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0\x02\0\0\0\x03\0\0\0\x04\0\0\0\x30\0\0\0\x38\0\0\0\x4e\0\0\0\x56\0\0\0Bonjour\0Vous avez des pi\xc3\xa8ces\0Options\0Ouvrez la porte^et courez\0' >"$work/game.fre"
"$vantrel" "$work/game.fre" --reference "$work/game.eng" &
pid=$!
main=$(window_named "Zelk Strings Editor - game.fre") || fail "the window with a reference did not open"
xdotool windowfocus --sync "$main"
xdotool key F8
untranslated=$(printf '2\t00000003\tOptions')
[ "$("$zelkstr" dump "$work/game.fre" | sed -n 3p)" = "$untranslated" ] || fail "the translator's file is not as written"
"$grab" "$out/reference-window.png" "$main" || fail "no screenshot of the window with a reference"
# A typo typed into the French text is underlined; the README shows it.
xdotool mousemove --window "$main" 450 320 click 1
xdotool key ctrl+End
xdotool type --delay 20 " du jeuu"
"$grab" "$out/spelling-window.png" "$main" || fail "no screenshot of the underlined word"
xdotool key alt+f x
confirm=$(window_named "Confirm") || fail "no save prompt after typing"
xdotool windowfocus --sync "$confirm"
xdotool key alt+n
timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor with a reference did not exit"
wait "$pid" || fail "the editor with a reference exited with an error"
pid=
# An update merged with zelkstr and reviewed in the window: F8 stops at the
# first changed entry, whose change view the README shows.
strings_file "$work/old.eng" 1 "Start Game" 2 "Load Saved Game" 3 "Quit"
strings_file "$work/old.fre" 1 "Commencer la partie" 2 "Charger la partie sauvegardée" 3 "Quitter"
strings_file "$work/new.eng" 3 "Quit" 1 "Start New Game" 2 "Load Game" 4 "Battered Lute"
"$zelkstr" merge "$work/old.eng" "$work/old.fre" "$work/new.eng" -o "$work/new.fre" 2>"$work/merge.log" \
    || fail "merge failed: $(cat "$work/merge.log")"
[ -f "$work/new.fre.review.json" ] || fail "merge wrote no review file"
"$vantrel" "$work/new.fre" --reference "$work/new.eng" &
pid=$!
main=$(window_named "Zelk Strings Editor - new.fre") || fail "the window with a review did not open"
xdotool windowfocus --sync "$main"
xdotool key F8
"$grab" "$out/review-window.png" "$main" || fail "no screenshot of the change view"
xdotool key alt+f x
timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor with a review did not exit"
wait "$pid" || fail "the editor with a review exited with an error"
pid=
# Suggestions from the file's own translations beside an untranslated item
# description, and one sword translated two ways; the README shows this.
cat >"$work/items.csv" <<'CSV'
index,number,text
0,00000001,"Weight: %d, value: %d gold"
1,00000002,"Weight: %d, value: %d silver"
2,00000003,"Weight: %d, value: %d gold coins"
3,00000004,Short Sword
4,00000005,Short Sword
5,00000006,Battered Lute
CSV
cat >"$work/items-fr.csv" <<'CSV'
index,number,text
0,00000001,"Poids : %d, valeur : %d pièces d'or"
1,00000002,"Poids : %d, valeur : %d pièces d'argent"
2,00000003,
3,00000004,Épée courte
4,00000005,Lame courte
5,00000006,
CSV
"$zelkstr" create "$work/items.eng" "$work/items.csv" 2>/dev/null || fail "zelkstr create failed"
"$zelkstr" create "$work/items.fre" "$work/items-fr.csv" 2>/dev/null || fail "zelkstr create failed"
"$vantrel" "$work/items.fre" --reference "$work/items.eng" &
pid=$!
main=$(window_named "Zelk Strings Editor - items.fre") || fail "the window with a memory did not open"
xdotool windowfocus --sync "$main"
xdotool key F8
"$grab" "$out/memory-window.png" "$main" || fail "no screenshot of the suggestions"
xdotool key alt+f x
timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor with a memory did not exit"
wait "$pid" || fail "the editor with a memory exited with an error"
pid=
# Unsaved work survives the program being killed: a recovery copy is kept
# within seconds, and the next start offers it back. The program's data
# folder is one of this test's own.
export XDG_DATA_HOME="$work/data"
copies="$XDG_DATA_HOME/Vantrel/recovery"

# Waits until a recovery copy is there, then kills the editor outright.
kill_after_copy() {
    for _ in $(seq 1 300); do
        compgen -G "$copies/*.recovery" >/dev/null && break
        timeout 0.1 xdotool search --sync --name "^no such window$" >/dev/null 2>&1 || true
    done
    compgen -G "$copies/*.recovery" >/dev/null || fail "no recovery copy was written"
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

# Waits until the dump of a file is the expected one.
expect_dump() {
    local file=$1 expected=$2 saved=''
    for _ in $(seq 1 100); do
        saved=$("$zelkstr" dump "$file" 2>/dev/null || true)
        [ "$saved" = "$expected" ] && return 0
        timeout 0.1 xdotool search --sync --name "^no such window$" >/dev/null 2>&1 || true
    done
    printf 'e2e: %s holds\n%s\nexpected\n%s\n' "$file" "$saved" "$expected" >&2
    exit 1
}

strings_file "$work/crash.fre" 1 "Bonjour" 2 "Salut"
for answer in no yes; do
    "$vantrel" "$work/crash.fre" &
    pid=$!
    main=$(window_named "Zelk Strings Editor - crash.fre") || fail "crash.fre did not open"
    xdotool windowfocus --sync "$main"
    xdotool key --window "$main" Down Up
    xdotool mousemove --window "$main" 450 300 click 1
    xdotool key ctrl+End
    xdotool type --delay 20 " les amis"
    kill_after_copy
    "$vantrel" "$work/crash.fre" &
    pid=$!
    question=$(window_named "Confirm") || fail "the editor did not offer to recover crash.fre"
    xdotool windowfocus --sync "$question"
    if [ "$answer" = no ]; then
        xdotool key alt+n
        main=$(window_named "Zelk Strings Editor - crash.fre") || fail "crash.fre did not open after No"
        compgen -G "$copies/*.recovery" >/dev/null && fail "No left the recovery copy"
        xdotool windowfocus --sync "$main"
        xdotool key alt+f x
        timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor did not exit"
        pid=
        continue
    fi
    xdotool key Return
    main=$(window_named "Zelk Strings Editor - crash.fre") || fail "crash.fre did not open recovered"
    xdotool windowfocus --sync "$main"
    xdotool key alt+f s
    expect_dump "$work/crash.fre" "$(printf '0\t00000001\tBonjour les amis\n1\t00000002\tSalut')"
    xdotool key alt+f x
    timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor did not exit after the recovery"
    pid=
done
compgen -G "$copies/*.recovery" >/dev/null && fail "a saved recovery left its copy"

# A new document's work, recovered at a start without a file and saved.
"$vantrel" &
pid=$!
main=$(window_named "Zelk Strings Editor - Untitled.bin") || fail "the editor did not start without a file"
xdotool windowfocus --sync "$main"
xdotool key alt+s a
add=$(window_named "Add String") || fail "the Add dialog did not open"
xdotool windowfocus --sync "$add"
xdotool type --delay 20 "Neuf"
xdotool key Return
kill_after_copy
"$vantrel" &
pid=$!
question=$(window_named "Confirm") || fail "the editor did not offer to recover the new document"
xdotool windowfocus --sync "$question"
xdotool key Return
main=$(window_named "Zelk Strings Editor - Untitled.bin") || fail "the recovered new document did not open"
xdotool windowfocus --sync "$main"
xdotool key alt+f s
save=$(window_named "Save As") || fail "Save did not ask for a name"
xdotool windowfocus --sync "$save"
xdotool key ctrl+a
xdotool type --delay 10 "$work/neuf.fre"
xdotool key Return
expect_dump "$work/neuf.fre" "$(printf '0\t00000000\tNeuf')"
main=$(window_named "Zelk Strings Editor - neuf.fre") || fail "the new document was not saved under its name"
xdotool windowfocus --sync "$main"
xdotool key alt+f x
timeout 20 tail --pid="$pid" -f /dev/null || fail "the editor did not exit after saving the new document"
pid=

echo "e2e: the editor saved what was typed; screenshots in $out/e2e-window.png, $out/reference-window.png and $out/review-window.png"
