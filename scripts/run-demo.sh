#!/usr/bin/env bash
# The IncomeTax demo in one command on a Debian 12 desktop: installs what is needed, builds
# the three programs it runs, starts the demo database server, writes the demo company into
# it the first time, and starts IncomeTax.
#
#   scripts/run-demo.sh [--employees N] [--reset]
#       --employees N   employees of a newly written demo company (default 500)
#       --reset         write the demo company again, replacing what the server holds
#   scripts/run-demo.sh --stop
#       stops the demo server (its data stays for the next run)
#
# Everything stays in .demo/ of this checkout: the build (build/), the server's data (db/)
# and the settings store IncomeTax reads (config/). The server listens on 127.0.0.2:3306, so
# a MariaDB or MySQL server of this machine on 127.0.0.1:3306 (Debian's mariadb-server
# starts one) keeps running untouched, and so do your own IncomeTax settings.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
demo="$here/.demo"
datadir="$demo/db"
marker="$demo/generated"
build=${IT_DEMO_BUILD_DIR:-$demo/build}
# The demo server's address: any address but exactly 127.0.0.1 makes IncomeTax use the
# suite's network connection string (user corvantis), which the demo server accepts.
address=127.0.0.2
employees=500
reset=0

usage() { sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
    case "$1" in
    --stop)
        IT_DB_ADDRESS=$address "$here/scripts/dbserver.sh" stop "$datadir"
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

# Only the programs the demo runs; the tests and benchmarks are built by scripts/test.sh.
echo "Building IncomeTax, inetspooler and itdemo in $build ..."
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DIT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target IncomeTax inetspooler itdemo-program

mkdir -p "$demo"
IT_DB_ADDRESS=$address "$here/scripts/dbserver.sh" start "$datadir"

# A new data folder, or one whose last generation did not finish, gets the demo company.
if [ "$reset" = 1 ] || [ ! -f "$marker" ]; then
    rm -f "$marker"
    echo "Writing the demo company ($employees employees) ..."
    # Today's financial year is its default, paid up to the last complete month.
    "$build/itdemo" --server "$address" --employees "$employees" --reset --high-earners
    # The month it was written for: a later month's run says that the demo has aged.
    date +%Y-%m >"$marker"
else
    echo "The demo company is already in place (scripts/run-demo.sh --reset writes it again)."
    written=$(cat "$marker")
    if [ "$written" != "$(date +%Y-%m)" ]; then
        echo "It was written in ${written:-an earlier month}: its default year and payroll end there;" \
            "scripts/run-demo.sh --reset writes it for today."
    fi
    "$build/itdemo" --users
fi

# The demo's own settings store: the server address and the unit of the demo company. The
# rest of your configuration (desktop, file viewers) is linked in, so that IncomeTax and
# the PDF viewer it opens look and behave as they do for you.
userconfig=${XDG_CONFIG_HOME:-$HOME/.config}
export XDG_CONFIG_HOME="$demo/config"
mkdir -p "$XDG_CONFIG_HOME"
if [ -d "$userconfig" ] && [ "$(cd "$userconfig" && pwd)" != "$XDG_CONFIG_HOME" ]; then
    for entry in "$userconfig"/* "$userconfig"/.[!.]*; do
        [ -e "$entry" ] || continue
        name=$(basename "$entry")
        [ "$name" = Dalvoni ] && continue
        [ -e "$XDG_CONFIG_HOME/$name" ] || [ -L "$XDG_CONFIG_HOME/$name" ] || ln -s "$entry" "$XDG_CONFIG_HOME/$name"
    done
fi
"$build/itdemo" --settings --server "$address"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run-demo: no desktop session (DISPLAY is not set); start IncomeTax from a desktop terminal." >&2
    exit 1
fi
echo "Starting IncomeTax. Exported workbooks go to $build/Excel Files, the print file is $build/os.prn."
echo "The demo server keeps running; stop it with: scripts/run-demo.sh --stop"
exec "$build/IncomeTax"
