#!/usr/bin/env bash
# Builds Meravel's release files again from this source tree, in a scratch
# folder, and compares them byte for byte with the files given:
#
#   scripts/reproduce.sh FILE...
#
# Each FILE is a release file of the same commit, known by its name:
# meravel.exe, meravel-VERSION-x64.msi and meravel-VERSION-win64.zip (made by
# `make windows`), meravel_VERSION_ARCH.deb (`make package`). Only the builds
# that these need are run. The rebuild differs from an ordinary one in all
# that must not matter: another folder, another time, file dates of its own,
# umask 077, another time zone and locale. It takes the same
# SOURCE_DATE_EPOCH: the one set, or else the time of the last commit.
#
# Says "identical" for each file, or shows how it differs (with diffoscope,
# Debian package diffoscope-minimal, when installed); exits 1 when one
# differs. KEEP=1 keeps the scratch folder. Signed files are compared as they
# are: see the README for how to check a signed release.
#
# Copyright (C) les auteurs de Meravel / the Meravel authors
# SPDX-License-Identifier: GPL-3.0-or-later
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 FILE..." >&2
  exit 2
fi
repo=$(cd "$(dirname "$0")/.." && pwd)
windows=0 deb=0
for f in "$@"; do
  [ -f "$f" ] || { echo "$0: no file $f" >&2; exit 2; }
  case $(basename "$f") in
    meravel.exe | meravel-*-x64.msi | meravel-*-win64.zip) windows=1 ;;
    meravel_*.deb) deb=1 ;;
    *) echo "$0: $f is not a release file of Meravel" >&2; exit 2 ;;
  esac
done

# The same date as the original build: cmake/Reproducible.cmake takes the
# commit's time, which the copy (no git) cannot see.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] &&
  [ "$(git -C "$repo" rev-parse --show-toplevel 2>/dev/null)" = "$repo" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$repo" log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-reproduce.XXXXXX")
[ -n "${KEEP:-}" ] && echo "scratch folder: $scratch" || trap 'rm -rf "$scratch"' EXIT
src=$scratch/other/meravel

# The sources alone (no build folders), dated now, with the modes the umask
# gives.
mkdir -p "$src"
if [ -d "$repo/.git" ] || [ -f "$repo/.git" ]; then
  (cd "$repo" && git ls-files -z --cached --others --exclude-standard) |
    (cd "$repo" && tar -cf - --null --no-recursion -T -) |
    (umask 077 && tar -C "$src" -xf - --touch --no-same-permissions --no-same-owner)
else
  (cd "$repo" && tar -cf - --exclude='./build' --exclude='./build-*' .) |
    (umask 077 && tar -C "$src" -xf - --touch --no-same-permissions --no-same-owner)
fi

# A build of its own, whatever make may have called this script.
unset MAKEFLAGS MAKELEVEL MFLAGS
targets=()
[ "$windows" = 1 ] && targets+=(windows)
[ "$deb" = 1 ] && targets+=(package)
locale=C.UTF-8
locale -a 2>/dev/null | grep -qiE '^fr_FR\.utf-?8$' && locale=fr_FR.UTF-8
echo "rebuilding (${targets[*]}) in $src"
if ! (umask 077 && cd "$src" && TZ=Pacific/Auckland LC_ALL=$locale LANG=$locale \
  make "${targets[@]}") >"$scratch/build.log" 2>&1; then
  tail -n 40 "$scratch/build.log" >&2
  echo "$0: the rebuild failed (log above)" >&2
  exit 1
fi

status=0
for f in "$@"; do
  name=$(basename "$f")
  case $name in
    meravel.exe) again=$src/build-win/win32/meravel.exe ;;
    *.deb) again=$src/build-run/$name ;;
    *) again=$src/build-win/$name ;;
  esac
  if [ ! -f "$again" ]; then
    echo "DIFFERS: $name: the rebuild made no $name"
    status=1
  elif cmp -s "$f" "$again"; then
    echo "identical: $name ($(sha256sum <"$f" | cut -d' ' -f1))"
  else
    echo "DIFFERS: $name"
    if command -v diffoscope >/dev/null; then
      diffoscope --no-progress "$f" "$again" || true
    else
      cmp -l "$f" "$again" | head -n 20 || true
    fi
    status=1
  fi
done
exit "$status"
