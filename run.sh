#!/usr/bin/env bash
# Starts the Arvestra editor.
#
#   ./run.sh                      a simulated bus (arvestra-devsim, devices 1, 3 and 7) on COM2
#   ./run.sh --port /dev/ttyUSB0  a real port on COM2 instead (or tcp:HOST:PORT, rfc2217:HOST:PORT)
#   ./run.sh [...] venue.kvx      also opens a Location File
#
# Installs missing packages (as root), builds the editor and the simulator when they are
# missing or out of date, and stops the simulator when the editor closes.
set -euo pipefail
cd "$(dirname "$0")"

usage() { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; }

port=""
devices="1,3,7"
baud="19200"
while (($#)); do
  case "$1" in
    --port) port="${2:?--port needs a device path, tcp:HOST:PORT or rfc2217:HOST:PORT}"; shift 2 ;;
    --port=*) port="${1#--port=}"; shift ;;
    --devices) devices="${2:?--devices needs a list such as 1,3,7}"; shift 2 ;;
    -h | --help) usage; exit 0 ;;
    --) shift; break ;;
    *) break ;;
  esac
done

./scripts/ensure-packages.sh

build=build/release
if [[ ! -f $build/build.ninja ]]; then
  cmake --preset release
fi
cmake --build --preset release --target arvestra arvestra-devsim

editor=$build/src/ui/arvestra
simulator=$build/tools/arvestra-devsim

sim_pid=""
sim_out=""
cleanup() {
  if [[ -n $sim_pid ]] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  [[ -n $sim_out ]] && rm -f "$sim_out"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [[ -z $port ]]; then
  sim_out=$(mktemp "${TMPDIR:-/tmp}/arvestra-devsim.XXXXXX")
  "$simulator" --devices "$devices" --baud "$baud" >"$sim_out" &
  sim_pid=$!
  # The simulator prints the path of its pseudo-terminal as its first line.
  for _ in $(seq 1 100); do
    port=$(head -n 1 "$sim_out" 2>/dev/null || true)
    [[ -n $port ]] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "arvestra-devsim did not start" >&2; exit 1; }
    sleep 0.05
  done
  [[ -n $port ]] || { echo "arvestra-devsim printed no terminal path" >&2; exit 1; }
  echo "Simulated devices $devices on $port (COM2). Choose Communications > Work Online."
else
  echo "COM2 is $port. Choose Communications > Work Online."
fi

# Not exec: the trap stops the simulator once the editor has closed.
ARVESTRA_COM2="$port" "$editor" "$@"
