#!/usr/bin/env bash
# Two builds of the same sources give the same bytes: the Windows build's
# program, installer and zip, and the Debian package made from this build
# tree, against those that scripts/reproduce.sh builds again in another
# folder, at another time, under another umask, time zone and locale.
#
#   check_reproducible.sh BUILD_DIR WINDOWS_BUILD_DIR VERSION [CPACK]
set -euo pipefail

build=$1 win=$2 version=$3 cpack=${4:-cpack}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-reproducible.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

build_deb "$build" "$cpack"
bash "$here/../../scripts/reproduce.sh" "$win/win32/meravel.exe" \
  "$win/meravel-$version-x64.msi" "$win/meravel-$version-win64.zip" "$deb"
