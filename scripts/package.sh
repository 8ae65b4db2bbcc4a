#!/usr/bin/env bash
# Builds a Release tree with Debian's hardening flags in build-release, packs it as
# pagewright_VERSION_ARCH.deb and checks the package (its files, Depends, lintian, the metadata
# validators). Prints where the package is. Install it with: sudo apt-get install ./<that file>
set -euo pipefail
cd "$(dirname "$0")/.."
tree=build-release

# The flags every Debian package is built with: fortified calls, stack protector, read-only
# relocations, all bound at start-up (bindnow).
export DEB_BUILD_MAINT_OPTIONS=hardening=+bindnow
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
# Given on the command line, not only through the environment, which a configured tree ignores.
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DPAGEWRIGHT_WERROR=OFF \
    -DCMAKE_CXX_FLAGS="$CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
    -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" \
    -DPAGEWRIGHT_TESTS=OFF -DPAGEWRIGHT_BENCH=OFF -DPAGEWRIGHT_E2E=OFF >/dev/null
cmake --build "$tree" -j2

bash tests/package/check-package.sh "$tree/package-check.env"
deb=$(ls "$tree"/tests/package/pagewright_*.deb)
cp "$deb" "$tree/"
echo "package: $tree/$(basename "$deb")"
