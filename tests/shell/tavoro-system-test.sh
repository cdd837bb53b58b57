#!/usr/bin/env bash
# System test: the real Tavoro from the program directory on the simulated world, under Xvfb
# with a notification-area host. The icon must appear, a second start must end at once and
# bring the window up on the General page, a screenshot is taken, and the program must end
# cleanly on SIGTERM. Every wait is bounded; every process started here is ended.
# Arguments: program directory, desktop-session.sh, a folder for the screenshot and logs.
set -uo pipefail
bin=$1
helpers=$2
out=$3
# shellcheck source=../../shell/desktop-session.sh
source "$helpers"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavoro-system-XXXXXX")
chmod 700 "$work"
tavoro_pid=""
fail() {
    echo "FAIL: $*" >&2
    echo "--- Tavoro trace" >&2
    cat "$work/tavoro.log" >&2 2>/dev/null
    exit 1
}
cleanup() {
    vd_stop "$tavoro_pid" 10
    vd_stop "${VD_TRAY_PID:-}"
    vd_stop "${VD_XVFB_PID:-}"
    rm -rf "$work"
}
trap cleanup EXIT

vd_start_display "$work" || fail "no virtual display"
vd_start_tray "$work" || fail "no notification-area host"

mkdir -p "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
export DISPLAY="$VD_DISPLAY" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
    XDG_CONFIG_HOME="$work/config" QUELMAR_TRACE=1
unset WAYLAND_DISPLAY

cd "$bin" || fail "no program directory $bin"
./Tavoro >"$work/tavoro.log" 2>&1 &
tavoro_pid=$!

# The start-up's fixed pauses (name search, open, found card) take about 6 s.
vd_wait_for 30 vd_tray_icon_present || fail "the icon did not appear in the notification area"
vd_main_window_shown && fail "the window is shown before anyone asked for it"
echo "icon in the notification area"

start=$(date +%s)
timeout 10 ./Tavoro >"$work/second.log" 2>&1
rc=$?
[[ $rc -eq 0 ]] || fail "the second start ended with $rc"
(( $(date +%s) - start <= 5 )) || fail "the second start did not end at once"
grep -q 'another copy runs' "$work/second.log" || fail "the second start did not find the first copy"
kill -0 "$tavoro_pid" 2>/dev/null || fail "the first copy ended"

vd_wait_for 10 vd_main_window_shown || fail "the window did not come up"
vd_wait_for 5 grep -q 'OnBringUp() page 1003' "$work/tavoro.log" || fail "the window is not on the General page"
echo "window up on the General page"

mkdir -p "$out"
vd_screenshot "$out/tavoro-system-test.png" || fail "no screenshot"
[[ -s "$out/tavoro-system-test.png" ]] || fail "empty screenshot"
echo "screenshot $out/tavoro-system-test.png"

kill -TERM "$tavoro_pid"
ended=0
for _ in $(seq 100); do
    if ! kill -0 "$tavoro_pid" 2>/dev/null; then ended=1; break; fi
    sleep 0.1
done
[[ $ended -eq 1 ]] || fail "Tavoro did not end within 10 s of SIGTERM"
wait "$tavoro_pid"
rc=$?
tavoro_pid=""
[[ $rc -eq 0 ]] || fail "Tavoro ended with $rc"
echo "PASS"
