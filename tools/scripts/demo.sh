#!/usr/bin/env bash
# make demo: programs a simulated serial chip with taravik's command-line mode,
# as an operator on a production line would.
#   tools/scripts/demo.sh [BUILD_DIR] [generic|w24a|k55]
# Prepares a program folder in BUILD_DIR/demo (config.ini, an 8 KB image),
# starts isp-sim there as COM1 and runs
#   taravik -c TYPE -i IMAGE -p 115200 -pwd 3B8E61C4
# on the user's display, or under Xvfb when there is none. When the download
# dialog shows its Close button the job has ended: the dialog is saved as
# BUILD_DIR/demo/download-dialog.png and Close is pressed with the mouse. Then
# the chip's saved flash is compared with the image. Exits non-zero on a
# failed job or a mismatch.
set -euo pipefail

build=${1:-build/release}
chip=${2:-generic}
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=tools/scripts/sim_run.sh
source "$here/sim_run.sh"
need_programs demo "$build"

folder="$(cd "$build" && pwd)/demo"
rm -rf "$folder"
mkdir -p "$folder/ports" "$folder/Log"
cp "$taravik_exe" "$folder/taravik"

case "$chip" in
  generic) ictype=DEMO-GEN ;;
  w24a) ictype=DEMO-W24A ;;
  k55) ictype=DEMO-K55 ;;
  *) echo "demo: unknown chip $chip" >&2; exit 2 ;;
esac

printf '%s\r\n' \
  '[ICTYPELIST]' 'LIST=DEMO-GEN,DEMO-W24A,DEMO-K55' \
  '[DEMO-GEN]' 'RAM=4' 'FLASH=64' 'PARTNO=DEMO-GEN' \
  '[DEMO-W24A]' 'RAM=8' 'FLASH=128' 'PARTNO=DEMO-W24A' 'USE_W24A_UARTISP=TRUE' \
  '[DEMO-K55]' 'RAM=2' 'FLASH=64' 'PARTNO=DEMO-K55' 'USE_K55_UARTISP=TRUE' \
  > "$folder/config.ini"

image="$folder/sample.bin"
image_bytes=8192
head -c "$image_bytes" /dev/urandom > "$image"
if [ "$chip" = k55 ]; then
  # K55 types leave the file's last 768 bytes unprogrammed.
  head -c 768 /dev/zero >> "$image"
fi

flash="$folder/flash.bin"
start_sim demo "$chip" "$folder" "$flash" "$folder/isp-sim.log"
stop_sim() {
  if kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid"
    wait "$sim_pid" || return 1
  fi
}
cat "$folder/isp-sim.log"

operator=(bash "$here/demo_operator.sh" "$folder" "$ictype" "$image")
job=0
if [ -n "${DISPLAY:-}" ]; then
  "${operator[@]}" || job=$?
elif command -v xvfb-run > /dev/null; then
  xvfb-run -a -s "-screen 0 1024x768x24" "${operator[@]}" || job=$?
else
  echo "demo: no display and no xvfb-run (make deps installs it)" >&2
  exit 1
fi
stop_sim
trap - EXIT

if [ "$job" -ne 0 ]; then
  echo "demo: FAIL (the operator's run of taravik failed, status $job)"
  exit 1
fi
if cmp -s -n "$image_bytes" "$image" "$flash"; then
  echo "demo: PASS ($image_bytes bytes of $ictype verified in the simulated chip's flash)"
else
  echo "demo: FAIL (the simulated chip's flash differs from the image)"
  cmp -n "$image_bytes" "$image" "$flash" || true
  exit 1
fi
