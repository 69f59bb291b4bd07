#!/usr/bin/env bash
# Installs the Debian packages Meravel needs to build, run and test, and the
# French locale the tests run under. Does nothing when all is already there,
# so `make run` and `make test` can call it every time.
#
#   install-deps.sh            the Linux program and its tests
#   install-deps.sh --windows  also the Windows program: the mingw-w64 cross
#                              compiler, the installer tools, and Wine (64-bit)
#                              with its fonts to test it
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils openbox imagemagick
  qt6-svg-dev qt6-translations-l10n librsvg2-bin fonts-dejavu-core locales
  desktop-file-utils appstream dpkg-dev file
  python3 xclip wmctrl libxcb1-dev
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wixl msitools zip unzip
    wine wine64 fonts-wine
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locale tests run the calculator under French regional settings.
if ! locale -a 2>/dev/null | grep -qiE '^fr_FR\.utf-?8$'; then
  echo "Generating the fr_FR.UTF-8 locale"
  as_root localedef -i fr_FR -c -f UTF-8 -A /usr/share/locale/locale.alias fr_FR.UTF-8
fi
