# The program's window under Xvfb, for the scripts that start the program as a person would
# (scripts/run, scripts/test-package, tests/e2e/person_session.sh). Sourced, not run:
#
#   run_under_xvfb WxH COMMAND...   runs COMMAND inside a new Xvfb screen of W x H pixels, in a
#                                   UTF-8 locale (xdotool reads window titles in the locale's
#                                   character set: the Chinese title needs UTF-8)
#   start_program PROGRAM [ARG...]  starts PROGRAM and waits up to 30 s for its visible window;
#                                   sets PROGRAM_PID, WINDOW_ID and X Y WIDTH HEIGHT of the client
#                                   area; returns 1 (the program stopped) when no window shows
#   click_at X Y                    a click at a point of the window's 363 x 693 design
#   click_exit                      clicks "退出" and waits up to 10 s for the program to end;
#                                   returns the program's exit status, or 1 when it did not end

PILE_WINDOW_TITLE='^嵌岩桩承载力计算 \(DBJ50-047-2016\)$'
source "$(dirname "${BASH_SOURCE[0]}")/panel-controls.sh"

run_under_xvfb() {
    local screen=$1
    shift
    LANG=C.UTF-8 LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 ${screen}x24" "$@"
}

start_program() {
    "$@" &
    PROGRAM_PID=$!
    WINDOW_ID=$(timeout 30 xdotool search --sync --onlyvisible --name "$PILE_WINDOW_TITLE" |
        head -n 1) || true
    if [ -z "$WINDOW_ID" ]; then
        kill "$PROGRAM_PID" 2>/dev/null || true
        return 1
    fi
    sleep 1  # the first paint
    eval "$(xdotool getwindowgeometry --shell "$WINDOW_ID")"
}

click_at() {
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.4
}

click_exit() {
    click_at "${cbt_tuichu[@]}"
    for _ in $(seq 50); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$PROGRAM_PID" 2>/dev/null; then
        kill "$PROGRAM_PID"
        wait "$PROGRAM_PID" 2>/dev/null || true
        return 1
    fi
    wait "$PROGRAM_PID"
}
