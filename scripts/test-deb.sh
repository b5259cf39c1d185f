#!/usr/bin/env bash
# The package's check, as CI runs it (as root): builds incometax_<version>_<arch>.deb, checks it
# with lintian (no error; every warning left is named in packaging/README.md), appstreamcli
# and desktop-file-validate, then installs it three times with `apt-get install ./<deb>`,
# which pulls whatever it depends on, and purges it again:
#
#   1. on this machine, with no "MySQL ODBC 3.51 Driver" registered (an empty ODBC
#      configuration of its own, ODBCSYSINI): the install registers the MariaDB driver under
#      that name, the installed itbatch works through it, the purge takes the registration away;
#   2. with the machine's own ODBC configuration, where that name is registered already: the
#      install and the purge leave /etc/odbcinst.ini as it was;
#   3. on a fresh Debian of this release (debootstrap --variant=minbase), where apt-get must
#      pull every package the programs need.
#
# Each time the installed IncomeTax and itbatch print the build's version without a display,
# and the installed itbatch generates the tax records of the demo company (the build's itdemo)
# on a throwaway server in a private network namespace.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${IT_BUILD_DIR:-$here/build}
[ "$(id -u)" = 0 ] || { echo "test-deb: run as root (it installs and removes the package)" >&2; exit 1; }
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600 "$@"; }

missing=()
for p in lintian appstream desktop-file-utils iproute2; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt_get update
    apt_get install --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d /tmp/incometax-deb.XXXXXX)
