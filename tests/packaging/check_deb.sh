#!/usr/bin/env bash
# Makes the Debian package with CPack in a scratch folder, unpacks it into a
# scratch root and checks its control fields and what it installs.
#
#   check_deb.sh BUILD_DIR APP_ID VERSION [CPACK]
set -euo pipefail

build=$1 id=$2 version=$3 cpack=${4:-cpack}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

build_deb "$build" "$cpack"
echo "package: $(basename "$deb")"
dpkg-deb --info "$deb"

field() {
  dpkg-deb -f "$deb" "$1"
}

# The control fields
[ "$(field Package)" = meravel ] && ok "Package: meravel" || fail "Package is '$(field Package)', not meravel"
[ "$(field Version)" = "$version" ] && ok "Version: $version" || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = science ] && ok "Section: science" || fail "Section is '$(field Section)', not science"
arch=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$arch" ] && ok "Architecture: $arch" || fail "Architecture is '$(field Architecture)', not $arch"
[ -n "$(field Maintainer)" ] && ok "Maintainer: $(field Maintainer)" || fail "no Maintainer"
[ -n "$(field Description)" ] && ok "has a Description" || fail "no Description"
depends=$(field Depends)
# One package a line, without the version constraints.
depends_names=$(printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/[ (].*//')
# Worked out by dpkg-shlibdeps from the libraries the program links to.
# libqt6svg6 is named by hand: the icon engine is a plugin loaded at run time.
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6 libqt6svg6; do
  if grep -qx -- "$lib" <<<"$depends_names"; then
    ok "Depends on $lib"
  else
    fail "Depends: '$depends' lacks $lib"
  fi
done
# Loaded at run time, so named by hand: Qt's own texts in French, and the
# platform plugin without which a Wayland desktop runs the program through
# XWayland.
recommends_names=$(field Recommends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//')
for pkg in qt6-translations-l10n qt6-wayland; do
  if grep -qx -- "$pkg" <<<"$recommends_names"; then
    ok "Recommends $pkg"
  else
    fail "Recommends: '$(field Recommends)' lacks $pkg"
  fi
done
case $(basename "$deb") in
  "meravel_${version}_${arch}.deb") ok "file name meravel_${version}_${arch}.deb" ;;
  *) fail "file name $(basename "$deb") is not meravel_${version}_${arch}.deb" ;;
esac

# The files, unpacked as dpkg would install them
dpkg-deb -x "$deb" "$scratch/root"
echo "unpacked into $scratch/root:"
(cd "$scratch/root" && find . -type f | sort)
check_tree "$scratch/root" "$id" "$version"

# Debian packages ship stripped programs.
if [ -f "$scratch/root/usr/bin/meravel" ]; then
  if file -b "$scratch/root/usr/bin/meravel" | grep -q 'not stripped'; then
    fail "usr/bin/meravel is not stripped"
  else
    ok "usr/bin/meravel is stripped"
  fi
fi
# Hardened as Debian's own programs, and without the compilers' version
# notes.
if [ -f "$scratch/root/usr/bin/meravel" ]; then
  readelf -W --file-header --program-headers --dynamic --dyn-syms "$scratch/root/usr/bin/meravel" >"$scratch/elf"
  while IFS='|' read -r what pattern; do
    grep -qE "$pattern" "$scratch/elf" && ok "usr/bin/meravel is $what" || fail "usr/bin/meravel is not $what"
  done <<'EOF'
position independent (PIE)|Type:[[:space:]]+DYN \(Position-Independent
made read-only once relocated (RELRO)|^[[:space:]]+GNU_RELRO[[:space:]]
bound in full at start-up, so that RELRO covers it all (-z now)|\(FLAGS\)[[:space:]]+BIND_NOW
protected by stack canaries (__stack_chk_fail)|[[:space:]]__stack_chk_fail\b
EOF
  if readelf -S "$scratch/root/usr/bin/meravel" | grep -qF ' .comment'; then
    fail "usr/bin/meravel keeps its .comment section"
  else
    ok "usr/bin/meravel has no .comment section"
  fi
fi

# The Debian changelog, which only the package carries: the version has no
# Debian revision, so the package is native and the file is changelog.gz. Its
# latest entry is this version, signed by the package's maintainer.
changelog=$scratch/root/usr/share/doc/meravel/changelog.gz
if [ -f "$changelog" ]; then
  gzip -dc "$changelog" >"$scratch/changelog"
  if file -b "$changelog" | grep -q 'max compression'; then
    ok "changelog.gz is gzip -9"
  else
    fail "changelog.gz is not compressed with gzip -9: $(file -b "$changelog")"
  fi
  for f in Version:"$version" Maintainer:"$(field Maintainer)"; do
    name=${f%%:*} want=${f#*:}
    got=$(dpkg-parsechangelog -l "$scratch/changelog" -S "$name")
    [ "$got" = "$want" ] && ok "changelog's latest $name: $got" || fail "changelog's latest $name is '$got', not '$want'"
  done
else
  fail "no Debian changelog at usr/share/doc/meravel/changelog.gz"
fi

# Files owned by root, folders and programs 755, the rest 644.
bad=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || ($1 !~ /^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--)$/)')
[ -z "$bad" ] && ok "owners and modes of the packaged files" || fail "unusual owners or modes: $bad"
finish
