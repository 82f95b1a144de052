# The centres of the window's controls in its 363 x 693 design, and typing into a box, for the
# scripts that drive the window as a person does. The caller defines `click_at X Y` (relative
# to the window). PANEL_TYPE_DELAY is the pause between typed keys (ms) and PANEL_SETTLE the
# time the window gets after Enter (s): wine needs more of both.
dd=(290 133) tyzd=(290 166) hr=(290 199) jmlx=(306 100) rdb_fuk=(14 344)
bottom_left=(100 630) bottom_right=(252 630) page_book=(340 16) sanchu=(352 612)
book_title=(180 28)

type_into() {  # x y text: replace a box's text and commit it with Enter
    click_at "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay "${PANEL_TYPE_DELAY:-40}" "$3"
    xdotool key Return
    sleep "${PANEL_SETTLE:-0.4}"
}
