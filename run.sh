#!/usr/bin/env bash
# Starts the Arvestra editor.
#
#   ./run.sh                      a simulated bus (arvestra-devsim, devices 1, 3 and 7) on COM2
#   ./run.sh --port /dev/ttyUSB0  a real port on COM2 instead (or tcp:HOST:PORT, rfc2217:HOST:PORT)
#   ./run.sh [...] venue.kvx      also opens a Location File
#
# Installs missing packages (as root), builds the editor and the simulator when they are
# missing or out of date, and stops the simulator when the editor closes or the script is
# interrupted or terminated.
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

# The helper stops the simulator (and the editor) on every way out, Ctrl+C and kill included.
exec ./scripts/run-with-simulator.sh "$simulator" "$devices" "$baud" "$port" -- "$editor" "$@"
