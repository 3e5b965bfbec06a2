#!/usr/bin/env bash
# Checks the set-up as a newcomer meets it: builds a bare Debian 12 root
# (debootstrap --variant=minbase, nothing else), clones this checkout into it,
# and runs ./test.sh there, then ./run.sh as far as it goes without a display
# (it must build). Prints the last lines of each and their exit status.
#   scripts/fresh-debian.sh [ROOT-FOLDER]      (as root; takes many minutes)
# The root is kept for a second look; remove it with rm -rf when done. The
# packages come from the mirror this machine's apt already uses.
set -euo pipefail
checkout=$(cd "$(dirname "$0")/.." && pwd)
root=${1:-$checkout/build-fresh-debian}
. "$checkout/scripts/setup.sh"

[ "$(id -u)" -eq 0 ] || { echo "fresh-debian: run as root (debootstrap and chroot need it)" >&2; exit 2; }
for tool in debootstrap git; do
    command -v "$tool" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$tool"
done

unmount_all() {
    for mount in dev/pts dev proc sys; do
        mountpoint -q "$root/$mount" && umount -l "$root/$mount"
    done
    return 0
}
trap unmount_all EXIT

if [ ! -x "$root/usr/bin/apt-get" ]; then
    rm -rf "$root"
    debootstrap --variant=minbase bookworm "$root" "$(debian_mirror)"
fi
# The same suites a standard installation has: bookworm, its updates and
# security fixes.
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
    : >"$root/etc/apt/sources.list"
fi
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"

rm -rf "$root/home/newcomer/vantrel"
mkdir -p "$root/home/newcomer"
git clone --quiet --no-local "$checkout" "$root/home/newcomer/vantrel"

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        /bin/bash -c "cd /home/newcomer/vantrel && $1"
}

status=0
echo "== ./test.sh in a bare Debian 12 root"
if in_root ./test.sh >"$root/test.log" 2>&1; then test_status=0; else test_status=$?; fi
tail -n 25 "$root/test.log"
echo "== ./test.sh exit status: $test_status (full log: $root/test.log)"
[ "$test_status" -eq 0 ] || status=1

echo "== ./run.sh in a fresh clone of the same root (no display: it must build)"
rm -rf "$root/home/newcomer/vantrel"
git clone --quiet --no-local "$checkout" "$root/home/newcomer/vantrel"
if in_root 'timeout 1200 ./run.sh </dev/null' >"$root/run.log" 2>&1; then
    run_status=0
else
    run_status=$?
fi
tail -n 5 "$root/run.log"
built=no
[ -x "$root/home/newcomer/vantrel/build/src/app/Vantrel" ] && built=yes
echo "== ./run.sh exit status: $run_status; the editor was built: $built"
[ "$built" = yes ] || status=1
exit "$status"
