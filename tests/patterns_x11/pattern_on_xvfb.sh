#!/usr/bin/env bash
# pattern_on_xvfb.sh VELMORA-JIGCTL XRANDR-MODE-SWEEP MODELS-DIRECTORY PATTERNS-WINDOW-ON-X11
# Runs velmora-jigctl pattern against a virtual X server of its own. Xvfb's
# RandR takes new modes up to its screen size, so the screen is large; it
# must not reset when its last client goes, or the next one finds it closed.
set -uo pipefail
jigctl=$1 sweep=$2 models=$3 window=$4
for tool in Xvfb xrandr import xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
export QT_QPA_PLATFORM=xcb
export LSAN_OPTIONS=suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

current() { xrandr --verbose | awk '/\*current/ {print $1, $2}'; }
desktop=$(current)
[ -n "$desktop" ] || { echo "FAIL: xrandr shows no current mode"; exit 1; }

# The runs without --seconds that no signal ends run under timeout, so that
# one that never ends fails the test instead of hanging it.
# Waits (up to 5 s) until xrandr shows a mode named like $1 as current.
wait_for_mode() {
    for _ in $(seq 50); do
        case "$(current)" in *"$1"*) return 0 ;; esac
        sleep 0.1
    done
    return 1
}
# The colour of one pixel of the screen, as "R,G,B".
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | awk 'NR==2 {print $2}' | tr -d '()' | cut -d, -f1-3; }
# Waits (up to 5 s) until the pattern is painted: pixel ($1, $2) is $3.
wait_for_pixel() {
    for _ in $(seq 50); do
        [ "$(pixel "$1" "$2")" = "$3" ] && return 0
        sleep 0.1
    done
    return 1
}
back_to_desktop() { [ "$(current)" = "$desktop" ] || fail "$1: the mode is $(current), not $desktop"; }

# 1. The mode is set with its refresh, the crosshatch is on the screen, and
#    the old mode is back after --seconds.
"$jigctl" --model vm1795 pattern crosshatch --mode 8 --seconds 2 >"$work/out" 2>"$work/err" &
run=$!
if wait_for_mode "jig 1024x768_85.00"; then
    refresh=$(xrandr | awk '/jig 1024x768_85.00/ {print $3}')
    [ "$refresh" = "85.00*" ] || fail "refresh shown as $refresh, not 85.00*"
    wait_for_pixel 64 300 255,255,255 || fail "the crosshatch was never painted"
    # Lines every 64 pixels, the centre column doubled (511, 512); black between.
    for at in "64 300 255,255,255" "65 300 0,0,0" "511 300 255,255,255" "512 300 255,255,255" \
              "700 384 255,255,255" "700 383 255,255,255" "700 400 0,0,0" "1023 700 255,255,255"; do
        set -- $at
        got=$(pixel "$1" "$2")
        [ "$got" = "$3" ] || fail "crosshatch at ($1, $2): $got, not $3"
    done
else
    fail "the mode 1024x768 at 85 Hz never became current ($(current))"
fi
wait $run; status=$?
[ $status = 0 ] || fail "pattern --seconds 2 exited $status: $(cat "$work/err")"
grep -q "mode 8: 1024x768 68.68 kHz 85.00 Hz +h +v (VESA 1024 85Hz) on screen" "$work/out" || fail "no mode line: $(cat "$work/out")"
back_to_desktop "after --seconds"

# 2. SIGTERM while the pattern shows: the old mode comes back, exit 130.
"$jigctl" --model vm1995pro pattern colour-bars --mode 3 >"$work/out" 2>"$work/err" &
run=$!
wait_for_mode "jig 800x600_60.32" || fail "800x600 never became current"
wait_for_pixel 250 300 0,255,255 || fail "the colour bars were never painted"
[ "$(pixel 50 300)" = "255,255,255" ] && [ "$(pixel 250 300)" = "0,255,255" ] || fail "colour bars: $(pixel 50 300) $(pixel 250 300)"
kill -TERM $run
wait $run; status=$?
[ $status = 130 ] || fail "SIGTERM: exit $status, not 130"
back_to_desktop "after SIGTERM"

# 3. A key ends it (Esc), after Enter kept the mode past its deadline.
timeout 10 "$jigctl" --model vm1795 pattern dots --mode 1 --confirm-within 2 >"$work/out" 2>"$work/err" &
run=$!
wait_for_mode "jig 640x480_59.94" || fail "640x480 never became current"
wait_for_pixel 40 40 255,255,255 || fail "the dots were never painted"
timeout 3 xdotool search --sync --name "Test pattern" windowfocus >/dev/null 2>&1
xdotool key Return
sleep 2.3
case "$(current)" in *"jig 640x480"*) ;; *) fail "Enter did not keep the mode: $(current)" ;; esac
xdotool key Escape
wait $run; status=$?
[ $status = 0 ] || fail "Esc: exit $status: $(cat "$work/err")"
back_to_desktop "after Esc"

# 4. Not kept within --confirm-within: the old mode comes back, exit 1.
timeout 10 "$jigctl" --model vm1795 pattern border --mode 6 --confirm-within 1 >"$work/out" 2>"$work/err"
status=$?
[ $status = 1 ] || fail "unconfirmed: exit $status, not 1"
grep -q "not kept within 1 s" "$work/err" || fail "unconfirmed: $(cat "$work/err")"
back_to_desktop "after the unconfirmed timeout"

# 5. Refusals before anything is set: exit 2 with the reason.
"$jigctl" --model vm1795 pattern crosshatch --mode 10 --seconds 0 >/dev/null 2>"$work/err"
status=$?
[ $status = 2 ] && grep -q "mode 10 is not available: the model marks this record unused" "$work/err" ||
    fail "an unused record: exit $status: $(cat "$work/err")"
"$jigctl" --model vm1795 pattern crosshatch --mode 11 --seconds 0 >/dev/null 2>"$work/err"
status=$?
[ $status = 2 ] && grep -q "its modes are 0 to 10" "$work/err" || fail "a mode past the list: exit $status: $(cat "$work/err")"
"$jigctl" --model vm1795 pattern crosshatch --mode 8 --output VGA-9 --seconds 0 >/dev/null 2>"$work/err"
status=$?
[ $status = 2 ] && grep -q "no connected output VGA-9 (connected: screen)" "$work/err" ||
    fail "an unknown output: exit $status: $(cat "$work/err")"
WAYLAND_DISPLAY=wayland-0 "$jigctl" --model vm1795 pattern crosshatch --mode 8 --seconds 0 >/dev/null 2>"$work/err"
status=$?
[ $status = 1 ] && grep -q "Wayland session, where programs cannot set display modes; log out and choose an X11" "$work/err" ||
    fail "under Wayland: exit $status: $(cat "$work/err")"
back_to_desktop "after the refusals"

# 6. Every usable mode of every sample model is set and taken back (one
#    connection, the server's own account of each mode read back).
"$sweep" "$models" >"$work/out" 2>&1 || fail "$(cat "$work/out")"
back_to_desktop "after every sample mode"

# 7. The console's Patterns window: Enter, Page Down and Esc.
timeout 20 "$window" "$models/vm1795.mdl" >"$work/out" 2>&1 || fail "the Patterns window: $(cat "$work/out")"
back_to_desktop "after the Patterns window"

[ $failures = 0 ] && echo "pattern_on_xvfb: all checks passed"
exit $((failures > 0))
