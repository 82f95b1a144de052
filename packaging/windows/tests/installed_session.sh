#!/usr/bin/env bash
# The Windows packages as a user meets them, under wine64 and Xvfb in a Chinese locale (wine's
# ANSI code page is then 936, GBK), with a HOME and a wine prefix of its own:
#  - the zip holds the install tree, file for file and byte for byte;
#  - the installer, run silently, installs the tree for the current user (/S: the user's own
#    programs folder, their Start menu, HKCU) and for all users (/S /ALLUSERS: Program Files,
#    the common Start menu, HKLM), each time with a Start-menu entry named like the window and
#    an uninstaller; every DLL the installed programs and plugins load lies beside them, and no
#    file carries a debug section;
#  - the program installed for the current user, started with nothing but its own folder to
#    load DLLs from, shows its window and is driven by mouse and keyboard as in
#    tests/e2e/person_session.sh: a pile computed, "结果", both books saved, the last record
#    deleted, "返回", "退出". The files in wine's documents folder equal, byte for byte,
#    pile_replay's books for the same inputs in GBK with CR LF between lines, all but the time
#    line, whose form is checked;
#  - the program installed for all users starts twice: a second window beside the first, each
#    ending on its own "退出";
#  - the uninstaller, run silently, leaves the wine prefix's files as they were before the
#    install (but for the saved books) and removes its registry key.
# Wine's account is an administrator whatever the installer asks for (UserInfo::GetAccountType
# answers "Admin"), so the install for the current user runs with those rights here; the page
# that offers the two, and the one without the rights, are left to a Windows desktop.
# Screenshots of every stage are left in the output folder.
#   installed_session.sh SETUP.EXE ZIP INSTALL_TREE PILE_REPLAY.EXE OUTPUT_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != "--inside-x" ]; then
    setup=$(realpath "$1") zip=$(realpath "$2") tree=$(realpath "$3") replay=$(realpath "$4")
    out=$(realpath -m "$5")
    rm -rf "$out"
    mkdir -p "$out/home"
    # The zip first: it needs no wine.
    python3 - "$zip" "$tree" <<'PY' || { echo "FAIL: the zip differs from the install tree" >&2; exit 1; }
import pathlib, sys, zipfile
tree = pathlib.Path(sys.argv[2])
archive = zipfile.ZipFile(sys.argv[1])
names = {n for n in archive.namelist() if not n.endswith("/")}
files = {f"{tree.name}/{p.relative_to(tree).as_posix()}": p for p in tree.rglob("*") if p.is_file()}
if names != files.keys():
    sys.exit(f"only in the zip: {sorted(names - files.keys())}; "
             f"only in the tree: {sorted(files.keys() - names)}")
differing = [n for n in sorted(names) if archive.read(n) != files[n].read_bytes()]
if differing:
    sys.exit(f"other bytes in the zip: {differing}")
PY
    export HOME="$out/home" WINEPREFIX="$out/prefix" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
    # No Mono or Gecko prompts in a new prefix; nothing but the program's own folder for DLLs.
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=" XDG_CONFIG_HOME="$out/home/.config"
    unset WINEPATH XDG_RUNTIME_DIR
    exec xvfb-run -a -s "-screen 0 1024x900x24" \
        bash "$0" --inside-x "$setup" "$tree" "$replay" "$out"
fi
setup=$2 tree=$3 replay=$4 out=$5
title="嵌岩桩承载力计算 (DBJ50-047-2016)"
title_pattern="^嵌岩桩承载力计算 \\(DBJ50-047-2016\\)$"
wine=wine64
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
pid=

fail() {
    echo "FAIL: $*" >&2
    import -window root "$out/failure.png" 2>/dev/null || true
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    exit 1
}
shot() { import -window root "$out/$1.png"; }

mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1 || true
drive_c=$WINEPREFIX/drive_c
key='Software\Microsoft\Windows\CurrentVersion\Uninstall\RockSocketedPile'
has_key() { "$wine" reg query "$1\\$key" >/dev/null 2>&1; }
# The prefix's files, but for the copy of itself that an uninstaller leaves in the temporary
# folder (Windows removes it at the next start) and the books the sessions save.
# The user's own work stays after an uninstall: the saved books and the session journals.
prefix_files() {
    (cd "$drive_c" && find . | grep -v -e '/Temp/~nsu[^/]*\.tmp' -e '/Documents/嵌岩桩计算书' \
        -e '/AppData/Local/BXV_PRJ_VORN1' | sort)
}
prefix_files >"$out/prefix-before.txt"

