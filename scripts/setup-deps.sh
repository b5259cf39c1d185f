#!/usr/bin/env bash
# Installs what IncomeTax needs on Debian 12 and registers the MariaDB ODBC driver under the
# name the suite's connection strings use ("MySQL ODBC 3.51 Driver"). Safe to run again.
set -euo pipefail
packages=(
    build-essential cmake pkg-config clang-format-14
    qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc libgl1-mesa-dri
    unixodbc unixodbc-dev odbc-mariadb
    mariadb-server mariadb-client
    libxlsxwriter-dev
    xvfb xauth x11-apps x11-utils imagemagick poppler-utils qpdf python3-openpyxl
    cups-client xdg-utils fonts-dejavu-core fonts-liberation fonts-noto-core iproute2 util-linux openbox
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The suite's driver name.
if ! odbcinst -q -d -n "MySQL ODBC 3.51 Driver" >/dev/null 2>&1; then
    driver=$(dpkg -L odbc-mariadb | grep '/libmaodbc\.so$' | head -n1)
    tmp=$(mktemp)
    printf '[MySQL ODBC 3.51 Driver]\nDescription=MariaDB Connector/ODBC\nDriver=%s\nThreading=0\n' "$driver" >"$tmp"
    sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo odbcinst -i -d -f "$tmp" >/dev/null
    rm -f "$tmp"
fi
# The packaged server is not needed as a service; ours run on their own data folders.
