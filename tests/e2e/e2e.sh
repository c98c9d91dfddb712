#!/usr/bin/env bash
# The program driven the way a user works it, on a private X display with a
# real window manager: keys typed and buttons clicked through the X server,
# message boxes answered with a key, the window closed with Alt+F4. Checks
# log.ziz and the export byte for byte, and has an independent ADIF reader
# (tcadif, from npm) read the export back.
#   e2e.sh PROGRAM WORK_DIR     (exit 77: skipped, with the reason)
set -uo pipefail

program=${1:?usage: e2e.sh PROGRAM WORK_DIR}
work=${2:?usage: e2e.sh PROGRAM WORK_DIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"

skip() { echo "e2e: skipped: $*"; exit 77; }
for tool in Xvfb openbox xdotool xprop; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps installs it)"
done

run=$(mktemp -d "${TMPDIR:-/tmp}/vadozoz-e2e-XXXXXX")
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$run"
}
trap cleanup EXIT

fail() {
  echo "e2e: FAILED: $*"
  command -v import >/dev/null && import -window root "$work/e2e-failure.png" 2>/dev/null &&
    echo "e2e: the screen at that moment: $work/e2e-failure.png"
  for f in "$run"/*.log; do [ -s "$f" ] && { echo "--- $f"; tail -20 "$f"; }; done
  exit 1
}

export HOME="$run/home" LANG=C LC_ALL=C
unset QT_QPA_PLATFORM LANGUAGE
export LSAN_OPTIONS="suppressions=$here/../../ui/tests/lsan.supp"  # used by sanitizer builds only
mkdir -p "$HOME"
adif="$HOME/adif"

# Xvfb takes a free display number itself and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$run/display" >"$run/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
[ -s "$run/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$run/display")"
openbox --sm-disable >"$run/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || fail "openbox did not start"

title='Vadozoz v1.0 by Vuradar'
main=
prog=

# The id of the visible window whose title matches, waiting for it.
wait_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ -n "$prog" ] && ! kill -0 "$prog" 2>/dev/null && return 1
    sleep 0.1
  done
  return 1
}

start_program() {
  "$program" >>"$run/program.log" 2>&1 &
  prog=$!
  pids+=("$prog")
  main=$(wait_window "^${title//./\\.}\$") || fail "the window did not open"
  xdotool windowactivate --sync "$main"
}

# Coordinates are the window's client area, as laid out by the program.
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
click_salva() { click 460 196; }
click_esci() { click 548 196; }
click_genera_log() { click 784 196; }

# Answers the information box with Return, as a user does.
answer_box() {
  local box
  box=$(wait_window '^Vadozoz$') || fail "no message box after $1"
  xdotool windowactivate --sync "$box"
  xdotool key Return
  for _ in $(seq 100); do xdotool search --onlyvisible --name '^Vadozoz$' >/dev/null 2>&1 || return 0; sleep 0.1; done
  fail "the message box after $1 did not close"
}

wait_exit() {
  for _ in $(seq 200); do kill -0 "$prog" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$prog" 2>/dev/null && fail "the program did not end after $1"
  wait "$prog"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "the program ended with status $rc after $1"
  prog=
}

# Types one contact: the call sign where the focus is, then Tab to each field,
# select all, type.
type_contact() {
  xdotool type --delay 25 "$1"
  shift
  for value in "$@"; do
    xdotool key Tab ctrl+a
    xdotool type --delay 25 "$value"
  done
}

# Back in the call-sign box for the next contact.
focus_call_sign() {
  click 288 66
  xdotool key ctrl+a
}

records_in() { [ -f "$1" ] && grep -o '<EOR>' "$1" | wc -l || echo 0; }

wait_records() {
  for _ in $(seq 100); do
    [ "$(records_in "$adif/log.ziz")" -eq "$1" ] && return 0
    xdotool search --onlyvisible --name '^Vadozoz_10$' >/dev/null 2>&1 && fail "the contact was refused"
    sleep 0.1
  done
  fail "log.ziz does not hold $1 records after \"Salva\""
}

# The record line the program must write for what was typed.
record() {
  printf '<CALL:%d>%s<QSO_DATE:8:D>%s<TIME_ON:4>%s<BAND:%d>%s<MODE:%d>%s<RST_SENT:%d>%s<EOR>\r\n' \
    "${#1}" "$1" "$2" "$3" "${#4}" "$4" "${#5}" "$5" "${#6}" "$6"
}
expect_bytes() {  # file, then the expected content in $run/expected
  cmp -s "$1" "$run/expected" || {
    echo "expected:"; od -c "$run/expected" | tail -5
    echo "found:"; od -c "$1" 2>&1 | tail -5
    fail "$1 is not what was typed"
  }
}

# Run 1: two contacts, then "Esci".
start_program
type_contact qx1abc 7 Marzo 2015 9:05 57 20m CW  # day, month, year, time, RST, band, mode
click_salva
wait_records 1
focus_call_sign
type_contact iz2xyz/p 31 Dicembre 2016 23:59 599 160m SSB
click_salva
wait_records 2
click_esci
answer_box '"Esci"'
wait_exit '"Esci"'
{ record QX1ABC 20150307 0905 20m CW 57; record IZ2XYZ/P 20161231 2359 160m SSB 599; printf '\r\n'; } >"$run/expected"
expect_bytes "$adif/log.ziz"
echo "e2e: run 1: two contacts typed and saved, \"Esci\" answered; log.ziz byte for byte right"

# Run 2: the log comes back; "Genera Log"; one more contact; Alt+F4.
start_program
[ "$(xdotool getwindowname "$main")" = "$title" ] || fail "window title: $(xdotool getwindowname "$main")"
command -v import >/dev/null && import -window root "$work/e2e-restarted.png" 2>/dev/null
before=$(date +%d%b%Y)
click_genera_log
answer_box '"Genera Log"'
after=$(date +%d%b%Y)
exports=$(cd "$adif" && ls -1 ./*.adi 2>/dev/null | sed 's|^\./||')
[ "$(printf '%s\n' "$exports" | grep -c .)" -eq 1 ] || fail "expected one export, found: $exports"
[[ "$exports" =~ ^log_[0-9]{2}[A-Z][a-z]{2}[0-9]{4}\.adi$ ]] || fail "export name $exports"
[ "$exports" = "log_$before.adi" ] || [ "$exports" = "log_$after.adi" ] || fail "export $exports is not today's (log_$after.adi)"
exported="$adif/$exports"
expect_bytes "$exported"
[ -e "$adif/log.ziz" ] && fail "log.ziz is still there after the export"
echo "e2e: run 2: title right, \"Genera Log\" answered; $exports byte for byte right, log.ziz gone"

focus_call_sign
type_contact k1ab 29 Febbraio 2016 0:00 59 2m FM
click_salva
wait_records 1
xdotool windowactivate --sync "$main"
xdotool key alt+F4  # to openbox, which asks the window to close
answer_box 'Alt+F4'
wait_exit 'Alt+F4'
cp "$run/expected" "$run/export-expected"
{ record K1AB 20160229 0000 2m FM 59; printf '\r\n'; } >"$run/expected"
expect_bytes "$adif/log.ziz"
cp "$run/export-expected" "$run/expected"
expect_bytes "$exported"
echo "e2e: run 2: a third contact, closed by Alt+F4 and the box answered; log.ziz holds it"

# The export through an ADIF reader that is not ours.
if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  echo "e2e: npm or node is not installed: the check with an independent ADIF reader (tcadif) is skipped"
else
  node_dir="$work/e2e-node"
  if [ ! -f "$node_dir/node_modules/tcadif/package.json" ]; then
    npm install --prefix "$node_dir" --no-audit --no-fund --loglevel=error tcadif >"$run/npm.log" 2>&1 ||
      fail "npm could not install tcadif: $(tail -5 "$run/npm.log")"
  fi
  node "$here/read_adif.js" "$node_dir/node_modules/tcadif" "$exported" \
    'QX1ABC 20150307 0905 20m CW 57' 'IZ2XYZ/P 20161231 2359 160m SSB 599' || fail "tcadif read the export differently"
fi
echo "e2e: passed"
