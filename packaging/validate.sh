#!/usr/bin/env bash
# validate.sh desktop FILE | metainfo FILE
# Runs the freedesktop validator for FILE. Exits 77 (skip) when the validator
# is not installed, so a machine without it still runs the other tests.
set -uo pipefail

kind=${1:?usage: validate.sh desktop|metainfo FILE}
file=${2:?usage: validate.sh desktop|metainfo FILE}

need() {
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "SKIP: $1 is not installed (package $2; scripts/install-deps installs it)"
    exit 77
  fi
}

case $kind in
  desktop)
    need desktop-file-validate desktop-file-utils
    # It exits 0 on warnings and hints; any line it prints is a finding.
    out=$(desktop-file-validate "$file" 2>&1)
    rc=$?
    [ -n "$out" ] && echo "$out"
    if [ $rc -ne 0 ] || [ -n "$out" ]; then
      echo "FAIL: desktop-file-validate reported the findings above"
      exit 1
    fi
    echo "desktop-file-validate: $file is clean"
    ;;
  metainfo)
    need appstreamcli appstream
    # --strict: errors, warnings and infos fail; pedantic hints are only shown.
    appstreamcli validate --no-net --strict --pedantic "$file"
    rc=$?
    if [ $rc -ne 0 ]; then
      echo "FAIL: appstreamcli validate exited $rc"
      exit 1
    fi
    ;;
  *)
    echo "validate.sh: unknown kind '$kind'" >&2
    exit 2
    ;;
esac
