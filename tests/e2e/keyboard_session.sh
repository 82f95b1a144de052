#!/usr/bin/env bash
# Starts the program under Xvfb with a temporary HOME and drives the panel by keyboard alone:
# the rock mode by the arrow keys, "矩形桩" picked in the closed list, every box reached by Tab
# and typed, "计算" and "结果" by Ctrl+Return, "保存" by Ctrl+S. The saved text book must equal,
# byte for byte, the one pile_replay gives for the same inputs (the mouse's person_session
# checks the same). Then the book window: Ctrl+Shift+O, resized to 1600 x 900, a "计算" made in
# the main window after it opened, found there by Ctrl+F as the last record, and saved from it
# by Ctrl+Shift+S: the file holds both records. F1 on either screen and in the book window
# must hand the manual's page to the desktop's opener (xdg-open, here a stand-in that writes
# down what it is given). Screenshots of every stage are left in the output folder.
#   keyboard_session.sh PROGRAM PILE_REPLAY OUTPUT_FOLDER
# With PILE_SCALE=2 the program runs at QT_SCALE_FACTOR=2 on a screen of twice the size.
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)
source "$lib/program-window.sh"
scale=${PILE_SCALE:-1}

if [ "${1:-}" != "--inside-x" ]; then
    program=$1 replay=$2 out=$3
    rm -rf "$out"
    mkdir -p "$out/home"
    export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config"
    unset XDG_RUNTIME_DIR
    mkdir -p "$out/bin"
    printf '#!/bin/sh\necho "$1" >> "%s"\n' "$out/opened.txt" >"$out/bin/xdg-open"
    chmod +x "$out/bin/xdg-open"
    export PATH="$out/bin:$PATH"
    run_under_xvfb "$((1920 * scale))x$((1080 * scale))" bash "$0" --inside-x "$program" \
        "$replay" "$out"
    exit
fi
program=$2 replay=$3 out=$4
export QT_SCALE_FACTOR=$scale

fail() {
    echo "FAIL: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    kill "$PROGRAM_PID" 2>/dev/null || true
    exit 1
}
shot() { import -window root "$out/$1.png"; }
manual_opened() {  # N: F1 has handed the opener the same existing manual.html N times
    sleep 1
    local opened
    mapfile -t opened < <(cat "$out/opened.txt" 2>/dev/null)
    [ "${#opened[@]}" -eq "$1" ] && [ "$(printf '%s\n' "${opened[@]}" | sort -u | wc -l)" -eq 1 ] &&
        [[ ${opened[0]} == file://*/manual.html ]] && [ -f "${opened[0]#file://}" ] ||
        fail "F1 opened '${opened[*]}', not the manual $1 times"
}
keys() {
    xdotool key --delay 60 "$@"
    sleep "${PANEL_SETTLE:-0.4}"
}
typed() {  # the box with the focus: its text replaced
    xdotool key ctrl+a
    xdotool type --delay "${PANEL_TYPE_DELAY:-40}" "$1"
}

start_program "$program" || fail "the window did not show"
[ "$WIDTH" -eq $((363 * scale)) ] && [ "$HEIGHT" -eq $((693 * scale)) ] ||
    fail "client area ${WIDTH}x${HEIGHT}, not 363x693 at scale $scale"
main_window=$WINDOW_ID
xdotool windowfocus --sync "$main_window"
sleep 0.3
keys F1 # the manual, from the input screen

# The keyboard starts in d: Tab to hr, 混凝土, 工艺 and the selected rock button; Up selects fuk.
keys Tab Tab Tab Tab Up
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab # back up to 截面类型
keys Down Down                                          # 矩形桩, the list closed
keys Tab
typed 800
keys Tab
typed 1000
keys Tab
typed 2000
keys Tab Down # hr, then C35
keys Tab Tab Tab # 工艺, the rock button, fuk
typed 3
shot 01-typed
keys ctrl+Return # 计算; the focus ring now on 结果
shot 02-computed
keys ctrl+Return # 结果
shot 03-book-screen
keys F1 # and from the book screen
manual_opened 2
keys ctrl+s # 保存
documents="$HOME/Documents"
text_file="$documents/嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt"
for _ in $(seq 25); do
    [ -s "$text_file" ] && break
    sleep 0.2
done
[ -s "$text_file" ] || fail "Ctrl+S saved no text book"

# The same pile by pile_replay: a = 1000, b = 800 after the exchange, hr 2000, C35, fuk 3.
step1=$'CALC\t2\t1\t800\t1000\t2000\t25\t3\t2\t0\t2\t.\tTIME'
printf '%s\n' "$step1" | "$replay" >"$out/replay1.tsv"
python3 "$lib/same-book.py" "$out/replay1.tsv" TEXT "$text_file" "$out/TEXT1.expected" ||
    fail "the text book saved by Ctrl+S differs from pile_replay"

# The book window, 1600 x 900, beside the main window.
keys ctrl+shift+o
book_window=$(timeout 20 xdotool search --sync --onlyvisible --name "^计算书 - " | head -n 1) ||
    fail "Ctrl+Shift+O opened no book window"
xdotool windowsize --sync "$book_window" $((1600 * scale)) $((900 * scale))
xdotool windowmove --sync "$book_window" $((300 * scale)) $((100 * scale))
sleep 0.6
eval "$(xdotool getwindowgeometry --shell "$book_window")"
[ "$WIDTH" -eq $((1600 * scale)) ] && [ "$HEIGHT" -eq $((900 * scale)) ] ||
    fail "book window ${WIDTH}x${HEIGHT}, not 1600x900"
keys ctrl+Tab # the table book: a whole row from 基桩编号 to Rc
shot 04-book-window-table
keys ctrl+Tab
shot 04-book-window
keys F1 # the manual from the book window too
manual_opened 3

# Back in the main window: Esc, a new long side typed into d, Ctrl+Return computes ZH2.
xdotool windowfocus --sync "$main_window"
keys Escape
typed 1200
keys ctrl+Return
shot 05-second-record

xdotool windowfocus --sync "$book_window"
sleep 0.3
keys ctrl+f
xdotool type --delay 60 "zh2"
sleep 0.5
shot 06-found
keys Escape

# Saved as from the book window: the text book of both records.
keys ctrl+shift+s
timeout 20 xdotool search --sync --onlyvisible --name "^另存为$" >/dev/null ||
    fail "the save-as dialog did not open"
sleep 0.5
saved="$HOME/book-window.txt"
typed "$saved"
keys Return
for _ in $(seq 25); do
    [ -s "$saved" ] && break
    sleep 0.2
done
[ -s "$saved" ] || fail "the book window saved nothing"
step2=$'CALC\t2\t1\t1200\t800\t2000\t25\t3\t2\t0\t2\t.\tTIME'
printf '%s\n%s\n' "$step1" "$step2" | "$replay" >"$out/replay2.tsv"
python3 "$lib/same-book.py" "$out/replay2.tsv" TEXT "$saved" "$out/TEXT2.expected" ||
    fail "the book window's text book differs from pile_replay after the second 计算"

# 退出 by Tab and Return from 结果, where the last Ctrl+Return left the keyboard.
xdotool windowfocus --sync "$main_window"
keys Tab Return
for _ in $(seq 50); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$PROGRAM_PID" 2>/dev/null; then
    fail "Return on 退出 did not end the program"
fi
wait "$PROGRAM_PID" || fail "the program ended with a failure status"
echo "PASS: keyboard session (screenshots in $out)"
