#!/usr/bin/env bash
# Compiles the Windows resource script with mingw-w64's windres, where it is
# installed, and checks the version record's strings in the result.
set -euo pipefail
ui=$1
windres=$(command -v x86_64-w64-mingw32-windres || command -v windres || true)
if [ -z "$windres" ]; then
  echo "SKIP: no windres (Debian package binutils-mingw-w64-x86-64)"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$ui" && "$windres" vadozoz.rc -O coff -o "$out/vadozoz.res")
strings -el "$out/vadozoz.res" > "$out/strings"
fail=0
for pair in "ProductName=Vadozoz_10" "InternalName=Vadozoz_10" "OriginalFilename=Vadozoz_10.exe" \
            "FileVersion=1.00" "ProductVersion=1.00"; do
  key=${pair%%=*} value=${pair#*=}
  if ! grep -A1 -x "$key" "$out/strings" | tail -n 1 | grep -qx "$value"; then
    echo "FAIL: $key is not \"$value\""; fail=1
  fi
done
# The icon: eight images in one group.
[ "$(od -An -tu2 -j4 -N2 "$ui/images/vadozoz.ico" | tr -d ' ')" = 8 ] || { echo "FAIL: the icon does not hold 8 images"; fail=1; }
[ $fail = 0 ] && echo "resource script compiles, version record as expected"
exit $fail
