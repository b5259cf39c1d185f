#!/usr/bin/env bash
# The IncomeTax demo in one command on a Debian 12 desktop: installs what is needed, builds,
# starts the demo database server (data kept in .demo/ of this checkout, on 127.0.0.1:3306),
# writes the demo company into it the first time, and starts IncomeTax.
#
#   scripts/run-demo.sh [--employees N] [--reset]
#       --employees N   employees of a newly written demo company (default 500)
#       --reset         write the demo company again, replacing what the server holds
#   scripts/run-demo.sh --stop
#       stops the demo server (its data stays for the next run)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
datadir="$here/.demo/db"
marker="$here/.demo/generated"
employees=500
reset=0

usage() { sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
    case "$1" in
    --stop)
        "$here/scripts/dbserver.sh" stop "$datadir"
        echo "Demo server stopped (data kept in $datadir)."
        exit 0
        ;;
    --reset) reset=1 ;;
    --employees)
        [ $# -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || { echo "run-demo: --employees needs a number" >&2; exit 1; }
        employees=$2
        shift
        ;;
    --employees=*)
        employees=${1#--employees=}
        [[ "$employees" =~ ^[0-9]+$ ]] || { echo "run-demo: --employees needs a number" >&2; exit 1; }
        ;;
    -h | --help) usage; exit 0 ;;
    *) echo "run-demo: unknown option $1" >&2; usage >&2; exit 1 ;;
    esac
    shift
done

"$here/scripts/setup-deps.sh"
"$here/scripts/build.sh"
build=${IT_BUILD_DIR:-$here/build}

mkdir -p "$here/.demo"
"$here/scripts/dbserver.sh" start "$datadir"

# A new data folder, or one whose last generation did not finish, gets the demo company.
if [ "$reset" = 1 ] || [ ! -f "$marker" ]; then
    rm -f "$marker"
    echo "Writing the demo company ($employees employees) ..."
    "$build/itdemo" --employees "$employees" --reset
    touch "$marker"
else
    echo "The demo company is already in place (scripts/run-demo.sh --reset writes it again)."
    "$build/itdemo" --users
fi

"$build/itdemo" --settings

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run-demo: no desktop session (DISPLAY is not set); start IncomeTax from a desktop terminal." >&2
    exit 1
fi
echo "Starting IncomeTax. The demo server keeps running; stop it with: scripts/run-demo.sh --stop"
exec "$build/IncomeTax"