# install MODE: installs silently for `user` or `all`, and checks what it put where.
install() {
    local user_dir
    user_dir=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    if [ "$1" = all ]; then
        "$wine" "$setup" /S /ALLUSERS || fail "the installer (/ALLUSERS) ended with status $?"
        installed="$drive_c/Program Files/嵌岩桩承载力计算"
        shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$title.lnk"
        root=HKLM other=HKCU
    else
        "$wine" "$setup" /S || fail "the installer ended with status $?"
        installed="$user_dir/AppData/Local/Programs/嵌岩桩承载力计算"
        shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$title.lnk"
        root=HKCU other=HKLM
    fi
    [ -f "$installed/BXV_PRJ_VORN1.exe" ] || fail "nothing installed in $installed"
    [ -f "$shortcut" ] || fail "no Start-menu entry $shortcut"
    has_key "$root" || fail "no uninstall entry in $root"
    has_key "$other" && fail "an uninstall entry in $other for an install in $root"
    link_texts=$(strings -a "$shortcut"; strings -a -el "$shortcut")
    [[ $link_texts == *'\BXV_PRJ_VORN1.exe'* ]] ||
        fail "the Start-menu entry does not start the program"
    python3 - "$tree" "$installed" <<'PY' || fail "the installed folder differs from the install tree"
import pathlib, sys
tree, installed = (pathlib.Path(a) for a in sys.argv[1:])
files = lambda root: {p.relative_to(root).as_posix() for p in root.rglob("*") if p.is_file()}
extra, lacking = files(installed) - files(tree), files(tree) - files(installed)
if extra != {"uninstall.exe"} or lacking:
    sys.exit(f"extra: {sorted(extra)}; lacking: {sorted(lacking)}")
PY
    # A window program: Windows opens no console window beside it.
    headers=$(x86_64-w64-mingw32-objdump -p "$installed/BXV_PRJ_VORN1.exe")
    [[ $headers == *'(Windows GUI)'* ]] ||
        fail "the program is not built for the Windows GUI subsystem"
    python3 "$here/../deploy_dlls.py" "$installed" --check >"$out/installed-dlls-$1.txt" ||
        fail "a DLL is missing from the installed folder, or a file carries debugging information"
}

uninstall() {
    "$wine" "$installed/uninstall.exe" /S || fail "the uninstaller ended with status $?"
    # The uninstaller copies itself to a temporary folder and removes the program from there.
    for _ in $(seq 100); do
        [ -e "$installed" ] || break
        sleep 0.3
    done
    [ -e "$installed" ] && fail "the uninstaller left $(find "$installed" | head -n 5 | tr '\n' ' ')"
    has_key "$root" && fail "the uninstaller left its entry in $root"
    prefix_files >"$out/prefix-after-$1.txt"
    diff "$out/prefix-before.txt" "$out/prefix-after-$1.txt" >&2 ||
        fail "the uninstaller ($1) did not leave the prefix as it was"
}

# start: the program as the Start-menu entry starts it, from its folder; sets pid and wid.
start() {
    local before
    before=$(xdotool search --onlyvisible --name "$title_pattern" 2>/dev/null | sort) || true
    (cd "$installed" && exec "$wine" BXV_PRJ_VORN1.exe) &
    pid=$!
    wid=
    for _ in $(seq 450); do
        wid=$(xdotool search --onlyvisible --name "$title_pattern" 2>/dev/null | sort |
            comm -13 <(printf '%s\n' "$before") - | head -n 1) || true
        [ -n "$wid" ] && break
        sleep 0.2
    done
    [ -n "$wid" ] || fail "the installed program did not show its window"
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$wid")"  # X Y WIDTH HEIGHT of the client area
    [ "$WIDTH" -eq 363 ] && [ "$HEIGHT" -eq 693 ] ||
        fail "client area ${WIDTH}x${HEIGHT}, not 363x693"
}

# The window as a person drives it; wine redraws more slowly than Linux.
click_at() {
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.6
}
PANEL_TYPE_DELAY=60 PANEL_SETTLE=0.6
source "$here/../../../scripts/lib/panel-controls.sh"

# quit PID WID: "退出" in that window; the program ends with status 0.
quit() {
    eval "$(xdotool getwindowgeometry --shell "$2")"
    click_at "${cbt_tuichu[@]}"  # 退出
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$1" 2>/dev/null && fail "the program did not end on 退出"
    wait "$1" || fail "the program ended with status $?"
}

install user
start
shot 01-start
type_into "${cbe_dd[@]}" 1200
type_into "${cbe_hr[@]}" 2000
shot 02-typed
click_at "${rdb_fuk[@]}"
click_at "${cbb_jmlx[@]}"  # opens the list; the keyboard picks the third item
xdotool key Down Down Return
sleep 0.6
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
click_at "${cbt_sanchu[@]}"        # x
shot 07-deleted
click_at "${cbt_Exit[@]}"   # 返回
shot 08-back
quit "$pid" "$wid"
pid=

# The same pile through pile_replay: the exchange turns 800 x 1000 into a = 1000, b = 800.
printf 'CALC\t2\t1\t800\t1000\t1.0b\t25\t24\t1\t0\t2\t.\tTIME\n' |
    WINEPATH="Z:${tree//\//\\}" "$wine" "$replay" >"$out/replay.tsv" ||
    fail "pile_replay ended with status $?"
documents=$(find "$drive_c/users" -mindepth 2 -maxdepth 2 -name Documents ! -path '*/Public/*' |
    head -n 1)
for pair in "TEXT:嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt" "TABLE:嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt"; do
    marker=${pair%%:*} file="$documents/${pair#*:}"
    [ -f "$file" ] || fail "$file was not saved"
    cp "$file" "$out/$marker.saved"
    python3 "$here/../../../scripts/lib/same-book.py" "$out/replay.tsv" "$marker" "$file" \
        "$out/$marker.expected" || fail "$marker book differs from pile_replay"
done
uninstall user

# For all users, started a second time while it runs: two windows, each with its own end.
install all
start
first_pid=$pid first_wid=$wid
start
shot 09-second-window
quit "$pid" "$wid"
pid=$first_pid
kill -0 "$pid" 2>/dev/null || fail "the first program ended with the second"
quit "$first_pid" "$first_wid"
pid=
uninstall all
echo "PASS: installed session (screenshots in $out)"
