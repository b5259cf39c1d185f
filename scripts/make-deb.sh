#!/usr/bin/env bash
# Builds the Debian package incometax_<version>_<arch>.deb from the checkout: IncomeTax,
# inetspooler and itbatch for /usr/bin, with Debian's hardening flags, in a build folder of
# its own (build-deb/, or $IT_DEB_BUILD_DIR) without the tests, then CPack
# (cmake/Package.cmake). The package lands in FOLDER (default: the checkout).
#
#   scripts/make-deb.sh [FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here}" && cd "${1:-$here}" && pwd)
build=${IT_DEB_BUILD_DIR:-$here/build-deb}

"$here/scripts/setup-deps.sh"
# dpkg-shlibdeps and dpkg-buildflags (dpkg-dev), and file, which CPack uses to find the programs.
missing=()
for p in dpkg-dev file; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
fi

# Every screenshot the software centre's entry names is one of docs/screenshots.
for shot in $(grep -o '@IT_SCREENSHOTS_URL@/[^<]*' "$here/packaging/incometax.metainfo.xml.in" | sed 's|.*/||'); do
    [ -f "$here/docs/screenshots/$shot" ] || { echo "make-deb: docs/screenshots/$shot is missing" >&2; exit 1; }
done

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DIT_BUILD_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_C_FLAGS=$cflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build "$build" -j "$(nproc)" --target IncomeTax inetspooler itbatch

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb="incometax_${version}_${arch}.deb"
rm -rf "$build/package"
(cd "$build" && cpack --config CPackConfig.cmake -B "$build/package" >"$build/cpack.log") \
    || { cat "$build/cpack.log" >&2; exit 1; }
mv "$build/package/$deb" "$out/$deb"
echo "$out/$deb"
