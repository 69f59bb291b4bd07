#!/usr/bin/env bash
# Checks the built Windows program: the resources read back from it (dialogs,
# menu, accelerators, string, icon, manifest, version), that it is a 64-bit
# GUI program hardened against exploits (ASLR, DEP, stack protector), and
# that it needs no DLL beyond Windows' own (libstdc++ and libgcc are linked
# in statically).
#
#   check_windows_exe.sh EXE [VERSION]
#
# VERSION defaults to the project's, read from the top CMakeLists.txt.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 EXE [VERSION]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
exe=$1
version=${2:-$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$here/../../CMakeLists.txt" | head -n 1)}
windres=${WINDRES:-x86_64-w64-mingw32-windres}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
for tool in "$windres" "$objdump"; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (Debian package binutils-mingw-w64-x86-64)" >&2; exit 1; }
done
[ -f "$exe" ] || { echo "FAIL: no program $exe" >&2; exit 1; }
# shellcheck source=tree_checks.sh
. "$here/tree_checks.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/meravel-exe.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# ---- Resources
if ! "$windres" -i "$exe" -O rc -o "$scratch/exe.rc" 2>"$scratch/windres.log"; then
  cat "$scratch/windres.log" >&2
  echo "FAIL: $windres cannot read the resources of $exe" >&2
  exit 1
fi
# One record a line: RESOURCE <TAB> LANGUAGE <TAB> LINE, for every line of the
# resource script that is not data or a brace; RESOURCE is "DIALOG 102",
# "MENU 130", "STRINGTABLE", "VERSIONINFO 1", "14 128" (type 14, the icon
# group), "24 1" (the manifest), "ACCELERATORS 131"... A menu also gets one
# line "ITEMS" with its items in order, and each resource a line "LANGUAGE".
# windres writes a text outside ASCII as L"..." with octal escapes of its
# UTF-16 units: L"\302ge" is "Âge".
awk '
  function flush() { if (res ~ /^MENU/) print res "\t" lang "\tITEMS " items; items = "" }
  /^LANGUAGE / { sub(/^LANGUAGE /, ""); lang = $0; next }
  /^\/\*/ || /^   Name: / || /^ *$/ { next }
  /^STRINGTABLE/ { flush(); res = "STRINGTABLE"; print res "\t" lang "\tLANGUAGE " lang; next }
  /^[0-9]+ [A-Z0-9]+/ {
    flush()
    type = $2; if (type == "DIALOGEX") type = "DIALOG"
    res = type " " $1; print res "\t" lang "\tLANGUAGE " lang
    print res "\t" lang "\t" $0
    next
  }
  {
    line = $0; gsub(/\t/, " ", line); sub(/^ +/, "", line)
    if (line == "BEGIN" || line == "END" || line ~ /^0x[0-9a-fA-F]+L? *,/) next
    print res "\t" lang "\t" line
    if (res ~ /^MENU/) items = items (items == "" ? "" : " / ") line
  }
  END { flush() }
' "$scratch/exe.rc" >"$scratch/records"

# The expectations, one a line: RESOURCE | is (the whole line) or re (an
# extended regular expression for it) | LINE. "LANGUAGE 12, 1" is French
# (France).
v4=${version//./, }
cat >"$scratch/expected" <<EOF
DIALOG 102 | is | LANGUAGE 12, 1
DIALOG 102 | re | 102 DIALOG(EX)? -?[0-9]+, -?[0-9]+, 202, 117
DIALOG 102 | is | CAPTION "Meravel"
DIALOG 102 | is | MENU 130
DIALOG 102 | re | FONT 8, "MS Shell Dlg"(, .*)?
DIALOG 100 | is | LANGUAGE 12, 1
DIALOG 100 | re | 100 DIALOG(EX)? -?[0-9]+, -?[0-9]+, 217, 97
DIALOG 100 | is | CAPTION "A propos de Meravel"
DIALOG 100 | re | FONT 8, "MS Shell Dlg"(, .*)?
DIALOG 103 | is | LANGUAGE 12, 1
DIALOG 103 | re | 103 DIALOG(EX)? -?[0-9]+, -?[0-9]+, 212, 148
DIALOG 103 | is | CAPTION L"\302ge \340 la date pr\351vue d'accouchement"
DIALOG 103 | re | FONT 8, "MS Shell Dlg"(, .*)?
DIALOG 103 | re | CONTROL "", 1010, "(SysDateTimePick32|SYSDATETIMEPICK32)", 0x[0-9a-fA-F]+L?, 115, 7, 75, 13
DIALOG 103 | re | CONTROL "", 1011, "(SysDateTimePick32|SYSDATETIMEPICK32)", 0x[0-9a-fA-F]+L?, 115, 25, 75, 13
DIALOG 103 | re | CONTROL "", 1012, "EDIT", 0x[0-9a-fA-F]*[89a-fA-F][0-9a-fA-F][0-9a-fA-F]L?, 115, 44, 40, 12
DIALOG 103 | re | CONTROL "", 1013, "STATIC", 0x[0-9a-fA-F]+L?, 7, 92, 198, 18
DIALOG 103 | re | CONTROL "OK", 1, "BUTTON", 0x[0-9a-fA-F]*1L?, 100, 128, 50, 14
DIALOG 103 | re | CONTROL "Annuler", 2, "BUTTON", 0x[0-9a-fA-F]+L?, 155, 128, 50, 14
DIALOG 104 | is | LANGUAGE 12, 1
DIALOG 104 | re | 104 DIALOG(EX)? -?[0-9]+, -?[0-9]+, 300, 204
DIALOG 104 | is | CAPTION L"Courbe du risque \340 terme"
DIALOG 104 | re | FONT 8, "MS Shell Dlg"(, .*)?
DIALOG 104 | re | CONTROL "", 1020, "BUTTON", 0x[0-9a-fA-F]*[bB]L?, 0, 0, 300, 180
DIALOG 104 | re | CONTROL "Fermer", 2, "BUTTON", 0x[0-9a-fA-F]*1L?, 245, 184, 50, 14
MENU 130 | is | LANGUAGE 12, 1
MENU 130 | is | ITEMS POPUP "&Options" / MENUITEM "&Infos\tF1", 32771 / MENUITEM SEPARATOR / MENUITEM "&Quitter", 32772 / POPUP "O&utils" / MENUITEM L"\302&ge \340 l'accouchement...", 32773 / MENUITEM L"&Copier le r\351sum\351\tCtrl+Maj+C", 32774 / MENUITEM "Courbe du &risque...", 32775
ACCELERATORS 131 | is | LANGUAGE 12, 1
ACCELERATORS 131 | re | 67, 32774, VIRTKEY, (SHIFT, CONTROL|CONTROL, SHIFT)
STRINGTABLE | is | LANGUAGE 12, 1
STRINGTABLE | is | 101, "&A propos de Meravel..."
14 128 | is | LANGUAGE 12, 1
14 128 | re | 0, 1, 8,( .*)?
14 128 | re | "\\\\020\\\\020\\\\020[^"]*", 1, 4, .*
14 128 | re | "\\\\024\\\\024[^"]*", 1, 32, .*
14 128 | re | "\\\\030\\\\030[^"]*", 1, 32, .*
14 128 | re | "\\\\040\\\\040\\\\020[^"]*", 1, 4, .*
14 128 | re | "\\\\050\\\\050[^"]*", 1, 32, .*
14 128 | re | "\\\\060\\\\060[^"]*", 1, 32, .*
14 128 | re | "\\\\100\\\\100[^"]*", 1, 32, .*
14 128 | re | "\\\\000\\\\000[^"]*", 1, 32, .*
24 1 | re | "<assembly .*
VERSIONINFO 1 | is | LANGUAGE 12, 1
VERSIONINFO 1 | is | FILEVERSION $v4
VERSIONINFO 1 | is | PRODUCTVERSION $v4
VERSIONINFO 1 | is | BLOCK "040C04B0"
VERSIONINFO 1 | is | VALUE "Translation", 0x40c, 1200
VERSIONINFO 1 | is | VALUE "CompanyName", ""
VERSIONINFO 1 | is | VALUE "FileDescription", "Application MFC mrv"
VERSIONINFO 1 | is | VALUE "FileVersion", "$v4"
VERSIONINFO 1 | is | VALUE "InternalName", "mrv"
VERSIONINFO 1 | is | VALUE "LegalCopyright", "Copyright (C) 2026 les auteurs de Meravel"
VERSIONINFO 1 | is | VALUE "LegalTrademarks", ""
VERSIONINFO 1 | is | VALUE "OriginalFilename", "mrv.EXE"
VERSIONINFO 1 | is | VALUE "ProductName", "Application mrv"
VERSIONINFO 1 | is | VALUE "ProductVersion", "$v4"
EOF

