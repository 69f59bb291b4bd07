#!/usr/bin/env bash
# Prepares a private 64-bit Wine prefix for the end-to-end tests of the Win32
# front end:
#
#   scripts/wine-prefix.sh DIR
#
# A French Windows with Wine's own fonts (so that the dialogs' "MS Shell Dlg"
# is Wine's Tahoma, as in any Wine), no Mono or Gecko, no desktop entries,
# and windows that Wine handles itself (Managed=N): the tests run it under a
# bare X server, with no window manager to wait for. Nothing is written into the home folder. When
# DIR already holds a prefix made by this script for the same Wine, it returns
# at once. Ends only once the prefix's wineserver has ended.
#
# Copyright (C) les auteurs de Meravel / the Meravel authors
# SPDX-License-Identifier: GPL-3.0-or-later
set -euo pipefail

if [ $# -ne 1 ] || [ -z "$1" ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
for tool in wine wineboot wineserver; do
  if ! command -v "$tool" >/dev/null; then
    echo "$0: $tool is missing (Debian packages wine, wine64 and fonts-wine)" >&2
    exit 2
  fi
done

mkdir -p "$1"
prefix=$(cd "$1" && pwd)
fonts=/usr/share/wine/fonts

export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
unset DISPLAY WAYLAND_DISPLAY

# What the prefix is made of: a change to any of it makes a new one.
stamp="wine=$(wine --version 2>/dev/null) managed=N decorated=N fonts=$(find "$fonts" -maxdepth 1 -type f 2>/dev/null | wc -l) layout=1"
if [ -f "$prefix/system.reg" ] && [ "$(cat "$prefix/.meravel-e2e" 2>/dev/null)" = "$stamp" ]; then
  exit 0
fi
if [ ! -d "$fonts" ]; then
  echo "$0: $fonts is missing (Debian package fonts-wine)" >&2
  exit 2
fi
rm -f "$prefix/.meravel-e2e"

# Wine links the user's folders (Desktop, Documents...) to the home folder:
# give it a throwaway one, then make those folders plain ones in the prefix.
scratch_home=$(mktemp -d)
trap 'rm -rf "$scratch_home"' EXIT
export HOME="$scratch_home"
export XDG_CONFIG_HOME="$scratch_home/.config" XDG_DATA_HOME="$scratch_home/.local/share"
export XDG_CACHE_HOME="$scratch_home/.cache"
# Debian's wineserver keeps its socket in a folder under TMPDIR, named in the
# prefix's file "wineserver": both go with the scratch folder.
export TMPDIR="$scratch_home"

# No display: nothing in the set-up needs one.
wineboot -i >/dev/null 2>&1 || wineboot -u >/dev/null 2>&1

wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
rm -f "$prefix/wineserver"

mkdir -p "$prefix/drive_c/windows/Fonts"
cp -f "$fonts"/* "$prefix/drive_c/windows/Fonts/"

find "$prefix/drive_c/users" -type l -lname "$scratch_home*" -print0 |
  while IFS= read -r -d '' link; do
    rm -f "$link" && mkdir -p "$link"
  done

if ! grep -q '^"Managed"="N"' "$prefix/user.reg"; then
  echo "$0: could not set Managed=N in $prefix" >&2
  exit 1
fi
echo "$stamp" >"$prefix/.meravel-e2e"
