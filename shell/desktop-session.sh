# Helpers for running Tavoro on a virtual X display with a notification-area host; sourced by
# ./run and the system test. Needs Xvfb, trayer and xwininfo.

# Starts Xvfb on a free display; sets VD_DISPLAY and VD_XVFB_PID. Returns non-zero on failure.
vd_start_display() {
    local fdfile="$1/displayfd"
    : >"$fdfile"
    Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$fdfile" >"$1/xvfb.log" 2>&1 &
    VD_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        if [[ -s "$fdfile" ]]; then
            VD_DISPLAY=":$(tr -d '[:space:]' <"$fdfile")"
            return 0
        fi
        kill -0 "$VD_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start (see $1/xvfb.log)" >&2
    return 1
}

# Starts the notification-area host on VD_DISPLAY; sets VD_TRAY_PID.
vd_start_tray() {
    DISPLAY="$VD_DISPLAY" trayer --edge top --align right --widthtype pixel --width 160 \
        --height 32 --transparent false --SetDockType true >"$1/trayer.log" 2>&1 &
    VD_TRAY_PID=$!
    local i
    for i in $(seq 100); do
        DISPLAY="$VD_DISPLAY" xwininfo -root -tree 2>/dev/null | grep -q '"panel"' && return 0
        kill -0 "$VD_TRAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "the notification-area host did not start (see $1/trayer.log)" >&2
    return 1
}

# True when a window titled "Tavoro" is embedded below a top-level window (the tray icon).
vd_tray_icon_present() {
    DISPLAY="$VD_DISPLAY" xwininfo -root -tree 2>/dev/null |
        awk 'match($0, /^ */) && RLENGTH >= 9 && /"Tavoro"/ { found = 1 } END { exit !found }'
}

# True when the main window is mapped and viewable.
vd_main_window_shown() {
    DISPLAY="$VD_DISPLAY" xwininfo -name "Wireless Configuration Utility" 2>/dev/null |
        grep -q 'Map State: IsViewable'
}

# Polls a predicate every 0.2 s for at most $1 seconds.
vd_wait_for() {
    local limit=$(( $1 * 5 )) i
    shift
    for i in $(seq "$limit"); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# Writes a PNG of the whole virtual screen.
vd_screenshot() {
    DISPLAY="$VD_DISPLAY" xwd -root -silent | convert xwd:- "png:$1"
}

# Ends a process started here and waits for it, at most $2 seconds before SIGKILL.
vd_stop() {
    local pid="$1" limit=$(( ${2:-5} * 10 )) i
    [[ -n "$pid" ]] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for i in $(seq "$limit"); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null; return 0; }
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 1
}
