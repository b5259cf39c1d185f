#!/usr/bin/env bash
# Takes docs/screenshots/*.png: a private server in a private network namespace, a small
# company of its own, and the shell walked under Xvfb. Run as root from the checkout.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
IT_TARGETS=itscreens "$here/scripts/build.sh" >/dev/null
exec unshare -n bash -s "$here" <<'INNER'
set -euo pipefail
here=$1
ip link set lo up
run=$(mktemp -d /tmp/itscreens.XXXXXX)
trap '"$here/scripts/dbserver.sh" stop "$run/db" >/dev/null 2>&1; rm -rf "$run"' EXIT
"$here/scripts/dbserver.sh" start "$run/db" >/dev/null
"$here/scripts/dbserver.sh" sql "$run/db" <<'SQL'
INSERT INTO dalvoni.unitmaster VALUES ('HO','HEAD OFFICE'),('MUM','MUMBAI'),('CHN','CHENNAI'),('DLH','DELHI');
INSERT INTO dalvoni.acc_companymaster VALUES ('C01','ZENITH TEXTILES LTD',0,1),('C02','ZENITH EXPORTS PVT LTD',0,2),
  ('C03','ZENITH HOME FURNISHINGS',0,3),('C04','ZENITH LOGISTICS',0,4);
INSERT INTO dalvoni.userdetails VALUES (1,'admin','admin',1,'G1',0,0,1);
INSERT INTO dalvoni.versionmaster VALUES ('IT','V1.1');
INSERT INTO dalvoni.ac_fin_year VALUES
  ('HO','2016-04-01','2017-03-31','2016-04-01','2017-03-31',0,1,'2016-17'),
  ('HO','2017-04-01','2018-03-31','2017-04-01','2018-03-31',0,1,'2017-18'),
  ('HO','2018-04-01','2019-03-31','2018-04-01','2019-03-31',0,1,'2018-19'),
  ('HO','2019-04-01','2020-03-31','2019-04-01','2020-03-31',1,1,'2019-20');
SQL
export XDG_CONFIG_HOME="$run/config"
mkdir -p "$XDG_CONFIG_HOME/Dalvoni"
printf '[ServerIp]\nServerIP=127.0.0.1\n[IncomeTax]\nUnitCode=HO\n' > "$XDG_CONFIG_HOME/Dalvoni/Dalvoni.ini"
mkdir -p "$here/docs/screenshots"
# A window manager draws the frames and captions as a desktop would.
xvfb-run -a -s "-screen 0 1280x800x24" bash -c \
    'openbox >/dev/null 2>&1 & sleep 1; "$0/build/tools/screenshots/itscreens" "$0/docs/screenshots"' "$here"
INNER
