#!/usr/bin/env bash
# Every figure of the Windows build, run under Wine, against the Linux
# build's, byte for byte: the shown texts and the bits of each probability,
# odds and ratio behind them.
#
#   compare_figures.sh LINUX_PROGRAM WINDOWS_PROGRAM WINE_PREFIX
#
# WINE_PREFIX is one made by scripts/wine-prefix.sh; this runs in a private
# copy of it (linked, not copied), in a scratch folder removed on the way out.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 LINUX_PROGRAM WINDOWS_PROGRAM WINE_PREFIX" >&2
  exit 2
fi
linux=$1 windows=$2 prefix=$3

work=$(mktemp -d)
trap 'WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/prefix" "$work/tmp" "$work/home"
for entry in "$prefix"/* "$prefix"/.[!.]*; do
  [ -e "$entry" ] && [ "$(basename "$entry")" != wineserver ] && cp -al "$entry" "$work/prefix/"
done

"$linux" >"$work/linux.txt"
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" TMPDIR="$work/tmp" WINEPREFIX="$work/prefix" \
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
  wine "$windows" </dev/null | tr -d '\r' >"$work/windows.txt"

lines=$(wc -l <"$work/linux.txt")
if [ "$lines" -lt 5000 ]; then
  echo "FAIL: the Linux build printed only $lines lines" >&2
  exit 1
fi
if ! cmp -s "$work/linux.txt" "$work/windows.txt"; then
  echo "FAIL: the Windows build's figures differ from the Linux build's (first differences, Linux then Windows):" >&2
  diff "$work/linux.txt" "$work/windows.txt" | head -20 >&2
  exit 1
fi
echo "ok - $lines lines of figures, identical on Linux and on Windows"
