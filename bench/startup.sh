#!/usr/bin/env bash
# Program start to main window shown (start-up ends with the overview), under Xvfb: median over
# N starts (default 10), with a catalogue of JOBS jobs (default 0; each with two sources that
# exist, so no warning about missing paths holds up the start).
# Usage: bench/startup.sh [path to morlanz] [N] [JOBS]
# The window counts as shown when xwininfo finds it mapped ("Map State: IsViewable"); the poll
# runs every 5 ms plus the time of two xwininfo calls, so figures carry that granularity.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$(readlink -f "${1:-$root/build/bin/morlanz}")
runs=${2:-10}
jobs=${3:-0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
if ((jobs > 0)); then
    awk -v n="$jobs" 'BEGIN {
        printf "[SICHERUNG]\r\n"; for (i = 1; i <= n; i++) printf "name_%d=Sicherung %05d\r\n", i, i
        printf "\r\n[NUMMER]\r\nwert=%d\r\n", n }' > savename.ini
    awk -v n="$jobs" 'BEGIN { for (i = 1; i <= n; i++) {
        if (i > 1) printf "\r\n"
        printf "[Sicherung %05d]\r\nvon_0=/usr\r\nvon_1=/etc\r\nnach=/tmp\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n", i } }' > save.ini
fi

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    bin=$0; runs=$1
    for i in $(seq 1 "$runs"); do
        start=$(date +%s%N)
        "$bin" 2>stderr-$i.txt & pid=$!
        shown=no
        for _ in $(seq 1 2000); do # at most about 20 s
            # The first caption is "Morlanz 1.0", the scheduler caption "Morlanz 1.1 - ..." follows.
            id=$(xwininfo -root -tree 2>/dev/null | grep -E "\"Morlanz 1\.[01]" | awk "{print \$1}" | head -n 1)
            if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then shown=yes; break; fi
            sleep 0.005
        done
        end=$(date +%s%N)
        if [ $shown = yes ]; then echo $(( (end - start) / 1000000 )); else echo "start $i: no window: $(head -c 300 stderr-$i.txt)" >&2; fi
        kill -TERM $pid 2>/dev/null; wait $pid || true
    done
' "$bin" "$runs" > times.txt

sort -n times.txt | awk '{ t[NR] = $1 } END {
    m = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
    printf "start to window shown, %d starts, '"$jobs"' jobs: median %.1f ms, min %d ms, max %d ms\n", NR, m, t[1], t[NR]
}'
