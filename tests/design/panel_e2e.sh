#!/usr/bin/env bash
# Drives the designer's link panel and its dialogs under Wine with real keys (the panel's demo program,
# which writes each report it receives as a line) and checks what is reported: an edit when the control
# commits it, nothing for a keystroke, an Escape or a dialog left as it was, a file outside the disc
# refused. VELMARO_E2E_ARCH=win64 runs the x86_64 build with the native loader; the default is the
# shipped i686 build through scripts/wine32.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=${VELMARO_E2E_ARCH:-win32}
work=$root/build/panel-e2e-$arch
mkdir -p "$work"

cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch" -j2 --target velmaro-design-panel-demo >/dev/null
exe=$root/build/$arch/velmaro-design-panel-demo.exe

settle=0.5 delay=40
if [[ $arch == win32 ]]; then
  settle=4 delay=80
  wine=$("$root/scripts/wine32.sh")
  bin=$(dirname "$wine")
else
  wine=/usr/lib/wine/wine64
  bin=/usr/lib/wine
  export WINEARCH=win64 WINELOADER=$wine
fi
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

for n in $(seq 150 199); do
  if [[ ! -e /tmp/.X$n-lock && ! -e /tmp/.X11-unix/X$n ]]; then
    export DISPLAY=:$n
    break
  fi
done
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  "$bin/wineserver" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X${DISPLAY#:} ]] && break; sleep 0.2; done
[[ -d $WINEPREFIX ]] || "$bin/wine64" wineboot -i >"$work/wineboot.log" 2>&1

disc=$work/disc
rm -rf "$disc"
mkdir -p "$disc/docs" "$disc/tools"
echo guide >"$disc/docs/guide.pdf"
echo exe >"$disc/tools/my -tool.exe"
echo exe >"$disc/setup2.exe"
echo outside >"$work/outside.txt"
outside="Z:${work//\//\\}\\outside.txt"
out=$work/reports.txt
: >"$out"
rm -f "$work"/failure-*.png

failures=0
# Each failure keeps a picture of the screen beside the reports.
fail() {
  failures=$((failures + 1))
  echo "FAIL: $* (screen: $work/failure-$failures.png)" >&2
  import -window root "$work/failure-$failures.png" 2>/dev/null || true
}
# Waits for the demo's report count to reach $1, for up to 30 s (the emulated loader is slow).
wait_reports() {
  for _ in $(seq 150); do
    (($(grep -c . "$out") >= $1)) && return 0
    sleep 0.2
  done
  fail "waited for report $1; got: $(tail -1 "$out")"
}
# Waits for a window of that title, then for it to be ready for keys (Wine gives a new dialog the
# keyboard itself; under the emulated loader it takes a moment more).
window_named() {
  for _ in $(seq 150); do
    if xdotool search --name "^$1\$" >/dev/null 2>&1; then
      sleep "$settle"
      return 0
    fi
    sleep 0.2
  done
  fail "no window \"$1\""
}
window_gone() {
  for _ in $(seq 150); do
    xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "window \"$1\" stayed"
}
# Types over what a file dialog's name box holds.
type_name() {
  keys End shift+Home
  xdotool type --delay "$delay" "$1"
}
keys() {
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
}

(cd "$disc" && "$wine" "$exe" >"$out" 2>"$work/demo.err") &
demo=$!
wait_reports 1
xdotool mousemove 1000 740
xdotool windowfocus "$(xdotool search --name '^Link panel$')"
sleep 0.5

# A caption: typed over, committed by Enter; typing and Escape take it back and report nothing.
keys alt+c
xdotool type --delay "$delay" '&Setup'
keys Return alt+c
xdotool type --delay "$delay" 'zzz'
keys Escape Tab
# The action: arrows in the closed list report nothing until the list is left.
keys alt+n Down Down Tab
# A free link number and a page, committed by Enter.
keys alt+k Down Return alt+o Down Return alt+w Down Down Return
# Buttons by their letters; Enter on a focused button presses it, and the font dialog left as it was
# reports nothing.
keys alt+a alt+d alt+g alt+i
wait_reports 10
keys alt+f Return
window_named Font
keys Escape
window_gone Font
# The colour dialog left as it was reports nothing; a colour typed in it is written as decimal BGR.
keys alt+h
window_named Color
keys Return
window_gone Color
keys alt+x
window_named Color
xdotool type '0'
keys Tab Return
window_gone Color
wait_reports 11
# A document of the disc chosen with the file dialog is written relative to the disc; one outside is
# refused with a message, and the dialog opens again.
keys alt+n Home Return alt+b
window_named 'Choose a file of the disc'
type_name 'docs\guide.pdf'
keys Return
wait_reports 13
keys alt+b
window_named 'Choose a file of the disc'
type_name "$outside"
keys Return
window_named 'Not a file of the disc'
keys Return
window_named 'Choose a file of the disc'
keys Escape
window_gone 'Choose a file of the disc'
# A program keeps its parameters; one whose name the launch would cut at " -" is refused.
keys alt+n Down Return alt+r
xdotool type --delay "$delay" 'setup.exe -s'
keys Return alt+b
window_named 'Choose a program of the disc'
type_name 'setup2.exe'
keys Return
wait_reports 16
keys alt+b
window_named 'Choose a program of the disc'
type_name 'tools\my -tool.exe'
keys Return
window_named 'Name the program cannot start'
keys Return
window_gone 'Name the program cannot start'
# The start-up settings: a switch turned on is line 1 as the program reads it.
keys alt+s
window_named 'Start-up settings'
keys space Return
window_gone 'Start-up settings'
wait_reports 17
keys alt+l
wait_reports 18
# Closed, the demo ends by itself, and cleanly.
sleep 1
xdotool key alt+F4
for _ in $(seq 150); do
  kill -0 "$demo" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$demo" 2>/dev/null; then
  fail "the demo did not end when closed"
elif ! wait "$demo"; then
  fail "the demo ended with a fault: $(tail -1 "$work/demo.err")"
fi

expected="ready
caption = &Setup
action = 2
link = 1
page = 1
show page 2
add link
duplicate link
add page
duplicate page
colour = 16776960
action = 3
argument = docs\\guide.pdf
action = 0
argument = setup.exe -s
argument = setup2.exe -s
kavo flags = 101
delete link"
if [[ "$(tr -d '\r' <"$out")" != "$expected" ]]; then
  fail "reports differ from what was expected:"
  diff <(echo "$expected") <(tr -d '\r' <"$out") >&2 || true
fi
if ((failures)); then
  echo "panel e2e: $failures failures (reports in $out)" >&2
  exit 1
fi
echo "panel e2e: all reports as expected ($arch)"