ns=itdeb$$
mine=0  # 1 while this check may have the package installed on this machine
cleanup() {
    ip netns exec "$ns" "$here/scripts/dbserver.sh" stop "$work/db" >/dev/null 2>&1 || true
    ip netns delete "$ns" 2>/dev/null || true
    if [ "$mine" = 1 ] && dpkg-query -W -f='${Status}' incometax 2>/dev/null | grep -q 'install ok installed'; then
        apt_get purge incometax >/dev/null || true
    fi
    umount "$work/fresh/proc" 2>/dev/null || true
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
fail() { echo "test-deb: $*" >&2; exit 1; }

echo "== building the package"
"$here/scripts/make-deb.sh" "$work"
deb=$(ls "$work"/incometax_*.deb)
version=$(dpkg-deb -f "$deb" Version)

echo "== lintian"
lintian --display-info "$deb" 2>/dev/null | tee "$work/lintian.txt"
grep -q '^E: ' "$work/lintian.txt" && fail "lintian reports errors"
for tag in $(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' "$work/lintian.txt" | sort -u); do
    grep -q "\`$tag\`" "$here/packaging/README.md" || fail "lintian warning $tag is not named in packaging/README.md"
done

echo "== contents"
dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/IncomeTax usr/bin/inetspooler usr/bin/itbatch usr/share/applications/incometax.desktop \
    usr/share/metainfo/in.corvantis.IncomeTax.metainfo.xml usr/share/doc/incometax/copyright \
    usr/share/doc/incometax/changelog.gz usr/share/man/man1/IncomeTax.1.gz usr/share/man/man1/itbatch.1.gz \
    usr/share/man/man1/inetspooler.1.gz usr/share/icons/hicolor/48x48/apps/incometax.png \
    usr/share/icons/hicolor/scalable/apps/incometax.svg; do
    [ -e "$work/root/$f" ] || fail "the package lacks /$f"
done
if dpkg-deb -c "$deb" | grep -E 'itdemo|tst_|bench_|itscreens|delayproxy'; then fail "the package holds a tool or test"; fi
desktop-file-validate "$work/root/usr/share/applications/incometax.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/in.corvantis.IncomeTax.metainfo.xml"

echo "== the test server"
IT_TARGETS=itdemo-program "$here/scripts/build.sh" >/dev/null
ip netns add "$ns"
ip netns exec "$ns" ip link set lo up
ip netns exec "$ns" "$here/scripts/dbserver.sh" start "$work/db" >/dev/null
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
ip netns exec "$ns" "$build/itdemo" --employees 200 --reset >/dev/null
ip netns exec "$ns" "$build/itdemo" --settings >/dev/null

# The installed programs, on this machine or, with $root set, in the fresh system there: their
# version without a display, and one batch run of the demo company through the ODBC
# configuration in force.
root=""
check_installed() {
    local in=() shown
    [ -z "$root" ] || in=(chroot "$root" env HOME=/root XDG_CONFIG_HOME=/root/.config)
    [ "$("${in[@]}" sh -c 'command -v itbatch')" = /usr/bin/itbatch ] || fail "itbatch is not /usr/bin/itbatch on the PATH"
    shown=$("${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY itbatch --version)
    [ "$shown" = "itbatch V$version" ] || fail "itbatch --version: $shown (the package is $version)"
    shown=$("${in[@]}" env -u DISPLAY -u WAYLAND_DISPLAY IncomeTax --version)
    [ "$shown" = "IncomeTax V$version" ] || fail "IncomeTax --version: $shown (the package is $version)"
    echo "$shown"
    shown=$(ip netns exec "$ns" "${in[@]}" env INCOMETAX_PASSWORD=Admin@123 ODBCSYSINI="${ODBCSYSINI:-/etc}" \
        itbatch --company C01 --user admin) || fail "the installed itbatch failed: $shown"
    echo "$shown"
    case "$shown" in *inserted*) ;; *) fail "the installed itbatch wrote no summary" ;; esac
}

# Another check on this machine (another checkout's CI) installs the same package: one at a time.
exec 9>/var/lock/incometax-test-deb.lock
flock -w 1800 9 || fail "another package check still holds /var/lock/incometax-test-deb.lock"
if dpkg-query -W -f='${Status}' incometax 2>/dev/null | grep -q 'install ok installed'; then
    fail "the incometax package is installed on this machine; the check installs and removes it"
fi
mine=1
odbcinst -q -d -n "MySQL ODBC 3.51 Driver" >/dev/null 2>&1 || fail "no 'MySQL ODBC 3.51 Driver' on this machine"
before=$(sha256sum /etc/odbcinst.ini)

echo "== install 1: no driver of the suite's name registered"
mkdir -p "$work/odbc"
: >"$work/odbc/odbcinst.ini"
(cd "$work" && ODBCSYSINI="$work/odbc" apt_get install ./incometax_*.deb >/dev/null)
grep -q '^\[MySQL ODBC 3.51 Driver\]' "$work/odbc/odbcinst.ini" || fail "the install registered no driver"
[ "$(sha256sum /etc/odbcinst.ini)" = "$before" ] || fail "the install changed /etc/odbcinst.ini"
ODBCSYSINI="$work/odbc" check_installed
ODBCSYSINI="$work/odbc" apt_get purge incometax >/dev/null
grep -q 'MySQL ODBC 3.51 Driver' "$work/odbc/odbcinst.ini" && fail "the purge left the driver's registration"
[ ! -e /var/lib/incometax ] || fail "the purge left /var/lib/incometax"

echo "== install 2: the machine's own registration"
(cd "$work" && apt_get install ./incometax_*.deb >/dev/null)
[ "$(sha256sum /etc/odbcinst.ini)" = "$before" ] || fail "the install changed /etc/odbcinst.ini"
check_installed
apt_get purge incometax >/dev/null
[ "$(sha256sum /etc/odbcinst.ini)" = "$before" ] || fail "the purge changed /etc/odbcinst.ini"
[ ! -e /usr/bin/IncomeTax ] || fail "the purge left /usr/bin/IncomeTax"
mine=0
flock -u 9
echo "== install 3: a fresh Debian (debootstrap, minbase): apt-get pulls every dependency"
. /etc/os-release
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian
dpkg-query -W -f='${Status}' debootstrap 2>/dev/null | grep -q 'install ok installed' ||
    apt_get install --no-install-recommends debootstrap >/dev/null
root="$work/fresh"
debootstrap --variant=minbase "$VERSION_CODENAME" "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log" >&2; fail "debootstrap failed"; }
mount -t proc proc "$root/proc"
cp "$deb" "$root/root/"
chroot "$root" sh -c 'apt-get -qq update && cd /root && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq -o Dpkg::Use-Pty=0 ./incometax_*.deb' >"$work/fresh-install.log" 2>&1 ||
    { tail -20 "$work/fresh-install.log" >&2; fail "the install on a fresh system failed"; }
echo "$(grep -c '^Setting up' "$work/fresh-install.log") packages set up"
grep -q '^\[MySQL ODBC 3.51 Driver\]' "$root/etc/odbcinst.ini" || fail "the install registered no driver"
mkdir -p "$root/root/.config/Dalvoni"
cp "$XDG_CONFIG_HOME/Dalvoni/Dalvoni.ini" "$root/root/.config/Dalvoni/"
check_installed
chroot "$root" sh -c 'DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o Dpkg::Use-Pty=0 incometax' >/dev/null 2>&1
grep -q 'MySQL ODBC 3.51 Driver' "$root/etc/odbcinst.ini" && fail "the purge left the driver's registration"
[ ! -e "$root/usr/bin/IncomeTax" ] || fail "the purge left /usr/bin/IncomeTax"
echo "== the package passed its check"
