# Checks shared by the install and Debian package tests: what a desktop needs
# under an installed /usr. Sourced; every check prints what it looked at and
# `fail` records a fault without stopping, so one run lists every fault.
#
#   check_tree ROOT APP_ID VERSION    ROOT is the directory installed as /
#
# The caller sets $scratch, a scratch folder for the files the checks make.

failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

ok() {
  echo "ok:   $*"
}

# Makes the Debian package with CPack into $scratch/out and sets $deb to it;
# stops the test when CPack fails or makes other than one package. -B keeps
# the package and CPack's own staging out of the build tree, so the test does
# not disturb `make package` or another test.
#
#   build_deb BUILD_DIR CPACK
build_deb() {
  local build=$1 cpack=$2
  if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack failed" >&2
    exit 1
  fi
  shopt -s nullglob
  local debs
  debs=("$scratch"/out/*.deb)
  if [ ${#debs[@]} -ne 1 ]; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: expected one .deb, found ${#debs[@]}" >&2
    exit 1
  fi
  deb=${debs[0]}
}

# The pixel size of an image as "WIDTHxHEIGHT".
pixel_size() {
  identify -format '%wx%h' "$1" 2>/dev/null
}

check_tree() {
  local root=$1 id=$2 version=$3
  local usr=$root/usr
  local bin=$usr/bin/meravel
  local desktop=$usr/share/applications/$id.desktop
  local metainfo=$usr/share/metainfo/$id.metainfo.xml
  local hicolor=$usr/share/icons/hicolor

  # The executable
  if [ -f "$bin" ] && [ -x "$bin" ]; then
    ok "$bin is an executable file"
    if file -b "$bin" | grep -q '^ELF'; then
      ok "$bin is an ELF program"
    else
      fail "$bin is not an ELF program: $(file -b "$bin")"
    fi
    # The program finds its libraries in the system's folders. A search path
    # of its own (into the build tree, or the $ORIGIN/../lib that Qt's
    # project set-up adds) has no place in /usr and Debian forbids it.
    local runpath
    runpath=$(readelf -d "$bin" | grep -E 'R(UN)?PATH' || true)
    if [ -z "$runpath" ]; then
      ok "$bin has no library search path of its own"
    else
      fail "$bin keeps a library search path: $runpath"
    fi
  else
    fail "no executable at $bin"
  fi

  # The README the About box points to for contact
  if [ -f "$usr/share/doc/meravel/README.md" ]; then
    ok "README installed in share/doc/meravel"
  else
    fail "no README in $usr/share/doc/meravel"
  fi

  # The desktop entry
  if [ -f "$desktop" ]; then
    if desktop-file-validate "$desktop"; then
      ok "desktop-file-validate accepts $desktop"
    else
      fail "desktop-file-validate rejects $desktop"
    fi
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop" | head -n 1)
    if [ -n "$exec" ] && [ -x "$usr/bin/$exec" ]; then
      ok "Exec=$exec is installed in /usr/bin"
    else
      fail "Exec='$exec' of $desktop is not an installed program"
    fi
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n 1)
    if [ "$icon" = "$id" ]; then
      ok "Icon=$icon names the application's icon"
    else
      fail "Icon='$icon' of $desktop is not the application id $id"
    fi
  else
    fail "no desktop entry at $desktop"
  fi

  # The AppStream metainfo
  if [ -f "$metainfo" ]; then
    if appstreamcli validate --no-net --strict "$metainfo"; then
      ok "appstreamcli validate accepts $metainfo"
    else
      fail "appstreamcli validate rejects $metainfo"
    fi
    if grep -q "<id>$id</id>" "$metainfo"; then
      ok "metainfo id is $id"
    else
      fail "metainfo id is not $id"
    fi
    if grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"; then
      ok "metainfo launches $id.desktop"
    else
      fail "metainfo does not launch $id.desktop"
    fi
    if grep -q "<release version=\"$version\"" "$metainfo"; then
      ok "metainfo lists release $version"
    else
      fail "metainfo lists no release $version"
    fi
    if grep -q '@[A-Z_]*@' "$metainfo"; then
      fail "metainfo keeps unfilled placeholders: $(grep -o '@[A-Z_]*@' "$metainfo" | sort -u | tr '\n' ' ')"
    fi
  else
    fail "no metainfo at $metainfo"
  fi

  # The whole tree as a software centre reads it: metainfo, desktop entry and
  # icon together.
  if appstreamcli validate-tree --no-net "$root"; then
    ok "appstreamcli validate-tree accepts the tree"
  else
    fail "appstreamcli validate-tree rejects the tree"
  fi

  # The icons: each in the folder of its size, of that size.
  local size png
  for size in 16 32 48 256; do
    png=$hicolor/${size}x${size}/apps/$id.png
    if [ ! -f "$png" ]; then
      fail "no icon at $png"
    elif ! file -b "$png" | grep -q '^PNG image data'; then
      fail "$png is not a PNG picture: $(file -b "$png")"
    elif [ "$(pixel_size "$png")" != "${size}x${size}" ]; then
      fail "$png is $(pixel_size "$png") pixels, not ${size}x${size}"
    else
      ok "$png is a ${size}x${size} PNG picture"
    fi
  done
  local svg=$hicolor/scalable/apps/$id.svg
  if [ ! -f "$svg" ]; then
    fail "no icon at $svg"
  elif ! file -b "$svg" | grep -q 'SVG'; then
    fail "$svg is not an SVG picture: $(file -b "$svg")"
  elif ! rsvg-convert -w 64 -h 64 "$svg" -o "$scratch/scalable.png" 2>&1; then
    fail "$svg does not render"
  else
    ok "$svg is an SVG picture that renders"
  fi

  # A desktop program ships no headers, static libraries or CMake packages.
  local dev
  dev=$(cd "$root" && find . \( -name '*.h' -o -name '*.hpp' -o -name '*.a' -o -name '*.cmake' \) -print)
  if [ -z "$dev" ]; then
    ok "no development files installed"
  else
    fail "development files installed: $dev"
  fi
}

# Ends the test with the number of faults found.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures fault(s) found" >&2
    exit 1
  fi
  echo "all checks passed"
}
