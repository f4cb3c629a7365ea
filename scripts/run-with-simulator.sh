#!/usr/bin/env bash
# Runs a program with ARVESTRA_COM2 set to a serial port: a simulated bus (arvestra-devsim)
# started for the run when no port is given. The program and the simulator are stopped on every
# way out: the program ending, and this script being interrupted (Ctrl+C), terminated or hung up.
#
#   run-with-simulator.sh SIMULATOR DEVICES BAUD PORT -- PROGRAM [ARGS...]
#
# PORT empty: start SIMULATOR with DEVICES (such as 1,3,7) at BAUD.
set -euo pipefail

if (($# < 6)) || [[ $5 != -- ]]; then
  echo "usage: $0 SIMULATOR DEVICES BAUD PORT -- PROGRAM [ARGS...]" >&2
  exit 2
fi
simulator=$1 devices=$2 baud=$3 port=$4
shift 5

sim_pid=""
sim_out=""
program_pid=""

# Ends a child: SIGTERM, then SIGKILL if it is still there after five seconds.
stop() {
  local pid=$1
  [[ -n $pid ]] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  stop "$program_pid"
  # A signal between starting the program and noting its process id leaves program_pid empty:
  # every job still running is stopped, the simulator last.
  local pid
  for pid in $(jobs -p); do
    [[ $pid == "$sim_pid" ]] || stop "$pid"
  done
  stop "$sim_pid"
  [[ -z $sim_out ]] || rm -f "$sim_out"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

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

# In the background and waited for: a trapped signal ends `wait` at once, while a program in
# the foreground would hold the traps back until it had ended by itself.
ARVESTRA_COM2="$port" "$@" &
program_pid=$!
status=0
wait "$program_pid" || status=$?
program_pid=""
exit "$status"
