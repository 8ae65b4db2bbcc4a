#!/usr/bin/env bash
# Packs a built tree with cpack and checks the Debian package it writes: exactly the files an
# install should hold, a Depends that names the package of every library the program and its
# engine module link, the recommended dictionaries, manual pages that render cleanly and document
# every option of the program's own help, metadata that the freedesktop.org and AppStream
# validators accept, and no error from lintian.
#   bash check-package.sh <build>/package-check.env
# The file, written by the build, names the tree, the program, the version, the lib folder and
# the AppStream id. Ends with 77 (skipped) where cpack or dpkg-deb is missing.
set -euo pipefail
# shellcheck source=/dev/null
source "$1"

for tool in cpack dpkg-deb; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

out="$BUILD_DIR/tests/package"
rm -rf "$out"
mkdir -p "$out"
if ! cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    echo "FAIL: cpack could not pack $BUILD_DIR"
    exit 1
fi
deb="$out/pagewright_${VERSION}_$(dpkg --print-architecture).deb"
if [[ ! -f "$deb" ]]; then
    ls "$out"
    echo "FAIL: cpack did not write $deb"
    exit 1
fi
echo "packed: $deb"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# Whether the comma-separated relation list $1 names package $2 (with or without a version).
names_package() {
    tr ',|' '\n\n' <<<"$1" | awk '{print $1}' | grep -qx -- "$2"
}

# The files, exactly: a file that an install rule forgets, or one that slips in, both fail.
expected=(
    usr/bin/pagewright
    "usr/$LIBDIR/pagewright/pagewright-webengine.so"
    usr/share/applications/pagewright.desktop
    "usr/share/metainfo/$METAINFO_ID.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/pagewright.svg
    usr/share/man/man1/pagewright.1.gz
    usr/share/man/ru/man1/pagewright.1.gz
    usr/share/doc/pagewright/copyright
    usr/share/doc/pagewright/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/pagewright.png")
done
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [[ "$actual" != "$wanted" ]]; then
    diff <(echo "$wanted") <(echo "$actual") || true
    fail "the package's files differ from the expected list (< expected, > packed)"
fi

root="$out/root"
dpkg-deb -x "$deb" "$root"

[[ "$(dpkg-deb -f "$deb" Package)" == pagewright ]] || fail "package name"
[[ "$(dpkg-deb -f "$deb" Version)" == "$VERSION" ]] || fail "version is not $VERSION"

# Depends: the package of every library that the program or the module links directly. Only
# dpkg-shlibdeps knows the lowest version that provides the symbols used, so the C library, which
# every program links, comes with one.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -Eq "(^|, )libc6 \(>= [^)]+\)" <<<"$depends" || fail "Depends names no libc6 version"
for elf in usr/bin/pagewright "usr/$LIBDIR/pagewright/pagewright-webengine.so"; do
    if ! libraries=$(ldd "$root/$elf"); then
        fail "ldd cannot read $elf"
        continue
    fi
    for soname in $(objdump -p "$root/$elf" | awk '$1 == "NEEDED" { print $2 }'); do
        path=$(awk -v name="$soname" '$1 == name { print $3 }' <<<"$libraries")
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null ||
            dpkg -S "/usr$path" 2>/dev/null || true)
        owner=${owner%%:*}
        if [[ -z "$owner" ]]; then
            fail "$elf links $soname, which no installed package holds ($path)"
        elif ! names_package "$depends" "$owner"; then
            fail "Depends lacks $owner, whose $soname $elf links"
        fi
    done
done
recommends=$(dpkg-deb -f "$deb" Recommends)
for dictionary in hunspell-ru hunspell-en-us; do
    names_package "$recommends" "$dictionary" || fail "Recommends lacks $dictionary"
done

# The versions a user sees in the package, the changelog and the software centre agree.
zcat "$root/usr/share/doc/pagewright/changelog.gz" | head -n 1 | grep -q "^pagewright ($VERSION) " ||
    fail "the changelog's latest entry is not $VERSION"
metainfo="$root/usr/share/metainfo/$METAINFO_ID.metainfo.xml"
latest_release=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[[ "$latest_release" == "$VERSION" ]] ||
    fail "the metadata's latest release is '$latest_release', not $VERSION"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
[[ -n "$launchable" && -f "$root/usr/share/applications/$launchable" ]] ||
    fail "the metadata launches '$launchable', which the package does not hold"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/pagewright.desktop" ||
        fail "desktop-file-validate"
else
    echo "not checked: desktop-file-validate is not installed"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli validate"
else
    echo "not checked: appstreamcli is not installed"
fi

# Manual pages: no warning from groff, the project version, and every option that the program's
# help lists (short and long) in both languages.
options=$(QT_QPA_PLATFORM=offscreen "$PW" --help 2>/dev/null |
    grep -E '^  +-' | sed -E 's/  +[^-].*$//' | tr ', ' '\n\n' | grep -E '^-' | sort -u)
[[ -n "$options" ]] || fail "no options read from $PW --help"
for page in usr/share/man/man1/pagewright.1.gz usr/share/man/ru/man1/pagewright.1.gz; do
    [[ -f "$root/$page" ]] || continue # missing from the file list above
    if ! warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/$page" 2>&1 >/dev/null) ||
        [[ -n "$warnings" ]]; then
        fail "$page does not render cleanly: $warnings"
    fi
    text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$root/$page" 2>/dev/null | col -b || true)
    grep -q "Pagewright $VERSION" <<<"$text" || fail "$page does not carry version $VERSION"
    for option in $options; do
        grep -Eq -- "(^|[^-[:alnum:]])$option([^-[:alnum:]]|$)" <<<"$text" ||
            fail "$page does not describe $option"
    done
done

if command -v lintian >/dev/null; then
    # Errors fail; warnings are printed for the reader.
    lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"
else
    echo "not checked: lintian is not installed"
fi

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "the package holds what it should"
