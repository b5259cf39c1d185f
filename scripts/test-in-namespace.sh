#!/usr/bin/env bash
# Runs inside the test run's network and mount namespaces: brings up loopback, mounts the
# small disk, starts a fresh MariaDB with the suite's schema, points ODBC at the registered
# driver, runs ctest, stops the server.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1; shift
ip link set lo up
run=$(mktemp -d /tmp/incometax-test.XXXXXX)
trap '"$here/scripts/dbserver.sh" stop "$run/db" >/dev/null 2>&1; umount "$run/small-disk" 2>/dev/null; rm -rf "$run"' EXIT
# A disk that a statement's workbook or print file fills (tests of a full disk): a small
# tmpfs in this run's own mount namespace. Without one those tests are skipped.
mkdir -p "$run/small-disk"
if mount -t tmpfs -o size=192k tmpfs "$run/small-disk" 2>/dev/null; then
    export IT_TEST_SMALL_DISK="$run/small-disk"
fi
"$here/scripts/dbserver.sh" start "$run/db" || exit 1
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$run/config" XDG_DATA_HOME="$run/data" HOME="$run/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
export IT_TEST_DBDIR="$run/db"
cd "$build" && ctest --output-on-failure "$@"
