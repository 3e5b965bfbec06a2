#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a scratch
# root and checks that it holds what the menu entry promises, that the entry
# and the MIME type are valid, and that the installed programs run:
#   package_test.sh BUILD-FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "package test: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null
deb=$(ls "$work"/out/vantrel_*.deb) || fail "no package was built"
root=$work/root
dpkg -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libgettextpo0 libhunspell-1.7-0 qt6-qpa-plugins; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Recommends)" = "hunspell-en-us | hunspell-dictionary" ] || fail "the package does not recommend a dictionary"

desktop=$root/usr/share/applications/vantrel.desktop
[ -f "$desktop" ] || fail "no menu entry"
desktop-file-validate "$desktop" || fail "the menu entry does not validate"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = "Zelk Strings Editor" ] || fail "Name is $(entry Name)"
[ "$(entry Exec)" = "Vantrel %f" ] || fail "Exec is $(entry Exec)"
program=$(entry Exec | cut -d' ' -f1)
[ -x "$root/usr/bin/$program" ] || fail "Exec names $program, which is not in /usr/bin"
[ -x "$root/usr/bin/zelkstr" ] || fail "zelkstr is not in /usr/bin"
icon=$(entry Icon)
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 16 24 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] || fail "no ${size}px icon"
done

mime=$root/usr/share/mime/packages/vantrel.xml
xmllint --noout "$mime" || fail "the MIME type file is not well-formed XML"
type=$(entry MimeType | tr -d ';')
grep -q "type=\"$type\"" "$mime" || fail "the menu entry's MIME type $type is not declared"
# The MIME database tool accepts the declaration and files the patterns.
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
update-mime-database "$work/mime" || fail "update-mime-database refused the declaration"
grep -q "$type:\*\.eng" "$work/mime/globs" || fail "the patterns are not in the MIME database"
grep -q "$type" "$work/mime/magic" || fail "the magic is not in the MIME database"

# The software centres' metadata validates and names the menu entry.
metainfo=$root/usr/share/metainfo/invalid.zelk_strings.Vantrel.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream metadata"
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "the AppStream metadata does not validate"
grep -q '<launchable type="desktop-id">vantrel.desktop</launchable>' "$metainfo" || fail "the metadata names no menu entry"
grep -q '<release version="' "$metainfo" || fail "the metadata has no release"

# The installed programs run from the scratch root on a sample file.
printf '\xfe\xfe\xfe\xfe\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x18\x00\x00\x00Yes\x00' >"$work/sample.eng"
info=$("$root/usr/bin/zelkstr" info "$work/sample.eng") || fail "the installed zelkstr failed"
grep -q "entries: 1" <<<"$info" || fail "zelkstr info printed: $info"
# The editor on an X server: its window shows the file, and File > Exit ends it.
xvfb-run -a "$(dirname "$0")/run_installed_editor.sh" "$root/usr/bin/Vantrel" "$work/sample.eng" \
    || fail "the installed editor did not show sample.eng and quit"
echo "package test: $(basename "$deb") is complete and runs"
