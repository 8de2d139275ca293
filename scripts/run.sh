#!/usr/bin/env bash
# Sets up and builds (scripts/setup.sh), then starts Morlanz. Its files (save.ini, savename.ini,
# save.log, Einstellung.ini) live in the program's own folder, build/bin, which is its current
# directory. Without a display it runs headless until Ctrl+C.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
cd "$root/build/bin"
exec ./morlanz "$@"
