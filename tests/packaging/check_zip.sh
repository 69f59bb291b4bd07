#!/usr/bin/env bash
# Checks the portable zip of the Windows program: the folder meravel-VERSION/
# with meravel.exe, README.txt and, when the sources have one, LICENSE.txt,
# and nothing else; the program is the one just built; the texts open in
# Notepad as they are (UTF-8 byte-order mark, CRLF line ends).
#
#   check_zip.sh ZIP [VERSION [EXE]]
#
# VERSION defaults to the project's, read from the top CMakeLists.txt; EXE,
# when given, is the built program the zip must hold.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 ZIP [VERSION [EXE]]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
zip=$1
version=${2:-$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$here/../../CMakeLists.txt" | head -n 1)}
exe=${3:-}
[ -f "$zip" ] || { echo "FAIL: no zip $zip" >&2; exit 1; }
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-zip.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

if unzip -tq "$zip" >/dev/null; then ok "$(basename "$zip") is a sound zip"; else fail "$(basename "$zip") is damaged"; fi
dir=meravel-$version
entries=$(unzip -Z1 "$zip" | grep -vx "$dir/" | sort | tr '\n' ' ')
want="$dir/README.txt $dir/meravel.exe "
[ -f "$here/../../LICENSE" ] && want="$dir/LICENSE.txt $want"
if [ "$entries" = "$want" ]; then ok "entries: $entries"; else fail "entries are '$entries', not '$want'"; fi

unzip -q "$zip" -d "$scratch"
program=$scratch/$dir/meravel.exe
if [ -f "$program" ]; then
  case $(file -b "$program") in
    "PE32+ executable (GUI) x86-64"*) ok "meravel.exe is a 64-bit Windows GUI program" ;;
    *) fail "meravel.exe is $(file -b "$program")" ;;
  esac
  if [ -n "$exe" ]; then
    if cmp -s "$program" "$exe"; then ok "meravel.exe is $exe"; else fail "meravel.exe differs from $exe"; fi
  fi
fi
for text in README.txt LICENSE.txt; do
  f=$scratch/$dir/$text
  [ -f "$f" ] || continue
  if [ "$(head -c 3 "$f" | od -An -tx1 | tr -d ' ')" = efbbbf ]; then
    ok "$text starts with a UTF-8 byte-order mark"
  else
    fail "$text has no UTF-8 byte-order mark"
  fi
  if [ "$(grep -c $'\r$' "$f" || true)" -eq "$(grep -c '' "$f")" ]; then
    ok "$text has CRLF line ends"
  else
    fail "$text has lines not ended by CRLF"
  fi
  if iconv -f UTF-8 -t UTF-8 "$f" >/dev/null 2>&1; then ok "$text is UTF-8"; else fail "$text is not UTF-8"; fi
done

finish
