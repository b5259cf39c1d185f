#!/usr/bin/env bash
# Runs inside the test run's network namespace: brings up loopback, starts a fresh MariaDB
# with the suite's schema, points ODBC at the registered driver, runs ctest, stops the server.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1; shift
ip link set lo up
run=$(mktemp -d /tmp/incometax-test.XXXXXX)
trap '"$here/scripts/dbserver.sh" stop "$run/db" >/dev/null 2>&1; rm -rf "$run"' EXIT
"$here/scripts/dbserver.sh" start "$run/db" || exit 1
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$run/config" XDG_DATA_HOME="$run/data" HOME="$run/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME"
export IT_TEST_DBDIR="$run/db"
cd "$build" && ctest --output-on-failure "$@"
