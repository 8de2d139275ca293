#!/usr/bin/env bash
# Screenshots of the main window's three views (overview, log view, editor) under Xvfb, driven by
# mouse clicks on the picture buttons and keys as a user would: the new-job editor, and a job opened
# for editing with its folder tree filled and opened. The home folder is the temporary folder, so the
# tree shows "/" and it. Usage: scripts/screenshots.sh [folder] [morlanz]
# Needs xvfb, xdotool and imagemagick (import).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(readlink -f "${1:-.}")
bin=$(readlink -f "${2:-$root/build/bin/morlanz}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/quelle/Bilder/Urlaub 2026" "$work/quelle/Briefe" "$work/ziel" "$out"
touch "$work/quelle/Notizen.txt" "$work/quelle/Bilder/Strand.jpg"
cd "$work"
printf '[SICHERUNG]\r\nname_1=Fotos\r\nname_2=Dokumente\r\nname_3=Musik\r\n\r\n[NUMMER]\r\nwert=3\r\n' > savename.ini
{
    printf '[Fotos]\r\nvon_0=%s/quelle/Bilder\r\nvon_1=%s/quelle\r\nnach=%s/ziel\r\n' "$work" "$work" "$work"
    printf 'wann=t\xe4glich\r\nzeit=18:30\r\naktiv=ja\r\n\r\n'
    printf '[Dokumente]\r\nvon_0=%s/quelle\r\nnach=%s/ziel\r\nwann=Montag\r\nzeit=08:00\r\naktiv=nein\r\n\r\n' "$work" "$work"
    printf '[Musik]\r\nvon_0=%s/quelle\r\nnach=%s/ziel\r\nwann=Freitag\r\nzeit=20:15\r\naktiv=ja\r\n' "$work" "$work"
} > save.ini
printf '[05.12.2026 10:00:03]\r\nSicherung=neu\r\nName=Fotos\r\nVerlauf=ok\r\n' > save.log
HOME="$work" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    out=$1
    "$0" 2>/dev/null & pid=$!
    sleep 3
    import -window root "$out/overview.png"
    # The window is centred on 1024 x 768: its client area starts at 112, 112 below the menu bar.
    click() { xdotool mousemove $((112 + $1)) $((112 + $2)) click 1; sleep 2; }
    click 723 387                       # "Logdatei anzeigen"
    import -window root "$out/log.png"
    click 723 97                        # "Logdatei schließen"
    click 723 47                        # "Sicherung anlegen"
    import -window root "$out/editor.png"
    click 723 97                        # "Sicherung verwerfen"
    click 723 97                        # "Sicherung bearbeiten": "Dokumente", the first job
    # The filled tree has the focus: the home folder, opened, then "quelle", opened and selected.
    for key in Down Down Right Down Down Right Down Down; do xdotool key $key; sleep 0.4; done
    sleep 1
    import -window root "$out/editor-tree.png"
    kill -TERM $pid; wait $pid
' "$bin" "$out"
echo "written: $out/overview.png $out/log.png $out/editor.png $out/editor-tree.png"
