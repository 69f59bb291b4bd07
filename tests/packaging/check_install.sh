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
finish
