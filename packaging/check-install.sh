#!/usr/bin/env bash
# check-install.sh BUILD_DIR VERSION
# Installs BUILD_DIR into a temporary prefix and checks the tree a user's
# menu sees: exactly our files, a runnable program, and a desktop entry and
# metainfo whose names point at installed files.
set -uo pipefail

build=${1:?usage: check-install.sh BUILD_DIR VERSION}
version=${2:?usage: check-install.sh BUILD_DIR VERSION}
cmake=${CMAKE_COMMAND:-cmake}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log"
  echo "FAIL: cmake --install $build failed"
  exit 1
fi

sizes=(16 24 32 48 64 128 256)
expected=(
  bin/vadozoz
  share/applications/vadozoz.desktop
  share/metainfo/org.vadozoz.Vadozoz.metainfo.xml
)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/vadozoz.png"); done

actual=$(cd "$prefix" && find . -mindepth 1 ! -type d | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected list (< expected, > installed):"
  diff <(echo "$wanted") <(echo "$actual") | grep '^[<>]'
fi

bin=$prefix/bin/vadozoz
if [ ! -f "$bin" ] || [ ! -x "$bin" ]; then
  fail "bin/vadozoz is not an executable file"
elif [ "$(head -c 4 "$bin" | od -An -c | tr -d ' ')" != '177ELF' ]; then
  fail "bin/vadozoz is not an ELF program"
elif command -v readelf >/dev/null 2>&1 && readelf -d "$bin" | grep -Eq 'RPATH|RUNPATH'; then
  fail "bin/vadozoz carries an RPATH: $(readelf -d "$bin" | grep -E 'RPATH|RUNPATH')"
fi

# The value of KEY in the [Desktop Entry] group.
desktop=$prefix/share/applications/vadozoz.desktop
entry() {
  awk -F= -v key="$1" '
    /^\[/ { group = $0; next }
    group == "[Desktop Entry]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }
  ' "$desktop"
}

if [ -f "$desktop" ]; then
  exec_cmd=$(entry Exec)
  exec_cmd=${exec_cmd%% *}
  case $exec_cmd in
    "") fail "the desktop entry has no Exec" ;;
    /*) fail "Exec=$exec_cmd is an absolute path; the menu finds the program on PATH" ;;
    *) [ -x "$prefix/bin/$exec_cmd" ] || fail "Exec=$exec_cmd names no installed program in bin/" ;;
  esac

  icon=$(entry Icon)
  if [ -z "$icon" ]; then
    fail "the desktop entry has no Icon"
  else
    for s in "${sizes[@]}"; do
      png=$prefix/share/icons/hicolor/${s}x${s}/apps/$icon.png
      if [ ! -f "$png" ]; then
        fail "Icon=$icon has no ${s}x${s} image in the hicolor theme"
        continue
      fi
      # PNG: 8-byte signature, then the IHDR chunk with width and height.
      read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
                      awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
      [ "$w" = "$s" ] && [ "$h" = "$s" ] || fail "hicolor/${s}x${s}/apps/$icon.png is ${w}x${h}"
    done
  fi
fi

metainfo=$prefix/share/metainfo/org.vadozoz.Vadozoz.metainfo.xml
if [ -f "$metainfo" ]; then
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
  [ -f "$prefix/share/applications/$launchable" ] ||
    fail "the metainfo launches '$launchable', which is not installed"
  grep -q "<release version=\"$version\"" "$metainfo" ||
    fail "the metainfo has no release $version, the package's version"
  if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate-tree --no-net --strict "$tmp" >"$tmp/tree.log" 2>&1 ||
      { cat "$tmp/tree.log"; fail "appstreamcli validate-tree rejects the installed tree"; }
  else
    echo "note: appstreamcli is not installed; the tree was not validated as a whole"
  fi
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed on the tree installed from $build"
  exit 1
fi
echo "installed tree of $build is complete (${#expected[@]} files)"
