#!/usr/bin/env bash
# The program binary as a user starts it: a real window under Xvfb, headless without a display,
# and the narrow-screen exit. Usage: program_test.sh <path to morlanz>
set -u
bin=$(readlink -f "$1")
fail=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() { # check <description> <condition result>
    if [ "$2" = 0 ]; then echo "ok   - $1"; else echo "FAIL - $1"; fail=1; fi
}

# 1. A window of 800 x 580 in the middle of a 1024 x 768 screen; SIGTERM ends it with code 0.
mkdir -p "$work/x11" && cd "$work/x11"
x11_run() {
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" 2>stderr.txt & pid=$!
    # Up to 30 s for the top-level window: "Morlanz 1.0" at first, then the scheduler caption.
    for _ in $(seq 1 300); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -E "\"Morlanz 1\.[01]" | awk "{print \$1}" | head -n 1)
        [ -n "$id" ] && info=$(xwininfo -id "$id" 2>/dev/null) && break
        sleep 0.1
    done
    [ -n "$info" ] || { echo "no window"; cat stderr.txt; kill -KILL $pid; exit 1; }
    echo "$info" | grep -E "Width|Height|Absolute upper-left"
    kill -TERM $pid
    wait $pid
    echo "exit=$?"
' "$bin" 2>&1
}
# A busy machine can keep the first X server from accepting the program; one more try then.
out=$(x11_run) || out=$(x11_run)
echo "$out"
for line in "Width: 800" "Height: 580" "Absolute upper-left X:  112" "Absolute upper-left Y:  94" "exit=0"; do
    echo "$out" | grep -q "^ *$line$"; check "under X11: $line" $?
done

# 2. No display, or one that cannot be reached (Qt adds its own complaints then): runs headless,
# says so once on standard error, ends cleanly on SIGTERM.
headless() { # headless <folder> <environment...>
    mkdir -p "$work/$1" && cd "$work/$1"
    env "${@:2}" "$bin" 2>stderr.txt &
    pid=$!
    for _ in $(seq 1 100); do [ -s stderr.txt ] && break; sleep 0.1; done
    sleep 0.5
    kill -0 $pid 2>/dev/null; check "$1: keeps running" $?
    kill -TERM $pid
    wait $pid
    code=$?
    cat stderr.txt
    [ "$code" = 0 ]; check "$1: SIGTERM ends with exit code 0 (got $code)" $?
    [ "$(grep -c 'ohne Anzeige' stderr.txt)" = 1 ]; check "$1: says once that it runs without a window" $?
}
headless no-display -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
[ "$(wc -l < stderr.txt)" = 1 ]; check "no-display: nothing else on standard error" $?
headless unreachable-display -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:987
# The first job's paths are missing: the warning nobody could answer goes to standard error and
# start-up goes on, so SIGTERM still ends the program.
mkdir -p "$work/missing-paths" && cd "$work/missing-paths"
printf '[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1\r\n' > savename.ini
printf '[Fotos]\r\nvon_0=/gibt/es/nicht\r\nnach=/auch/nicht\r\n' > save.ini
headless missing-paths -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
grep -q "^Morlanz 1.1 - Fehler: Pfad existiert nicht.*nach: /auch/nicht$" stderr.txt
check "missing-paths: the warning is on standard error" $?

# 3. A work area narrower than 790 pixels: exit code 1, no file touched.
mkdir -p "$work/narrow" && cd "$work/narrow"
xvfb-run -a -s "-screen 0 640x480x24" "$bin" 2>/dev/null
code=$?
[ "$code" = 1 ]; check "640 pixels wide ends with exit code 1 (got $code)" $?
[ -z "$(ls -A)" ]; check "no file created on the narrow screen" $?

exit $fail
