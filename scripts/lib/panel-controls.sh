# Points inside the window's controls, by their object names, in its 363 x 693 design, and
# typing into a box, for the scripts that drive the window as a person does. The window's tests
# check every point against the form's own table of positions (ui/form_layout.cpp). The caller
# defines `click_at X Y` (relative to the window). PANEL_TYPE_DELAY is the pause between typed
# keys (ms) and PANEL_SETTLE the time the window gets after Enter (s): wine needs more of both.
cbb_jmlx=(306 100) cbe_dd=(290 133) cbe_tyzd=(290 166) cbe_hr=(290 199) rdb_fuk=(14 344)
cbt_compute=(100 630) cbt_View=(100 630) cbt_tuichu=(252 630)
cbt_PageBook=(340 16) lb_jisuanjieguo=(180 28) cbt_sanchu=(352 612)
cbt_Exit=(100 630) cbt_Save=(252 630)

type_into() {  # x y text: replace a box's text and commit it with Enter
    click_at "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay "${PANEL_TYPE_DELAY:-40}" "$3"
    xdotool key Return
    sleep "${PANEL_SETTLE:-0.4}"
}
