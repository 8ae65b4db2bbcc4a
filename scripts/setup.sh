#!/usr/bin/env bash
# Installs what Pagewright needs to build, test and run on Debian 12, then configures and builds.
# Quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-declarative-dev qt6-svg-dev
    qt6-translations-l10n libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core openbox xdotool x11-utils x11-apps x11-xkb-utils libx11-dev
    librsvg2-bin desktop-file-utils
    dpkg-dev file lintian appstream man-db
    clang-format
    libhunspell-dev hunspell-ru hunspell-en-us zlib1g-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset default >/dev/null
cmake --build --preset default -j "${PAGEWRIGHT_JOBS:-2}"
