#!/usr/bin/env bash
# Starts the program under Xvfb (a real X server) with a temporary HOME and drives it by mouse
# and keyboard alone, as a person does: a diameter and a socket depth typed and committed with
# Enter, fuk mode, "矩形桩", the sides typed, "计算", "结果", both books saved, the table book
# saved again through Ctrl+Shift+S and Qt's own save dialog as a text file and as a PDF (a full
# path typed, Enter), the last record deleted, "返回", "退出". The saved files must equal, byte
# for byte, the books pile_replay prints for the same inputs, encoded in GBK with CR LF between
# lines (all but the time line, whose form is checked); the text saved as equals the one "保存"
# wrote, the PDF holds the row in the embedded book font. Screenshots of every stage are left
# in the output folder.
#   person_session.sh PROGRAM PILE_REPLAY OUTPUT_FOLDER
set -euo pipefail
lib=$(cd "$(dirname "$0")/../../scripts/lib" && pwd)
source "$lib/program-window.sh"

if [ "${1:-}" != "--inside-x" ]; then
    program=$1 replay=$2 out=$3
    rm -rf "$out"
    mkdir -p "$out/home"
    export HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config"
    unset XDG_RUNTIME_DIR
    run_under_xvfb 1024x900 bash "$0" --inside-x "$program" "$replay" "$out"
    exit
fi
program=$2 replay=$3 out=$4

fail() {
    echo "FAIL: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    kill "$PROGRAM_PID" 2>/dev/null || true
    exit 1
}
shot() { import -window root "$out/$1.png"; }

start_program "$program" || fail "the window did not show"
[ "$WIDTH" -eq 363 ] && [ "$HEIGHT" -eq 693 ] || fail "client area ${WIDTH}x${HEIGHT}, not 363x693"
shot 01-start

type_into "${cbe_dd[@]}" 1200
type_into "${cbe_hr[@]}" 2000
shot 02-typed
click_at "${rdb_fuk[@]}"
click_at "${cbb_jmlx[@]}"  # opens the list; the keyboard picks the third item
xdotool key Down Down Return
sleep 0.4
type_into "${cbe_dd[@]}" 800
type_into "${cbe_tyzd[@]}" 1000
shot 03-rectangle
click_at "${cbt_compute[@]}"  # 计算
shot 04-computed
click_at "${cbt_View[@]}"  # 结果
shot 05-text-book
click_at "${cbt_Save[@]}"  # 保存 the text book
click_at "${cbt_PageBook[@]}"     # to the table book
shot 06-table-book
click_at "${cbt_Save[@]}"  # 保存 the table book
save_as() {  # path shot: Ctrl+Shift+S, the full path typed into Qt's save dialog, Enter
    click_at "${lb_jisuanjieguo[@]}"  # without a window manager the closed dialog leaves no focus
    xdotool key ctrl+shift+s
    timeout 20 xdotool search --sync --onlyvisible --name "^另存为$" >/dev/null ||
        fail "the save-as dialog did not open"
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$1"
    shot "$2"
    xdotool key Return
    for _ in $(seq 50); do
        [ -s "$1" ] && break
        sleep 0.2
    done
    [ -s "$1" ] || fail "$1 was not written"
    sleep 0.5
}
mkdir -p "$HOME/project-a"
save_as "$HOME/project-a/table-book.txt" 06a-save-as-text
save_as "$HOME/project-a/table-book.pdf" 06b-save-as-pdf
click_at "${cbt_sanchu[@]}"        # x
shot 07-deleted
click_at "${cbt_Exit[@]}"   # 返回
shot 08-back
click_exit || fail "the program did not end on 退出, or ended with a failure status"

# The same pile through pile_replay: the exchange turns 800 x 1000 into a = 1000, b = 800.
printf 'CALC\t2\t1\t800\t1000\t1.0b\t25\t24\t1\t0\t2\t.\tTIME\n' | "$replay" >"$out/replay.tsv"
documents="$HOME/Documents"
text_file="$documents/嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt"
table_file="$documents/嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt"
for pair in "TEXT:$text_file" "TABLE:$table_file"; do
    marker=${pair%%:*} file=${pair#*:}
    [ -f "$file" ] || fail "$file was not saved"
    python3 "$lib/same-book.py" "$out/replay.tsv" "$marker" "$file" "$out/$marker.expected" ||
        fail "$marker book differs from pile_replay"
done
# Saved as: the text file holds the bytes of "保存", the PDF the table in the embedded book font.
cmp -s "$HOME/project-a/table-book.txt" "$table_file" || fail "the text saved as differs from 保存"
pdftotext -layout "$HOME/project-a/table-book.pdf" "$out/table-book.pdf.txt"
grep -q "ZH1 *矩形桩 *- *- *1000 *800" "$out/table-book.pdf.txt" || fail "the PDF lacks the row"
pdffonts "$HOME/project-a/table-book.pdf" | grep -q "PileBookMonoCJKsc-Regular .* yes .* yes" ||
    fail "the book font is not embedded in the PDF"
echo "PASS: person session (screenshots in $out)"
