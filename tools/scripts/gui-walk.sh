#!/usr/bin/env bash
# make gui-walk: a day's work in taravik as an operator does it, with the mouse
# and the keyboard (xdotool), on the user's display or under Xvfb, with a
# window manager (openbox when the display has none):
#   tools/scripts/gui-walk.sh [BUILD_DIR]
# A program folder in BUILD_DIR/gui-walk/folder holds a K55 type (isp-sim as
# ports/COM1) and a USB type (the simulated board). On a display without a
# window manager the USB type's main window is first checked to fill the
# screen by itself. First run: the K55 type and its port in the IC type
# dialog, Browse for an image, Write until the job ends, the Read page's All
# Area, Read, Save, the saved file compared with the image, Exit. Second run:
# the USB type without the board (its message box answered with Enter), the
# board plugged in and pulled out through the plug file, the status strip
# watched, the window manager's close button. Then under openbox, icewm and
# metacity each: the IC type dialog offered neither resize nor maximise, the
# main window maximised, restored and maximised again with double clicks on
# its title. A screenshot of
# each step goes to BUILD_DIR/gui-walk/NN-step.png. Exits non-zero naming the
# step that did not happen in time.
set -euo pipefail

build=${1:-build/release}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/scripts/sim_run.sh
source "$here/sim_run.sh"
need_programs gui-walk "$build"
for tool in openbox icewm metacity xprop xwininfo; do
  if ! command -v "$tool" > /dev/null; then
    echo "gui-walk: $tool is missing (make deps installs it)" >&2
    exit 1
  fi
done

out="$(cd "$build" && pwd)/gui-walk"
folder="$out/folder"
rm -rf "$out"
mkdir -p "$folder/ports" "$folder/Log"
cp "$taravik_exe" "$folder/taravik"

# The USB type first, as the dialog's USB preset is, and the K55 type second:
# choosing it changes the selection, which presets its COM interface.
printf '%s\r\n' \
  '[ICTYPELIST]' 'LIST=WALK-USB,WALK-K55' \
  '[WALK-K55]' 'RAM=2' 'FLASH=64' 'PARTNO=WALK-K55' 'USE_K55_UARTISP=TRUE' \
  '[WALK-USB]' 'RAM=4' 'FLASH=64' 'PARTNO=WALK-USB' 'COM =FALSE' 'USE_QV7T0_USBISP =TRUE' 'SLAVE_ADDRESS=70' \
  > "$folder/config.ini"
printf '%s\r\n' '[ControlBoard]' 'Plugged=1' '[Chip]' 'Family=7T0' 'FlashSizeK=64' 'SlaveAddr=70' \
  > "$folder/OstrelUsb.ini"
echo plug > "$folder/OstrelUsb.plug"

# 16 KB of image; a K55 type leaves the file's last 768 bytes unprogrammed.
image="$folder/walk.bin"
image_bytes=16384
head -c "$image_bytes" /dev/urandom > "$image"
head -c 768 /dev/zero >> "$image"

flash="$out/flash.bin"
start_sim gui-walk k55 "$folder" "$flash" "$out/isp-sim.log"

walker=(bash "$here/gui-walk-steps.sh" "$folder" "$out" "$image" "$image_bytes")
walk=0
if [ -n "${DISPLAY:-}" ]; then
  "${walker[@]}" || walk=$?
elif command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1920x1080x24" "${walker[@]}" || walk=$?
else
  echo "gui-walk: no display and no xvfb-run (make deps installs it)" >&2
  exit 1
fi
kill -TERM "$sim_pid" 2>/dev/null || true
wait "$sim_pid" || true
trap - EXIT

if [ "$walk" -ne 0 ]; then
  echo "gui-walk: FAIL (screenshots in $out)"
  exit 1
fi
if ! cmp -s -n "$image_bytes" "$image" "$flash"; then
  echo "gui-walk: FAIL (the simulated chip's flash differs from the image)"
  exit 1
fi
echo "gui-walk: PASS (screenshots in $out)"