while IFS= read -r row; do
  res=${row%% | *} rest=${row#* | }
  how=${rest%% | *} want=${rest#* | }
  if RES=$res HOW=$how WANT=$want awk -F'\t' '
       BEGIN { res = ENVIRON["RES"]; how = ENVIRON["HOW"]; want = ENVIRON["WANT"] }
       $1 == res && (how == "is" ? $3 == want : $3 ~ ("^(" want ")$")) { found = 1; exit }
       END { exit !found }' "$scratch/records"; then
    ok "$res: $want"
  else
    got=$(awk -F'\t' -v r="$res" '$1 == r { print "    " $3 }' "$scratch/records" | head -n 12)
    [ "$how" = re ] && how=" matching" || how=""
    fail "$res: no line$how '$want'; it has:
${got:-    nothing}"
  fi
done <"$scratch/expected"

# Each of them once, in one language; the version strings exactly those above.
dups=$(awk -F'\t' '$3 ~ /^LANGUAGE / && $1 != "STRINGTABLE" { n[$1]++ } END { for (r in n) if (n[r] > 1) print r }' "$scratch/records")
if [ -z "$dups" ]; then ok "each resource in one language"; else fail "resources in several languages: $dups"; fi
names=$(awk -F'\t' '$1 == "VERSIONINFO 1" && $3 ~ /^VALUE "/ { split($3, f, "\""); print f[2] }' "$scratch/records" | sort | tr '\n' ' ')
want_names="CompanyName FileDescription FileVersion InternalName LegalCopyright LegalTrademarks OriginalFilename ProductName ProductVersion Translation "
if [ "$names" = "$want_names" ]; then ok "version values: $names"; else fail "version values are '$names', not '$want_names'"; fi

# ---- The program itself
"$objdump" -p "$exe" >"$scratch/headers"
while IFS='|' read -r what pattern; do
  if grep -qE "$pattern" "$scratch/headers"; then
    ok "$what"
  else
    fail "not $what: $(grep -E "^(Magic|Subsystem)|file format" "$scratch/headers" | tr -s '\t\n' '  ')"
  fi
done <<'EOF'
an x86-64 PE file|file format pei-x86-64$
PE32+, 64-bit|^Magic[[:space:]]+020b
a Windows GUI program|^Subsystem[[:space:]]+0+2[[:space:]]
loaded at a random address (ASLR: DllCharacteristics DYNAMIC_BASE)|^[[:space:]]+DYNAMIC_BASE$
random anywhere in 64 bits (HIGH_ENTROPY_VA)|^[[:space:]]+HIGH_ENTROPY_VA$
run with its data not executable (DEP: NX_COMPAT)|^[[:space:]]+NX_COMPAT$
relocatable, as ASLR needs (a .reloc section)|^PE File Base Relocations
EOF
# The stack protector's check, linked in from libssp, ends the program with
# this message when a canary was overwritten.
if grep -qaF '*** stack smashing detected ***' "$exe"; then
  ok "built with the stack protector"
else
  fail "no stack protector's check in $exe (-fstack-protector-strong)"
fi

# The DLLs it loads, delay-loaded ones included: Windows' own only.
system_dlls='kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|ole32|oleaut32|oleacc|uxtheme|dwmapi|version|winmm|imm32|msimg32|ntdll|bcrypt|msvcrt|ucrtbase|api-ms-win-.*|ext-ms-win-.*'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' "$scratch/headers" | tr -d '\r' | sort -fu)
[ -n "$dlls" ] || fail "no imported DLL found in the headers"
for dll in $dlls; do
  if grep -qixE "($system_dlls)\\.dll" <<<"$dll"; then
    ok "imports $dll (part of Windows)"
  else
    case ${dll,,} in
      libstdc++*|libgcc*|libwinpthread*) fail "imports $dll: the C++ runtime must be linked statically (-static)" ;;
      *) fail "imports $dll, which Windows does not ship" ;;
    esac
  fi
done

finish
