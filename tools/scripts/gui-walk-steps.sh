#!/usr/bin/env bash
# The operator's part of make gui-walk, on the display in $DISPLAY:
#   gui-walk-steps.sh FOLDER OUT IMAGE IMAGE_BYTES
# Each step waits for what it needs with a time-out and saves OUT/NN-step.png;
# the first one that does not happen ends the walk with its name. A person's
# desktop has a window manager: on a display without one, the walk starts
# the main window once as it is (it must still fill the screen) and then
# starts openbox for the rest; the window checks run again under icewm and
# metacity at the end. The walk never moves or sizes a window.
set -euo pipefail

folder=$1
out=$2
image=$3
image_bytes=$4
readback="$out/read-back.bin"

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  # Where the single-instance lock lives (and Qt's runtime files).
  export XDG_RUNTIME_DIR="$folder/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

step_no=0
step_name=""
step() {
  step_no=$((step_no + 1))
  step_name=$1
  echo "gui-walk: step $step_no: $step_name"
}
fail() {
  echo "gui-walk: FAIL at step $step_no ($step_name): $1" >&2
  shot "failed" || true
  exit 1
}
# The screen once it has settled (two grabs 0.2 s apart alike, or 5 s past).
shot() {
  local file
  file=$(printf '%s/%02d-%s.png' "$out" "$step_no" "$1")
  import -window root "$file"
  for _ in $(seq 25); do
    sleep 0.2
    import -window root "$out/settle.png"
    if cmp -s "$file" "$out/settle.png"; then break; fi
    mv "$out/settle.png" "$file"
  done
  rm -f "$out/settle.png"
}

pid=""
wm_pid=""
stop_started() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid" 2>/dev/null || true; fi
  if [ -n "$wm_pid" ]; then kill -TERM "$wm_pid" 2>/dev/null || true; fi
}
trap stop_started EXIT

# Polls COMMAND every 0.1 s for up to SECONDS, or until taravik ends; true
# once it succeeds.
wait_until() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  for _ in $(seq "$tries"); do
    if "$@"; then return 0; fi
    # taravik gone: what it left decides (it may have ended just now).
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then "$@"; return; fi
    sleep 0.1
  done
  return 1
}

# A visible window of taravik with exactly this title, other than $2.
find_window() {
  xdotool search --onlyvisible --pid "$pid" --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n 1
}
window_named() {
  found=$(find_window "$@" || true)
  [ -n "$found" ]
}
# Any other visible window of taravik than those given (a file dialog).
window_other_than() {
  found=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vxF -f <(printf '%s\n' "$@") | head -n 1 || true)
  [ -n "$found" ]
}
window_gone() {
  ! xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$1"
}

# A window manager runs when the root names a window that names itself.
wm_running() {
  local wm
  wm=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*' || true)
  [ -n "$wm" ] && xprop -id "$wm" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$wm"
}
wm_gone() { ! wm_running; }
# A window manager started for the rest of the walk, the one before ended.
start_wm() {  # openbox | icewm | metacity
  step "start $1"
  if [ -n "$wm_pid" ]; then
    kill -TERM "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
    wm_pid=""
    wait_until 5 wm_gone || fail "the window manager before $1 did not end"
  fi
  local args=()
  [ "$1" = metacity ] && args=(--replace)
  "$1" "${args[@]}" > "$out/$1.log" 2>&1 &
  wm_pid=$!
  wait_until 10 wm_running || fail "$1 did not start (see $out/$1.log)"
}
start_openbox() { start_wm openbox; }

# A window's place on the screen with the window manager's frame, as the X
# server has it: frame_x, frame_y, frame_r, frame_b (right and bottom edges
# excluded) and frame_top (the title bar's height).
frame_of() {
  local info ext l=0 r=0 t=0 b=0
  info=$(xwininfo -id "$1")
  local x y w h
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<< "$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<< "$info")
  w=$(sed -n 's/^ *Width: *//p' <<< "$info")
  h=$(sed -n 's/^ *Height: *//p' <<< "$info")
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  if [ -n "$ext" ]; then IFS=, read -r l r t b <<< "$ext"; fi
  frame_x=$((x - l))
  frame_y=$((y - t))
  frame_r=$((x + w + r))
  frame_b=$((y + h + b))
  frame_top=$t
}
# The part of the screen that windows may take: the window manager's work
# area, or the whole screen without one.
work_area() {
  local wa
  wa=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ' || true)
  if wm_running && [ -n "$wa" ]; then
    IFS=, read -r area_x area_y area_w area_h _ <<< "$wa"
  else
    eval "$(xdotool getdisplaygeometry --shell)"
    area_x=0 area_y=0 area_w=$WIDTH area_h=$HEIGHT
  fi
}
# The window with its frame covers the work area, and a window manager
# holds it maximised.
covers_screen() {
  frame_of "$1"
  work_area
  [ "$frame_x" -le "$area_x" ] && [ "$frame_y" -le "$area_y" ] &&
    [ "$frame_r" -ge $((area_x + area_w)) ] && [ "$frame_b" -ge $((area_y + area_h)) ] || return 1
  if wm_running; then
    xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT &&
      xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ
  fi
}

