#!/usr/bin/env bash
# Checks the Windows Installer package: its own tables, then what a silent
# install, repair and uninstall do in a private 64-bit Wine prefix, then that
# a newer version replaces an older one and that an older one does not
# replace a newer one, also when they differ in the fourth field only.
#
#   check_msi.sh MSI PREFIXDIR [VERSION]
#
# PREFIXDIR is made by scripts/wine-prefix.sh and kept between runs; a prefix
# left with a Meravel installed (an interrupted run) is made anew. VERSION
# defaults to the project's, read from the top CMakeLists.txt.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 MSI PREFIXDIR [VERSION]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
msi=$(realpath "$1")
mkdir -p "$2"
prefix=$(cd "$2" && pwd)
version=${3:-$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$repo/CMakeLists.txt" | head -n 1)}
for tool in wine wineserver msiinfo msibuild msiextract; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (Debian packages wine, wine64, msitools)" >&2; exit 1; }
done
[ -f "$msi" ] || { echo "FAIL: no package $msi" >&2; exit 1; }

# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"
# check WHAT GOT WANT
check() { if [ "$2" = "$3" ]; then ok "$1: $3"; else fail "$1 is '$2', not '$3'"; fi; }

upgrade_code='{997290D0-F28D-46F2-88D0-092C55CB3807}'
manufacturer='les auteurs de Meravel'

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-msi.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# ---- The package's own tables
# (msiinfo export writes a table's binary data into a folder of the current
# one: it runs in the scratch folder.)
table() { (cd "$scratch" && msiinfo export "$msi" "$1") | tr -d '\r' | tail -n +4; }
property() { table Property | awk -F'\t' -v k="$1" '$1 == k { print $2 }'; }
while IFS='|' read -r name want; do
  check "Property $name" "$(property "$name")" "$want"
done <<EOF
ProductName|Meravel
ProductVersion|$version
Manufacturer|$manufacturer
ALLUSERS|1
ProductLanguage|1036
UpgradeCode|$upgrade_code
ARPPRODUCTICON|meravel.ico
ARPNOMODIFY|1
EOF
summary=$(msiinfo suminfo "$msi" | tr -d '\r')
check "summary Template (platform;language)" "$(sed -n 's/^Template: //p' <<<"$summary")" "x64;1036"
check "summary Author" "$(sed -n 's/^Author: //p' <<<"$summary")" "$manufacturer"
check "Icon table" "$(table Icon | cut -f1)" "meravel.ico"
check "install folder (Directory table)" \
  "$(table Directory | awk -F'\t' '$1 == "INSTALLDIR" { print $2 "\\" $3 }')" 'ProgramFiles64Folder\Meravel'
# Attribute 256: a 64-bit component, installed in the 64-bit folders and registry.
check "32-bit components" "$(table Component | awk -F'\t' 'int($4 / 256) % 2 == 0 { print $1 }')" ""
files=$(table File | cut -f3 | sort | tr '\n' ' ')
case $files in
  "LICENSE.txt README.txt meravel.exe " | "README.txt meravel.exe ") ok "File table: $files" ;;
  *) fail "File table holds '$files', not meravel.exe, README.txt and maybe LICENSE.txt" ;;
esac
product_code=$(property ProductCode)
# Windows Installer compares three fields of a version, and Wine's msi is no
# judge of that: the Upgrade table's two ranges must meet at the next patch
# version, the one whose products are removed below it (attributes 256:
# minimum included) and the detect-only one of later products from it (258).
# The fourth field is compared by the launch condition, against the Build
# that the installed version wrote into the registry.
IFS=. read -r major minor patch tweak <<<"$version"
ranges=$(table Upgrade | awk -F'\t' '{ print $2 "-" $3 ":" $5 }' | sort | tr '\n' ' ')
check "Upgrade ranges" "$ranges" "0.0.0-$major.$minor.$((patch + 1)):256 $major.$minor.$((patch + 1))-:258 "
check "launch condition on the fourth field" \
  "$(table LaunchCondition | grep -o 'MERAVEL_INSTALLED_RELEASE = "[0-9.]*" AND MERAVEL_INSTALLED_BUILD > [0-9]*')" \
  "MERAVEL_INSTALLED_RELEASE = \"$major.$minor.$patch\" AND MERAVEL_INSTALLED_BUILD > ${tweak:-0}"

msiextract -C "$scratch/content" "$msi" >/dev/null

# ---- Wine
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
prepare_prefix() {
  if [ -f "$repo/scripts/wine-prefix.sh" ]; then
    bash "$repo/scripts/wine-prefix.sh" "$prefix"
  elif [ ! -f "$prefix/system.reg" ]; then
    HOME=$scratch wineboot -i >/dev/null 2>&1
    HOME=$scratch wineserver -w
  fi
}
prepare_prefix
# This test's wineserver keeps its socket in the scratch folder, and ends
# with the test.
export HOME="$scratch" TMPDIR="$scratch"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -f "$prefix/wineserver"
  rm -rf "$scratch"
}
trap cleanup EXIT

