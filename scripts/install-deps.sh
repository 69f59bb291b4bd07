#!/usr/bin/env bash
# Installs the Debian packages Meravel needs, and the French locale the tests
# run under. Does nothing when all is already there, so `make run` and
# `make test` can call it every time.
#
#   install-deps.sh run      building and running the Linux program
#   install-deps.sh test     run's, plus all the tests need: GoogleTest,
#                            benchmark and MPFR, Xvfb, openbox and the X
#                            tools, the Qt styles checked, the packaging and
#                            accessibility tools, and the Windows program's
#                            cross compiler, installer tools and Wine
#   install-deps.sh windows  run's, plus building the Windows program and its
#                            installer (no Wine), and signing them
#   install-deps.sh package  run's, plus making the Debian package
set -euo pipefail

set_name=${1:-test}

run_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-svg-dev qt6-translations-l10n fonts-dejavu-core
)
windows_packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wixl msitools zip unzip python3 osslsigncode
)
package_packages=(dpkg-dev file)
test_packages=(
  "${windows_packages[@]}"
  wine wine64 fonts-wine
  libgtest-dev libgmock-dev libbenchmark-dev libmpfr-dev
  xvfb xauth xdotool x11-utils openbox imagemagick xclip wmctrl libxcb1-dev
  adwaita-qt6 qt6-gtk-platformtheme
  librsvg2-bin locales desktop-file-utils appstream dpkg-dev file lintian
  python3-pyatspi at-spi2-core dbus weston qt6-wayland orca speech-dispatcher
  openssl diffoscope-minimal
)

case "$set_name" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  windows) packages=("${run_packages[@]}" "${windows_packages[@]}") ;;
  package) packages=("${run_packages[@]}" "${package_packages[@]}") ;;
  *)
    echo "usage: $0 run|test|windows|package" >&2
    exit 2
    ;;
esac

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
if [ "$set_name" = test ] && ! locale -a 2>/dev/null | grep -qiE '^fr_FR\.utf-?8$'; then
  echo "Generating the fr_FR.UTF-8 locale"
  as_root localedef -i fr_FR -c -f UTF-8 -A /usr/share/locale/locale.alias fr_FR.UTF-8
fi
