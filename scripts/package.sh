#!/usr/bin/env bash
# Builds the Debian package as a packager would, in build-package/: Release, with the distribution's
# hardening flags, laid out under /usr (where the programs then look for their data), warnings not turned
# into errors. Then checks it with lintian, which must report no errors. Too slow for every ./test.
#
#   scripts/package.sh                 # prints the path of the .deb last
#   sudo apt install ./build-package/tq550-librarian_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
# dpkg-shlibdeps (dpkg-dev) and file find the shared libraries the programs need; lintian checks the result.
tq_ensure_packages dpkg-dev file lintian
jobs=$(nproc)

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build build-package -j"$jobs"
rm -f build-package/tq550-librarian_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls build-package/tq550-librarian_*.deb)

dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "lintian:"
lintian --fail-on error --info "$deb"
echo "$deb"
