#!/usr/bin/env bash
# Builds a Release tree with Debian's hardening flags in build-release, packs it as
# pagewright_VERSION_ARCH.deb and checks the package (its files, Depends, lintian, the metadata
# validators). Prints where the package is. Install it with: sudo apt-get install ./<that file>
set -euo pipefail
cd "$(dirname "$0")/.."
tree=build-release

# The flags every Debian package is built with: fortified calls, stack protector, read-only
# relocations.
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release -DPAGEWRIGHT_WERROR=OFF \
    -DPAGEWRIGHT_TESTS=OFF -DPAGEWRIGHT_BENCH=OFF -DPAGEWRIGHT_E2E=OFF >/dev/null
cmake --build "$tree" -j2

bash tests/package/check-package.sh "$tree/package-check.env"
deb=$(ls "$tree"/tests/package/pagewright_*.deb)
cp "$deb" "$tree/"
echo "package: $tree/$(basename "$deb")"
