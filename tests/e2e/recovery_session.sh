#!/usr/bin/env bash
# The session journal with the real program under Xvfb, driven as a person drives it:
#  1. an uninterrupted session (three calculations, "x", both books saved over an earlier book
#     at the fixed name, which must survive byte for byte in "嵌岩桩计算书(旧)");
#  2. the same steps, then kill -9; the next start asks "上次有 2 根桩未保存…" (answered with
#     Enter: 恢复), both books saved: they equal those of the uninterrupted session, but for
#     the date-times;
#  3. a start that asks nothing (all was saved), one calculation, kill -9; the next start is
#     answered with Escape (不恢复): one calculation more gives the books of one calculation,
#     and "导出桩表…" of that session, run through pile_batch, gives the bytes "保存" wrote.
# Screenshots (the question among them) and the kept folder's listing stay in the output folder.
#   recovery_session.sh PROGRAM PILE_BATCH OUTPUT_FOLDER
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
text_name="嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt"
table_name="嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt"
kept="$documents/嵌岩桩计算书(旧)"
QUESTION='^恢复上次的计算$'

work() {  # three calculations, the last one deleted
    click_at "${cbt_compute[@]}"  # 计算
    type_into "${cbe_dd[@]}" 1200
    click_at "${cbt_compute[@]}"
    type_into "${cbe_hr[@]}" 2000
    click_at "${cbt_compute[@]}"
    click_at "${cbt_View[@]}"  # 结果
    click_at "${cbt_sanchu[@]}"       # x
}
save_both() {  # on the book screen, the text book on show
    click_at "${cbt_Save[@]}"  # 保存
    click_at "${cbt_PageBook[@]}"
    click_at "${cbt_Save[@]}"
    click_at "${cbt_PageBook[@]}"
}
killed() {
    kill -9 "$PROGRAM_PID"
    wait "$PROGRAM_PID" 2>/dev/null || true
}
answer() {  # KEY SHOT: the question must show; KEY answers it
    local box
    box=$(timeout 20 xdotool search --sync --onlyvisible --name "$QUESTION" | head -n 1) ||
        fail "no recovery question"
    sleep 0.5
    shot "$2"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key "$1"
    sleep 1
    ! xdotool search --onlyvisible --name "$QUESTION" >/dev/null || fail "the question stayed"
}
no_question() {
    sleep 2
    ! xdotool search --onlyvisible --name "$QUESTION" >/dev/null ||
        fail "asked with nothing unsaved"
}
without_times() {  # a book in UTF-8, its date-times as TIME
    iconv -f GBK -t UTF-8 "$1" |
        sed -E 's#[0-9]{1,2}:[0-9]{2}:[0-9]{2}#TIME#g'
}

# 1. Uninterrupted, over yesterday's book.
mkdir -p "$documents"
printf 'yesterday\r\n19 records\r\n' >"$documents/$text_name"
cp "$documents/$text_name" "$out/yesterday.txt"
touch -d '2026-12-09 17:30:00' "$documents/$text_name"
start_program "$program" || fail "the window did not show"
no_question
work
save_both
click_at "${cbt_Exit[@]}"  # 返回
click_exit || fail "the first session did not end on 退出"
cmp "$out/yesterday.txt" "$kept/${text_name%.txt}_20261209-173000.txt" ||
    fail "yesterday's book was not kept byte for byte"
mkdir -p "$out/uninterrupted"
cp "$documents/$text_name" "$documents/$table_name" "$out/uninterrupted/"

# 2. The same, killed; restored with Enter and saved.
start_program "$program" || fail "the window did not show"
no_question
work
killed
start_program "$program" || fail "the window did not show after the kill"
answer Return 10-recovery-question
shot 11-recovered
click_at "${cbt_View[@]}"  # 结果: the panel stands as after the last 计算
shot 11a-recovered-book
save_both
click_at "${cbt_Exit[@]}"
click_exit || fail "the recovered session did not end on 退出"
for name in "$text_name" "$table_name"; do
    diff <(without_times "$out/uninterrupted/$name") <(without_times "$documents/$name") \
        >"$out/diff.txt" || fail "$name after recovery differs from the uninterrupted session's"
done
ls -l --time-style=+%Y-%m-%d\ %H:%M:%S "$kept" >"$out/kept-folder.txt"
[ "$(ls "$kept" | wc -l)" -eq 3 ] ||
    fail "the first session's books were not kept before the recovered session replaced them"

# 3. Asked nothing, killed after one calculation, not restored.
start_program "$program" || fail "the window did not show"
no_question
click_at "${cbt_compute[@]}"
killed
start_program "$program" || fail "the window did not show after the second kill"
answer Escape 12-not-restored
shot 13-start-as-always
click_at "${cbt_compute[@]}"   # 计算
click_at "${cbt_View[@]}"   # 结果
click_at "${cbt_Save[@]}"  # 保存 the text book
click_at "${cbt_PageBook[@]}"
click_at "${cbt_Save[@]}"
# "导出桩表…", the third item from the bottom of the book's menu (above "在新窗口中查看" and "项目表…").
xdotool mousemove $((X + 180)) $((Y + 300)) click 3
sleep 0.5
xdotool key Up Up Up Return
# Qt's file dialog may take a while to come up the first time on a busy machine.
for _ in $(seq 120); do
    xdotool search --onlyvisible --name "导出桩表" >/dev/null 2>&1 && break
    sleep 0.5
done
xdotool search --onlyvisible --name "导出桩表" >/dev/null 2>&1 || fail "the export dialog did not open"
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$HOME/export.csv"
xdotool key Return
for _ in $(seq 50); do
    [ -s "$HOME/export.csv" ] && break
    sleep 0.2
done
[ -s "$HOME/export.csv" ] || fail "导出桩表 wrote nothing"
sleep 0.5
click_at "${cbt_Exit[@]}"
click_exit || fail "the last session did not end on 退出"
grep -q ZH1 <(iconv -f GBK -t UTF-8 "$documents/$text_name") &&
    ! grep -q ZH2 <(iconv -f GBK -t UTF-8 "$documents/$text_name") ||
    fail "不恢复 did not start with empty books"
mkdir -p "$out/batch"
"$batch" --out "$out/batch" "$HOME/export.csv" >/dev/null || fail "pile_batch refused the export"
for name in "$text_name" "$table_name"; do
    cmp "$out/batch/$name" "$documents/$name" || fail "export -> pile_batch: $name differs"
done
echo "PASS: recovery session (screenshots in $out)"