c=$prefix/drive_c
install_dir="$c/Program Files/Meravel"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
version_key='HKLM\Software\Meravel'
# Per machine the shortcut goes to the common Start menu; Wine's msi puts it
# in the user's.
shortcuts=("$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Meravel.lnk"
           "$c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Meravel.lnk")
# Product codes of the other versions that the upgrade checks make.
tweak_code='{6A3F2C1E-58B4-4E0A-9C57-2F1D8E4B7A01}'
major_code='{6A3F2C1E-58B4-4E0A-9C57-2F1D8E4B7A02}'

# The values of a registry key, one "NAME<TAB>DATA" a line; nothing when the
# key does not exist.
reg_values() {
  wine reg query "$1" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*    \(.*\)$/\1\t\2/p; s/^    \([^ ].*\)    REG_[A-Z_]*$/\1\t/p'
}
value() { awk -F'\t' -v k="$2" '$1 == k { print $2 }' <<<"$1"; }
# Windows Installer's packed form of a product code, as in Installer\Products.
packed() {
  local g=${1//[\{\}-]/} out='' i
  out=$(rev <<<"${g:0:8}")$(rev <<<"${g:8:4}")$(rev <<<"${g:12:4}")
  for ((i = 16; i < 32; i += 2)); do out+=${g:i+1:1}${g:i:1}; done
  printf '%s\n' "$out"
}
installed() { [ -n "$(reg_values "$uninstall_key\\$1")" ]; }

# msiexec ACTION MSI LOGNAME [PROPERTY=VALUE...]: runs it silently and
# returns its status.
msiexec_quiet() {
  local status=0
  wine msiexec "$1" "Z:${2//\//\\}" /qn /l*v "Z:${scratch//\//\\}\\$3.log" "${@:4}" >/dev/null 2>&1 || status=$?
  return "$status"
}
show_log() {
  if [ -f "$scratch/$1.log" ]; then
    # Wine's msi writes its log in the ANSI code page.
    iconv -f CP1252 -t UTF-8 "$scratch/$1.log" 2>/dev/null | tail -n 40 >&2 || true
  fi
}

# A copy of the package made another version, with its own product code.
variant() {
  local out=$scratch/$1.msi
  cp "$msi" "$out"
  msibuild "$out" -q "UPDATE Property SET Value='$2' WHERE Property='ProductVersion'" \
    -q "UPDATE Property SET Value='$3' WHERE Property='ProductCode'" \
    -q "UPDATE Registry SET Value='${2%.*}' WHERE \`Name\`='Release'" \
    -q "UPDATE Registry SET Value='${2##*.}' WHERE \`Name\`='Build'" \
    -s "Meravel $2 (x64)" "$manufacturer" "x64;1036" "{$(tr '[:lower:]' '[:upper:]' </proc/sys/kernel/random/uuid)}"
  printf '%s\n' "$out"
}

leftovers() {
  local code
  [ -e "$install_dir" ] && echo "$install_dir"
  for s in "${shortcuts[@]}"; do [ -e "$s" ] && echo "$s"; done
  for code in "$product_code" "$tweak_code" "$major_code"; do
    installed "$code" && echo "$uninstall_key\\$code"
  done
  [ -n "$(reg_values "$version_key")" ] && echo "$version_key"
  true
}

if [ -n "$(leftovers)" ]; then
  echo "The prefix holds a Meravel from an earlier run: making it anew"
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  prepare_prefix
fi

check_installed() {
  local what=$1 code=$2 want_version=$3
  for f in meravel.exe README.txt LICENSE.txt; do
    if [ -f "$scratch/content/Meravel/$f" ]; then
      if cmp -s "$scratch/content/Meravel/$f" "$install_dir/$f"; then
        ok "$what: C:\\Program Files\\Meravel\\$f"
      else
        fail "$what: C:\\Program Files\\Meravel\\$f is missing or differs from the package's"
      fi
    fi
  done
  if [ -e "$c/Program Files (x86)/Meravel" ]; then
    fail "$what: installed into Program Files (x86), the 32-bit folder"
  else
    ok "$what: nothing in Program Files (x86)"
  fi

  local found=() s
  for s in "${shortcuts[@]}"; do [ -f "$s" ] && found+=("$s"); done
  if [ ${#found[@]} -eq 1 ]; then
    ok "$what: shortcut ${found[0]#"$c"/}"
    # The link's strings, in the ANSI and UTF-16 parts of the file.
    local texts
    texts=$(strings -a "${found[0]}"; strings -a -el "${found[0]}")
    if grep -qF 'C:\Program Files\Meravel\meravel.exe' <<<"$texts"; then
      ok "$what: the shortcut starts C:\\Program Files\\Meravel\\meravel.exe"
    else
      fail "$what: the shortcut does not start C:\\Program Files\\Meravel\\meravel.exe"
    fi
    if grep -qF "C:\\windows\\Installer\\$code\\meravel.ico" <<<"$texts"; then
      ok "$what: the shortcut has the product icon"
    else
      fail "$what: the shortcut lacks the icon C:\\windows\\Installer\\$code\\meravel.ico"
    fi
  else
    fail "$what: ${#found[@]} Start-menu shortcuts Meravel.lnk, not 1"
  fi

  local arp
  arp=$(reg_values "$uninstall_key\\$code")
  if [ -z "$arp" ]; then
    fail "$what: no uninstall entry $uninstall_key\\$code"
  else
    check "$what: uninstall DisplayName" "$(value "$arp" DisplayName)" Meravel
    check "$what: uninstall Publisher" "$(value "$arp" Publisher)" "$manufacturer"
    check "$what: uninstall DisplayVersion" "$(value "$arp" DisplayVersion)" "$want_version"
    check "$what: uninstall NoModify" "$(value "$arp" NoModify)" 0x1
    check "$what: uninstall command" "$(value "$arp" UninstallString)" "MsiExec.exe /X$code"
  fi
  # Per machine, Windows Installer registers the product under HKLM; the
  # entry's icon in Add/Remove Programs is its ProductIcon.
  local icon
  icon=$(value "$(reg_values "HKLM\\Software\\Classes\\Installer\\Products\\$(packed "$code")")" ProductIcon)
  if [ -n "$icon" ] && [ -f "$c/$(sed 's/^[Cc]:\\//; s/\\/\//g' <<<"$icon")" ]; then
    ok "$what: product registered per machine, with its icon $icon"
  else
    fail "$what: no per-machine product registration with an icon (ProductIcon '$icon')"
  fi
}

check_removed() {
  local left
  left=$(leftovers)
  if [ -z "$left" ]; then ok "$1: nothing left"; else fail "$1: left behind: $left"; fi
}

# ---- Install and uninstall
start=$(date +%s%N)
if msiexec_quiet /i "$msi" install; then ok "msiexec /i /qn exits 0"; else fail "msiexec /i /qn exits $?"; show_log install; fi
check_installed "install" "$product_code" "$version"
# A repair puts back a deleted file. (Wine's msiexec /fa hands the package's
# path to MsiReinstallProduct, which takes a product code, and fails with
# 1605, "unknown product", 69 as a status; Windows' reads the package's
# product code first. REINSTALL=ALL is the same repair.)
rm -f "$install_dir/meravel.exe"
msiexec_quiet /i "$msi" repair REINSTALL=ALL REINSTALLMODE=omus || fail "the repair exits $?"
cmp -s "$scratch/content/Meravel/meravel.exe" "$install_dir/meravel.exe" &&
  ok "the repair puts back meravel.exe" || fail "the repair does not put back meravel.exe"
if msiexec_quiet /x "$msi" uninstall; then ok "msiexec /x /qn exits 0"; else fail "msiexec /x /qn exits $?"; show_log uninstall; fi
check_removed "uninstall"
echo "install and uninstall: $((($(date +%s%N) - start) / 1000000)) ms"

# ---- Upgrades
tweak_version=$major.$minor.$patch.$((${tweak:-0} + 1))
major_version=$((major + 1)).0.0.0

# A later major version installed: this one must refuse to replace it.
later=$(variant later "$major_version" "$major_code")
msiexec_quiet /i "$later" later || { fail "installing version $major_version failed"; show_log later; }
if msiexec_quiet /i "$msi" downgrade; then
  fail "$version installed over $major_version"
else
  ok "$version refuses to replace $major_version"
fi
if installed "$major_code"; then ok "$major_version still installed"; else fail "$major_version was removed by $version"; fi
msiexec_quiet /x "$later" later-x || fail "uninstalling $major_version failed"

# The next version that differs only in its fourth field replaces this one.
next=$(variant next "$tweak_version" "$tweak_code")
msiexec_quiet /i "$msi" again || { fail "installing $version again failed"; show_log again; }
if msiexec_quiet /i "$next" upgrade; then ok "$tweak_version installs over $version"; else fail "installing $tweak_version over $version failed"; show_log upgrade; fi
if installed "$product_code"; then
  fail "$version is still registered after the upgrade to $tweak_version"
else
  ok "$version replaced by $tweak_version"
fi
check_installed "upgrade" "$tweak_code" "$tweak_version"
# ... and this one, older in the fourth field only, refuses to replace it.
msiexec_quiet /i "$msi" downgrade-build && fail "$version installed over $tweak_version" ||
  ok "$version refuses to replace $tweak_version"
installed "$tweak_code" && ok "$tweak_version still installed" || fail "$tweak_version was removed by $version"
msiexec_quiet /x "$next" upgrade-x || fail "uninstalling $tweak_version failed"
check_removed "uninstall after the upgrade"

echo "package: $(basename "$msi"), $(stat -c %s "$msi") bytes"
finish
