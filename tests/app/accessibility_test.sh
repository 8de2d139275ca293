#!/usr/bin/env bash
# The real program as a screen reader sees it: under Xvfb with an accessibility bus, the overview's
# picture buttons are push buttons named by their captions, and pressing "Sicherung löschen" by its
# action asks the delete question, whose "Abbrechen" leaves the catalogue as it was; the editor opens
# with its folder tree, fields and buttons named, and "Sicherung verwerfen" leads back unchanged.
# Usage: accessibility_test.sh <path to morlanz>. Skips (77) where the bus or pyatspi is missing.
set -u
bin=$(readlink -f "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || [ ! -x /usr/libexec/at-spi-bus-launcher ] ||
    ! command -v dbus-run-session >/dev/null; then
    echo "skipped: no accessibility bus (python3-pyatspi, at-spi2-core, dbus)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf '[SICHERUNG]\r\nname_1=Fotos\r\n\r\n[NUMMER]\r\nwert=1\r\n' > savename.ini
printf '[Fotos]\r\nvon_0=/\r\nnach=/tmp\r\nwann=Montag\r\nzeit=08:00\r\naktiv=ja\r\n' > save.ini
cp savename.ini savename.before && cp save.ini save.before

xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    for i in $(seq 50); do
        dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
            >/dev/null 2>&1 && break
        sleep 0.2
    done
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$0" 2>stderr.txt & pid=$!
    /usr/bin/python3 "$1" $pid; result=$?
    kill -TERM $pid 2>/dev/null; wait $pid
    exit $result
' "$bin" "$here/accessibility_drive.py"
result=$?
cmp -s savename.ini savename.before && cmp -s save.ini save.before || { echo "FAIL - the catalogue changed"; result=1; }
exit $result
