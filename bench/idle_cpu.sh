#!/usr/bin/env bash
# Idle cost of the running program: 100 active jobs, none due during the measurement, CPU time
# of the process over a window (default 60 s) from /proc, as a share of one core.
# Usage: bench/idle_cpu.sh [path to morlanz] [seconds] [x11|headless]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/bin/morlanz}")
seconds=${2:-60}
mode=${3:-headless}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# 100 active daily jobs at a minute that is not now or in the next two hours.
minute=$(( ($(date +%H) * 60 + $(date +%M) + 180) % 1440 ))
at=$(printf '%02d:%02d' $((minute / 60)) $((minute % 60)))
{
    printf '[SICHERUNG]\r\n'
    for i in $(seq 100 -1 1); do printf 'name_%d=Job %03d\r\n' "$i" "$i"; done
    printf '\r\n[NUMMER]\r\nwert=100\r\n'
} > savename.ini
{
    for i in $(seq 1 100); do
        printf '[Job %03d]\r\nvon_0=/nonexistent\r\nnach=/tmp\r\nwann=t\xe4glich\r\nzeit=%s\r\naktiv=ja\r\n\r\n' "$i" "$at"
    done
} > save.ini

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

measure() {
    local pid=$1
    sleep 5 # start-up is not idle time
    local t0 c0 t1 c1
    t0=$(date +%s%N); c0=$(ticks "$pid")
    sleep "$seconds"
    t1=$(date +%s%N); c1=$(ticks "$pid")
    local hz; hz=$(getconf CLK_TCK)
    awk -v c=$((c1 - c0)) -v hz="$hz" -v ns=$((t1 - t0)) -v mode="$mode" 'BEGIN {
        cpu = c / hz; wall = ns / 1e9
        printf "%s, 100 active jobs: %.2f s CPU in %.1f s = %.2f %% of one core\n", mode, cpu, wall, 100 * cpu / wall
    }'
}

if [ "$mode" = x11 ]; then
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
        \"$bin\" 2>/dev/null & pid=\$!
        $(declare -f ticks measure); seconds=$seconds; mode=$mode
        measure \$pid; kill -TERM \$pid; wait \$pid"
else
    env -u DISPLAY -u WAYLAND_DISPLAY "$bin" 2>/dev/null &
    pid=$!
    measure "$pid"
    kill -TERM "$pid"
    wait "$pid"
fi
