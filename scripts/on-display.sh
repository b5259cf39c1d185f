#!/usr/bin/env bash
# Runs a program on a display of its own, as a clerk's desktop shows it: a private X server
# (Xvfb, 1366x768, 24-bit) with the openbox window manager, and Qt's xcb platform. The server
# listens on a local socket only, so it also works inside the test run's network namespace.
#
#   scripts/on-display.sh PROGRAM [ARG...]
set -uo pipefail
[ $# -ge 1 ] || { echo "on-display: no program given" >&2; exit 2; }
exec xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" bash -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    # The window manager is up once it names itself on the root window.
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$@"
    rc=$?
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
    exit $rc' on-display "$@"
