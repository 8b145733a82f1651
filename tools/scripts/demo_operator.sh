#!/usr/bin/env bash
# The operator's part of make demo, on the display in $DISPLAY:
#   demo_operator.sh FOLDER ICTYPE IMAGE
# Starts FOLDER/taravik with the job's switches, waits for its download
# dialog, watches it until the Close button shows (the job's end), saves the
# dialog as FOLDER/download-dialog.png, presses Close with the mouse and waits
# for taravik to end. Exits non-zero when a step does not happen in time.
set -euo pipefail

folder=$1
ictype=$2
image=$3
shot="$folder/download-dialog.png"

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  # Where the single-instance lock lives (and Qt's runtime files).
  export XDG_RUNTIME_DIR="$folder/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi

(cd "$folder" && exec ./taravik -c "$ictype" -i "$image" -p 115200 -pwd 3B8E61C4) &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "demo: the download dialog did not appear" >&2
  exit 1
fi

# The dialog's client area and its Close button, in dialog units as template
# 230 gives them, turned into pixels with the dialog font's base units (6 x 13
# for "MS Shell Dlg" 8); the frame is what the window has around the client.
du_x() { echo $(( ($1 * 6 + 2) / 4 )); }
du_y() { echo $(( ($1 * 13 + 4) / 8 )); }
client_w=$(du_x 260)
client_h=$(du_y 72)
eval "$(xdotool getwindowgeometry --shell "$window")"
frame=$(( (WIDTH - client_w) / 2 ))
if [ "$frame" -lt 0 ]; then frame=0; fi
top=$(( HEIGHT - client_h - frame ))
if [ "$top" -lt 0 ]; then top=0; fi
close_x=$(( frame + $(du_x 105) ))
close_y=$(( top + $(du_y 53) ))
close_w=$(du_x 50)
close_h=$(du_y 14)

# The job has ended when the Close button shows: its caption is the only dark
# ink in that place of the dialog.
ended=0
for _ in $(seq 600); do
  if import -window "$window" "$shot" 2>/dev/null; then
    darkest=$(convert "$shot" -crop "${close_w}x${close_h}+${close_x}+${close_y}" +repage \
      -colorspace gray -format '%[fx:minima]' info: 2>/dev/null || echo 1)
    if awk -v d="$darkest" 'BEGIN { exit !(d < 0.3) }'; then
      ended=1
      break
    fi
  fi
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "demo: taravik ended before its job did" >&2
    exit 1
  fi
  sleep 0.1
done
if [ "$ended" -ne 1 ]; then
  echo "demo: the Close button did not show" >&2
  exit 1
fi
echo "demo: the download dialog at the job's end is saved as $shot"

xdotool mousemove --window "$window" $(( close_x + close_w / 2 )) $(( close_y + close_h / 2 )) click 1
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "demo: taravik did not end when Close was pressed" >&2
  exit 1
fi
trap - EXIT
wait "$pid"