click() {  # window, x, y in the window's client pixels
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# The share of pixels of COLOUR (ImageMagick syntax, within 10 %) in a part
# of a window, in per cent.
colour_share() {  # window, w, h, x, y, colour
  import -window "$1" -crop "${2}x${3}+${4}+${5}" +repage "$out/probe.png" 2>/dev/null || { echo 0; return; }
  convert "$out/probe.png" -fuzz 10% -fill white -opaque "$6" -fill black +opaque white \
    -colorspace gray -format '%[fx:int(100*mean)]' info: 2>/dev/null || echo 0
}

# Dialog units into pixels: "MS Shell Dlg" 8 gives base units of 6 x 13 here,
# "MS Shell Dlg" 10 (the pages) 8 x 16.
du8_x() { echo $(( ($1 * 6 + 2) / 4 )); }
du8_y() { echo $(( ($1 * 13 + 4) / 8 )); }
du10_x() { echo $(( $1 * 2 )); }
du10_y() { echo $(( ($1 * 16 + 4) / 8 )); }
# The centre of a page control (x, y, w, h in dialog units) in the main
# window: both pages sit at (160, 0).
page_x() { echo $(( 160 + $(du10_x "$1") + $(du10_x "$3") / 2 )); }
page_y() { echo $(( $(du10_y "$2") + $(du10_y "$4") / 2 )); }

start_taravik() {
  (cd "$folder" && exec ./taravik) &
  pid=$!
}

# A drop-down list of the IC type dialog at (x, y) in dialog units, 62 wide
# and 12 high, opened with a click on its arrow.
open_list() {  # dialog, x, y
  click "$1" $(( $(du8_x "$2") + $(du8_x 62) - 8 )) $(( $(du8_y "$3") + $(du8_y 12) - 10 ))
  sleep 0.3
}
# Its ITEM-th entry (0 first) clicked in the list that drops below it, 13
# pixels an entry.
choose_in_list() {  # dialog, x, y, item
  open_list "$1" "$2" "$3"
  click "$1" $(( $(du8_x "$2") + 30 )) $(( $(du8_y "$3") + $(du8_y 12) + 8 + 13 * $4 ))
  sleep 0.2
}
# Only the IC type dialog of taravik is shown (no message box came up).
only_dialog_shown() {
  ! window_other_than "$ictype_dlg"
}

# The IC type dialog: the ROW-th type of the list (0 first) clicked, its
# interface as the type presets it; for a COM type COM1 (the only port) at
# 115200, after Enter in the open COM list, which must only close the list;
# OK. A window manager offers no resizing or maximising of this fixed dialog.
choose_ic_type() {
  local row=$1 com=$2
  step "the IC type dialog"
  wait_until 15 window_named "IC Type & Interface Setting" || fail "the IC type dialog did not appear"
  ictype_dlg=$found
  shot "ic-type-dialog"
  if wm_running && xprop -id "$ictype_dlg" _NET_WM_ALLOWED_ACTIONS | grep -Eq '_NET_WM_ACTION_(RESIZE|MAXIMIZE)'; then
    fail "the window manager lets the fixed IC type dialog be resized or maximised"
  fi
  click "$ictype_dlg" "$(du8_x 40)" "$(( $(du8_y 21) + 6 + 13 * row ))"
  if [ "$com" = com ]; then
    step "Enter in the open COM list"
    open_list "$ictype_dlg" 214 88
    xdotool key Return
    sleep 0.5
    window_gone "$ictype_dlg" && fail "Enter in the open COM list ended the IC type dialog"
    only_dialog_shown || fail "after Enter in the open COM list another window is shown (a message box, or the list still open)"
    shot "enter-in-open-list"
    choose_in_list "$ictype_dlg" 214 88 0
    choose_in_list "$ictype_dlg" 214 108 6
  fi
  sleep 0.3
  step "the IC type chosen"
  shot "ic-type-chosen"
  click "$ictype_dlg" "$(( $(du8_x 176) + $(du8_x 50) / 2 ))" "$(( $(du8_y 169) + $(du8_y 14) / 2 ))"
  wait_until 10 window_gone "$ictype_dlg" || fail "OK did not close the IC type dialog"
}

# The main window, its title "... ver N.N": it fills the screen by itself,
# maximised by the window manager or over the whole screen without one.
main_window() {
  step "the main window"
  wait_until 15 window_named ".* ver [0-9.]*" || fail "the main window did not appear"
  main=$found
  if ! wait_until 5 covers_screen "$main"; then
    fail "the main window does not cover the screen: frame $frame_x,$frame_y to $frame_r,$frame_b, work area ${area_w}x$area_h at $area_x,$area_y"
  fi
  eval "$(xdotool getwindowgeometry --shell "$main")"
  W=$WIDTH
  H=$HEIGHT
  shot "main-window"
}

# The left column shows Read where the chip's back end can read (the K55
# type) and nothing there for the USB type: the type chosen is in use.
read_button_shown() {
  local share
  share=$(colour_share "$main" 100 16 30 $((H - 203)) "#54554F")
  [ "$share" -ge 50 ]
}
type_in_use() {  # read | no-read
  step "the chosen type is in use"
  if [ "$1" = read ]; then
    read_button_shown || fail "no Read button: the main window does not use the chosen K55 type"
  else
    read_button_shown && fail "a Read button: the main window does not use the chosen USB type"
  fi
  return 0
}

# The status strip along the bottom shows the connection text in green
# (connected) or red, in its left half right of the picture (whose board
# has a green lamp of its own).
strip_shows() {  # colour
  local share
  share=$(colour_share "$main" $((W / 2 - 160)) 49 160 $((H - 49)) "$1")
  [ "$share" -ge 1 ]
}

# A page's progress bar (7, 273, 333, 15): its colour where it is still
# empty, sampled before a job, and full once its last 3 per cent are no
# longer that colour (the bar's text never reaches there).
bar_probe() {
  bar_w=$(( $(du10_x 333) * 3 / 100 ))
  bar_h=$(( $(du10_y 15) - 6 ))
  bar_x=$(( 160 + $(du10_x 7) + $(du10_x 333) - bar_w - 3 ))
  bar_y=$(( $(du10_y 273) + 3 ))
}
sample_empty_bar() {
  bar_probe
  import -window "$main" -crop "1x1+${bar_x}+${bar_y}" +repage "$out/probe.png"
  bar_empty=$(convert "$out/probe.png" -format '%[pixel:p{0,0}]' info:)
}
bar_full() {
  local share
  bar_probe
  share=$(colour_share "$main" "$bar_w" "$bar_h" "$bar_x" "$bar_y" "$bar_empty")
  [ "$share" -le 10 ]
}

# A file dialog: the path typed into its name field, Enter.
file_dialog() {  # path
  wait_until 10 window_other_than "$main" || fail "the file dialog did not appear"
  local dlg=$found
  sleep 0.5
  shot "file-dialog"
  xdotool windowfocus --sync "$dlg"
  xdotool key ctrl+a
  xdotool type --delay 5 "$1"
  xdotool key Return
  wait_until 10 window_gone "$dlg" || fail "the file dialog did not close on Enter"
}

# The actions that the window manager offers a window.
allowed_actions() {
  xprop -id "$1" _NET_WM_ALLOWED_ACTIONS 2>/dev/null || true
}
offers_maximise() {
  allowed_actions "$1" | grep -q _NET_WM_ACTION_MAXIMIZE_VERT &&
    allowed_actions "$1" | grep -q _NET_WM_ACTION_MAXIMIZE_HORZ
}
maximised() {
  xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT
}
# Restored: not maximised, its client area at the size of its template
# (414 x 266 dialog units, 621 x 432 pixels) inside the window manager's frame.
restored() {
  maximised "$1" && return 1
  eval "$(xdotool getwindowgeometry --shell "$1")"
  [ "$WIDTH" -eq 621 ] && [ "$HEIGHT" -eq 432 ]
}
# A double click on the middle of the title bar, as a person does.
double_click_title() {
  frame_of "$1"
  xdotool mousemove $(((frame_x + frame_r) / 2)) $((frame_y + frame_top / 2)) click --repeat 2 --delay 60 1
}

# The main window under the window manager in use: it fills the screen, a
# double click on its title restores it and another maximises it again, and
# the window manager offers to maximise it in both states.
restore_and_maximise_again() {
  step "restore the main window and maximise it again ($1)"
  wait_until 5 offers_maximise "$main" || fail "$1 does not offer to maximise the maximised main window: $(allowed_actions "$main")"
  double_click_title "$main"
  wait_until 5 restored "$main" || fail "a double click on the title did not restore the main window under $1"
  shot "restored-$1"
  wait_until 5 offers_maximise "$main" || fail "$1 does not offer to maximise the restored main window: $(allowed_actions "$main")"
  double_click_title "$main"
  wait_until 5 covers_screen "$main" || fail "a double click on the title did not maximise the main window again under $1"
  shot "maximised-again-$1"
}

# Exit, and taravik ends with status 0.
exit_taravik() {
  step "Exit"
  click "$main" 79 $((H - 72))
  wait_until 10 bash -c "! kill -0 $pid 2>/dev/null" || fail "taravik did not end on Exit"
  wait "$pid" || fail "taravik ended with status $?"
  pid=""
}

# The window manager's close button, at the right end of the title bar.
close_by_window_manager() {
  step "close with the window manager's close button"
  frame_of "$main"
  xdotool mousemove $((frame_r - 10)) $((frame_y + frame_top / 2)) click 1
  wait_until 10 bash -c "! kill -0 $pid 2>/dev/null" || fail "taravik did not end on the close button"
  wait "$pid" || fail "taravik ended with status $?"
  pid=""
}

# --- without a window manager: the main window still fills the screen -------
if ! wm_running; then
  start_taravik
  choose_ic_type 0 usb
  main_window
  exit_taravik
  start_openbox
fi

# --- first run: the K55 type on the serial port ------------------------------
start_taravik
choose_ic_type 1 com
main_window
type_in_use read
wait_until 5 strip_shows "#00FF00" || fail "the status strip does not show the port connected (green)"

step "Browse and load the image"
click "$main" "$(page_x 279 40 41 16)" "$(page_y 279 40 41 16)"
file_dialog "$image"
shot "image-loaded"

step "Write"
sample_empty_bar
click "$main" "$(page_x 296 291 44 17)" "$(page_y 296 291 44 17)"
wait_until 60 bar_full || fail "the write did not end (the progress bar is not full)"
shot "write-finished"

step "the Read page"
click "$main" 79 $((H - 195))
shot "read-page"

step "read All Area"
sample_empty_bar
click "$main" "$(page_x 40 32 60 10)" "$(page_y 40 32 60 10)"
click "$main" "$(page_x 296 291 44 17)" "$(page_y 296 291 44 17)"
wait_until 60 bar_full || fail "the read did not end (the progress bar is not full)"
shot "read-finished"

step "Save what was read"
click "$main" "$(page_x 240 291 44 17)" "$(page_y 240 291 44 17)"
file_dialog "$readback"
wait_until 5 test -s "$readback" || fail "nothing was saved to $readback"
shot "saved"
if ! cmp -s -n "$image_bytes" "$image" "$readback"; then
  fail "the file saved from the Read page differs from the image"
fi
echo "gui-walk: the $image_bytes bytes read back and saved equal the image"

exit_taravik

# A message box titled with the program's name (a window without a title of
# its own has that name too for a moment, but not a box's small size).
message_box() {
  window_named "taravik" || return 1
  eval "$(xdotool getwindowgeometry --shell "$found")"
  [ "$WIDTH" -lt 600 ]
}

# --- second run: the USB type, the board plugged in late ---------------------
sed -i 's/^Plugged=1/Plugged=0/' "$folder/OstrelUsb.ini"
echo unplug > "$folder/OstrelUsb.plug"
start_taravik
choose_ic_type 0 usb
step "no board: the message box takes Enter"
wait_until 10 message_box || fail "no message box about the missing board"
box=$found
shot "no-board"
xdotool key Return
wait_until 5 window_gone "$box" || fail "Enter did not answer the message box about the missing board"
main_window
type_in_use no-read
wait_until 5 strip_shows "#FF0000" || fail "the status strip does not show the board disconnected (red)"

step "plug the board in"
echo plug > "$folder/OstrelUsb.plug"
wait_until 5 strip_shows "#00FF00" || fail "the status strip did not turn to connected (green)"
shot "plugged"

step "unplug the board"
echo unplug > "$folder/OstrelUsb.plug"
wait_until 5 strip_shows "#FF0000" || fail "the status strip did not turn to disconnected (red)"
shot "unplugged"

close_by_window_manager

# --- the window checks under each window manager ----------------------------
# The USB type with the board plugged in: the IC type dialog (offered neither
# resize nor maximise), the main window maximised, restored and maximised
# again, Exit.
sed -i 's/^Plugged=0/Plugged=1/' "$folder/OstrelUsb.ini"
echo plug > "$folder/OstrelUsb.plug"
for wm in openbox icewm metacity; do
  if ! command -v "$wm" > /dev/null; then
    fail "$wm is missing (make deps installs it)"
  fi
  [ "$wm" = openbox ] || start_wm "$wm"
  start_taravik
  choose_ic_type 0 usb
  main_window
  restore_and_maximise_again "$wm"
  exit_taravik
done
stop_started
trap - EXIT
