#!/usr/bin/env bash
# The architecture as the includes show it: dependencies point one way, Qt stays inside the GUI
# toolkit, the toolkit's Qt internals stay private, and no app controller includes another.
# Usage: layering_test.sh <project root>
set -u
shopt -s nullglob
cd "$1" || exit 2
fail=0
violation() { echo "FAIL - $1"; fail=1; }

# includes <file>: the project includes of a file, one per line
includes() { sed -n 's/^#include "\([^"]*\)".*/\1/p' "$1"; }

# Each layer may include only these prefixes (its own first).
declare -A allowed=(
    [src/toolkit/core]="toolkit/core/"
    [src/toolkit/gui]="toolkit/gui/ toolkit/core/"
    [src/storage]="storage/ toolkit/core/"
    [src/log]="log/ storage/ toolkit/core/"
    [src/backup]="backup/ log/ storage/ toolkit/core/"
    [src/resources]="resources/ toolkit/gui/WResourceCatalog.h"
)
for layer in "${!allowed[@]}"; do
    while IFS= read -r file; do
        while IFS= read -r inc; do
            ok=0
            for prefix in ${allowed[$layer]}; do [[ "$inc" == "$prefix"* ]] && ok=1; done
            ((ok)) || violation "$file includes $inc"
        done < <(includes "$file")
    done < <(find "$layer" -name '*.h' -o -name '*.cpp')
done

# Qt only inside toolkit/gui, and there not in a public header.
while IFS= read -r hit; do violation "Qt outside toolkit/gui: $hit"; done \
    < <(grep -rnE '^#include <Q' src --include='*.h' --include='*.cpp' | grep -v '^src/toolkit/gui/')
while IFS= read -r hit; do violation "Qt in a public toolkit header: $hit"; done \
    < <(grep -nE '^#include <Q' src/toolkit/gui/*.h)

# The toolkit's Qt internals are private to it. Its own tests may look inside, and the GUI tests'
# main() installs the Qt message pump as WApplication does.
while IFS= read -r hit; do violation "toolkit internals used outside: $hit"; done \
    < <(grep -rn '^#include "toolkit/gui/qt/' src tests | grep -vE '^((src|tests)/toolkit/gui/|tests/support/QtGtestMain.cpp:)')

# No app controller includes another one; the window (form1) and the app's root are shared.
for feature in src/app/*/; do
    name=$(basename "$feature")
    [ "$name" = form1 ] && continue
    while IFS= read -r file; do
        while IFS= read -r inc; do
            if [[ "$inc" == app/*/* && "$inc" != app/form1/* && "$inc" != "app/$name/"* ]]; then
                violation "$file includes another controller: $inc"
            fi
            [[ "$inc" == app/MainForm.h ]] && violation "$file includes MainForm"
        done < <(includes "$file")
    done < <(find "$feature" -name '*.h' -o -name '*.cpp')
done

((fail)) || echo "ok   - every include keeps to its layer"
exit $fail
