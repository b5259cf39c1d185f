#!/usr/bin/env bash
# Starts or stops a private MariaDB server for IncomeTax on 127.0.0.1:3306.
#
#   scripts/dbserver.sh start DATADIR   create DATADIR if new, start the server, load the schema
#   scripts/dbserver.sh stop DATADIR    stop the server that runs on DATADIR
#   scripts/dbserver.sh sql DATADIR     a mysql client on that server (stdin or args)
#
# IT_DB_ADDRESS=127.0.0.2 makes the server listen on that loopback address instead (the port
# stays 3306, the one the suite's connection strings name), beside a server that holds
# 127.0.0.1:3306, such as the one Debian's mariadb-server package starts.
#
# The root password is the five characters '7391' (quotes included): that is what the
# suite's local connection string sends through the ODBC driver.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cmd=${1:?start|stop|sql}
datadir=$(mkdir -p "${2:?datadir}" && cd "$2" && pwd)
sock="$datadir/mysqld.sock"
pidfile="$datadir/mysqld.pid"
log="$datadir/mysqld.log"
rootpw="'7391'"
address=${IT_DB_ADDRESS:-127.0.0.1}

client() { mariadb --protocol=socket -S "$sock" -uroot "-p$rootpw" "$@"; }

case "$cmd" in
start)
    if [ -S "$sock" ] && client -e 'select 1' >/dev/null 2>&1; then
        running=$(client -N -e 'select @@bind_address' 2>/dev/null || true)
        if [ "$running" = "$address" ]; then
            echo "database server already running on $datadir"; exit 0
        fi
        # Started earlier on another address: start it again where it is asked for.
        "$0" stop "$datadir"
    fi
    fresh=0
    if [ ! -d "$datadir/mysql" ]; then
        fresh=1
        mariadb-install-db --no-defaults --user="$(id -un)" --datadir="$datadir" \
            --auth-root-authentication-method=normal --skip-test-db >"$datadir/install.log" 2>&1 \
            || { cat "$datadir/install.log"; exit 1; }
    fi
    if (exec 3<>"/dev/tcp/$address/3306") 2>/dev/null; then
        echo "Port 3306 on $address is taken by another server." >&2
        if [ "$address" = 127.0.0.1 ]; then
            echo "Stop that server (for example 'systemctl stop mariadb'), or start this one on" >&2
            echo "another loopback address (IT_DB_ADDRESS=127.0.0.2)." >&2
        else
            echo "A server that listens on every address (bind-address 0.0.0.0 or *) holds port 3306" >&2
            echo "on $address too. Let it listen on 127.0.0.1 only (bind-address = 127.0.0.1 in its" >&2
            echo "configuration), or point IncomeTax at it instead (see README)." >&2
        fi
        exit 2
    fi
    mariadbd --no-defaults --user="$(id -un)" --datadir="$datadir" --socket="$sock" \
        --pid-file="$pidfile" --bind-address="$address" --port=3306 --log-error="$log" \
        --skip-name-resolve --innodb-buffer-pool-size=256M --innodb-flush-log-at-trx-commit=2 \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_general_ci \
        --max-connections=50 >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
        if [ -S "$sock" ] && mariadb --protocol=socket -S "$sock" -uroot -e 'select 1' >/dev/null 2>&1; then break; fi
        if [ -S "$sock" ] && client -e 'select 1' >/dev/null 2>&1; then break; fi
        sleep 0.1
    done
    if [ "$fresh" = 1 ]; then
        mariadb --protocol=socket -S "$sock" -uroot <<SQL
DELETE FROM mysql.global_priv WHERE User='root' AND Host NOT IN ('localhost','127.0.0.1');
DELETE FROM mysql.global_priv WHERE User='';
FLUSH PRIVILEGES;
CREATE USER IF NOT EXISTS 'root'@'127.0.0.1';
ALTER USER 'root'@'localhost' IDENTIFIED BY '''7391''';
ALTER USER 'root'@'127.0.0.1' IDENTIFIED BY '''7391''';
GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION;
CREATE USER IF NOT EXISTS 'corvantis'@'%' IDENTIFIED BY 'amberlattice';
GRANT ALL PRIVILEGES ON hr0910.* TO 'corvantis'@'%';
GRANT ALL PRIVILEGES ON dalvoni.* TO 'corvantis'@'%';
FLUSH PRIVILEGES;
SQL
        client < "$here/db/schema.sql"
    fi
    client -e 'select 1' >/dev/null || { echo "database server did not start; see $log" >&2; tail -20 "$log" >&2; exit 1; }
    ;;
stop)
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
    ;;
sql)
    shift 2
    client "$@"
    ;;
*) echo "usage: $0 start|stop|sql DATADIR" >&2; exit 1 ;;
esac
