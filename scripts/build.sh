#!/usr/bin/env bash
# Configures and builds IncomeTax into build/ (or $IT_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${IT_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=${IT_BUILD_TYPE:-RelWithDebInfo} >/dev/null
# IT_TARGETS (blank-separated) limits the build to those targets.
if [ -n "${IT_TARGETS:-}" ]; then
    for t in $IT_TARGETS; do cmake --build "$build" -j "$(nproc)" --target "$t"; done
else
    cmake --build "$build" -j "$(nproc)"
fi
