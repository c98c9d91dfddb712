#!/usr/bin/env bash
# test-package.sh [BUILD_DIR]
# Builds the Debian package with `make package`, installs it with apt-get,
# starts the installed program from its menu entry under Xvfb, closes it,
# purges the package and checks that nothing of it is left. Needs root (or
# sudo), apt-get, Xvfb, openbox and xdotool; it changes this system's
# packages, which is why it is not part of `make test`.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case $build in /*) ;; *) build=$root/$build ;; esac
title='Vadozoz v1.0 by Vuradar'

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "test-package: run as root or install sudo" >&2; exit 1; }
  sudo=(sudo)
fi
for tool in apt-get dpkg dpkg-deb xvfb-run openbox xdotool xprop timeout; do
  command -v "$tool" >/dev/null 2>&1 || { echo "test-package: $tool is not installed (make deps)" >&2; exit 1; }
done
if dpkg-query -W -f='${Status}' vadozoz 2>/dev/null | grep -q 'install ok installed'; then
  echo "test-package: vadozoz is already installed; this test would remove it." >&2
  echo "test-package: remove it first: apt-get remove --purge vadozoz" >&2
  exit 1
fi

work=$(mktemp -d)
installed=0
cleanup() {
  if [ $installed -eq 1 ]; then
    echo "test-package: removing the package after the failure"
    "${sudo[@]}" apt-get remove --purge -y -qq vadozoz >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
step() { echo; echo "== $*"; }
die() { echo "FAIL: $*" >&2; exit 1; }

step "make package"
make -C "$root" --no-print-directory package BUILD="$build"
deb=$build/vadozoz_1.00_$(dpkg --print-architecture).deb
[ -f "$deb" ] || die "$deb was not built"

step "package fields"
dpkg-deb -f "$deb" Package Version Section Depends
[ "$(dpkg-deb -f "$deb" Version)" = 1.00 ] || die "the package version is not 1.00"
[ "$(dpkg-deb -f "$deb" Section)" = hamradio ] || die "the package section is not hamradio"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6widgets6; do
  [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] ||
    die "Depends lacks $lib: dpkg-shlibdeps did not run"
done

# Which of the package's paths are there before it, so that the shared
# folders (/usr/share/icons/...) are not taken for leftovers afterwards.
mapfile -t paths < <(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$')
preexisting=()
for p in "${paths[@]}"; do
  if [ -e "$p" ]; then preexisting+=("$p"); fi
done
is_preexisting() { local q; for q in "${preexisting[@]}"; do [ "$q" = "$1" ] && return 0; done; return 1; }

step "apt-get install $deb"
installed=1
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb"
mapfile -t listed < <(dpkg -L vadozoz)
printf '%s\n' "${listed[@]}"
for f in /usr/bin/vadozoz /usr/share/applications/vadozoz.desktop \
         /usr/share/metainfo/org.vadozoz.Vadozoz.metainfo.xml \
         /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/vadozoz.png; do
  [ -f "$f" ] || die "$f is not installed"
  printf '%s\n' "${listed[@]}" | grep -qx "$f" || die "dpkg -L does not list $f"
done
if command -v desktop-file-validate >/dev/null 2>&1; then
  out=$(desktop-file-validate /usr/share/applications/vadozoz.desktop 2>&1) || true
  [ -z "$out" ] || die "the installed desktop entry: $out"
fi
# The hicolor trigger rebuilds the icon cache where the cache is kept.
cache=/usr/share/icons/hicolor/icon-theme.cache
if [ -f "$cache" ]; then
  grep -q vadozoz "$cache" || die "the icon cache was not refreshed with the vadozoz icon"
  echo "icon cache lists vadozoz"
fi

step "start the menu entry's command under Xvfb"
exec_cmd=$(sed -n 's/^Exec=//p' /usr/share/applications/vadozoz.desktop | head -1)
home=$work/home
mkdir -p "$home/adif" "$work/xdg"
chmod 700 "$work/xdg"
# A log from an earlier run: leaving saves it again and says so in a box.
record='<CALL:6>QX1ABC<QSO_DATE:8:D>20150305<TIME_ON:4>0905<BAND:3>20m<MODE:3>SSB<RST_SENT:2>59<EOR>'
printf '%s\r\n' "$record" >"$home/adif/log.ziz"
cp "$home/adif/log.ziz" "$work/log.before"
inode_before=$(stat -c %i "$home/adif/log.ziz")

export exec_cmd home title work
xvfb-run -a -s '-screen 0 1280x1024x24' bash -c '
  set -euo pipefail
  openbox >"$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/xdg" \
      DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" $exec_cmd >"$work/app.log" 2>&1 &
  app=$!
  win=$(timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" | head -1) ||
    { echo "FAIL: no window titled \"$title\" within 30 s"; kill $app $wm 2>/dev/null; exit 1; }
  echo "window $win: $(xdotool getwindowname "$win")"
  # Alt+F4 through the window manager, as a user closes it.
  xdotool windowactivate --sync "$win" key --clearmodifiers alt+F4
  # --onlyvisible: the hidden Qt leader window is named "vadozoz", and the
  # search ignores case.
  box=$(timeout 30 xdotool search --sync --onlyvisible --name "^Vadozoz\$" | head -1) ||
    { echo "FAIL: closing showed no box titled \"Vadozoz\""; kill $app $wm 2>/dev/null; exit 1; }
  echo "box $box: $(xdotool getwindowname "$box")"
  xdotool windowactivate --sync "$box" key --clearmodifiers Return
  for _ in $(seq 100); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
  if kill -0 $app 2>/dev/null; then
    echo "FAIL: the program is still running 10 s after the box was closed"
    kill $app $wm 2>/dev/null; exit 1
  fi
  rc=0; wait $app || rc=$?
  kill $wm 2>/dev/null || true
  [ $rc -eq 0 ] || { echo "FAIL: the program exited $rc"; cat "$work/app.log"; exit 1; }
  echo "the program closed and exited 0"
' || die "the installed program did not start and close as a user sees it"
# The box said the log was saved; the record read at the start must be in it.
cmp -s -n "$(stat -c %s "$work/log.before")" "$work/log.before" "$home/adif/log.ziz" ||
  die "log.ziz no longer starts with the record the program loaded"
# Saving replaces the file by a rename, so a saved log.ziz is a new inode.
[ "$(stat -c %i "$home/adif/log.ziz")" != "$inode_before" ] ||
  die "log.ziz was not written when the program was closed"
echo "log.ziz was saved again on closing and still holds the record"

step "apt-get remove --purge -y vadozoz"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq vadozoz
installed=0
if dpkg-query -W -f='${Status}' vadozoz 2>/dev/null | grep -q 'installed'; then
  die "dpkg still knows vadozoz: $(dpkg-query -W -f='${Status}' vadozoz)"
fi
left=()
for p in "${listed[@]}" "${paths[@]}"; do
  if [ "$p" != /. ] && [ -e "$p" ] && ! is_preexisting "$p"; then left+=("$p"); fi
done
[ ${#left[@]} -eq 0 ] || die "left behind: ${left[*]}"
if [ -f "$cache" ] && grep -q vadozoz "$cache"; then
  die "the icon cache still lists vadozoz"
fi
if command -v vadozoz >/dev/null 2>&1; then die "vadozoz is still on PATH: $(command -v vadozoz)"; fi
echo
echo "PASS: package built, installed, started, closed and purged without leftovers"
