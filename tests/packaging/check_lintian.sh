#!/usr/bin/env bash
# Makes the Debian package with CPack in a scratch folder and runs lintian on
# it at its most demanding (pedantic, info tags, no display limit). Prints
# lintian's output and fails on any tag but one: the complaint about the
# maintainer's address while the package is built with the neutral default
# (set MERAVEL_PACKAGE_MAINTAINER to a real address and it goes away). That
# address signs the Debian changelog too, so lintian says it twice.
# Overridden tags are shown, and only spelling ones may be overridden: the
# program's texts are French, which lintian reads as misspelt English.
#
#   check_lintian.sh BUILD_DIR [CPACK]
set -euo pipefail

build=$1 cpack=${2:-cpack}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

if ! command -v lintian >/dev/null; then
  echo "FAIL: lintian is not installed (apt-get install lintian)" >&2
  exit 1
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-lintian.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

build_deb "$build" "$cpack"
echo "lintian $(lintian --print-version) on $(basename "$deb")"

# --fail-on none: the exit status then says only whether lintian itself ran;
# the tags are judged below.
status=0
lintian --pedantic --display-info --show-overrides --tag-display-limit 0 --fail-on none \
  "$deb" >"$scratch/lintian.txt" 2>"$scratch/lintian.err" || status=$?
cat "$scratch/lintian.txt"
if [ "$status" -ne 0 ]; then
  cat "$scratch/lintian.err" >&2
  echo "FAIL: lintian stopped with status $status" >&2
  exit 1
fi

# The address in the Maintainer field, the only one the allowed tags may name.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
address=$(sed -n 's/.*<\(.*\)>.*/\1/p' <<<"$maintainer")

# Tag lines read "X: package: tag context"; N: lines are the overrides'
# comments.
bad=0 allowed=0
while IFS= read -r line; do
  read -r kind _ tag context <<<"$line"
  case ${kind%:}:$tag in
    N:*) continue ;;
    [EW]:bogus-mail-host | [EW]:bogus-mail-host-in-debian-changelog)
      if [ -n "$address" ] && [[ " $context " == *" $address "* ]]; then
        allowed=$((allowed + 1))
        continue
      fi ;;
    O:spelling-error-in-*) continue ;;
  esac
  echo "FAIL: $line" >&2
  bad=$((bad + 1))
done < <(grep -E '^[A-Z]: ' "$scratch/lintian.txt" || true)

if [ "$bad" -ne 0 ]; then
  echo "$bad lintian tag(s) beyond the maintainer's address" >&2
  exit 1
fi
echo "lintian: no tag but $allowed about the maintainer's address ($maintainer)"
