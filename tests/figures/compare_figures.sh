#!/usr/bin/env bash
# Every figure a build prints, against the reference, byte for byte: the shown
# texts and the bits of each probability, odds and ratio behind them.
#
#   compare_figures.sh REFERENCE PROGRAM [WINE_PREFIX]
#
# PROGRAM is tests/figures/meravel_print_figures of either build; with
# WINE_PREFIX, one made by scripts/wine-prefix.sh, it is the Windows one and
# runs under Wine in a private copy of that prefix (linked, not copied), in a
# scratch folder removed on the way out.
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 REFERENCE PROGRAM [WINE_PREFIX]" >&2
  exit 2
fi
reference=$1 program=$2 prefix=${3:-}

work=$(mktemp -d)
if [ -n "$prefix" ]; then
  trap 'WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  mkdir -p "$work/prefix" "$work/tmp" "$work/home"
  for entry in "$prefix"/* "$prefix"/.[!.]*; do
    [ -e "$entry" ] && [ "$(basename "$entry")" != wineserver ] && cp -al "$entry" "$work/prefix/"
  done
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" TMPDIR="$work/tmp" WINEPREFIX="$work/prefix" \
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    wine "$program" </dev/null | tr -d '\r' >"$work/figures.txt"
else
  trap 'rm -rf "$work"' EXIT
  "$program" >"$work/figures.txt"
fi

if ! cmp -s "$reference" "$work/figures.txt"; then
  echo "FAIL: the figures differ from $reference (first differences, reference then this build)." >&2
  echo "If the change is meant, it changes what clinicians read: review it, then rewrite the reference." >&2
  diff "$reference" "$work/figures.txt" | head -20 >&2
  exit 1
fi
echo "ok - $(wc -l <"$reference") lines of figures, identical to the reference"
