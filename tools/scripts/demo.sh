#!/usr/bin/env bash
# make demo: programs a simulated serial chip with one download job.
#   tools/scripts/demo.sh [BUILD_DIR] [generic|w24a|k55]
# Prepares a program folder in BUILD_DIR/demo (config.ini, an 8 KB image),
# starts isp-sim there as COM1, runs qv-demo, stops isp-sim and compares the
# chip's saved flash with the image. Exits non-zero on a mismatch.
set -euo pipefail

build=${1:-build/release}
chip=${2:-generic}
sim="$build/tools/isp-sim/isp-sim"
demo_exe="$build/tools/demo/qv-demo"
for exe in "$sim" "$demo_exe"; do
  if [ ! -x "$exe" ]; then
    echo "demo: $exe is not built" >&2
    exit 1
  fi
done

folder="$(cd "$build" && pwd)/demo"
rm -rf "$folder"
mkdir -p "$folder/ports" "$folder/Log"
cp "$demo_exe" "$folder/qv-demo"

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
"$sim" --chip "$chip" --folder "$folder" --port 1 --save "$flash" > "$folder/isp-sim.log" 2>&1 &
sim_pid=$!
stop_sim() {
  if kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid"
    wait "$sim_pid" || return 1
  fi
}
trap 'kill -TERM "$sim_pid" 2>/dev/null || true' EXIT

for _ in $(seq 50); do
  [ -L "$folder/ports/COM1" ] && break
  sleep 0.1
done
if [ ! -L "$folder/ports/COM1" ]; then
  echo "demo: isp-sim did not come up:" >&2
  cat "$folder/isp-sim.log" >&2
  exit 1
fi
cat "$folder/isp-sim.log"

job=0
(cd "$folder" && ./qv-demo -c "$ictype" -i "$image" -p 115200) || job=$?
stop_sim
trap - EXIT

if [ "$job" -ne 0 ]; then
  echo "demo: FAIL (the job did not complete, status $job)"
  exit 1
fi
if cmp -s -n "$image_bytes" "$image" "$flash"; then
  echo "demo: PASS ($image_bytes bytes of $ictype verified in the simulated chip's flash)"
else
  echo "demo: FAIL (the simulated chip's flash differs from the image)"
  cmp -n "$image_bytes" "$image" "$flash" || true
  exit 1
fi
