#!/usr/bin/env bash
# Installs and builds what the tests need, then runs every test against a throwaway MariaDB
# inside a private network namespace, so that it can listen on 127.0.0.1:3306 without
# touching any other server, and with a small disk of its own that fills up. Extra arguments go to ctest (for example -R lookup).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup-deps.sh"
"$here/scripts/build.sh"
build=${IT_BUILD_DIR:-$here/build}
# A mount namespace of its own too: the tests' small disk is mounted there and nowhere else.
if [ "$(id -u)" = 0 ]; then
    exec unshare -n -m "$here/scripts/test-in-namespace.sh" "$build" "$@"
else
    exec unshare -r -n -m "$here/scripts/test-in-namespace.sh" "$build" "$@"
fi
