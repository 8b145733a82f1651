# Shared by demo.sh and gui-walk.sh (sourced): what a run of taravik against
# isp-sim needs, and isp-sim started in a program folder.

# Ends the script when one of the built programs or tools is missing:
#   need_programs NAME BUILD_DIR   (sets sim and taravik_exe)
need_programs() {
  local name=$1 build=$2 exe tool
  sim="$build/tools/isp-sim/isp-sim"
  taravik_exe="$build/app/main/taravik"
  for exe in "$sim" "$taravik_exe"; do
    if [ ! -x "$exe" ]; then
      echo "$name: $exe is not built" >&2
      exit 1
    fi
  done
  for tool in xdotool import convert; do
    if ! command -v "$tool" > /dev/null; then
      echo "$name: $tool is missing (make deps installs it)" >&2
      exit 1
    fi
  done
}

# Starts isp-sim as FOLDER/ports/COM1 and waits for its link; sets sim_pid
# and a trap that ends it. Ends the script when it does not come up.
#   start_sim NAME CHIP FOLDER FLASH LOG
start_sim() {
  local name=$1
  "$sim" --chip "$2" --folder "$3" --port 1 --save "$4" > "$5" 2>&1 &
  sim_pid=$!
  trap 'kill -TERM "$sim_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do
    [ -L "$3/ports/COM1" ] && return 0
    sleep 0.1
  done
  echo "$name: isp-sim did not come up:" >&2
  cat "$5" >&2
  exit 1
}
