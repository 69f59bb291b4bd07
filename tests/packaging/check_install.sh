#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under the prefix /usr, the way a
# distribution packages it, and checks what lands there.
#
#   check_install.sh BUILD_DIR APP_ID VERSION [CMAKE]
set -euo pipefail

build=$1 id=$2 version=$3 cmake=${4:-cmake}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

if ! DESTDIR="$scratch/root" "$cmake" --install "$build" --prefix /usr >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log" >&2
  echo "FAIL: cmake --install failed" >&2
  exit 1
fi
echo "installed into $scratch/root:"
(cd "$scratch/root" && find . -type f | sort)

check_tree "$scratch/root" "$id" "$version"

usr=$scratch/root/usr

# The manual pages: compressed as Debian wants them, rendered by man without a
# warning, and saying what the program is, its (absent) options, where its
# figures come from and that it makes no diagnosis. Rendered so wide that no
# paragraph is broken, hyphenated or justified, so that phrases can be found.
#   page | what the rendered page says, separated by ;
while IFS='|' read -r page words; do
  page=$usr/share/man/$page
  if [ ! -f "$page" ]; then
    fail "no manual page at $page"
    continue
  fi
  if file -b "$page" | grep -q 'gzip compressed data, max compression'; then
    ok "$page is gzip -9"
  else
    fail "$page is not compressed with gzip -9: $(file -b "$page")"
  fi
  if LC_ALL=C.UTF-8 MANWIDTH=1000 MANPAGER=cat man --warnings -E UTF-8 -l "$page" \
      >"$scratch/page.txt" 2>"$scratch/page.err" && [ ! -s "$scratch/page.err" ]; then
    ok "man renders $page without a warning"
  else
    fail "man does not render $page cleanly: $(cat "$scratch/page.err")"
  fi
  IFS=';' read -ra wanted <<<"$words;MERAVEL(1);Meravel $version;Cuckle;Hecht;Snijders;1999;13:167"
  for word in "${wanted[@]}"; do
    grep -qF -- "$word" "$scratch/page.txt" && ok "$page says '$word'" || fail "$page does not say '$word'"
  done
done <<'PAGES'
man1/meravel.1.gz|NAME;Down syndrome;OPTIONS;takes no options;does not make a diagnosis;FILES;README
fr/man1/meravel.1.gz|NOM;trisomie 21;OPTIONS;aucune option;ne pose pas de diagnostic;FICHIERS;README
PAGES

# The licence, in Debian's machine-readable copyright format.
copyright=$usr/share/doc/meravel/copyright
if [ -f "$copyright" ]; then
  for line in \
    'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    'Files: *' \
    'Copyright: 2026 les auteurs de Meravel / the Meravel authors' \
    'License: GPL-3+' \
    ' License version 3 can be found in "/usr/share/common-licenses/GPL-3".'; do
    grep -qxF -- "$line" "$copyright" && ok "copyright: $line" || fail "$copyright lacks the line '$line'"
  done
else
  fail "no copyright file at $copyright"
fi
finish
