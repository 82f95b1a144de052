#!/usr/bin/env bash
# A project's day with the real program under Xvfb:
#  1. started with a schedule of 42 piles on the command line: both books saved, byte for byte
#     those pile_batch writes for the schedule;
#  2. the same schedule imported again (Ctrl+O) and answered 替换: the books the same again;
#  3. 新建计算书 (Ctrl+N): the books empty (the schedule then imports without a question);
#  4. the 42 piles saved, 3 piles computed more, kill -9: the next start asks
#     "上次有 3 根桩未保存（共 45 根），是否恢复？", read from the box itself.
#   schedule_session.sh PROGRAM PILE_BATCH OUTPUT_FOLDER
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)
source "$lib/program-window.sh"

if [ "${1:-}" != "--inside-x" ]; then
    program=$1 batch=$2 out=$3
    rm -rf "$out"
    mkdir -p "$out/home"
    export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config"
    unset XDG_RUNTIME_DIR XDG_DATA_HOME
    run_under_xvfb 1024x900 bash "$0" --inside-x "$program" "$batch" "$out"
    exit
fi
program=$2 batch=$3 out=$4

fail() {
    echo "FAIL: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    kill "$PROGRAM_PID" 2>/dev/null || true
    exit 1
}
shot() { import -window root "$out/$1.png"; }
documents="$HOME/Documents"
books=("嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt" "嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt")

# 42 piles, each with its own time, so that the window's books and pile_batch's are the same
# bytes.
schedule="$HOME/桩表.csv"
{
    printf '截面,参数,d或a,c或b,hr,混凝土,工艺,frk,fuk,精度,计算时间,小数点\r\n'
    for i in $(seq 42); do
        printf '圆桩,frk,%d,0,1.0d,C30,泥浆护壁成桩,25,24,个位取整,2026/12/10 9:%02d:07,.\r\n' \
            $((800 + 10 * i)) "$i"
    done
} >"$schedule"
"$batch" --out "$out/batch" "$schedule" >/dev/null || fail "pile_batch refused the schedule"
# The file dialog gets the same schedule under a Latin name: xdotool types an ideograph through a
# keycode it remaps on the fly, and on a loaded machine the second of two ideographs can be
# lost. The Chinese name itself goes in on the command line.
typed="$HOME/schedule.csv"
ln -s "$schedule" "$typed"

save_both() {  # on the book screen, the text book on show
    click_at "${cbt_Save[@]}"
    click_at "${cbt_PageBook[@]}"
    click_at "${cbt_Save[@]}"
    click_at "${cbt_PageBook[@]}"
}
same_as_batch() {  # STEP: both saved books are pile_batch's
    for name in "${books[@]}"; do
        cmp "$out/batch/$name" "$documents/$name" || fail "$1: $name differs from pile_batch's"
    done
}
box() {  # the window of the program's title that is not its main window
    local id
    for _ in $(seq 40); do
        for id in $(xdotool search --onlyvisible --name "$PILE_WINDOW_TITLE" 2>/dev/null); do
            [ "$id" != "$WINDOW_ID" ] && { echo "$id"; return 0; }
        done
        sleep 0.25
    done
    return 1
}
# The clipboard as the X server holds it, through Tk (python3-tk).
clipboard() { python3 -c 'import tkinter; t = tkinter.Tk(); t.withdraw(); print(t.clipboard_get())' 2>/dev/null; }

# 1. The schedule on the command line.
start_program "$program" "$schedule" || fail "the window did not show"
shot 01-started-with-a-schedule
save_both
same_as_batch "started with the schedule"

# 2. Imported again: 替换, the second button (Tab from 追加到其后, the default, then Space).
xdotool key ctrl+o
for _ in $(seq 120); do
    xdotool search --onlyvisible --name "导入桩表" >/dev/null 2>&1 && break
    sleep 0.5
done
xdotool search --onlyvisible --name "导入桩表" >/dev/null 2>&1 || fail "Ctrl+O opened no dialog"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$typed"
xdotool key Return
question=$(box) || fail "a second import asked nothing"
sleep 0.5
shot 02-append-or-replace
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key Tab space
sleep 1
save_both
same_as_batch "replaced"

# 3. 新建计算书: all saved, so no question; the schedule then goes in without one.
xdotool key ctrl+n
sleep 1
! box >/dev/null 2>&1 || fail "新建计算书 asked with everything saved"
shot 03-new-books
xdotool key ctrl+o
sleep 2
xdotool key ctrl+a
xdotool type --delay 20 "$typed"
xdotool key Return
sleep 2
! box >/dev/null 2>&1 || fail "an import into empty books asked"
save_both
same_as_batch "after 新建计算书"

# 4. Three piles more, killed.
click_at "${cbt_Exit[@]}"  # 返回
type_into "${cbe_dd[@]}" 1200
click_at "${cbt_compute[@]}"
type_into "${cbe_hr[@]}" 2000
click_at "${cbt_compute[@]}"
type_into "${cbe_dd[@]}" 1300
click_at "${cbt_compute[@]}"
# Killed only once the journal holds the 45 rows: a slow build (the sanitizers') may still be
# working through the clicks.
journal_lines() {
    local newest
    newest=$(find "$HOME" -name '会话-*.csv' -printf '%T@ %p\n' 2>/dev/null | sort -n |
        tail -n 1 | cut -d' ' -f2-)
    if [ -n "$newest" ]; then wc -l <"$newest"; else echo 0; fi
}
for _ in $(seq 60); do
    [ "$(journal_lines)" -ge 46 ] && break
    sleep 0.5
done
kill -9 "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null || true
"$program" &
PROGRAM_PID=$!
recovery=$(timeout 20 xdotool search --sync --onlyvisible --name '^恢复上次的计算$' | head -n 1) ||
    fail "no recovery question"
sleep 0.5
shot 04-recovery-question
eval "$(xdotool getwindowgeometry --shell "$recovery")"
# The question's text is selectable: a click on it, then select all and copy.
xdotool mousemove $((X + WIDTH * 3 / 5)) $((Y + 20)) click 1
xdotool key ctrl+a ctrl+c
sleep 0.5
asked=$(clipboard) || fail "the question could not be copied"
[ "$asked" = "上次有 3 根桩未保存（共 45 根），是否恢复？" ] || fail "the question reads: $asked"
xdotool key Escape
sleep 1
kill "$PROGRAM_PID" 2>/dev/null || true
wait "$PROGRAM_PID" 2>/dev/null || true
echo "PASS: schedule session (screenshots in $out)"
